#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QUrl>

namespace arvexhub::launcher {

/// The media player's playlist: one file URL per row, shown by its display name. Keeping both
/// in one row means a URL can never drift apart from the name that stands for it.
class PlaylistModel final : public QAbstractListModel {
  Q_OBJECT

public:
  /// The entry's URL under this role, the display name under Qt::DisplayRole.
  static constexpr int UrlRole = Qt::UserRole + 1;

  explicit PlaylistModel(QObject* parent = nullptr);
  ~PlaylistModel() override;
  Q_DISABLE_COPY_MOVE(PlaylistModel)

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  void append(const QUrl& url, const QString& title);
  void clear();
  bool isEmpty() const;
  /// The URL of a row; an empty URL outside the playlist.
  QUrl url(int row) const;
  QString title(int row) const;
  QList<QUrl> urls() const;

private:
  struct Entry {
    QUrl url;
    QString title;
  };

  QList<Entry> entries_;
};

} // namespace arvexhub::launcher
