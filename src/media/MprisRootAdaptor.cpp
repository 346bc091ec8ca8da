#include "media/MprisRootAdaptor.h"

#include "media/MediaPlayerTab.h"
#include "media/MprisService.h"

#include <QGuiApplication>
#include <QTabWidget>

namespace arvexhub::launcher {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service)
    , service_(service) {}

MprisRootAdaptor::~MprisRootAdaptor() = default;

bool MprisRootAdaptor::canQuit() const {
  return true;
}

bool MprisRootAdaptor::canRaise() const {
  return true;
}

bool MprisRootAdaptor::hasTrackList() const {
  return false;
}

QString MprisRootAdaptor::identity() const {
  return QGuiApplication::applicationDisplayName();
}

QString MprisRootAdaptor::desktopEntry() const {
  return QGuiApplication::desktopFileName();
}

// Files are opened from the library; the desktop cannot hand us any.
QStringList MprisRootAdaptor::supportedUriSchemes() const {
  return {};
}

QStringList MprisRootAdaptor::supportedMimeTypes() const {
  return {};
}

void MprisRootAdaptor::Raise() {
  MediaPlayerTab* player = service_->player();
  if (!player) {
    return;
  }
  // The window comes up showing the player, which is what the desktop's widget was about.
  for (QWidget* parent = player->parentWidget(); parent; parent = parent->parentWidget()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
      tabs->setCurrentWidget(player);
      break;
    }
  }
  QWidget* window = player->window();
  window->show();
  window->raise();
  window->activateWindow();
}

void MprisRootAdaptor::Quit() {
  // As the window's close button does, so that everything is saved on the way out.
  if (MediaPlayerTab* player = service_->player()) {
    player->window()->close();
  }
}

} // namespace arvexhub::launcher
