#include "widgets/dialogs/MessageBox.h"

#include "app/MakeIcon.h"
#include "style/Style.h"
#include "style/StyleUtils.h"
#include "style/ThemeFollower.h"
#include "style/widgets/Label.h"
#include "style/widgets/StatusBadgeWidget.h"
#include "widgets/dialogs/BottomWidget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <optional>

namespace arvexhub::launcher {
namespace {

constexpr int fixedWidth = 380;

std::optional<style::StatusBadge> badgeForType(MessageBox::Type type) {
  switch (type) {
  case MessageBox::Info:
    return style::StatusBadge::Info;
  case MessageBox::Warning:
    return style::StatusBadge::Warning;
  case MessageBox::Error:
    return style::StatusBadge::Error;
  case MessageBox::Success:
    return style::StatusBadge::Success;
  default:
    return std::nullopt;
  }
}

QString buttonText(MessageBox::Button button) {
  switch (button) {
  case MessageBox::Cancel:
    return QCoreApplication::translate("QObject", "Cancel");
  case MessageBox::Yes:
    return QCoreApplication::translate("QObject", "Yes");
  case MessageBox::Ok:
    return QCoreApplication::translate("QObject", "OK");
  case MessageBox::None:
    break;
  }
  return {};
}

} // namespace

MessageBox::MessageBox(QWidget* parent)
    : QDialog(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setWindowModality(Qt::ApplicationModal);
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
  for (const auto hint : {Qt::WindowContextHelpButtonHint, Qt::WindowMaximizeButtonHint,
                          Qt::WindowMinimizeButtonHint, Qt::WindowFullscreenButtonHint}) {
    setWindowFlag(hint, false);
  }
  setupUi();
  applyTextPalette();
  new style::ThemeFollower(this, [this] { applyTextPalette(); });
}

MessageBox::~MessageBox() = default;

void MessageBox::setupUi() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  auto* content = new QVBoxLayout();
  content->setContentsMargins(32, 16, 32, 16);
  content->setSpacing(16);
  badge_ = new style::StatusBadgeWidget(this);
  badge_->hide();
  content->addWidget(badge_, 0, Qt::AlignHCenter);
  title_ = new style::Label(QString(), style::TextRole::H4, this);
  title_->setWordWrap(true);
  content->addWidget(title_);
  text_ = new QLabel(this);
  text_->setTextFormat(Qt::PlainText);
  // No fixed vertical policy: it would cap the label at its one-line hint and cut off a
  // wrapped text; the stretch below takes the spare height instead.
  text_->setWordWrap(true);
  content->addWidget(text_);
  checkBox_ = new QCheckBox(this);
  checkBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  checkBox_->hide();
  content->addWidget(checkBox_);
  content->addStretch();
  outer->addLayout(content);

  auto* bottom = new BottomWidget(this);
  bottom->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  buttonLayout_ = new QHBoxLayout(bottom);
  buttonLayout_->setContentsMargins(32, 16, 32, 16);
  buttonLayout_->setSpacing(16);
  outer->addWidget(bottom);
}

void MessageBox::applyTextPalette() {
  if (auto* style = style::Style::of(this)) {
    text_->setPalette(style->paletteForTextRole(style::TextRole::Caption));
  }
}

MessageBox::Type MessageBox::type() const {
  return type_;
}

void MessageBox::setType(Type type) {
  if (type == type_) {
    return;
  }
  type_ = type;
  const auto badge = badgeForType(type);
  badge_->setVisible(badge.has_value());
  if (badge) {
    badge_->setBadge(*badge);
  }
}

QString MessageBox::title() const {
  return title_->text();
}

void MessageBox::setTitle(const QString& title) {
  title_->setText(title);
}

QString MessageBox::text() const {
  return text_->text();
}

void MessageBox::setText(const QString& text) {
  text_->setText(text);
}

MessageBox::Buttons MessageBox::buttons() const {
  return buttons_;
}

void MessageBox::setButtons(Buttons buttons) {
  if (buttons == buttons_) {
    return;
  }
  buttons_ = buttons;
  buttonWidgets_.clear();
  style::clearLayout(buttonLayout_);
  for (const auto button : {Cancel, Yes, Ok}) {
    if (buttons_.testFlag(button)) {
      buttonWidgets_.insert(button, makeButton(button));
    }
  }
}

QPushButton* MessageBox::makeButton(Button button) {
  auto* widget = new QPushButton(buttonText(button), this);
  widget->setIcon(iconForButton(button));
  widget->setDefault(button == Yes || button == Ok);
  widget->setAutoDefault(false);
  connect(widget, &QPushButton::clicked, this, [this, button] { done(button); });
  buttonLayout_->addWidget(widget);
  return widget;
}

void MessageBox::setButtonIcon(Button button, const QIcon& icon) {
  if (auto* widget = getButtonWidget(button)) {
    widget->setIcon(icon);
  }
}

QPushButton* MessageBox::getButtonWidget(Button button) const {
  return buttonWidgets_.value(button, nullptr);
}

QIcon MessageBox::iconForButton(Button button) {
  switch (button) {
  case Cancel:
    return makeIcon(style::icons::Icons16::Action_Clear);
  case Ok:
    return makeIcon(style::icons::Icons16::Misc_Success);
  case Yes:
  case None:
    break;
  }
  return {};
}

void MessageBox::setCheckBox(const QString& text, bool checked) {
  setCheckBoxText(text);
  setCheckBoxChecked(checked);
}

void MessageBox::setCheckBoxText(const QString& text) {
  checkBox_->setText(text);
}

void MessageBox::setCheckBoxChecked(bool checked) {
  checkBox_->setChecked(checked);
}

QString MessageBox::checkBoxText() const {
  return checkBox_->text();
}

bool MessageBox::checkBoxChecked() const {
  return checkBox_->isChecked();
}

int MessageBox::exec(QWidget* parent, Type type, const QString& title, const QString& text, Buttons buttons) {
  // On the heap: the box deletes itself once hidden, and its parent may delete it while the
  // nested event loop runs; neither may happen to an object on this stack.
  auto* box = new MessageBox(parent);
  box->setType(type);
  box->setTitle(title);
  box->setText(text);
  box->setButtons(buttons);
  const QPointer<MessageBox> guard(box);
  const auto result = box->QDialog::exec();
  return guard ? result : None;
}

MessageBox::Button MessageBox::buttonResult(int result) {
  return static_cast<Button>(result);
}

void MessageBox::showEvent(QShowEvent* event) {
  checkBox_->setVisible(!checkBox_->text().isEmpty());
  setFixedWidth(fixedWidth);
  // Without any wrapped text the layout has no height-for-width and answers -1.
  const auto height = hasHeightForWidth() ? heightForWidth(fixedWidth) : sizeHint().height();
  setFixedHeight(height);
  // QDialog centres the box over its parent here, so it must see the final size.
  QDialog::showEvent(event);
}

void MessageBox::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  // A spontaneous hide is the window being minimised with its parent; the box comes back.
  if (!event->spontaneous()) {
    deleteLater();
  }
}

} // namespace arvexhub::launcher
