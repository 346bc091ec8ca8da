#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

namespace arvexhub::launcher {

class MprisService;

/// org.mpris.MediaPlayer2: who the player is, and raising or closing its window.
class MprisRootAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ canQuit)
  Q_PROPERTY(bool CanRaise READ canRaise)
  Q_PROPERTY(bool HasTrackList READ hasTrackList)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

public:
  explicit MprisRootAdaptor(MprisService* service);
  ~MprisRootAdaptor() override;
  Q_DISABLE_COPY_MOVE(MprisRootAdaptor)

  bool canQuit() const;
  bool canRaise() const;
  bool hasTrackList() const;
  QString identity() const;
  QString desktopEntry() const;
  QStringList supportedUriSchemes() const;
  QStringList supportedMimeTypes() const;

public slots:
  void Raise();
  void Quit();

private:
  MprisService* service_;
};

} // namespace arvexhub::launcher
