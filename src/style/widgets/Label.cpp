#include "style/widgets/Label.h"

#include "style/Style.h"
#include "style/ThemeFollower.h"

#include <QEvent>

namespace arvexhub::style {

Label::Label(QWidget* parent)
    : Label(QString(), TextRole::Default, parent) {}

Label::Label(const QString& text, QWidget* parent)
    : Label(text, TextRole::Default, parent) {}

Label::Label(const QString& text, TextRole role, QWidget* parent)
    : QLabel(parent)
    , role_(role) {
  setTextFormat(Qt::PlainText);
  setText(text);
  applyRole();
  new ThemeFollower(this, [this] { applyRole(); });
}

Label::~Label() = default;

TextRole Label::role() const {
  return role_;
}

void Label::setRole(TextRole role) {
  if (role == role_) {
    return;
  }
  role_ = role;
  applyRole();
}

void Label::applyRole() {
  // The theme's font, also when the application style is not ours.
  setFont(Style::themeOf(this).fontForTextRole(role_));
  if (auto* style = Style::of(this)) {
    setPalette(style->paletteForTextRole(role_));
  } else {
    // An empty palette resolves nothing, so the label inherits its parent's colours again.
    setPalette(QPalette());
  }
}

} // namespace arvexhub::style
