#include "widgets/window/CatalogueOfflineNotice.h"

#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "library/LibraryModel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

namespace arvexhub::launcher {

CatalogueOfflineNotice::CatalogueOfflineNotice(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  label_ = new QLabel(this);
  label_->setTextFormat(Qt::PlainText);
  layout->addWidget(label_);
  retryButton_ = new QToolButton(this);
  retryButton_->setIcon(makeIcon(style::icons::Icons16::Action_Update));
  retryButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  retryButton_->setAutoRaise(true);
  retryButton_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(retryButton_);
  connect(retryButton_, &QToolButton::clicked, this, &CatalogueOfflineNotice::retry);
  for (auto* library : controller_->libraries()) {
    connect(library, &LibraryModel::catalogueOfflineChanged, this, &CatalogueOfflineNotice::updateNotice);
  }
  updateNotice();
}

CatalogueOfflineNotice::~CatalogueOfflineNotice() = default;

QString CatalogueOfflineNotice::text() const {
  return label_->text();
}

void CatalogueOfflineNotice::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) {
    updateNotice();
  }
}

void CatalogueOfflineNotice::updateNotice() {
  QDateTime oldest;
  for (const auto* library : controller_ ? controller_->libraries() : QList<LibraryModel*>()) {
    const auto fetched = library->offlineCatalogueDate();
    if (fetched.isValid() && (!oldest.isValid() || fetched < oldest)) {
      oldest = fetched;
    }
  }
  setVisible(oldest.isValid());
  label_->setText(oldest.isValid()
                      ? QCoreApplication::translate("ArvexHubLauncher", "Catalogue offline, fetched %1")
                            .arg(dateLocale().toString(oldest, QLocale::ShortFormat))
                      : QString());
  retryButton_->setText(QCoreApplication::translate("ArvexHubLauncher", "Retry"));
  retryButton_->setToolTip(QCoreApplication::translate("ArvexHubLauncher", "Fetch the catalogue again"));
}

QLocale CatalogueOfflineNotice::dateLocale() const {
  // The date in the language the window speaks, which need not be the system's.
  const auto language = controller_ ? controller_->preferences()->appLanguage() : QString();
  return language.isEmpty() ? QLocale() : QLocale(language);
}

void CatalogueOfflineNotice::retry() {
  for (auto* library : controller_ ? controller_->libraries() : QList<LibraryModel*>()) {
    if (library->offlineCatalogueDate().isValid()) {
      library->checkForUpdates();
    }
  }
}

} // namespace arvexhub::launcher
