#include "library/ItemToolTip.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTextDocument>

#include <cmath>

namespace arvexhub::launcher {
QString ItemToolTip::state() const {
  if (busy) {
    const auto percent = static_cast<int>(std::floor(qBound(0.0, progress, 1.0) * 100.0));
    return QCoreApplication::translate("ArvexHubLauncher", "Downloading %1 %").arg(percent);
  }
  if (installed && updateAvailable) {
    return installedVersion.isEmpty() || offeredVersion.isEmpty()
               ? QCoreApplication::translate("ArvexHubLauncher", "Update available")
               : QCoreApplication::translate("ArvexHubLauncher", "Update available: %1 → %2")
                     .arg(installedVersion, offeredVersion);
  }
  if (installed) {
    return installedVersion.isEmpty()
               ? QCoreApplication::translate("ArvexHubLauncher", "Installed")
               : QCoreApplication::translate("ArvexHubLauncher", "Installed · %1").arg(installedVersion);
  }
  return archiveSize <= 0 ? QCoreApplication::translate("ArvexHubLauncher", "Not installed")
                          : QCoreApplication::translate("ArvexHubLauncher", "Not installed · %1")
                                .arg(QLocale().formattedDataSize(archiveSize, 0, QLocale::DataSizeSIFormat));
}

QString ItemToolTip::text() const {
  QStringList lines{title, state()};
  if (!playTime.isEmpty()) {
    lines.append(playTime);
  }
  const auto plain = lines.join(QLatin1Char('\n'));
  return Qt::mightBeRichText(plain) ? Qt::convertFromPlainText(plain, Qt::WhiteSpaceNormal) : plain;
}

} // namespace arvexhub::launcher
