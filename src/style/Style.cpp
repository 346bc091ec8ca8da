#include "Style.h"

#include "Icons16.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <QSvgRenderer>
#include <QWidget>

namespace arvexhub::style {
namespace {

void setRole(QPalette& palette, QPalette::ColorRole role, const QColor& normal, const QColor& disabled) {
  palette.setColor(QPalette::Active, role, normal);
  palette.setColor(QPalette::Inactive, role, normal);
  palette.setColor(QPalette::Disabled, role, disabled);
}

void setRole(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
  setRole(palette, role, color, color);
}

QPalette paletteFromTheme(const Theme& t) {
  QPalette palette;
  setRole(palette, QPalette::Window, t.backgroundColorMain2);
  setRole(palette, QPalette::WindowText, t.secondaryColor, t.secondaryColorDisabled);
  setRole(palette, QPalette::Base, t.backgroundColorMain1);
  setRole(palette, QPalette::AlternateBase, t.backgroundColorMain2);
  setRole(palette, QPalette::Text, t.secondaryColor, t.secondaryColorDisabled);
  setRole(palette, QPalette::Button, t.neutralColor, t.neutralColorDisabled);
  setRole(palette, QPalette::ButtonText, t.secondaryColor, t.secondaryColorDisabled);
  setRole(palette, QPalette::Highlight, t.primaryColor, t.primaryColorDisabled);
  setRole(palette, QPalette::HighlightedText, t.primaryColorForeground, t.primaryColorForegroundDisabled);
  setRole(palette, QPalette::ToolTipBase, t.secondaryColor);
  setRole(palette, QPalette::ToolTipText, t.secondaryColorForeground);
  setRole(palette, QPalette::PlaceholderText, t.secondaryAlternativeColor, t.secondaryAlternativeColorDisabled);
  setRole(palette, QPalette::Light, t.backgroundColorMain3);
  setRole(palette, QPalette::Midlight, t.backgroundColorMain4);
  setRole(palette, QPalette::Mid, t.borderColor);
  setRole(palette, QPalette::Dark, t.shadowColor2);
  setRole(palette, QPalette::Shadow, t.shadowColor3);
  setRole(palette, QPalette::Link, t.primaryAlternativeColor, t.primaryAlternativeColorDisabled);
  setRole(palette, QPalette::LinkVisited, t.primaryAlternativeColorPressed, t.primaryAlternativeColorDisabled);
  setRole(palette, QPalette::BrightText, t.statusColorError, t.statusColorErrorDisabled);
  return palette;
}

QImage renderSvg(QSvgRenderer& renderer, const QSize& size, qreal dpr) {
  QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
  painter.end();
  image.setDevicePixelRatio(dpr);
  return image;
}

/// The image's shape (its alpha) filled with the colour.
QPixmap colorized(const QImage& shape, const QColor& color) {
  QImage image = shape;
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(QRect(QPoint(0, 0), image.size()), color);
  painter.end();
  return QPixmap::fromImage(image);
}

/// Our icon for the standard pixmaps the program shows; false for the others.
bool standardPixmapIcon(QStyle::StandardPixmap standardPixmap, icons::Icons16& icon) {
  using I = icons::Icons16;
  static const QHash<int, I> table{
    {QStyle::SP_MediaPlay, I::Media_Play},
    {QStyle::SP_MediaPause, I::Media_Pause},
    {QStyle::SP_MediaStop, I::Media_Stop},
    {QStyle::SP_MediaSkipBackward, I::Media_SkipBackward},
    {QStyle::SP_MediaSkipForward, I::Media_SkipForward},
    {QStyle::SP_ArrowLeft, I::Navigation_ChevronLeft},
    {QStyle::SP_ArrowRight, I::Navigation_ChevronRight},
    {QStyle::SP_DialogCloseButton, I::Action_Close},
    {QStyle::SP_DialogOpenButton, I::File_FolderOpen},
    {QStyle::SP_DialogSaveButton, I::Action_Save},
    {QStyle::SP_TrashIcon, I::Action_Trash},
    {QStyle::SP_TitleBarMaxButton, I::Navigation_Fullscreen},
    {QStyle::SP_TitleBarNormalButton, I::Navigation_FullscreenExit},
    {QStyle::SP_ToolBarHorizontalExtensionButton, I::Navigation_ChevronRight},
    {QStyle::SP_MessageBoxInformation, I::Misc_Info},
    {QStyle::SP_MessageBoxWarning, I::Misc_Warning},
    {QStyle::SP_MessageBoxQuestion, I::Misc_Question},
  };
  const auto it = table.constFind(standardPixmap);
  if (it == table.cend()) {
    return false;
  }
  icon = *it;
  return true;
}

} // namespace

struct Style::Private {
  Theme theme;
  QPalette palette{paletteFromTheme(theme)};
  bool animationsEnabled{true};
  AutoIconColor autoIconColor{AutoIconColor::None};
  IconPathGetter iconPathGetter;
  mutable QHash<QString, QIcon> iconCache;
};

Style::Style(QObject* parent)
  : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
  , d(std::make_unique<Private>()) {
  setParent(parent);
}

Style::~Style() = default;

Style* Style::of(const QWidget* widget) {
  return qobject_cast<Style*>(widget ? widget->style() : QApplication::style());
}

const Theme& Style::themeOf(const QWidget* widget) {
  if (const auto* style = of(widget)) {
    return style->theme();
  }
  static const Theme defaultTheme;
  return defaultTheme;
}

const Theme& Style::theme() const {
  return d->theme;
}

void Style::setTheme(const Theme& theme) {
  d->theme = theme;
  d->palette = paletteFromTheme(theme);
  d->iconCache.clear();
  if (QApplication::style() == this) {
    QApplication::setPalette(d->palette);
    QApplication::setFont(theme.fontRegular);
  }
  const auto widgets = QApplication::allWidgets();
  for (auto* widget : widgets) {
    if (widget->style() == this) {
      unpolish(widget);
      polish(widget);
      widget->update();
    }
  }
  emit themeChanged();
}

bool Style::animationsEnabled() const {
  return d->animationsEnabled;
}

void Style::setAnimationsEnabled(bool enabled) {
  d->animationsEnabled = enabled;
}

AutoIconColor Style::autoIconColor() const {
  return d->autoIconColor;
}

void Style::setAutoIconColor(AutoIconColor autoIconColor) {
  d->autoIconColor = autoIconColor;
}

void Style::setIconPathGetter(IconPathGetter getter) {
  d->iconPathGetter = std::move(getter);
}

QString Style::iconPathForName(const QString& freedesktopName) const {
  return d->iconPathGetter ? d->iconPathGetter(freedesktopName) : QString();
}

QIcon Style::makeThemedIcon(const QString& svgPath, const QSize& size) const {
  const auto key = QStringLiteral("%1|%2x%3|%4")
                     .arg(svgPath)
                     .arg(size.width())
                     .arg(size.height())
                     .arg(d->theme.meta.name);
  if (const auto it = d->iconCache.constFind(key); it != d->iconCache.cend()) {
    return *it;
  }
  QSvgRenderer renderer(svgPath);
  if (!renderer.isValid()) {
    return {};
  }
  const std::pair<QIcon::Mode, QColor> modes[] = {
    {QIcon::Normal, d->theme.secondaryColor},
    {QIcon::Disabled, d->theme.secondaryColorDisabled},
    {QIcon::Active, d->theme.secondaryColorHovered},
    {QIcon::Selected, d->theme.primaryColorForeground},
  };
  QIcon icon;
  for (const qreal dpr : {1.0, 2.0}) {
    const auto shape = renderSvg(renderer, size, dpr);
    for (const auto& [mode, color] : modes) {
      const auto pixmap = colorized(shape, color);
      icon.addPixmap(pixmap, mode, QIcon::Off);
      icon.addPixmap(pixmap, mode, QIcon::On);
    }
  }
  d->iconCache.insert(key, icon);
  return icon;
}

QPalette Style::paletteForTextRole(TextRole role) const {
  auto palette = d->palette;
  if (role == TextRole::Caption) {
    setRole(palette, QPalette::WindowText, d->theme.secondaryAlternativeColor,
            d->theme.secondaryAlternativeColorDisabled);
    setRole(palette, QPalette::Text, d->theme.secondaryAlternativeColor,
            d->theme.secondaryAlternativeColorDisabled);
  }
  return palette;
}

QFont Style::fontForTextRole(TextRole role) const {
  switch (role) {
    case TextRole::Caption:
      return d->theme.fontCaption;
    case TextRole::H1:
      return d->theme.fontH1;
    case TextRole::H2:
      return d->theme.fontH2;
    case TextRole::H3:
      return d->theme.fontH3;
    case TextRole::H4:
      return d->theme.fontH4;
    case TextRole::H5:
      return d->theme.fontH5;
    case TextRole::Default:
      break;
  }
  return d->theme.fontRegular;
}

void Style::polish(QPalette& palette) {
  palette = d->palette;
}

void Style::polish(QWidget* widget) {
  QProxyStyle::polish(widget);
}

void Style::unpolish(QWidget* widget) {
  QProxyStyle::unpolish(widget);
}

void Style::polish(QApplication* app) {
  QProxyStyle::polish(app);
  QApplication::setFont(d->theme.fontRegular);
}

QPalette Style::standardPalette() const {
  return d->palette;
}

int Style::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                     QStyleHintReturn* returnData) const {
  if (hint == SH_Widget_Animation_Duration) {
    return d->animationsEnabled ? d->theme.animationDuration : 0;
  }
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int Style::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize Style::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                              const QWidget* widget) const {
  return QProxyStyle::sizeFromContents(type, option, size, widget);
}

QRect Style::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const {
  return QProxyStyle::subElementRect(element, option, widget);
}

QRect Style::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                            const QWidget* widget) const {
  return QProxyStyle::subControlRect(control, option, subControl, widget);
}

void Style::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const {
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void Style::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                        const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
}

void Style::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                               const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QIcon Style::standardIcon(StandardPixmap standardIcon, const QStyleOption* option, const QWidget* widget) const {
  icons::Icons16 icon{};
  if (standardPixmapIcon(standardIcon, icon)) {
    return makeThemedIcon(icons::iconPath(icon));
  }
  return QProxyStyle::standardIcon(standardIcon, option, widget);
}

QPixmap Style::generatedIconPixmap(QIcon::Mode iconMode, const QPixmap& pixmap, const QStyleOption* option) const {
  if (iconMode == QIcon::Disabled && d->autoIconColor != AutoIconColor::None && !pixmap.isNull()) {
    auto result = colorized(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                            d->theme.secondaryColorDisabled);
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    return result;
  }
  return QProxyStyle::generatedIconPixmap(iconMode, pixmap, option);
}

} // namespace arvexhub::style
