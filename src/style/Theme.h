#pragma once

#include "style/StyleTypes.h"

#include <QColor>
#include <QFont>
#include <QJsonDocument>
#include <QSize>
#include <QString>

#include <optional>

namespace arvexhub::style {

struct ThemeMeta {
  QString name;
  QString version;
  QString author;
};

/// A complete set of colours, metrics and fonts. A default-constructed theme is the light
/// theme and is usable as it is; a theme file overrides the colours it names.
class Theme {
public:
  Theme();

  /// nullopt when the document is not a JSON object or has no "meta.name".
  static std::optional<Theme> fromJsonDoc(const QJsonDocument& doc);
  static std::optional<Theme> fromJsonData(const QByteArray& data);
  static std::optional<Theme> fromJsonPath(const QString& path);

  /// "#RRGGBB" or "#RRGGBBAA" (alpha last, as theme files write it); invalid otherwise.
  static QColor colorFromHexString(const QString& text);
  static QString colorToHexString(const QColor& color);

  /// The colour stored under a theme-file key, or nullptr for an unknown key.
  const QColor* colorByKey(const QString& key) const;
  static const QStringList& colorKeys();

  ThemeMeta meta;

#define ARVEXHUB_THEME_COLOR(name, value) QColor name;
#include "style/ThemeColorList.h"
#undef ARVEXHUB_THEME_COLOR

  int borderRadius{6};
  int checkBoxBorderRadius{4};
  int menuItemBorderRadius{4};
  int borderWidth{1};
  int focusBorderWidth{2};
  int spacing{8};
  int animationDuration{192};
  int controlHeightLarge{28};
  int controlHeightMedium{24};
  int controlHeightSmall{16};
  int controlDefaultWidth{96};
  int scrollBarThicknessFull{12};
  int scrollBarThicknessSmall{6};
  int scrollBarMargin{0};
  int tabBarPaddingTop{4};
  int tabBarTabMaxWidth{0};
  int tabBarTabMinWidth{0};
  QSize iconSize{16, 16};
  QSize iconSizeMedium{24, 24};
  QSize iconSizeLarge{24, 24};
  QSize iconSizeExtraSmall{12, 12};

  int fontSize{12};
  int fontSizeMonospace{13};
  int fontSizeH1{34};
  int fontSizeH2{26};
  int fontSizeH3{22};
  int fontSizeH4{18};
  int fontSizeH5{14};
  int fontSizeS1{10};

  QFont fontRegular;
  QFont fontBold;
  QFont fontCaption;
  QFont fontMonospace;
  QFont fontH1;
  QFont fontH2;
  QFont fontH3;
  QFont fontH4;
  QFont fontH5;

  /// The font of a label's typographic role.
  QFont fontForTextRole(TextRole role) const;

private:
  QColor* mutableColorByKey(const QString& key);
  void initializeFonts();
  bool readMetrics(const QJsonObject& object);
};

} // namespace arvexhub::style
