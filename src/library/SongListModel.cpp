#include "library/SongListModel.h"

#include <QDir>
#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {

SongListModel::SongListModel(QObject* parent)
    : QAbstractListModel(parent) {}

SongListModel::~SongListModel() = default;

void SongListModel::setCurrentFolder(const QString& folder) {
  beginResetModel();
  songs_.clear();
  folder_ = folder;
  // An empty path would name the current directory.
  const QDir dir(folder);
  if (folder.isEmpty() || !dir.exists()) {
    qWarning() << "Directory does not exist:" << QDir::toNativeSeparators(folder);
  } else {
    songs_ = dir.entryList({QStringLiteral("*.mp3"), QStringLiteral("*.wav")}, QDir::Files | QDir::Readable,
                           QDir::Name);
  }
  endResetModel();
}

QString SongListModel::getSongPathForRow(int row) const {
  if (row < 0 || row >= songs_.size()) {
    qWarning() << "Requested song path for invalid row:" << row;
    return {};
  }
  const auto path = QDir(folder_).absoluteFilePath(songs_[row]);
  if (!QFileInfo::exists(path)) {
    qWarning() << "Song file not found at path:" << QDir::toNativeSeparators(path);
    return {};
  }
  return path;
}

int SongListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(songs_.size());
}

QVariant SongListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.model() != this || index.row() >= songs_.size() ||
      (role != Qt::DisplayRole && role != NameRole)) {
    return {};
  }
  return songs_[index.row()];
}

} // namespace arvexhub::launcher
