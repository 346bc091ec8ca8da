#include "media/MprisService.h"

#include "media/MediaPlayerTab.h"
#include "media/MprisPlayerAdaptor.h"
#include "media/MprisRootAdaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDebug>

namespace arvexhub::launcher {

MprisService::MprisService(MediaPlayerTab* player, const QDBusConnection& bus)
    : QObject(player)
    , player_(player)
    , bus_(bus) {
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
}

MprisService::~MprisService() {
  if (published_) {
    bus_.unregisterObject(QString::fromLatin1(objectPath));
    bus_.unregisterService(QString::fromLatin1(serviceName));
  }
}

MprisService* MprisService::publish(MediaPlayerTab* player, const QDBusConnection& bus) {
  // Without a session bus (a bare console, a container) the player simply has no remote control.
  if (!player || !bus.isConnected()) {
    return nullptr;
  }
  auto* service = new MprisService(player, bus);
  QDBusConnection connection(bus);
  if (!connection.registerObject(QString::fromLatin1(objectPath), service, QDBusConnection::ExportAdaptors) ||
      !connection.registerService(QString::fromLatin1(serviceName))) {
    qDebug() << "Media controls not published:" << connection.lastError().message();
    delete service;
    return nullptr;
  }
  service->published_ = true;
  return service;
}

MediaPlayerTab* MprisService::player() const {
  return player_;
}

QDBusConnection MprisService::bus() const {
  return bus_;
}

void MprisService::announce(const QString& interface, const QVariantMap& changed) {
  QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(objectPath),
                                                   QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("PropertiesChanged"));
  signal << interface << changed << QStringList();
  bus_.send(signal);
}

} // namespace arvexhub::launcher
