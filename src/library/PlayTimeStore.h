#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace arvexhub::launcher {

/// What the library remembers of a game's play.
struct PlayRecord {
  qint64 seconds{0};    ///< total play time
  QDateTime lastPlayed; ///< invalid when never played
  int sessions{0};
};

/// Each game's play time, last time played and number of sessions, kept by the game's name in one
/// JSON file. The running session is written when it starts, every minute and when it ends, so a
/// crash or a power loss loses at most a minute. A file that cannot be read is set aside under
/// another name with a warning, never overwritten. Records outlive their game's folder: a game
/// installed again under the same name continues its record.
class PlayTimeStore final : public QObject {
  Q_OBJECT

public:
  using Clock = std::function<QDateTime()>;

  PlayTimeStore(QString fileName, QObject* parent = nullptr);
  ~PlayTimeStore() override;
  Q_DISABLE_COPY_MOVE(PlayTimeStore)

  /// The time source; the system clock by default.
  void setClock(Clock clock);
  /// The time now, by the store's clock.
  QDateTime now() const;
  /// How often a running session is written; a minute by default.
  void setSaveInterval(int milliseconds);

  /// The record of the game of that name, with the running session counted so far.
  PlayRecord record(const QString& game) const;
  /// When the game was last played, in ms since the epoch; 0 when never. Cheap enough to sort by.
  qint64 lastPlayedMs(const QString& game) const;
  /// Starts counting a session of the game; a session still running ends first.
  void startSession(const QString& game);
  /// Ends the running session, if any.
  void endSession();
  /// Counts the running session up to now and writes the file.
  void checkpoint();

signals:
  /// The record of the game changed.
  void changed(const QString& game);

private:
  void load();
  void setAside(const QString& reason);
  void save();

  QString fileName_;
  Clock clock_;
  QTimer saveTimer_;
  /// By the game's folder name, exactly: folders differing in case are two games.
  QHash<QString, PlayRecord> records_;
  QString running_; ///< the running game; empty when none
  QDateTime sessionStart_;
  qint64 counted_{0}; ///< seconds of the running session already in its record
  bool writable_{true};
};

} // namespace arvexhub::launcher
