#include "media/PlaylistModel.h"

namespace arvexhub::launcher {

PlaylistModel::PlaylistModel(QObject* parent)
    : QAbstractListModel(parent) {}

PlaylistModel::~PlaylistModel() = default;

int PlaylistModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(entries_.size());
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  const Entry& entry = entries_.at(index.row());
  switch (role) {
  case Qt::DisplayRole:
  case Qt::ToolTipRole:
    return entry.title;
  case UrlRole:
    return entry.url;
  default:
    return {};
  }
}

void PlaylistModel::append(const QUrl& url, const QString& title) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  entries_.append({url, title});
  endInsertRows();
}

void PlaylistModel::clear() {
  if (entries_.isEmpty()) {
    return;
  }
  beginResetModel();
  entries_.clear();
  endResetModel();
}

bool PlaylistModel::isEmpty() const {
  return entries_.isEmpty();
}

QUrl PlaylistModel::url(int row) const {
  return row >= 0 && row < entries_.size() ? entries_.at(row).url : QUrl();
}

QString PlaylistModel::title(int row) const {
  return row >= 0 && row < entries_.size() ? entries_.at(row).title : QString();
}

QList<QUrl> PlaylistModel::urls() const {
  QList<QUrl> result;
  result.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    result.append(entry.url);
  }
  return result;
}

} // namespace arvexhub::launcher
