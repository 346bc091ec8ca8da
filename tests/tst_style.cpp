#include "style/Icons16.h"
#include "style/Style.h"
#include "style/Theme.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace arvexhub::style;

Q_DECLARE_METATYPE(QIcon::Mode)
Q_DECLARE_METATYPE(TextRole)
Q_DECLARE_METATYPE(QStyle::StandardPixmap)
Q_DECLARE_METATYPE(icons::Icons16)

namespace {

using ColorMember = QColor Theme::*;

Theme loadTheme(const QString& name) {
  return Theme::fromJsonPath(QStringLiteral(":/arvexhub/launcher/resources/themes/%1.json").arg(name))
      .value();
}

QSet<QRgb> opaqueColors(const QIcon& icon, QIcon::Mode mode = QIcon::Normal, qreal dpr = 1.) {
  const auto image = icon.pixmap(QSize(16, 16), dpr, mode).toImage().convertToFormat(QImage::Format_ARGB32);
  QSet<QRgb> colors;
  for (int i = 0; i < image.width() * image.height(); ++i) {
    const auto pixel = image.pixel(i % image.width(), i / image.width());
    if (qAlpha(pixel) == 255) {
      colors.insert(pixel & RGB_MASK);
    }
  }
  return colors;
}

QSet<QRgb> only(const QColor& color) {
  return {color.rgb() & RGB_MASK};
}

} // namespace

class TestStyle : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    dark_ = loadTheme(QStringLiteral("dark"));
    light_ = loadTheme(QStringLiteral("light"));
    style_ = new Style;
    QApplication::setStyle(style_);
  }

  void init() {
    style_->setTheme(dark_);
  }

  void setThemeUpdatesApplicationPalette_data() {
    QTest::addColumn<QString>("themeName");
    QTest::newRow("dark") << QStringLiteral("dark");
    QTest::newRow("light") << QStringLiteral("light");
  }

  void setThemeUpdatesApplicationPalette() {
    QFETCH(QString, themeName);
    const auto theme = loadTheme(themeName);
    QSignalSpy changed(style_, &Style::themeChanged);
    style_->setTheme(theme); // announced on every call, the same theme again too
    QCOMPARE(changed.count(), 1);
    const auto palette = QApplication::palette();
    QCOMPARE(palette.color(QPalette::Active, QPalette::Window), theme.backgroundColorMain2);
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), theme.secondaryColor);
    QCOMPARE(palette.color(QPalette::Active, QPalette::Highlight), theme.primaryColor);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), theme.secondaryColorDisabled);
    QCOMPARE(Style::themeOf().meta.name, theme.meta.name);
  }

  void animationDurationHint_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("expected");
    QTest::newRow("enabled") << true << 40;
    QTest::newRow("disabled") << false << 0;
  }

  void animationDurationHint() {
    QFETCH(bool, enabled);
    QFETCH(int, expected);
    auto theme = dark_;
    theme.animationDuration = 40;
    style_->setTheme(theme);
    style_->setAnimationsEnabled(enabled);
    QCOMPARE(style_->styleHint(QStyle::SH_Widget_Animation_Duration), expected);
  }

  void themedIconIsRecoloured_data() {
    QTest::addColumn<QIcon::Mode>("mode");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<ColorMember>("expected");
    QTest::newRow("normal 1x") << QIcon::Normal << 1.0 << &Theme::secondaryColor;
    QTest::newRow("normal 2x") << QIcon::Normal << 2.0 << &Theme::secondaryColor;
    QTest::newRow("disabled") << QIcon::Disabled << 1.0 << &Theme::secondaryColorDisabled;
    QTest::newRow("active") << QIcon::Active << 1.0 << &Theme::secondaryColorHovered;
    QTest::newRow("selected") << QIcon::Selected << 1.0 << &Theme::primaryColorForeground;
  }

  void themedIconIsRecoloured() {
    QFETCH(QIcon::Mode, mode);
    QFETCH(qreal, dpr);
    QFETCH(ColorMember, expected);
    const auto icon = style_->makeThemedIcon(icons::iconPath(icons::Icons16::Media_Stop));
    QCOMPARE(opaqueColors(icon, mode, dpr), only(dark_.*expected));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("missing\\.svg")));
    QVERIFY(style_->makeThemedIcon(QStringLiteral(":/nowhere/missing.svg")).isNull());
  }

  void themedIconFollowsThemeChange() {
    // An icon made once, as a tool button keeps it, is drawn in the theme of the moment.
    const auto trash = style_->makeThemedIcon(icons::iconPath(icons::Icons16::Action_Trash));
    QCOMPARE(opaqueColors(trash), only(dark_.secondaryColor));
    style_->setTheme(light_);
    QCOMPARE(opaqueColors(trash), only(light_.secondaryColor));
  }

  void textRoles_data() {
    QTest::addColumn<TextRole>("role");
    QTest::addColumn<ColorMember>("textColor");
    QTest::addColumn<QFont Theme::*>("font");
    QTest::newRow("caption") << TextRole::Caption << &Theme::secondaryAlternativeColor << &Theme::fontCaption;
    QTest::newRow("default") << TextRole::Default << &Theme::secondaryColor << &Theme::fontRegular;
    QTest::newRow("h1") << TextRole::H1 << &Theme::secondaryColor << &Theme::fontH1;
  }

  void textRoles() {
    QFETCH(TextRole, role);
    QFETCH(ColorMember, textColor);
    QFETCH(QFont Theme::*, font);
    QCOMPARE(style_->paletteForTextRole(role).color(QPalette::Active, QPalette::WindowText),
             dark_.*textColor);
    QCOMPARE(style_->fontForTextRole(role), dark_.*font);
    QVERIFY(style_->paletteForTextRole(TextRole::Caption).color(QPalette::WindowText) !=
            style_->paletteForTextRole(TextRole::Default).color(QPalette::WindowText));
  }

  void standardIcons_data() {
    QTest::addColumn<QStyle::StandardPixmap>("standardPixmap");
    QTest::addColumn<icons::Icons16>("icon");
    QTest::newRow("play") << QStyle::SP_MediaPlay << icons::Icons16::Media_Play;
    QTest::newRow("close") << QStyle::SP_DialogCloseButton << icons::Icons16::Action_Close;
    QTest::newRow("trash") << QStyle::SP_TrashIcon << icons::Icons16::Action_Trash;
  }

  void standardIcons() {
    QFETCH(QStyle::StandardPixmap, standardPixmap);
    QFETCH(icons::Icons16, icon);
    const auto expected = style_->makeThemedIcon(icons::iconPath(icon)).pixmap(16).toImage();
    QCOMPARE(style_->standardIcon(standardPixmap).pixmap(16).toImage(), expected);
  }

  // A box as wide as its text opens a popup whose entries, with their check column, still fit.
  void comboPopupFitsItsEntries() {
    QComboBox box;
    box.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const QIcon icon = style_->standardIcon(QStyle::SP_MediaPlay);
    box.addItem(icon, QStringLiteral("English"));
    box.addItem(icon, QStringLiteral("Français"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.showPopup();
    QTRY_VERIFY(box.view()->isVisible());
    QCOMPARE_GE(box.view()->viewport()->width(), box.view()->sizeHintForColumn(0));
    box.hidePopup();
  }

private:
  Style* style_{nullptr};
  Theme dark_;
  Theme light_;
};

QTEST_MAIN(TestStyle)
#include "tst_style.moc"
