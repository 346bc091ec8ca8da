#include "style/widgets/Label.h"

#include "style/Style.h"
#include "style/ThemeFollower.h"

#include <QEvent>

namespace arvexhub::style {
namespace {

/// The theme's font for a role, for when the application style is not ours.
QFont themeFont(const Theme& theme, TextRole role) {
  switch (role) {
  case TextRole::Caption:
    return theme.fontCaption;
  case TextRole::H1:
    return theme.fontH1;
  case TextRole::H2:
    return theme.fontH2;
  case TextRole::H3:
    return theme.fontH3;
  case TextRole::H4:
    return theme.fontH4;
  case TextRole::H5:
    return theme.fontH5;
  case TextRole::Default:
    break;
  }
  return theme.fontRegular;
}

} // namespace

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
  if (auto* style = Style::of(this)) {
    setFont(style->fontForTextRole(role_));
    setPalette(style->paletteForTextRole(role_));
  } else {
    setFont(themeFont(Style::themeOf(this), role_));
    // An empty palette resolves nothing, so the label inherits its parent's colours again.
    setPalette(QPalette());
  }
}

} // namespace arvexhub::style
