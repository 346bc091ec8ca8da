// A theme file, as found in a themes folder, read by Theme::fromJsonData.
//
// Promises checked: a theme that is read has a name and a valid colour for every key; each
// colour the file gives as "#RRGGBB" or "#RRGGBBAA" is taken; what colorToHexString writes reads
// back as the same colour; metrics are never negative.

#include "style/Theme.h"

#include "FuzzSupport.h"

#include <QJsonDocument>
#include <QJsonObject>

using arvexhub::style::Theme;
namespace fuzz = arvexhub::fuzz;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::initialize(argc, argv, fuzz::AppKind::Gui);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const auto theme = Theme::fromJsonData(bytes);
  if (!theme) {
    return 0;
  }
  FUZZ_CHECK(!theme->meta.name.isEmpty(), QStringLiteral("a theme without a name"));
  const QJsonObject object = QJsonDocument::fromJson(bytes).object();
  for (const QString& key : Theme::colorKeys()) {
    const QColor* color = theme->colorByKey(key);
    FUZZ_CHECK(color != nullptr && color->isValid(), QStringLiteral("colour %1").arg(key));
    const QString written = Theme::colorToHexString(*color);
    FUZZ_CHECK(Theme::colorFromHexString(written) == *color,
               QStringLiteral("%1 written as %2").arg(key, written));
    const QColor given = Theme::colorFromHexString(object.value(key).toString());
    FUZZ_CHECK(!given.isValid() || given == *color, QStringLiteral("colour %1 not taken").arg(key));
  }
  for (const int metric :
       {theme->borderRadius, theme->borderWidth, theme->focusBorderWidth, theme->spacing,
        theme->animationDuration, theme->fontSize, theme->fontSizeMonospace, theme->fontSizeH1,
        theme->fontSizeH2, theme->fontSizeH3, theme->fontSizeH4, theme->fontSizeH5, theme->fontSizeS1}) {
    FUZZ_CHECK(metric >= 0, QStringLiteral("negative metric %1").arg(metric));
  }
  return 0;
}
