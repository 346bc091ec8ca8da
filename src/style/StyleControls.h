#pragma once

#include "style/StyleContext.h"

#include <QStyle>

class QPainter;
class QStyleOption;
class QStyleOptionComplex;

namespace arvexhub::style {

// Interactive controls: buttons, inputs, indicators, ranges. Each draws one style element.
void drawPushButtonBevel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawToolButtonPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawLineEditPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawCheckBoxIndicator(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawRadioIndicator(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawArrow(const StyleContext& c, QStyle::PrimitiveElement arrow, const QStyleOption* opt, QPainter* p);
void drawComboBox(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w);
void drawSpinBox(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w);
void drawScrollBar(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w);
void drawSlider(const StyleContext& c, const QStyleOptionComplex* opt, QPainter* p, const QWidget* w);
void drawProgressGroove(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawProgressContents(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawProgressLabel(const StyleContext& c, const QStyleOption* opt, QPainter* p);

QColor pushButtonTextColor(const Theme& theme, const QStyleOption* opt);

// Geometry of the complex controls above.
QRect comboBoxSubControlRect(const Theme& theme, const QStyleOptionComplex* opt, QStyle::SubControl sc);
QRect spinBoxSubControlRect(const Theme& theme, const QStyleOptionComplex* opt, QStyle::SubControl sc);
QRect scrollBarSubControlRect(const QStyleOptionComplex* opt, QStyle::SubControl sc, int minSliderLength);
QRect sliderSubControlRect(const QStyleOptionComplex* opt, QStyle::SubControl sc, int handleSize);
QRect groupBoxSubControlRect(const Theme& theme, const QStyleOptionComplex* opt, QStyle::SubControl sc);
QRect progressBarSubElementRect(const QStyleOption* opt, QStyle::SubElement element, int spacing);

} // namespace arvexhub::style
