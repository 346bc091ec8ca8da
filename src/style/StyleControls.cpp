#include "style/StyleControls.h"

#include "style/StylePrimitives.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace arvexhub::style {
namespace {

using icons::Icons16;

constexpr int kSpinButtonWidth = 20;
constexpr int kTrackThickness = 4;
constexpr int kProgressThickness = 6;

/// Inputs show their hover but have no pressed look.
MouseState inputState(const QStyleOption* opt) {
  const auto state = mouseState(opt);
  return state == MouseState::Pressed ? MouseState::Hovered : state;
}

QColor iconColor(const Theme& theme, MouseState state) {
  return textForeground(theme, state == MouseState::Disabled ? state : MouseState::Normal);
}

void drawInputFrame(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  const auto state = inputState(opt);
  const auto fill =
      state == MouseState::Disabled ? c.theme.backgroundColorMain2 : c.theme.backgroundColorMain1;
  const auto border = c.animated(w, AnimatedPart::Border, borderColor(c.theme, state));
  drawRoundedRect(p, opt->rect, fill, border, c.theme.borderWidth, c.theme.borderRadius);
  if (opt->state.testFlag(QStyle::State_HasFocus) && state != MouseState::Disabled) {
    drawFocusRing(p, opt->rect, c.theme, c.theme.borderRadius);
  }
}

/// A neutral, borderless button surface with its keyboard-focus ring.
void drawButtonSurface(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w,
                       const QColor& fill) {
  drawRoundedRect(p, opt->rect, c.animated(w, AnimatedPart::Background, fill), Qt::transparent, 0,
                  c.theme.borderRadius);
  if (hasKeyboardFocus(opt)) {
    drawFocusRing(p, opt->rect, c.theme, c.theme.borderRadius);
  }
}

bool subControlHovered(const QStyleOptionComplex* opt, QStyle::SubControl sc) {
  return opt->activeSubControls.testFlag(sc) && opt->state.testFlag(QStyle::State_MouseOver);
}

bool subControlPressed(const QStyleOptionComplex* opt, QStyle::SubControl sc) {
  return opt->activeSubControls.testFlag(sc) && opt->state.testFlag(QStyle::State_Sunken);
}

} // namespace

QColor pushButtonTextColor(const Theme& theme, const QStyleOption* opt) {
  const auto* button = qstyleoption_cast<const QStyleOptionButton*>(opt);
  const bool isDefault = button && button->features.testFlag(QStyleOptionButton::DefaultButton);
  const auto state = mouseState(opt);
  if (isDefault || opt->state.testFlag(QStyle::State_On)) {
    return primaryForeground(theme, state);
  }
  return iconColor(theme, state);
}

void drawPushButtonBevel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  const auto* button = qstyleoption_cast<const QStyleOptionButton*>(opt);
  const auto features = button ? button->features : QStyleOptionButton::ButtonFeatures();
  const auto state = mouseState(opt);
  QColor fill;
  if (features.testFlag(QStyleOptionButton::DefaultButton) || opt->state.testFlag(QStyle::State_On)) {
    fill = primaryBackground(c.theme, state);
  } else if (features.testFlag(QStyleOptionButton::Flat)) {
    fill = semiTransparentBackground(c.theme, state, false);
  } else {
    fill = neutralBackground(c.theme, state);
  }
  drawButtonSurface(c, opt, p, w, fill);
  if (features.testFlag(QStyleOptionButton::HasMenu)) {
    const auto side = kIconSize.width() + c.theme.spacing;
    const QRect arrow(opt->rect.right() - side + 1, opt->rect.top(), side, opt->rect.height());
    drawTintedIcon(p, QStyle::visualRect(opt->direction, opt->rect, arrow),
                   c.icon(Icons16::Navigation_ChevronDown), kIconSize, pushButtonTextColor(c.theme, opt));
  }
}

void drawToolButtonPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  const auto state = mouseState(opt);
  const bool checked = opt->state.testFlag(QStyle::State_On);
  const bool autoRaise = opt->state.testFlag(QStyle::State_AutoRaise);
  const auto fill = autoRaise ? semiTransparentBackground(c.theme, state, checked)
                    : checked ? primaryBackground(c.theme, state)
                              : neutralBackground(c.theme, state);
  drawButtonSurface(c, opt, p, w, fill);
}

void drawLineEditPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  // Line edits inside spin and combo boxes have no frame: their host draws it.
  const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(opt);
  if (frame && frame->lineWidth <= 0) {
    return;
  }
  drawInputFrame(c, opt, p, w);
}

void drawCheckBoxIndicator(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  const auto state = inputState(opt);
  const bool on = opt->state.testFlag(QStyle::State_On);
  const bool partial = opt->state.testFlag(QStyle::State_NoChange);
  const QRect rect = centeredRect(opt->rect, kIconSize);
  const auto emptyFill =
      state == MouseState::Disabled ? c.theme.backgroundColorMain2 : c.theme.backgroundColorMain1;
  const auto fill = (on || partial) ? primaryBackground(c.theme, state) : emptyFill;
  const auto border = (on || partial) ? fill : borderColor(c.theme, state);
  drawRoundedRect(p, rect, c.animated(w, AnimatedPart::Indicator, fill),
                  c.animated(w, AnimatedPart::Border, border), c.theme.borderWidth,
                  c.theme.checkBoxBorderRadius);
  if (on) {
    drawTintedIcon(p, rect, c.icon(Icons16::Action_CheckTickSmall), kIconSize,
                   primaryForeground(c.theme, state));
  } else if (partial) {
    const QRectF dash(rect.x() + 4, rect.center().y(), 8, 2);
    drawRoundedRect(p, dash, primaryForeground(c.theme, state), Qt::transparent, 0, 1);
  }
  if (hasKeyboardFocus(opt)) {
    drawFocusRing(p, rect, c.theme, c.theme.checkBoxBorderRadius);
  }
}

void drawRadioIndicator(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  const auto state = inputState(opt);
  const bool on = opt->state.testFlag(QStyle::State_On);
  const QRect rect = centeredRect(opt->rect, kIconSize);
  const auto emptyFill =
      state == MouseState::Disabled ? c.theme.backgroundColorMain2 : c.theme.backgroundColorMain1;
  const auto fill = on ? primaryBackground(c.theme, state) : emptyFill;
  const auto border = on ? fill : borderColor(c.theme, state);
  const qreal radius = rect.width() / 2.0;
  drawRoundedRect(p, rect, c.animated(w, AnimatedPart::Indicator, fill),
                  c.animated(w, AnimatedPart::Border, border), c.theme.borderWidth, radius);
  if (on) {
    const QRectF dot(QPointF(rect.x() + 5, rect.y() + 5), QSizeF(6, 6));
    drawRoundedRect(p, dot, primaryForeground(c.theme, state), Qt::transparent, 0, 3);
  }
  if (hasKeyboardFocus(opt)) {
    drawFocusRing(p, rect, c.theme, radius);
  }
}

void drawArrow(const StyleContext& c, QStyle::PrimitiveElement arrow, const QStyleOption* opt, QPainter* p) {
  Icons16 icon = Icons16::Navigation_ChevronDown;
  if (arrow == QStyle::PE_IndicatorArrowUp) {
    icon = Icons16::Navigation_ChevronUp;
  } else if (arrow == QStyle::PE_IndicatorArrowLeft) {
    icon = Icons16::Navigation_ChevronLeft;
  } else if (arrow == QStyle::PE_IndicatorArrowRight) {
    icon = Icons16::Navigation_ChevronRight;
  }
  const auto group = opt->state.testFlag(QStyle::State_Enabled) ? QPalette::Active : QPalette::Disabled;
  const int side = qBound(8, qMin(opt->rect.width(), opt->rect.height()), kIconSize.width());
  drawTintedIcon(p, opt->rect, c.icon(icon), QSize(side, side),
                 opt->palette.color(group, QPalette::ButtonText));
}

void drawComboBox(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w) {
  const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(opt);
  if (!combo) {
    return;
  }
  const auto state = mouseState(opt);
  if (combo->editable) {
    drawInputFrame(c, opt, p, w);
  } else if (combo->frame) {
    drawButtonSurface(c, opt, p, w, neutralBackground(c.theme, state));
  }
  const auto arrow = comboBoxSubControlRect(c.theme, opt, QStyle::SC_ComboBoxArrow);
  drawTintedIcon(p, arrow, c.icon(Icons16::Navigation_ChevronDown), kIconSize, iconColor(c.theme, state));
}

void drawSpinBox(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w) {
  const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(opt);
  if (!spin) {
    return;
  }
  if (spin->frame) {
    drawInputFrame(c, opt, p, w);
  }
  if (spin->buttonSymbols == QAbstractSpinBox::NoButtons) {
    return;
  }
  const bool plusMinus = spin->buttonSymbols == QAbstractSpinBox::PlusMinus;
  const struct {
    QStyle::SubControl sc;
    QAbstractSpinBox::StepEnabledFlag flag;
    Icons16 icon;
  } buttons[] = {
      {QStyle::SC_SpinBoxUp, QAbstractSpinBox::StepUpEnabled,
       plusMinus ? Icons16::Action_Plus : Icons16::Navigation_ChevronUp},
      {QStyle::SC_SpinBoxDown, QAbstractSpinBox::StepDownEnabled,
       plusMinus ? Icons16::Action_Minus : Icons16::Navigation_ChevronDown},
  };
  for (const auto& button : buttons) {
    const auto rect = spinBoxSubControlRect(c.theme, opt, button.sc);
    const bool enabled =
        opt->state.testFlag(QStyle::State_Enabled) && spin->stepEnabled.testFlag(button.flag);
    if (enabled && (subControlHovered(opt, button.sc) || subControlPressed(opt, button.sc))) {
      const auto bg =
          subControlPressed(opt, button.sc) ? c.theme.semiTransparentColor3 : c.theme.semiTransparentColor2;
      drawRoundedRect(p, QRectF(rect).adjusted(1, 1, -1, -1), bg, Qt::transparent, 0, 2);
    }
    const auto color = iconColor(c.theme, enabled ? MouseState::Normal : MouseState::Disabled);
    drawTintedIcon(p, rect, c.icon(button.icon), QSize(12, 12), color);
  }
}

void drawScrollBar(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w) {
  const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(opt);
  if (!bar || bar->maximum == bar->minimum) {
    return;
  }
  const bool horizontal = bar->orientation == Qt::Horizontal;
  const bool hovered = opt->state.testFlag(QStyle::State_MouseOver);
  const int inset = hovered ? 2 : 3;
  auto handle = scrollBarSubControlRect(opt, QStyle::SC_ScrollBarSlider, 0);
  handle = horizontal ? handle.adjusted(1, inset, -1, -inset) : handle.adjusted(inset, 1, -inset, -1);
  QColor color = c.theme.semiTransparentColor2;
  if (!opt->state.testFlag(QStyle::State_Enabled)) {
    color = c.theme.semiTransparentColor1;
  } else if (subControlPressed(opt, QStyle::SC_ScrollBarSlider)) {
    color = c.theme.semiTransparentColor4;
  } else if (hovered) {
    color = c.theme.semiTransparentColor3;
  }
  const qreal radius = (horizontal ? handle.height() : handle.width()) / 2.0;
  drawRoundedRect(p, handle, c.animated(w, AnimatedPart::Indicator, color), Qt::transparent, 0, radius);
}

void drawSlider(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w) {
  const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(opt);
  if (!slider) {
    return;
  }
  const bool horizontal = slider->orientation == Qt::Horizontal;
  const bool enabled = opt->state.testFlag(QStyle::State_Enabled);
  const auto handle = sliderSubControlRect(opt, QStyle::SC_SliderHandle, kIconSize.width());
  const QRectF r = opt->rect;
  const QRectF track =
      horizontal ? QRectF(r.left(), r.center().y() - kTrackThickness / 2.0, r.width(), kTrackThickness)
                 : QRectF(r.center().x() - kTrackThickness / 2.0, r.top(), kTrackThickness, r.height());
  const auto centre = QRectF(handle).center();
  QRectF filled = track;
  if (horizontal) {
    slider->upsideDown ? filled.setLeft(centre.x()) : filled.setRight(centre.x());
  } else {
    slider->upsideDown ? filled.setTop(centre.y()) : filled.setBottom(centre.y());
  }
  const auto trackState = enabled ? MouseState::Normal : MouseState::Disabled;
  drawRoundedRect(p, track, neutralBackground(c.theme, trackState), Qt::transparent, 0,
                  kTrackThickness / 2.0);
  drawRoundedRect(p, filled, primaryBackground(c.theme, trackState), Qt::transparent, 0,
                  kTrackThickness / 2.0);
  auto state = enabled ? MouseState::Normal : MouseState::Disabled;
  if (enabled && subControlPressed(opt, QStyle::SC_SliderHandle)) {
    state = MouseState::Pressed;
  } else if (enabled && subControlHovered(opt, QStyle::SC_SliderHandle)) {
    state = MouseState::Hovered;
  }
  const auto fill = c.animated(w, AnimatedPart::Indicator, primaryBackground(c.theme, state));
  drawRoundedRect(p, handle, fill, c.theme.backgroundColorMain1, 2, handle.width() / 2.0);
  if (hasKeyboardFocus(opt)) {
    drawFocusRing(p, QRectF(handle).adjusted(-2, -2, 2, 2), c.theme, handle.width() / 2.0 + 2);
  }
}

void drawProgressGroove(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const bool horizontal = opt->state.testFlag(QStyle::State_Horizontal);
  const QRectF r = opt->rect;
  const QRectF track =
      horizontal ? QRectF(r.left(), r.center().y() - kProgressThickness / 2.0, r.width(), kProgressThickness)
                 : QRectF(r.center().x() - kProgressThickness / 2.0, r.top(), kProgressThickness, r.height());
  const auto state = opt->state.testFlag(QStyle::State_Enabled) ? MouseState::Normal : MouseState::Disabled;
  drawRoundedRect(p, track, neutralBackground(c.theme, state), Qt::transparent, 0, kProgressThickness / 2.0);
}

void drawProgressContents(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(opt);
  if (!bar) {
    return;
  }
  const bool horizontal = opt->state.testFlag(QStyle::State_Horizontal);
  const bool busy = bar->minimum == bar->maximum;
  const qreal range = busy ? 1.0 : qreal(bar->maximum) - bar->minimum;
  const qreal fraction = busy ? 0.3 : qBound(0.0, (qreal(bar->progress) - bar->minimum) / range, 1.0);
  const QRectF r = opt->rect;
  QRectF chunk =
      horizontal ? QRectF(r.left(), r.center().y() - kProgressThickness / 2.0, r.width() * fraction,
                          kProgressThickness)
                 : QRectF(r.center().x() - kProgressThickness / 2.0, r.bottom() + 1 - r.height() * fraction,
                          kProgressThickness, r.height() * fraction);
  const bool reversed = bar->invertedAppearance != (opt->direction == Qt::RightToLeft);
  if (horizontal && (reversed || busy)) {
    // Right-aligned when inverted; a busy bar shows its chunk in the middle.
    chunk.moveRight(busy ? r.center().x() + chunk.width() / 2.0 : r.right() + 1);
  }
  if (chunk.width() <= 0 || chunk.height() <= 0) {
    return;
  }
  const auto state = opt->state.testFlag(QStyle::State_Enabled) ? MouseState::Normal : MouseState::Disabled;
  drawRoundedRect(p, chunk, primaryBackground(c.theme, state), Qt::transparent, 0, kProgressThickness / 2.0);
}

void drawProgressLabel(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(opt);
  if (!bar || !bar->textVisible || !opt->state.testFlag(QStyle::State_Horizontal)) {
    return;
  }
  const auto state = opt->state.testFlag(QStyle::State_Enabled) ? MouseState::Normal : MouseState::Disabled;
  p->save();
  p->setPen(textForeground(c.theme, state));
  p->drawText(opt->rect, Qt::AlignVCenter | Qt::AlignRight, bar->text);
  p->restore();
}

QRect comboBoxSubControlRect(const Theme& theme, const QStyleOptionComplex* opt, QStyle::SubControl sc) {
  const QRect r = opt->rect;
  const int arrowWidth = theme.controlHeightLarge;
  QRect result = r;
  switch (sc) {
  case QStyle::SC_ComboBoxArrow:
    result = QRect(r.right() - arrowWidth + 1, r.top(), arrowWidth, r.height());
    break;
  case QStyle::SC_ComboBoxEditField:
    result =
        r.adjusted(theme.spacing + theme.borderWidth, theme.borderWidth, -arrowWidth, -theme.borderWidth);
    break;
  default:
    break;
  }
  return QStyle::visualRect(opt->direction, r, result);
}

QRect spinBoxSubControlRect(const Theme& theme, const QStyleOptionComplex* opt, QStyle::SubControl sc) {
  const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(opt);
  const bool buttons = spin && spin->buttonSymbols != QAbstractSpinBox::NoButtons;
  const int bw = theme.borderWidth;
  const QRect inner = opt->rect.adjusted(bw, bw, -bw, -bw);
  const int buttonWidth = buttons ? kSpinButtonWidth : 0;
  const int half = inner.height() / 2;
  QRect result = opt->rect;
  switch (sc) {
  case QStyle::SC_SpinBoxUp:
    result = buttons ? QRect(inner.right() - buttonWidth + 1, inner.top(), buttonWidth, half) : QRect();
    break;
  case QStyle::SC_SpinBoxDown:
    result = buttons ? QRect(inner.right() - buttonWidth + 1, inner.top() + half, buttonWidth,
                             inner.height() - half)
                     : QRect();
    break;
  case QStyle::SC_SpinBoxEditField:
    result = inner.adjusted(theme.spacing, 0, -buttonWidth, 0);
    break;
  default:
    break;
  }
  return QStyle::visualRect(opt->direction, opt->rect, result);
}

QRect scrollBarSubControlRect(const QStyleOptionComplex* opt, QStyle::SubControl sc, int minSliderLength) {
  const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(opt);
  if (!bar) {
    return {};
  }
  const bool horizontal = bar->orientation == Qt::Horizontal;
  const QRect r = opt->rect;
  const int length = horizontal ? r.width() : r.height();
  const qint64 range = qint64(bar->maximum) - bar->minimum;
  const qint64 total = range + bar->pageStep;
  int sliderLength = total > 0 ? int(qint64(length) * bar->pageStep / total) : length;
  sliderLength = qBound(qMin(minSliderLength, length), sliderLength, length);
  const int pos = QStyle::sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                                  length - sliderLength, bar->upsideDown);
  const auto span = [&](int start, int size) {
    return horizontal ? QRect(r.x() + start, r.y(), size, r.height())
                      : QRect(r.x(), r.y() + start, r.width(), size);
  };
  switch (sc) {
  case QStyle::SC_ScrollBarSlider:
    return span(pos, sliderLength);
  case QStyle::SC_ScrollBarSubPage:
    return span(0, pos);
  case QStyle::SC_ScrollBarAddPage:
    return span(pos + sliderLength, length - pos - sliderLength);
  case QStyle::SC_ScrollBarGroove:
    return r;
  default:
    return {};
  }
}

QRect sliderSubControlRect(const QStyleOptionComplex* opt, QStyle::SubControl sc, int handleSize) {
  const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(opt);
  if (!slider) {
    return {};
  }
  const QRect r = opt->rect;
  if (sc != QStyle::SC_SliderHandle) {
    return r;
  }
  const bool horizontal = slider->orientation == Qt::Horizontal;
  const int length = horizontal ? r.width() : r.height();
  const int pos = QStyle::sliderPositionFromValue(slider->minimum, slider->maximum, slider->sliderPosition,
                                                  length - handleSize, slider->upsideDown);
  return horizontal ? QRect(r.x() + pos, r.center().y() - handleSize / 2 + 1, handleSize, handleSize)
                    : QRect(r.center().x() - handleSize / 2 + 1, r.y() + pos, handleSize, handleSize);
}

QRect progressBarSubElementRect(const QStyleOption* opt, QStyle::SubElement element, int spacing) {
  const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(opt);
  if (!bar || !opt->state.testFlag(QStyle::State_Horizontal)) {
    return opt->rect;
  }
  const int labelWidth =
      bar->textVisible ? opt->fontMetrics.horizontalAdvance(QStringLiteral("100%")) + spacing : 0;
  QRect result = opt->rect.adjusted(0, 0, -labelWidth, 0);
  if (element == QStyle::SE_ProgressBarLabel) {
    result = QRect(opt->rect.right() - labelWidth + 1, opt->rect.top(), labelWidth, opt->rect.height());
  }
  return QStyle::visualRect(opt->direction, opt->rect, result);
}

} // namespace arvexhub::style

namespace arvexhub::style {

QRect groupBoxSubControlRect(const Theme& theme, const QStyleOptionComplex* opt, QStyle::SubControl sc) {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(opt);
  const QRect r = opt->rect;
  if (!box) {
    return r;
  }
  // The title sits above the panel rather than on its border.
  const bool checkable = box->subControls.testFlag(QStyle::SC_GroupBoxCheckBox);
  const bool titled = checkable || !box->text.isEmpty();
  const int titleHeight = titled ? qMax(opt->fontMetrics.height(), checkable ? kIconSize.height() : 0) : 0;
  const int checkWidth = checkable ? kIconSize.width() + theme.spacing : 0;
  const int frameTop = titled ? titleHeight + theme.spacing / 2 : 0;
  const int bw = theme.borderWidth;
  QRect result = r;
  switch (sc) {
  case QStyle::SC_GroupBoxCheckBox:
    result = checkable ? QRect(r.x(), r.y() + (titleHeight - kIconSize.height()) / 2, kIconSize.width(),
                               kIconSize.height())
                       : QRect();
    break;
  case QStyle::SC_GroupBoxLabel:
    result = QRect(r.x() + checkWidth, r.y(), opt->fontMetrics.horizontalAdvance(box->text) + 2, titleHeight);
    break;
  case QStyle::SC_GroupBoxFrame:
    result = r.adjusted(0, frameTop, 0, 0);
    break;
  case QStyle::SC_GroupBoxContents:
    result = r.adjusted(bw, frameTop + bw, -bw, -bw);
    break;
  default:
    break;
  }
  return QStyle::visualRect(opt->direction, r, result);
}

} // namespace arvexhub::style
