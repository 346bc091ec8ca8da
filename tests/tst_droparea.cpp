#include "style/Style.h"
#include "style/Theme.h"
#include "widgets/window/DropArea.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVariantAnimation>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using arvexhub::launcher::DropArea;
using arvexhub::style::Style;
using arvexhub::style::Theme;

namespace {

Theme themeFile(const QString& file) {
  return Theme::fromJsonPath(u":/arvexhub/launcher/resources/themes/"_s + file).value_or(Theme());
}

int pixelsOf(const QImage& image, const QRect& area, const QColor& color) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      count += image.pixelColor(x, y) == color ? 1 : 0;
    }
  }
  return count;
}

} // namespace

class TestDropArea final : public QObject {
  Q_OBJECT

  Style* style_{nullptr};
  std::unique_ptr<QWidget> window_;
  QPushButton* button_{nullptr};
  DropArea* area_{nullptr};
  Theme initialTheme_;

  QVariantAnimation* fade() const {
    return area_->findChild<QVariantAnimation*>();
  }
  double opacity() const {
    return fade()->currentValue().toDouble();
  }
  void makeWindow() {
    window_ = std::make_unique<QWidget>();
    window_->resize(640, 420);
    button_ = new QPushButton(u"Below"_s, window_.get());
    button_->setGeometry(window_->rect());
    area_ = new DropArea(window_.get());
    area_->setGeometry(window_->rect());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

private slots:
  void initTestCase() {
    style_ = new Style;
    Theme theme = themeFile(u"light.json"_s);
    theme.animationDuration = 400; // fades of 200 ms: long enough to be caught half-way
    style_->setTheme(theme);
    initialTheme_ = theme;
    QApplication::setStyle(style_);
  }
  void cleanup() {
    window_.reset();
    style_->setAnimationsEnabled(true);
    style_->setTheme(initialTheme_);
  }

  void fades_data() {
    QTest::addColumn<bool>("animated");
    QTest::addColumn<QString>("steps"); // S show, H hide, M half-way through the fade, F fade finished
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("fadesStarted");
    QTest::addColumn<QString>("theme"); // switched to once the area exists
    QTest::newRow("fade in") << true << "SF" << true << 1 << QString();
    QTest::newRow("fade in, the theme switched to dark") << true << "SF" << true << 1 << u"dark.json"_s;
    QTest::newRow("shown twice") << true << "SSF" << true << 1 << QString();
    QTest::newRow("hidden while hidden") << true << "HF" << false << 0 << QString();
    QTest::newRow("fade in then out") << true << "SFHF" << false << 2 << QString();
    QTest::newRow("fade in reversed") << true << "SMHF" << false << 2 << QString();
    QTest::newRow("fade out reversed") << true << "SFHMSF" << true << 3 << QString();
    QTest::newRow("no animations") << false << "SFHF" << false << 2 << QString();
  }
  void fades() {
    QFETCH(bool, animated);
    QFETCH(QString, steps);
    QFETCH(bool, visible);
    QFETCH(int, fadesStarted);
    QFETCH(QString, theme);
    style_->setAnimationsEnabled(animated);
    makeWindow();
    if (!theme.isEmpty()) {
      style_->setTheme(themeFile(theme));
    }
    QVERIFY(!area_->isVisible());
    QVERIFY(fade());
    QSignalSpy changes(fade(), &QAbstractAnimation::stateChanged);
    for (const QChar step : steps) {
      const double before = opacity();
      if (step == QLatin1Char('S') || step == QLatin1Char('H')) {
        area_->animateVisibility(step == QLatin1Char('S'));
        if (animated) {
          QCOMPARE(opacity(), before); // a new fade goes on from the opacity reached
        }
        QVERIFY(area_->isVisible() || step == QLatin1Char('H'));
      } else if (step == QLatin1Char('M')) {
        QCOMPARE(fade()->state(), QAbstractAnimation::Running);
        fade()->setCurrentTime(fade()->duration() / 2);
        QVERIFY(opacity() > 0.0 && opacity() < 1.0);
      } else {
        QTRY_COMPARE(fade()->state(), QAbstractAnimation::Stopped);
      }
    }
    QCOMPARE(area_->isVisible(), visible);
    QCOMPARE(opacity(), visible ? 1.0 : 0.0);
    const auto starts = std::count_if(changes.cbegin(), changes.cend(), [](const QList<QVariant>& change) {
      return change.at(0).value<QAbstractAnimation::State>() == QAbstractAnimation::Running;
    });
    QCOMPARE(starts, fadesStarted);
    if (visible) { // the icon, in the middle above the texts, takes the theme's accent
      const QRect icon((area_->width() - 64) / 2, area_->height() / 4, 64, area_->height() / 4);
      QVERIFY(pixelsOf(area_->grab().toImage(), icon, style_->theme().primaryColor) > 0);
    }
    // Shown or not, the area lets clicks through to what lies below.
    QSignalSpy clicked(button_, &QPushButton::clicked);
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, window_->rect().center());
    QCOMPARE(clicked.count(), 1);
  }
};

QTEST_MAIN(TestDropArea)
#include "tst_droparea.moc"
