#pragma once

#include <QDateTime>
#include <QString>

namespace arvexhub::launcher {

struct PlayRecord;

/// How play time reads for the user, translated.
namespace PlayTimeText {

/// "3 h 12 min", "45 min", "less than a minute".
QString duration(qint64 seconds);
/// "today", "yesterday", "3 days ago", else "on" and the date; by the local calendar.
QString when(const QDateTime& time, const QDateTime& now);
/// "Played 3 h 12 min · last played yesterday"; empty for a game never played.
QString summary(const PlayRecord& record, const QDateTime& now);

} // namespace PlayTimeText
} // namespace arvexhub::launcher
