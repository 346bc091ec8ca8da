#include "style/ThemeFollower.h"

#include "style/Style.h"

#include <QEvent>
#include <QWidget>

namespace arvexhub::style {

ThemeFollower::ThemeFollower(QWidget* widget, std::function<void()> onThemeChanged)
    : QObject(widget)
    , widget_(widget)
    , onThemeChanged_(std::move(onThemeChanged)) {
  widget_->installEventFilter(this);
  followCurrentStyle();
}

bool ThemeFollower::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget_ && event->type() == QEvent::StyleChange) {
    followCurrentStyle();
    onThemeChanged_();
  }
  return QObject::eventFilter(watched, event);
}

void ThemeFollower::followCurrentStyle() {
  disconnect(connection_);
  if (auto* style = Style::of(widget_)) {
    connection_ = connect(style, &Style::themeChanged, this, [this] { onThemeChanged_(); });
  }
}

} // namespace arvexhub::style
