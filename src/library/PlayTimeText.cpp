#include "library/PlayTimeText.h"

#include "library/PlayTimeStore.h"

#include <QCoreApplication>
#include <QLocale>

namespace arvexhub::launcher::PlayTimeText {
QString duration(qint64 seconds) {
  const auto minutes = static_cast<int>(seconds / 60);
  if (minutes == 0) {
    return QCoreApplication::translate("ArvexHubLauncher", "less than a minute");
  }
  if (minutes < 60) {
    return QCoreApplication::translate("ArvexHubLauncher", "%n min", nullptr, minutes);
  }
  return QCoreApplication::translate("ArvexHubLauncher", "%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString when(const QDateTime& time, const QDateTime& now) {
  const auto day = time.toLocalTime().date();
  const auto days = static_cast<int>(day.daysTo(now.toLocalTime().date()));
  if (days <= 0) {
    return QCoreApplication::translate("ArvexHubLauncher", "today");
  }
  if (days == 1) {
    return QCoreApplication::translate("ArvexHubLauncher", "yesterday");
  }
  if (days < 7) {
    return QCoreApplication::translate("ArvexHubLauncher", "%n day(s) ago", nullptr, days);
  }
  return QCoreApplication::translate("ArvexHubLauncher", "on %1")
      .arg(QLocale().toString(day, QLocale::ShortFormat));
}

QString summary(const PlayRecord& record, const QDateTime& now) {
  if (record.sessions == 0 || !record.lastPlayed.isValid()) {
    return {};
  }
  return QCoreApplication::translate("ArvexHubLauncher", "Played %1 · last played %2")
      .arg(duration(record.seconds), when(record.lastPlayed, now));
}

} // namespace arvexhub::launcher::PlayTimeText
