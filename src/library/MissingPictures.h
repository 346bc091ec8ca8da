#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

namespace arvexhub::launcher {

/// Picture links that answered "not found", with when they did, kept in a file of the cache
/// folder: a catalogue with thousands of missing pictures would otherwise ask for each of them
/// again at every start. A link is left alone for a day, then asked for again.
class MissingPictures final {
public:
  /// How long a missing picture is not asked for again.
  static constexpr qint64 retryAfterSeconds = 24 * 60 * 60;

  /// Kept in "<cache folder>/<kind folder>-missing-pictures.json"; read on first use.
  explicit MissingPictures(const QString& kindFolder);

  QString filePath() const;
  /// Whether the link answered "not found" less than a day ago.
  bool isMissing(const QString& url);
  void markMissing(const QString& url);
  /// Writes the file when something changed, whole and off the main thread; expired links are
  /// left out.
  void save();

private:
  void load();

  QString filePath_;
  QHash<QString, qint64> missingSince_; ///< link -> seconds since the epoch
  bool loaded_{false};
  bool changed_{false};
};

} // namespace arvexhub::launcher
