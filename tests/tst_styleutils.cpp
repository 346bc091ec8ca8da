#include <style/Style.h>
#include <style/StyleUtils.h>

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSpacerItem>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>

using namespace arvexhub::style;

namespace {

QPixmap solidPixmap(const QSize& deviceSize, const QColor& color, qreal dpr = 1.) {
  QPixmap pixmap(deviceSize);
  pixmap.fill(color);
  pixmap.setDevicePixelRatio(dpr);
  return pixmap;
}

/// Premultiplied storage rounds the colour channels of translucent pixels a little.
bool sameColor(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

QImage imageOf(const QPixmap& pixmap) {
  return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

enum class Corner { TopLeft, TopRight, BottomRight, BottomLeft };

QPoint cornerPixel(const QImage& image, Corner corner) {
  switch (corner) {
  case Corner::TopLeft:
    return {0, 0};
  case Corner::TopRight:
    return {image.width() - 1, 0};
  case Corner::BottomRight:
    return {image.width() - 1, image.height() - 1};
  case Corner::BottomLeft:
    return {0, image.height() - 1};
  }
  return {};
}

} // namespace

class TestStyleUtils : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();

  void roundedPixmap_data();
  void roundedPixmap();
  void roundedPixmapCorners_data();
  void roundedPixmapCorners();
  void roundedPixmapOfNull();

  void colorizedPixmap_data();
  void colorizedPixmap();

  void colorWithAlphaF_data();
  void colorWithAlphaF();

  void clearLayoutDeletesEverything();

  void centerOnHostWindow();
  void centerChildOnHost();
  void centerOnScreen();

  void lines_data();
  void lines();
};

void TestStyleUtils::initTestCase() {
  auto* style = new Style();
  style->setAnimationsEnabled(false);
  QApplication::setStyle(style);
}

void TestStyleUtils::roundedPixmap_data() {
  QTest::addColumn<QSize>("deviceSize");
  QTest::addColumn<qreal>("dpr");
  QTest::addColumn<double>("radius");

  QTest::newRow("square, no radius") << QSize(32, 32) << 1. << 0.;
  QTest::newRow("square, small radius") << QSize(32, 32) << 1. << 4.;
  QTest::newRow("wide pill") << QSize(40, 20) << 1. << 10.;
  QTest::newRow("tall, large radius") << QSize(24, 60) << 1. << 9.;
  QTest::newRow("high dpi") << QSize(64, 64) << 2. << 16.;
  QTest::newRow("radius beyond half the side") << QSize(20, 20) << 1. << 100.;
}

void TestStyleUtils::roundedPixmap() {
  QFETCH(QSize, deviceSize);
  QFETCH(qreal, dpr);
  QFETCH(double, radius);
  const QColor color(200, 40, 10);

  const auto result = makeRoundedPixmap(solidPixmap(deviceSize, color, dpr), radius);
  QCOMPARE(result.size(), deviceSize);
  QCOMPARE(result.devicePixelRatio(), dpr);

  const auto image = imageOf(result);
  // The radius can't exceed half the shorter side; past it the shape is a circle or a pill.
  const auto r = std::min(radius, std::min(deviceSize.width(), deviceSize.height()) / 2.);
  const QPointF arcCentre(r, r);
  for (int y = 0; y < image.height() / 2; ++y) {
    for (int x = 0; x < image.width() / 2; ++x) {
      const QPointF centre(x + .5, y + .5);
      const auto inCornerSquare = centre.x() < r && centre.y() < r;
      const auto distance = std::hypot(centre.x() - arcCentre.x(), centre.y() - arcCentre.y());
      const auto alpha = image.pixelColor(x, y).alpha();
      // One pixel of antialiasing either side of the arc is fine.
      if (inCornerSquare && distance > r + 1.) {
        QVERIFY2(alpha == 0, qPrintable(QStringLiteral("(%1, %2) should be transparent").arg(x).arg(y)));
      } else if (!inCornerSquare || distance < r - 1.) {
        QVERIFY2(alpha == 255, qPrintable(QStringLiteral("(%1, %2) should be opaque").arg(x).arg(y)));
      }
    }
  }
  const auto middle = image.pixelColor(image.width() / 2, image.height() / 2);
  QCOMPARE(middle, color);
  // All four corners take the radius, not only the one checked in detail above.
  const auto cornersTransparent = r >= 2.;
  for (const auto corner : {Corner::TopLeft, Corner::TopRight, Corner::BottomRight, Corner::BottomLeft}) {
    QCOMPARE(image.pixelColor(cornerPixel(image, corner)).alpha() == 0, cornersTransparent);
  }
}

void TestStyleUtils::roundedPixmapCorners_data() {
  QTest::addColumn<int>("corner");

  QTest::newRow("top left") << static_cast<int>(Corner::TopLeft);
  QTest::newRow("top right") << static_cast<int>(Corner::TopRight);
  QTest::newRow("bottom right") << static_cast<int>(Corner::BottomRight);
  QTest::newRow("bottom left") << static_cast<int>(Corner::BottomLeft);
}

void TestStyleUtils::roundedPixmapCorners() {
  QFETCH(int, corner);
  double radii[4] = {0., 0., 0., 0.};
  radii[corner] = 8.;

  const auto result =
      makeRoundedPixmap(solidPixmap(QSize(32, 24), Qt::blue), radii[0], radii[1], radii[2], radii[3]);
  const auto image = imageOf(result);
  for (int other = 0; other < 4; ++other) {
    const auto alpha = image.pixelColor(cornerPixel(image, static_cast<Corner>(other))).alpha();
    QCOMPARE(alpha, other == corner ? 0 : 255);
  }
}

void TestStyleUtils::roundedPixmapOfNull() {
  QVERIFY(makeRoundedPixmap(QPixmap(), 4.).isNull());
  QVERIFY(getColorizedPixmap(QPixmap(), Qt::red).isNull());
}

void TestStyleUtils::colorizedPixmap_data() {
  QTest::addColumn<QColor>("color");
  QTest::addColumn<qreal>("dpr");

  QTest::newRow("opaque colour") << QColor(20, 90, 250) << 1.;
  QTest::newRow("half transparent colour") << QColor(10, 200, 30, 128) << 1.;
  QTest::newRow("high dpi") << QColor(250, 250, 250) << 2.;
}

void TestStyleUtils::colorizedPixmap() {
  QFETCH(QColor, color);
  QFETCH(qreal, dpr);

  // Three vertical bands: transparent, opaque red, and red at a quarter opacity.
  QImage source(30, 10, QImage::Format_ARGB32);
  source.fill(Qt::transparent);
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 10; x < 20; ++x) {
      source.setPixelColor(x, y, QColor(255, 0, 0));
      source.setPixelColor(x + 10, y, QColor(255, 0, 0, 64));
    }
  }
  auto input = QPixmap::fromImage(source);
  input.setDevicePixelRatio(dpr);

  const auto result = getColorizedPixmap(input, color);
  QCOMPARE(result.size(), input.size());
  QCOMPARE(result.devicePixelRatio(), dpr);

  const auto image = imageOf(result);
  const auto clear = image.pixelColor(5, 5);
  const auto full = image.pixelColor(15, 5);
  const auto partial = image.pixelColor(25, 5);
  QCOMPARE(clear.alpha(), 0);
  QCOMPARE(full.alpha(), color.alpha());
  QVERIFY2(sameColor(full, color, 2), qPrintable(full.name()));
  // The shape's own translucency is kept, times the colour's.
  const auto expectedPartialAlpha = 64 * color.alpha() / 255;
  QVERIFY2(std::abs(partial.alpha() - expectedPartialAlpha) <= 1,
           qPrintable(QString::number(partial.alpha())));
  QVERIFY2(sameColor(partial, color, 8), qPrintable(partial.name()));
}

void TestStyleUtils::colorWithAlphaF_data() {
  QTest::addColumn<QColor>("color");
  QTest::addColumn<qreal>("alpha");
  QTest::addColumn<qreal>("expectedAlpha");

  QTest::newRow("opaque to half") << QColor(10, 20, 30) << .5 << .5;
  QTest::newRow("transparent to opaque") << QColor(10, 20, 30, 0) << 1. << 1.;
  QTest::newRow("replaces, not multiplies") << QColor(200, 100, 50, 64) << .75 << .75;
  QTest::newRow("above one clamps") << QColor(1, 2, 3) << 3. << 1.;
  QTest::newRow("below zero clamps") << QColor(1, 2, 3) << -1. << 0.;
}

void TestStyleUtils::colorWithAlphaF() {
  QFETCH(QColor, color);
  QFETCH(qreal, alpha);
  QFETCH(qreal, expectedAlpha);

  const auto result = arvexhub::style::colorWithAlphaF(color, alpha);
  QCOMPARE(result.red(), color.red());
  QCOMPARE(result.green(), color.green());
  QCOMPARE(result.blue(), color.blue());
  QVERIFY2(std::abs(result.alphaF() - expectedAlpha) < 1. / 255.,
           qPrintable(QString::number(result.alphaF())));
}

void TestStyleUtils::clearLayoutDeletesEverything() {
  QWidget host;
  auto* layout = new QVBoxLayout(&host);
  QPointer<QWidget> top = new QWidget(&host);
  layout->addWidget(top);
  layout->addStretch();

  QPointer<QHBoxLayout> row = new QHBoxLayout();
  layout->addLayout(row);
  QPointer<QWidget> inRow = new QWidget(&host);
  row->addWidget(inRow);
  row->addSpacerItem(new QSpacerItem(10, 10));

  QPointer<QGridLayout> grid = new QGridLayout();
  row->addLayout(grid);
  QPointer<QWidget> inGrid = new QWidget(&host);
  grid->addWidget(inGrid, 1, 1);
  // A widget's children go with it.
  QPointer<QWidget> grandChild = new QWidget(inGrid);

  clearLayout(layout);

  QCOMPARE(layout->count(), 0);
  QVERIFY(top.isNull());
  QVERIFY(inRow.isNull());
  QVERIFY(inGrid.isNull());
  QVERIFY(grandChild.isNull());
  QVERIFY(row.isNull());
  QVERIFY(grid.isNull());
  QCOMPARE(host.layout(), layout);
  QVERIFY(host.findChildren<QWidget*>().isEmpty());

  // The emptied layout is still usable.
  auto* again = new QWidget(&host);
  layout->addWidget(again);
  QCOMPARE(layout->count(), 1);
}

void TestStyleUtils::centerOnHostWindow() {
  QWidget host;
  host.setGeometry(100, 120, 600, 400);
  host.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host));
  QWidget window;
  window.resize(200, 100);

  centerWidget(&window, &host);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  const auto delta = window.frameGeometry().center() - host.frameGeometry().center();
  QVERIFY2(delta.manhattanLength() <= 2, qPrintable(QStringLiteral("%1, %2").arg(delta.x()).arg(delta.y())));
}

void TestStyleUtils::centerChildOnHost() {
  QWidget window;
  window.resize(500, 400);
  auto* host = new QWidget(&window);
  host->setGeometry(50, 60, 300, 200);
  auto* panel = new QWidget(&window);
  panel->setGeometry(0, 0, 100, 40);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  centerWidget(panel, host);

  const auto delta = panel->geometry().center() - host->geometry().center();
  QVERIFY2(delta.manhattanLength() <= 2, qPrintable(QStringLiteral("%1, %2").arg(delta.x()).arg(delta.y())));
}

void TestStyleUtils::centerOnScreen() {
  QWidget window;
  window.resize(200, 100);
  window.move(0, 0);

  centerWidget(&window);

  const auto available = window.screen()->availableGeometry();
  const auto delta = window.frameGeometry().center() - available.center();
  QVERIFY2(delta.manhattanLength() <= 2, qPrintable(QStringLiteral("%1, %2").arg(delta.x()).arg(delta.y())));
}

void TestStyleUtils::lines_data() {
  QTest::addColumn<Qt::Orientation>("orientation");
  QTest::addColumn<int>("maxLength");

  QTest::newRow("horizontal") << Qt::Horizontal << -1;
  QTest::newRow("horizontal, bounded") << Qt::Horizontal << 120;
  QTest::newRow("vertical") << Qt::Vertical << -1;
  QTest::newRow("vertical, bounded") << Qt::Vertical << 60;
}

void TestStyleUtils::lines() {
  QFETCH(Qt::Orientation, orientation);
  QFETCH(int, maxLength);
  const auto horizontal = orientation == Qt::Horizontal;

  QWidget host;
  auto* layout = horizontal ? static_cast<QBoxLayout*>(new QVBoxLayout(&host)) : new QHBoxLayout(&host);
  auto* line = horizontal ? makeHorizontalLine(&host, maxLength) : makeVerticalLine(&host, maxLength);
  layout->addWidget(line);
  host.resize(300, 300);
  host.show();
  QVERIFY(QTest::qWaitForWindowExposed(&host));

  QCOMPARE(line->parentWidget(), &host);
  const auto thickness = Style::themeOf(line).borderWidth;
  const auto length = horizontal ? line->width() : line->height();
  QCOMPARE(horizontal ? line->height() : line->width(), thickness);
  // The line fills the host along its direction, up to the maximum when there is one.
  const auto available = horizontal ? layout->contentsRect().width() : layout->contentsRect().height();
  QCOMPARE(length, maxLength > 0 ? std::min(maxLength, available) : available);

  const auto image = line->grab().toImage();
  const auto middle = image.pixelColor(image.width() / 2, image.height() / 2);
  QCOMPARE(middle.rgb(), Style::themeOf(line).borderColor.rgb());
}

QTEST_MAIN(TestStyleUtils)
#include "tst_styleutils.moc"
