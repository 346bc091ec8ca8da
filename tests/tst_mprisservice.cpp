#include "media/MediaPlayerTab.h"
#include "media/MprisService.h"
#include "style/Style.h"

#include "PrivateSessionBus.h"
#include "TestDir.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QtTest>

using namespace arvexhub::launcher;
using namespace arvexhub::test;
using namespace Qt::StringLiterals;

namespace {

const QString service = QString::fromLatin1(MprisService::serviceName);
const QString path = QString::fromLatin1(MprisService::objectPath);
const QString rootInterface = u"org.mpris.MediaPlayer2"_s;
const QString playerInterface = u"org.mpris.MediaPlayer2.Player"_s;
const QString propertiesInterface = u"org.freedesktop.DBus.Properties"_s;

/// A value read over the bus, with the maps inside it unpacked.
QVariant unpacked(const QVariant& value) {
  if (value.canConvert<QDBusArgument>()) {
    return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
  }
  return value.canConvert<QDBusVariant>() ? unpacked(value.value<QDBusVariant>().variant()) : value;
}

} // namespace

/// The media controls as a desktop panel sees them: a second connection to a bus of the test's
/// own calls the service the player publishes.
class TestMprisService final : public QObject {
  Q_OBJECT

  PrivateSessionBus bus_; // first: the session bus is read once, on first use
  TestDir media_;
  QDBusConnection client_{QString()};
  QList<QVariantMap> changes_;

  QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return client_.call(message, QDBus::BlockWithGui);
  }
  QVariant property(const QString& interface, const QString& name) {
    const QDBusMessage reply = call(propertiesInterface, u"Get"_s, {interface, name});
    return reply.arguments().isEmpty() ? QVariant() : unpacked(reply.arguments().constFirst());
  }
  /// The last value announced for `name` since the test began.
  QVariant announced(const QString& name) const {
    for (auto it = changes_.crbegin(); it != changes_.crend(); ++it) {
      if (it->contains(name)) {
        return unpacked(it->value(name));
      }
    }
    return {};
  }
  bool makeSong(const QString& file) {
    QProcess ffmpeg;
    ffmpeg.start(u"ffmpeg"_s, {u"-loglevel"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
                               u"sine=duration=30"_s, u"-y"_s, media_.filePath(file)});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
  }

public slots:
  void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface == playerInterface) {
      changes_.append(changed);
    }
  }

private slots:
  void initTestCase() {
    QVERIFY(bus_.isValid());
    QApplication::setStyle(new arvexhub::style::Style);
    // Two songs of an album with its picture: the panel shows titles, lengths and the cover.
    const QString folder = media_.filePath(u"albums/Night"_s);
    QVERIFY(QDir().mkpath(folder));
    QImage cover(8, 8, QImage::Format_RGB32);
    cover.fill(Qt::red);
    QVERIFY(cover.save(folder + u"/Night.png"_s));
    QVERIFY(makeSong(u"albums/Night/first.wav"_s) && makeSong(u"albums/Night/second.wav"_s));
    client_ = QDBusConnection::connectToBus(bus_.address(), u"panel"_s);
    QVERIFY(client_.isConnected());
    QVERIFY(client_.connect(QString(), path, propertiesInterface, u"PropertiesChanged"_s, this,
                            SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
  }
  void drivesThePlayer() {
    MediaPlayerTab player(nullptr, nullptr);
    QVERIFY(MprisService::publish(&player, QDBusConnection::sessionBus()));
    // Before anything plays: who it is, "Stopped" and no track.
    QCOMPARE(property(rootInterface, u"Identity"_s), QVariant(QGuiApplication::applicationDisplayName()));
    QCOMPARE(property(playerInterface, u"PlaybackStatus"_s), QVariant(u"Stopped"_s));
    QCOMPARE(property(playerInterface, u"CanGoNext"_s), QVariant(false));
    const QVariant idle = property(playerInterface, u"Metadata"_s).toMap().value(u"mpris:trackid"_s);
    QCOMPARE(idle.value<QDBusObjectPath>().path(), u"/org/mpris/MediaPlayer2/TrackList/NoTrack"_s);
    // Files are opened from the library only; the desktop is told so.
    QCOMPARE(call(playerInterface, u"OpenUri"_s, {u"file:///tmp/x.mp3"_s}).type(),
             QDBusMessage::ErrorMessage);

    for (const QString& name : {u"first"_s, u"second"_s}) {
      player.addToPlaylist(QUrl::fromLocalFile(media_.filePath(u"albums/Night/%1.wav"_s.arg(name))), {});
    }
    call(playerInterface, u"Play"_s);
    QTRY_COMPARE(announced(u"PlaybackStatus"_s), QVariant(u"Playing"_s));
    QTRY_COMPARE(announced(u"Metadata"_s).toMap().value(u"mpris:length"_s), QVariant(qlonglong{30'000'000}));
    const QVariantMap metadata = property(playerInterface, u"Metadata"_s).toMap();
    QCOMPARE(metadata.value(u"xesam:title"_s), QVariant(u"first"_s));
    QCOMPARE(metadata.value(u"mpris:artUrl"_s),
             QVariant(QUrl::fromLocalFile(media_.filePath(u"albums/Night/Night.png"_s)).toString()));
    QCOMPARE(property(playerInterface, u"CanGoNext"_s), QVariant(true));

    call(playerInterface, u"Pause"_s);
    QTRY_COMPARE(announced(u"PlaybackStatus"_s), QVariant(u"Paused"_s));
    call(playerInterface, u"PlayPause"_s);
    QTRY_COMPARE(announced(u"PlaybackStatus"_s), QVariant(u"Playing"_s));
    call(playerInterface, u"Next"_s);
    QTRY_COMPARE(announced(u"Metadata"_s).toMap().value(u"xesam:title"_s), QVariant(u"second"_s));
    call(playerInterface, u"Previous"_s);
    QTRY_COMPARE(announced(u"Metadata"_s).toMap().value(u"xesam:title"_s), QVariant(u"first"_s));

    // Times are microseconds on the bus.
    QTRY_COMPARE(property(playerInterface, u"CanSeek"_s), QVariant(true)); // once its length is known
    QSignalSpy seeks(&player, &MediaPlayerTab::seeked);
    call(playerInterface, u"Seek"_s, {qlonglong{10'000'000}});
    QTRY_VERIFY(player.position() >= 10000);
    const QVariant track = announced(u"Metadata"_s).toMap().value(u"mpris:trackid"_s);
    call(playerInterface, u"SetPosition"_s, {track, qlonglong{25'000'000}});
    QTRY_VERIFY(property(playerInterface, u"Position"_s).toLongLong() >= 25'000'000);
    call(playerInterface, u"SetPosition"_s, {track, qlonglong{90'000'000}}); // beyond the end: ignored
    QCOMPARE(seeks.size(), 2);

    call(propertiesInterface, u"Set"_s,
         {playerInterface, u"Volume"_s, QVariant::fromValue(QDBusVariant(0.4))});
    QCOMPARE(player.volume(), 40);
    QTRY_COMPARE(announced(u"Volume"_s), QVariant(0.4));
    call(playerInterface, u"Stop"_s);
    QTRY_COMPARE(announced(u"PlaybackStatus"_s), QVariant(u"Stopped"_s));
  }
};

QTEST_MAIN(TestMprisService)
#include "tst_mprisservice.moc"
