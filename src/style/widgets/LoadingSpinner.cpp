#include "style/widgets/LoadingSpinner.h"

#include "style/Style.h"
#include "style/ThemeFollower.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace arvexhub::style {
namespace {

constexpr int turnDuration = 1000;
constexpr int arcSpanDegrees = 100;

} // namespace

LoadingSpinner::LoadingSpinner(QWidget* parent)
    : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  rotation_.setStartValue(0.);
  rotation_.setEndValue(360.);
  rotation_.setDuration(turnDuration);
  rotation_.setLoopCount(-1);
  connect(&rotation_, &QVariantAnimation::valueChanged, this, [this] { update(); });
  new ThemeFollower(this, [this] { update(); });
}

LoadingSpinner::~LoadingSpinner() = default;

bool LoadingSpinner::spinning() const {
  return spinning_;
}

void LoadingSpinner::setSpinning(bool spinning) {
  if (spinning == spinning_) {
    return;
  }
  spinning_ = spinning;
  updateAnimation();
  update();
}

QSize LoadingSpinner::sizeHint() const {
  return {16, 16};
}

void LoadingSpinner::updateAnimation() {
  const auto shouldRun = spinning_ && isVisible();
  if (shouldRun && rotation_.state() != QAbstractAnimation::Running) {
    rotation_.start();
  } else if (!shouldRun) {
    rotation_.stop();
  }
}

void LoadingSpinner::paintEvent(QPaintEvent*) {
  if (!spinning_) {
    return;
  }
  const auto& theme = Style::themeOf(this);
  const auto side = std::min(width(), height());
  // A pen about an eighth of the diameter reads well from 16 px to large sizes.
  const auto penWidth = std::max(2., side / 8.);
  auto square = QRectF(0., 0., side, side);
  square.moveCenter(QRectF(rect()).center());
  const auto arcRect = square.adjusted(penWidth / 2., penWidth / 2., -penWidth / 2., -penWidth / 2.);

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(theme.semiTransparentColor2, penWidth));
  painter.drawEllipse(arcRect);
  painter.setPen(QPen(theme.primaryColor, penWidth, Qt::SolidLine, Qt::RoundCap));
  // Qt angles run counter-clockwise in sixteenths of a degree; subtract to turn clockwise.
  const auto start = qRound((90. - rotation_.currentValue().toReal()) * 16.);
  painter.drawArc(arcRect, start, -arcSpanDegrees * 16);
}

void LoadingSpinner::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  updateAnimation();
}

void LoadingSpinner::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  updateAnimation();
}

} // namespace arvexhub::style
