#include "app/DesktopNotifier.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

namespace arvexhub::launcher {

DesktopNotifier::DesktopNotifier(QObject* parent)
    : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::downloadFinished(const QString& itemName) {
  // The body may be read as markup; a name from the catalogue is only text.
  notify(
      QCoreApplication::translate("ArvexHubLauncher", "Download finished"),
      QCoreApplication::translate("ArvexHubLauncher", "\"%1\" is installed.").arg(itemName.toHtmlEscaped()));
}

void DesktopNotifier::downloadFailed(const QString& itemName, const QString& reason) {
  notify(QCoreApplication::translate("ArvexHubLauncher", "Download failed"),
         QCoreApplication::translate("ArvexHubLauncher", "Could not install \"%1\": %2")
             .arg(itemName.toHtmlEscaped(), reason.toHtmlEscaped()));
}

bool DesktopNotifier::notify(const QString& summary, const QString& body) const {
  if (QApplication::activeWindow()) {
    return false; // the window says it already
  }
  // Asked for only now: a desktop without a session bus costs the start nothing.
  auto bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return false;
  }
  auto message = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  const QVariantMap hints{{QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()}};
  message << QGuiApplication::applicationDisplayName() << 0U << QGuiApplication::desktopFileName() << summary
          << body << QStringList() << hints << -1;
  return bus.send(message);
}

} // namespace arvexhub::launcher
