#pragma once

#include "style/Icons16.h"
#include "style/StyleAnimations.h"
#include "style/Theme.h"

#include <QIcon>

#include <functional>

class QWidget;

namespace arvexhub::style {

class Style;

/// The parts of a widget whose colours move independently.
enum class AnimatedPart {
  Background,
  Border,
  Indicator,
};

/// What the drawing functions need from the style: its theme, icons and colour transitions.
struct StyleContext {
  const Theme& theme;
  StyleAnimations& animations;
  int animationDuration;
  std::function<QIcon(icons::Icons16)> icon;

  QColor animated(const QWidget* widget, AnimatedPart part, const QColor& target) const {
    return animations.color(widget, static_cast<int>(part), target, animationDuration);
  }
};

} // namespace arvexhub::style
