#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class QDBusMessage;

namespace arvexhub::launcher {

class MediaPlayerTab;
class MprisService;

/// org.mpris.MediaPlayer2.Player: the playback state, the current entry and the volume of the
/// media player tab, and the controls the desktop drives it with. Times are in microseconds.
class MprisPlayerAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(double Rate READ rate WRITE setRate)
  Q_PROPERTY(double MinimumRate READ rate)
  Q_PROPERTY(double MaximumRate READ rate)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(double Volume READ volume WRITE setVolume)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(bool CanGoNext READ hasEntries)
  Q_PROPERTY(bool CanGoPrevious READ hasEntries)
  Q_PROPERTY(bool CanPlay READ hasEntries)
  Q_PROPERTY(bool CanPause READ hasEntries)
  Q_PROPERTY(bool CanSeek READ canSeek)
  Q_PROPERTY(bool CanControl READ canControl)

public:
  explicit MprisPlayerAdaptor(MprisService* service);
  ~MprisPlayerAdaptor() override;
  Q_DISABLE_COPY_MOVE(MprisPlayerAdaptor)

  QString playbackStatus() const;
  double rate() const;
  void setRate(double rate);
  QVariantMap metadata() const;
  double volume() const;
  void setVolume(double volume);
  qlonglong position() const;
  bool hasEntries() const;
  bool canSeek() const;
  bool canControl() const;

public slots:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong offset);
  void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
  void OpenUri(const QString& uri, const QDBusMessage& message);

signals:
  void Seeked(qlonglong position);

private:
  QDBusObjectPath trackId() const;
  void announceTrack();

  MprisService* service_;
};

} // namespace arvexhub::launcher
