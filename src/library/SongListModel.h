#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace arvexhub::launcher {

/// The song files ("*.mp3", "*.wav") of one album folder, by name. The folder is not watched.
class SongListModel final : public QAbstractListModel {
  Q_OBJECT

public:
  explicit SongListModel(QObject* parent = nullptr);
  ~SongListModel() override;
  Q_DISABLE_COPY_MOVE(SongListModel)

  /// The song's file name, as the display role gives it.
  static constexpr int NameRole = 257;

  void setCurrentFolder(const QString& folder);
  /// The song's file, or empty (with a warning) for a bad row or a file that is gone.
  QString getSongPathForRow(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  QString folder_;
  QStringList songs_;
};

} // namespace arvexhub::launcher
