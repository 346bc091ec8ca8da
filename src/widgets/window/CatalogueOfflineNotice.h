#pragma once

#include <QLocale>
#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;

namespace arvexhub::launcher {

class Controller;

/// The status bar's notice that the catalogue could not be fetched and the rows show the copy
/// kept from an earlier start: since when, and a button to fetch it again. Hidden while every
/// catalogue is fresh.
class CatalogueOfflineNotice final : public QWidget {
  Q_OBJECT

public:
  CatalogueOfflineNotice(Controller* controller, QWidget* parent);
  ~CatalogueOfflineNotice() override;
  Q_DISABLE_COPY_MOVE(CatalogueOfflineNotice)

  QString text() const;

protected:
  void changeEvent(QEvent* event) override;

private:
  void updateNotice();
  QLocale dateLocale() const;
  /// Fetches again the catalogues that could not be fetched.
  void retry();

  QPointer<Controller> controller_;
  QLabel* label_{nullptr};
  QToolButton* retryButton_{nullptr};
};

} // namespace arvexhub::launcher
