#include "style/widgets/StatusBadgeWidget.h"

#include "style/Icons16.h"
#include "style/Style.h"
#include "style/StyleUtils.h"
#include "style/ThemeFollower.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>

namespace arvexhub::style {
namespace {

icons::Icons16 badgeIcon(StatusBadge badge) {
  switch (badge) {
  case StatusBadge::Warning:
    return icons::Icons16::Misc_Warning;
  case StatusBadge::Error:
    return icons::Icons16::Action_Close;
  case StatusBadge::Success:
    return icons::Icons16::Action_CheckTickSmall;
  case StatusBadge::Info:
    break;
  }
  return icons::Icons16::Misc_Info;
}

QColor badgeColor(const Theme& theme, StatusBadge badge, bool enabled) {
  switch (badge) {
  case StatusBadge::Warning:
    return enabled ? theme.statusColorWarning : theme.statusColorWarningDisabled;
  case StatusBadge::Error:
    return enabled ? theme.statusColorError : theme.statusColorErrorDisabled;
  case StatusBadge::Success:
    return enabled ? theme.statusColorSuccess : theme.statusColorSuccessDisabled;
  case StatusBadge::Info:
    break;
  }
  return enabled ? theme.statusColorInfo : theme.statusColorInfoDisabled;
}

} // namespace

StatusBadgeWidget::StatusBadgeWidget(QWidget* parent)
    : StatusBadgeWidget(StatusBadge::Info, parent) {}

StatusBadgeWidget::StatusBadgeWidget(StatusBadge badge, QWidget* parent)
    : QWidget(parent)
    , badge_(badge) {
  setFixedSize(sizeHint());
  new ThemeFollower(this, [this] { update(); });
}

StatusBadgeWidget::~StatusBadgeWidget() = default;

StatusBadge StatusBadgeWidget::badge() const {
  return badge_;
}

void StatusBadgeWidget::setBadge(StatusBadge badge) {
  if (badge == badge_) {
    return;
  }
  badge_ = badge;
  update();
}

StatusBadgeWidget::StatusBadgeSize StatusBadgeWidget::badgeSize() const {
  return badgeSize_;
}

void StatusBadgeWidget::setBadgeSize(StatusBadgeSize size) {
  if (size == badgeSize_) {
    return;
  }
  badgeSize_ = size;
  setFixedSize(sizeHint());
  update();
}

QSize StatusBadgeWidget::sizeHint() const {
  const auto side = static_cast<int>(badgeSize_);
  return {side, side};
}

void StatusBadgeWidget::paintEvent(QPaintEvent*) {
  const auto& theme = Style::themeOf(this);
  const auto side = static_cast<int>(badgeSize_);
  auto circle = QRectF(0., 0., side, side);
  circle.moveCenter(QRectF(rect()).center());

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setPen(Qt::NoPen);
  painter.setBrush(badgeColor(theme, badge_, isEnabled()));
  painter.drawEllipse(circle);

  // The icons are 16 px drawings with their own margin; the small badge shrinks them a little.
  const auto iconSide = badgeSize_ == StatusBadgeSize::Small ? 12 : 16;
  const auto foreground = isEnabled() ? theme.statusColorForeground : theme.statusColorForegroundDisabled;
  const auto pixmap =
      QIcon(icons::iconPath(badgeIcon(badge_))).pixmap(QSize(iconSide, iconSide), devicePixelRatioF());
  auto iconRect = QRectF(0., 0., iconSide, iconSide);
  iconRect.moveCenter(circle.center());
  painter.drawPixmap(iconRect, getColorizedPixmap(pixmap, foreground), QRectF(pixmap.rect()));
}

} // namespace arvexhub::style
