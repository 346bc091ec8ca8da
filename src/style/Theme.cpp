#include "style/Theme.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QtDebug>

#include <array>
#include <utility>

namespace arvexhub::style {
namespace {

using ColorMember = QColor Theme::*;

struct ColorEntry {
  QLatin1String key;
  ColorMember member;
  QLatin1String defaultValue;
};

const auto& colorTable() {
  static const std::array table{
#define ARVEXHUB_THEME_COLOR(name, value)                                                                    \
  ColorEntry{QLatin1String(#name), &Theme::name, QLatin1String(value)},
#include "style/ThemeColorList.h"
#undef ARVEXHUB_THEME_COLOR
  };
  return table;
}

/// First installed family among the candidates, or the application's default family.
QString firstAvailableFamily(std::initializer_list<const char*> candidates, QFont::StyleHint hint) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    const auto families = QFontDatabase::families();
    for (const char* candidate : candidates) {
      const auto family = QString::fromLatin1(candidate);
      if (families.contains(family, Qt::CaseInsensitive)) {
        return family;
      }
    }
    if (hint == QFont::Monospace) {
      return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }
    return QGuiApplication::font().family();
  }
  return QString::fromLatin1(*candidates.begin());
}

QFont makeFont(const QString& family, int pixelSize, QFont::Weight weight) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

} // namespace

Theme::Theme() {
  for (const auto& entry : colorTable()) {
    this->*entry.member = colorFromHexString(entry.defaultValue);
  }
  meta.name = QStringLiteral("Light");
  meta.version = QStringLiteral("2.0.0");
  initializeFonts();
}

void Theme::initializeFonts() {
  const auto textFamily = firstAvailableFamily({"Inter", "Noto Sans", "DejaVu Sans"}, QFont::SansSerif);
  const auto monoFamily =
      firstAvailableFamily({"JetBrains Mono", "DejaVu Sans Mono", "Liberation Mono"}, QFont::Monospace);
  fontRegular = makeFont(textFamily, fontSize, QFont::Normal);
  fontBold = makeFont(textFamily, fontSize, QFont::Bold);
  fontCaption = makeFont(textFamily, fontSizeS1, QFont::Normal);
  fontMonospace = makeFont(monoFamily, fontSizeMonospace, QFont::Normal);
  fontMonospace.setStyleHint(QFont::Monospace);
  fontH1 = makeFont(textFamily, fontSizeH1, QFont::Bold);
  fontH2 = makeFont(textFamily, fontSizeH2, QFont::Bold);
  fontH3 = makeFont(textFamily, fontSizeH3, QFont::Bold);
  fontH4 = makeFont(textFamily, fontSizeH4, QFont::Bold);
  fontH5 = makeFont(textFamily, fontSizeH5, QFont::Bold);
}

QColor Theme::colorFromHexString(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral("^#([0-9A-Fa-f]{6})([0-9A-Fa-f]{2})?$"));
  const auto match = pattern.match(text);
  if (!match.hasMatch()) {
    return {};
  }
  const auto rgb = match.capturedView(1).toUInt(nullptr, 16);
  const auto alpha = match.capturedLength(2) > 0 ? match.capturedView(2).toInt(nullptr, 16) : 255;
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF), alpha);
}

QString Theme::colorToHexString(const QColor& color) {
  auto text = color.name(QColor::HexRgb);
  if (color.alpha() != 255) {
    text += QStringLiteral("%1").arg(color.alpha(), 2, 16, QLatin1Char('0'));
  }
  return text;
}

const QStringList& Theme::colorKeys() {
  static const QStringList keys = [] {
    QStringList list;
    for (const auto& entry : colorTable()) {
      list.append(entry.key);
    }
    return list;
  }();
  return keys;
}

const QColor* Theme::colorByKey(const QString& key) const {
  for (const auto& entry : colorTable()) {
    if (entry.key == key) {
      return &(this->*entry.member);
    }
  }
  return nullptr;
}

QFont Theme::fontForTextRole(TextRole role) const {
  switch (role) {
  case TextRole::Caption:
    return fontCaption;
  case TextRole::H1:
    return fontH1;
  case TextRole::H2:
    return fontH2;
  case TextRole::H3:
    return fontH3;
  case TextRole::H4:
    return fontH4;
  case TextRole::H5:
    return fontH5;
  case TextRole::Default:
    break;
  }
  return fontRegular;
}

QColor* Theme::mutableColorByKey(const QString& key) {
  return const_cast<QColor*>(std::as_const(*this).colorByKey(key));
}

bool Theme::readMetrics(const QJsonObject& object) {
  const std::pair<const char*, int Theme::*> metrics[] = {
      {"borderRadius", &Theme::borderRadius},
      {"borderWidth", &Theme::borderWidth},
      {"focusBorderWidth", &Theme::focusBorderWidth},
      {"spacing", &Theme::spacing},
      {"animationDuration", &Theme::animationDuration},
      {"fontSize", &Theme::fontSize},
      {"fontSizeMonospace", &Theme::fontSizeMonospace},
      {"fontSizeH1", &Theme::fontSizeH1},
      {"fontSizeH2", &Theme::fontSizeH2},
      {"fontSizeH3", &Theme::fontSizeH3},
      {"fontSizeH4", &Theme::fontSizeH4},
      {"fontSizeH5", &Theme::fontSizeH5},
      {"fontSizeS1", &Theme::fontSizeS1},
  };
  bool fontsChanged = false;
  for (const auto& [key, member] : metrics) {
    const auto value = object.value(QLatin1String(key));
    if (value.isUndefined()) {
      continue;
    }
    if (!value.isDouble() || value.toInt(-1) < 0) {
      qWarning() << "Theme value is not a non-negative number:" << QLatin1String(key);
      continue;
    }
    this->*member = value.toInt();
    fontsChanged = fontsChanged || QLatin1String(key).startsWith(QLatin1String("fontSize"));
  }
  return fontsChanged;
}

std::optional<Theme> Theme::fromJsonDoc(const QJsonDocument& doc) {
  if (!doc.isObject()) {
    qWarning() << "Theme document is not a JSON object";
    return std::nullopt;
  }
  const auto object = doc.object();
  const auto metaObject = object.value(QLatin1String("meta")).toObject();
  const auto name = metaObject.value(QLatin1String("name")).toString();
  if (name.isEmpty()) {
    qWarning() << "Theme document has no meta.name";
    return std::nullopt;
  }

  Theme theme;
  theme.meta.name = name;
  theme.meta.version = metaObject.value(QLatin1String("version")).toString();
  theme.meta.author = metaObject.value(QLatin1String("author")).toString();

  for (auto it = object.begin(); it != object.end(); ++it) {
    auto* color = theme.mutableColorByKey(it.key());
    if (!color) {
      continue;
    }
    const auto parsed = colorFromHexString(it.value().toString());
    if (parsed.isValid()) {
      *color = parsed;
    } else {
      qWarning() << "Theme colour is not \"#RRGGBB\" or \"#RRGGBBAA\", default kept:" << it.key();
    }
  }
  if (theme.readMetrics(object)) {
    theme.initializeFonts();
  }
  return theme;
}

std::optional<Theme> Theme::fromJsonData(const QByteArray& data) {
  QJsonParseError error{};
  const auto doc = QJsonDocument::fromJson(data, &error);
  if (error.error != QJsonParseError::NoError) {
    qWarning() << "Theme document is not valid JSON:" << error.errorString();
    return std::nullopt;
  }
  return fromJsonDoc(doc);
}

std::optional<Theme> Theme::fromJsonPath(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    qWarning() << "Cannot read theme file:" << path;
    return std::nullopt;
  }
  return fromJsonData(file.readAll());
}

} // namespace arvexhub::style
