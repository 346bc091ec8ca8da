#pragma once

#include "app/BasicUpdater.h"

#include <QPointer>
#include <QStatusBar>

class QLabel;

namespace arvexhub::style {
class IconWidget;
}

namespace arvexhub::launcher {

class Controller;
class MessageWidget;

/// The main window's bottom bar: whether the game library has anything in it on the left, and
/// whether the catalogue could be fetched, the update check's indicator on the right, and a short
/// notice when an install fails.
class StatusBar final : public QStatusBar {
  Q_OBJECT

public:
  /// How long the notice of a failed install stays, in milliseconds.
  static constexpr int failureMessageDuration = 10000;

  explicit StatusBar(Controller* controller, QWidget* parent = nullptr);
  ~StatusBar() override;
  Q_DISABLE_COPY_MOVE(StatusBar)

  MessageWidget* messageWidget() const;
  /// Shows that a game controller of that name is connected; an empty name hides the note.
  void setControllerName(const QString& name);
  /// "2 downloading, 3 queued"; empty while nothing downloads or waits.
  QString downloadsText() const;

private:
  QWidget* makeLibraryWidget();
  void updateLibraryIcon();
  void applyTheme();
  void onCheckStarted();
  void onCheckFinished(const BasicUpdater::Result& result);
  void onDownloadFailed(const QString& itemName, const QString& reason);
  void updateDownloads();

  QPointer<Controller> controller_;
  style::IconWidget* libraryIcon_{nullptr};
  MessageWidget* messageWidget_{nullptr};
  QLabel* controllerNote_{nullptr};
  QLabel* downloadsLabel_{nullptr};
};

} // namespace arvexhub::launcher
