#pragma once

#include "style/StyleTypes.h"
#include "style/Theme.h"

#include <QProxyStyle>

#include <functional>
#include <memory>

namespace arvexhub::style {

class StyleAnimations;
struct StyleContext;

/// The application's flat style: a proxy over Fusion whose palette, metrics and drawing all
/// come from a `Theme`.
class Style final : public QProxyStyle {
  Q_OBJECT

public:
  using IconPathGetter = std::function<QString(const QString& freedesktopName)>;

  explicit Style(QObject* parent = nullptr);
  ~Style() override;
  Q_DISABLE_COPY_MOVE(Style)

  /// The style of the widget (or of the application when null) if it is ours, else null.
  static Style* of(const QWidget* widget = nullptr);
  /// The theme of that style, or a default theme when the style is not ours.
  static const Theme& themeOf(const QWidget* widget = nullptr);

  const Theme& theme() const;
  void setTheme(const Theme& theme);

  bool animationsEnabled() const;
  void setAnimationsEnabled(bool enabled);

  AutoIconColor autoIconColor() const;
  void setAutoIconColor(AutoIconColor autoIconColor);

  void setIconPathGetter(IconPathGetter getter);
  /// The resource path for a freedesktop icon name through the icon path getter; empty if none.
  QString iconPathForName(const QString& freedesktopName) const;

  /// A monochrome SVG recoloured with the theme's foreground colour of each icon mode.
  QIcon makeThemedIcon(const QString& svgPath, const QSize& size = QSize(16, 16)) const;
  /// The SVG in the current theme's colour for the icon mode, at that size and pixel ratio.
  QPixmap themedIconPixmap(const QString& svgPath, const QSize& size, QIcon::Mode mode, qreal dpr) const;

  QPalette paletteForTextRole(TextRole role) const;
  QFont fontForTextRole(TextRole role) const;

  // QStyle
  void polish(QPalette& palette) override;
  void polish(QWidget* widget) override;
  void unpolish(QWidget* widget) override;
  void polish(QApplication* app) override;
  QPalette standardPalette() const override;
  int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                QStyleHintReturn* returnData = nullptr) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
  QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override;
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                       const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;
  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
  QPixmap generatedIconPixmap(QIcon::Mode iconMode, const QPixmap& pixmap,
                              const QStyleOption* option) const override;

signals:
  void themeChanged();

private:
  StyleContext context() const;
  int spacingMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const;
  void drawPanelPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const;
  void drawHeaderArrow(const StyleContext& c, const QStyleOption* option, QPainter* painter) const;
  void drawItemViewRow(const QStyleOption* option, QPainter* painter) const;
  void drawMenuToolButton(const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const;
  void drawPanelControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                        const QWidget* widget) const;
  void drawRecoloredControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget, const QColor& color) const;
  void drawProgressBar(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
  QColor tabTextColor(const QStyleOption* option) const;
  QSize comboItemSize(const QStyleOption* option) const;
  QRect comboPopupRect(const QStyleOptionComplex* option, const QWidget* widget) const;

  struct Private;
  std::unique_ptr<Private> d;
};

} // namespace arvexhub::style
