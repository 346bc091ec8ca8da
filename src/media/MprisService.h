#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace arvexhub::launcher {

class MediaPlayerTab;

/// The media player as the desktop sees it: the MPRIS 2 object on the session bus, through which
/// media keys, panels and lock screens show what plays and drive it. It carries the root and Player
/// interfaces as adaptors and announces their changes.
class MprisService final : public QObject {
  Q_OBJECT

public:
  static constexpr const char* serviceName = "org.mpris.MediaPlayer2.arvexhub";
  static constexpr const char* objectPath = "/org/mpris/MediaPlayer2";

  /// Makes the service for `player` and publishes it on `bus`. Returns nothing, and leaves
  /// nothing behind, when the bus is not there or the name cannot be had.
  static MprisService* publish(MediaPlayerTab* player, const QDBusConnection& bus);
  ~MprisService() override;
  Q_DISABLE_COPY_MOVE(MprisService)

  MediaPlayerTab* player() const;
  QDBusConnection bus() const;
  /// Sends org.freedesktop.DBus.Properties.PropertiesChanged for `interface`.
  void announce(const QString& interface, const QVariantMap& changed);

private:
  MprisService(MediaPlayerTab* player, const QDBusConnection& bus);

  QPointer<MediaPlayerTab> player_;
  QDBusConnection bus_;
  bool published_{false};
};

} // namespace arvexhub::launcher
