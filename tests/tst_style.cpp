#include <style/Icons16.h>
#include <style/Style.h>
#include <style/Theme.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using arvexhub::style::AutoIconColor;
using arvexhub::style::Style;
using arvexhub::style::TextRole;
using arvexhub::style::Theme;
namespace icons = arvexhub::style::icons;

Q_DECLARE_METATYPE(QIcon::Mode)
Q_DECLARE_METATYPE(TextRole)
Q_DECLARE_METATYPE(QStyle::StandardPixmap)
Q_DECLARE_METATYPE(icons::Icons16)

namespace {

using ColorMember = QColor Theme::*;
using WidgetFactory = std::function<QWidget*()>;

Theme loadTheme(const QString& name) {
  const auto theme =
      Theme::fromJsonPath(QStringLiteral(":/arvexhub/launcher/resources/themes/%1.json").arg(name));
  if (!theme) {
    qFatal("missing theme resource");
  }
  return *theme;
}

/// Distinct RGB values of the icon's fully opaque pixels; empty when it has none.
QSet<QRgb> opaqueColors(const QIcon& icon, QIcon::Mode mode, qreal dpr) {
  const auto image = icon.pixmap(QSize(16, 16), dpr, mode).toImage().convertToFormat(QImage::Format_ARGB32);
  QSet<QRgb> colors;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const auto pixel = image.pixel(x, y);
      if (qAlpha(pixel) == 255) {
        colors.insert(pixel & RGB_MASK);
      }
    }
  }
  return colors;
}

QRgb rgbOf(const QColor& color) {
  return color.rgb() & RGB_MASK;
}

QRgb pixelAt(QWidget* widget, const QPoint& point) {
  return widget->grab().toImage().pixel(point) & RGB_MASK;
}

} // namespace

class TestStyle : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();

  void setThemeUpdatesApplicationPalette_data();
  void setThemeUpdatesApplicationPalette();
  void themeChangedOncePerSetTheme();
  void animationDurationHint_data();
  void animationDurationHint();
  void themedIconIsRecoloured_data();
  void themedIconIsRecoloured();
  void themedIconOfMissingFileIsNull();
  void themedIconFollowsThemeChange();
  void textRoles_data();
  void textRoles();
  void standardIcons_data();
  void standardIcons();
  void disabledPixmapFollowsAutoIconColor_data();
  void disabledPixmapFollowsAutoIconColor();
  void controlsPaintThemeColours_data();
  void controlsPaintThemeColours();
  void hoverTransition_data();
  void hoverTransition();

private:
  Style* style_{nullptr};
  Theme dark_;
  Theme light_;
};

void TestStyle::initTestCase() {
  dark_ = loadTheme(QStringLiteral("dark"));
  light_ = loadTheme(QStringLiteral("light"));
  style_ = new Style;
  QApplication::setStyle(style_);
  QCOMPARE(Style::of(), style_);
}

void TestStyle::init() {
  style_->setAnimationsEnabled(true);
  style_->setAutoIconColor(AutoIconColor::None);
  style_->setTheme(dark_);
}

void TestStyle::setThemeUpdatesApplicationPalette_data() {
  QTest::addColumn<QString>("themeName");
  QTest::newRow("dark") << QStringLiteral("dark");
  QTest::newRow("light") << QStringLiteral("light");
}

void TestStyle::setThemeUpdatesApplicationPalette() {
  QFETCH(QString, themeName);
  const auto theme = loadTheme(themeName);
  style_->setTheme(theme);

  const auto palette = QApplication::palette();
  QCOMPARE(palette.color(QPalette::Active, QPalette::Window), theme.backgroundColorMain2);
  QCOMPARE(palette.color(QPalette::Active, QPalette::Text), theme.secondaryColor);
  QCOMPARE(palette.color(QPalette::Active, QPalette::Highlight), theme.primaryColor);
  QCOMPARE(palette.color(QPalette::Active, QPalette::HighlightedText), theme.primaryColorForeground);
  QCOMPARE(palette.color(QPalette::Active, QPalette::Base), theme.backgroundColorMain1);
  QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), theme.secondaryColorDisabled);
  QCOMPARE(QApplication::font().pixelSize(), theme.fontRegular.pixelSize());
  QCOMPARE(Style::themeOf().meta.name, theme.meta.name);
}

void TestStyle::themeChangedOncePerSetTheme() {
  QSignalSpy spy(style_, &Style::themeChanged);
  style_->setTheme(light_);
  QCOMPARE(spy.count(), 1);
  style_->setTheme(dark_);
  style_->setTheme(dark_);
  QCOMPARE(spy.count(), 3);
}

void TestStyle::animationDurationHint_data() {
  QTest::addColumn<bool>("enabled");
  QTest::addColumn<int>("themeDuration");
  QTest::addColumn<int>("expected");
  QTest::newRow("enabled, theme default") << true << 192 << 192;
  QTest::newRow("enabled, short theme") << true << 40 << 40;
  QTest::newRow("disabled") << false << 192 << 0;
}

void TestStyle::animationDurationHint() {
  QFETCH(bool, enabled);
  QFETCH(int, themeDuration);
  QFETCH(int, expected);
  auto theme = dark_;
  theme.animationDuration = themeDuration;
  style_->setTheme(theme);
  style_->setAnimationsEnabled(enabled);
  QCOMPARE(style_->animationsEnabled(), enabled);
  QCOMPARE(style_->styleHint(QStyle::SH_Widget_Animation_Duration), expected);
}

void TestStyle::themedIconIsRecoloured_data() {
  QTest::addColumn<QIcon::Mode>("mode");
  QTest::addColumn<qreal>("dpr");
  QTest::addColumn<ColorMember>("expected");
  QTest::newRow("normal 1x") << QIcon::Normal << 1.0 << &Theme::secondaryColor;
  QTest::newRow("normal 2x") << QIcon::Normal << 2.0 << &Theme::secondaryColor;
  QTest::newRow("disabled") << QIcon::Disabled << 1.0 << &Theme::secondaryColorDisabled;
  QTest::newRow("active") << QIcon::Active << 1.0 << &Theme::secondaryColorHovered;
  QTest::newRow("selected 2x") << QIcon::Selected << 2.0 << &Theme::primaryColorForeground;
}

void TestStyle::themedIconIsRecoloured() {
  QFETCH(QIcon::Mode, mode);
  QFETCH(qreal, dpr);
  QFETCH(ColorMember, expected);
  const auto icon = style_->makeThemedIcon(icons::iconPath(icons::Icons16::Media_Stop));
  QVERIFY(!icon.isNull());
  const auto colors = opaqueColors(icon, mode, dpr);
  QCOMPARE(colors, QSet<QRgb>{rgbOf(dark_.*expected)});
}

void TestStyle::themedIconOfMissingFileIsNull() {
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("missing\\.svg")));
  QVERIFY(style_->makeThemedIcon(QStringLiteral(":/nowhere/missing.svg")).isNull());
}

void TestStyle::themedIconFollowsThemeChange() {
  const auto path = icons::iconPath(icons::Icons16::Action_Trash);
  QCOMPARE(opaqueColors(style_->makeThemedIcon(path), QIcon::Normal, 1.0),
           QSet<QRgb>{rgbOf(dark_.secondaryColor)});
  style_->setTheme(light_);
  QCOMPARE(opaqueColors(style_->makeThemedIcon(path), QIcon::Normal, 1.0),
           QSet<QRgb>{rgbOf(light_.secondaryColor)});
}

void TestStyle::textRoles_data() {
  QTest::addColumn<TextRole>("role");
  QTest::addColumn<ColorMember>("textColor");
  QTest::addColumn<QFont Theme::*>("font");
  QTest::newRow("caption") << TextRole::Caption << &Theme::secondaryAlternativeColor << &Theme::fontCaption;
  QTest::newRow("default") << TextRole::Default << &Theme::secondaryColor << &Theme::fontRegular;
  QTest::newRow("h1") << TextRole::H1 << &Theme::secondaryColor << &Theme::fontH1;
  QTest::newRow("h3") << TextRole::H3 << &Theme::secondaryColor << &Theme::fontH3;
  QTest::newRow("h5") << TextRole::H5 << &Theme::secondaryColor << &Theme::fontH5;
}

void TestStyle::textRoles() {
  QFETCH(TextRole, role);
  QFETCH(ColorMember, textColor);
  QFETCH(QFont Theme::*, font);
  const auto palette = style_->paletteForTextRole(role);
  QCOMPARE(palette.color(QPalette::Active, QPalette::WindowText), dark_.*textColor);
  QCOMPARE(palette.color(QPalette::Active, QPalette::Text), dark_.*textColor);
  QCOMPARE(style_->fontForTextRole(role), dark_.*font);
  QVERIFY(style_->paletteForTextRole(TextRole::Caption).color(QPalette::WindowText) !=
          style_->paletteForTextRole(TextRole::Default).color(QPalette::WindowText));
}

void TestStyle::standardIcons_data() {
  QTest::addColumn<QStyle::StandardPixmap>("standardPixmap");
  QTest::addColumn<icons::Icons16>("icon");
  QTest::newRow("play") << QStyle::SP_MediaPlay << icons::Icons16::Media_Play;
  QTest::newRow("pause") << QStyle::SP_MediaPause << icons::Icons16::Media_Pause;
  QTest::newRow("close") << QStyle::SP_DialogCloseButton << icons::Icons16::Action_Close;
  QTest::newRow("trash") << QStyle::SP_TrashIcon << icons::Icons16::Action_Trash;
  QTest::newRow("maximise") << QStyle::SP_TitleBarMaxButton << icons::Icons16::Navigation_Fullscreen;
  QTest::newRow("warning") << QStyle::SP_MessageBoxWarning << icons::Icons16::Misc_Warning;
}

void TestStyle::standardIcons() {
  QFETCH(QStyle::StandardPixmap, standardPixmap);
  QFETCH(icons::Icons16, icon);
  const auto standard = style_->standardIcon(standardPixmap);
  QVERIFY(!standard.isNull());
  const auto expected = style_->makeThemedIcon(icons::iconPath(icon)).pixmap(16).toImage();
  QCOMPARE(standard.pixmap(16).toImage(), expected);
}

void TestStyle::disabledPixmapFollowsAutoIconColor_data() {
  QTest::addColumn<AutoIconColor>("autoIconColor");
  QTest::addColumn<bool>("recoloured");
  QTest::newRow("none") << AutoIconColor::None << false;
  QTest::newRow("foreground") << AutoIconColor::ForegroundColor << true;
  QTest::newRow("text") << AutoIconColor::TextColor << true;
}

void TestStyle::disabledPixmapFollowsAutoIconColor() {
  QFETCH(AutoIconColor, autoIconColor);
  QFETCH(bool, recoloured);
  style_->setAutoIconColor(autoIconColor);
  QCOMPARE(style_->autoIconColor(), autoIconColor);
  QPixmap red(8, 8);
  red.fill(Qt::red);
  const auto disabled = style_->generatedIconPixmap(QIcon::Disabled, red, nullptr).toImage();
  const bool isDisabledColor = (disabled.pixel(4, 4) & RGB_MASK) == rgbOf(dark_.secondaryColorDisabled);
  QCOMPARE(isDisabledColor, recoloured);
}

void TestStyle::controlsPaintThemeColours_data() {
  QTest::addColumn<WidgetFactory>("factory");
  QTest::addColumn<QPoint>("point");
  QTest::addColumn<ColorMember>("expected");
  QTest::addColumn<bool>("controlHeight");
  QTest::newRow("push button") << WidgetFactory([] { return new QPushButton(QStringLiteral("Go")); })
                               << QPoint(4, 14) << &Theme::neutralColor << true;
  QTest::newRow("default button") << WidgetFactory([] {
    auto* button = new QPushButton(QStringLiteral("Go"));
    button->setDefault(true);
    return button;
  }) << QPoint(4, 14) << &Theme::primaryColor
                                  << true;
  QTest::newRow("line edit") << WidgetFactory([] { return new QLineEdit; }) << QPoint(4, 14)
                             << &Theme::backgroundColorMain1 << true;
  QTest::newRow("checked box") << WidgetFactory([] {
    auto* box = new QCheckBox(QStringLiteral("On"));
    box->setChecked(true);
    return box;
  }) << QPoint(2, -1) << &Theme::primaryColor
                               << false;
  QTest::newRow("progress bar") << WidgetFactory([] {
    auto* bar = new QProgressBar;
    bar->setValue(80);
    return bar;
  }) << QPoint(4, -1) << &Theme::primaryColor
                                << false;
}

void TestStyle::controlsPaintThemeColours() {
  QFETCH(WidgetFactory, factory);
  QFETCH(QPoint, point);
  QFETCH(ColorMember, expected);
  QFETCH(bool, controlHeight);
  for (const auto& theme : {dark_, light_}) {
    style_->setTheme(theme);
    std::unique_ptr<QWidget> widget(factory());
    widget->resize(widget->sizeHint().expandedTo(QSize(120, 0)));
    if (controlHeight) {
      QCOMPARE(widget->height(), theme.controlHeightLarge);
    }
    const QPoint at(point.x(), point.y() < 0 ? widget->height() / 2 : point.y());
    QCOMPARE(pixelAt(widget.get(), at), rgbOf(theme.*expected));
  }
}

void TestStyle::hoverTransition_data() {
  QTest::addColumn<bool>("animated");
  QTest::newRow("animations on") << true;
  QTest::newRow("animations off") << false;
}

void TestStyle::hoverTransition() {
  QFETCH(bool, animated);
  style_->setAnimationsEnabled(animated);
  auto button = std::make_unique<QPushButton>(QStringLiteral("Hover me"));
  button->resize(button->sizeHint());
  const QPoint at(4, button->height() / 2);
  QCOMPARE(pixelAt(button.get(), at), rgbOf(dark_.neutralColor));

  button->setAttribute(Qt::WA_UnderMouse);
  const auto first = pixelAt(button.get(), at);
  QCOMPARE(first == rgbOf(dark_.neutralColorHovered), !animated);
  QTRY_COMPARE_WITH_TIMEOUT(pixelAt(button.get(), at), rgbOf(dark_.neutralColorHovered),
                            dark_.animationDuration * 10);

  // A widget going away in the middle of a transition must take its transition along.
  button->setAttribute(Qt::WA_UnderMouse, false);
  pixelAt(button.get(), at);
  button.reset();
  QTest::qWait(dark_.animationDuration);
}

QTEST_MAIN(TestStyle)
#include "tst_style.moc"
