#pragma once

#include <QHash>
#include <QString>

namespace arvexhub::launcher {

/// Where the reader left each book: its page and zoom, keyed by the book's path, kept in one small
/// JSON file of the library folder. The file is replaced as a whole, so a crash never leaves half
/// of it; one that cannot be read is set aside and the positions start afresh.
class ReadingPositions final {
public:
  struct Position {
    int page{0};
    qreal zoom{0}; ///< 0 while the page fits the view's width
  };

  /// The most books remembered; the ones read longest ago are forgotten first.
  static constexpr int maximumBooks = 500;

  /// Reads the store at `filePath`, by default "reading-positions.json" in the library folder.
  explicit ReadingPositions(QString filePath = defaultFilePath());
  static QString defaultFilePath();

  /// Page 0 at the width of the view for a book never read.
  Position position(const QString& bookPath) const;
  void setPosition(const QString& bookPath, Position position);
  /// Writes the store when something changed since it was read or last written.
  bool save();

private:
  struct Entry {
    Position position;
    qint64 readAt{0}; ///< milliseconds since the epoch
  };

  void load();
  void forgetOldest();

  QString filePath_;
  QHash<QString, Entry> entries_;
  bool changed_{false};
};

} // namespace arvexhub::launcher
