#include "widgets/window/MessageWidget.h"

#include "app/MakeIcon.h"
#include "style/Style.h"
#include "style/StyleUtils.h"
#include "style/ThemeFollower.h"
#include "style/widgets/LoadingSpinner.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimerEvent>

#include <algorithm>

namespace arvexhub::launcher {
namespace {

/// The button is the default one, filled with the theme's primary colour: its icon takes the
/// colour of the text on it rather than that of icons on plain buttons.
QIcon buttonIcon(const QWidget* widget) {
  const QIcon themed = makeIcon(style::icons::Icons16::Action_Update);
  const auto* style = style::Style::of(widget);
  if (!style) {
    return themed;
  }
  QIcon icon;
  for (const qreal ratio : {1.0, 2.0}) {
    const QPixmap shape = themed.pixmap(QSize(16, 16), ratio);
    icon.addPixmap(style::getColorizedPixmap(shape, style->theme().primaryColorForeground), QIcon::Normal);
    icon.addPixmap(themed.pixmap(QSize(16, 16), ratio, QIcon::Disabled), QIcon::Disabled);
  }
  return icon;
}

} // namespace

MessageWidget::MessageWidget(QWidget* parent)
    : QStackedWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

  auto* emptyPage = new QWidget(this);
  emptyPage->setEnabled(false);
  emptyPage->setAttribute(Qt::WA_TransparentForMouseEvents);
  addWidget(emptyPage);

  spinnerPage_ = new QWidget(this);
  auto* spinnerLayout = new QHBoxLayout(spinnerPage_);
  spinnerLayout->setContentsMargins(0, 0, 0, 0);
  spinnerLayout->setSpacing(8);
  spinner_ = new style::LoadingSpinner(spinnerPage_);
  spinnerLayout->addWidget(spinner_);
  addWidget(spinnerPage_);

  button_ = new QPushButton(this);
  button_->setAutoDefault(false);
  button_->setDefault(true);
  button_->setFixedHeight(20);
  button_->setIcon(buttonIcon(this));
  addWidget(button_);
  connect(button_, &QPushButton::clicked, this, [this] {
    if (clickCallback_) {
      clickCallback_();
    }
  });
  // The icon is drawn in the theme's colours: draw it again when the theme changes.
  new style::ThemeFollower(this, [this] { button_->setIcon(buttonIcon(this)); });

  applyPage(Page::Hidden, {}, {});
}

MessageWidget::~MessageWidget() = default;

MessageWidget::Page MessageWidget::currentPage() const {
  return page_;
}

void MessageWidget::setCurrentPage(Page page, const QString& text, const QString& toolTip) {
  // Compared with the stack's page: the button with text (on the stack's button page) takes each
  // new text, and asking for the icon-only button while it shows leaves it as it is.
  if (currentIndex() != static_cast<int>(page)) {
    applyPage(page, text, toolTip);
  }
}

void MessageWidget::setClickCallback(std::function<void()> callback) {
  clickCallback_ = std::move(callback);
}

void MessageWidget::setButtonDuration(int milliseconds) {
  buttonDuration_ = milliseconds;
}

void MessageWidget::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timerId_) {
    QStackedWidget::timerEvent(event);
    return;
  }
  stopTimer();
  setCurrentPage(Page::Hidden);
}

void MessageWidget::applyPage(Page page, const QString& text, const QString& toolTip) {
  stopTimer();
  page_ = page;
  // Both button pages show the same button, with or without its text.
  setCurrentIndex(std::min(static_cast<int>(page), static_cast<int>(Page::Button)));
  button_->setText(page == Page::ButtonWithText ? text : QString());
  button_->setToolTip(page >= Page::Button ? toolTip : QString());
  spinnerPage_->setToolTip(page == Page::Spinner ? toolTip : QString());
  spinner_->setSpinning(page == Page::Spinner);
  if (page == Page::Button) {
    timerId_ = startTimer(buttonDuration_);
  }
  setVisible(page != Page::Hidden);
}

void MessageWidget::stopTimer() {
  if (timerId_ != -1) {
    killTimer(timerId_);
    timerId_ = -1;
  }
}

} // namespace arvexhub::launcher
