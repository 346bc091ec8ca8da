#include "style/Style.h"
#include "style/StyleUtils.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>

using namespace arvexhub::style;

namespace {

/// Premultiplied storage rounds the colour channels of translucent pixels a little.
bool sameColor(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

QImage imageOf(const QPixmap& pixmap) {
  return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestStyleUtils : public QObject {
  Q_OBJECT

private slots:
  void roundedPixmap_data() {
    QTest::addColumn<QSize>("deviceSize");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<double>("radius");
    QTest::newRow("square") << QSize(32, 32) << 1. << 6.;
    QTest::newRow("wide pill") << QSize(40, 20) << 1. << 10.;
    QTest::newRow("high dpi") << QSize(64, 64) << 2. << 16.;
    QTest::newRow("radius beyond half the side") << QSize(20, 20) << 1. << 100.;
  }

  void roundedPixmap() {
    QFETCH(QSize, deviceSize);
    QFETCH(qreal, dpr);
    QFETCH(double, radius);
    const QColor color(200, 40, 10);
    QPixmap source(deviceSize);
    source.fill(color);
    source.setDevicePixelRatio(dpr);

    const auto result = makeRoundedPixmap(source, radius);
    QCOMPARE(result.size(), deviceSize);
    QCOMPARE(result.devicePixelRatio(), dpr);
    const auto image = imageOf(result);
    const auto w = image.width() - 1;
    const auto h = image.height() - 1;
    for (const auto& corner : {QPoint(0, 0), QPoint(w, 0), QPoint(w, h), QPoint(0, h)}) {
      QCOMPARE(image.pixelColor(corner).alpha(), 0);
    }
    // The middle of each edge is kept (at most antialiased where a pill's arc meets it).
    QVERIFY(image.pixelColor(w / 2, 0).alpha() > 200 && image.pixelColor(0, h / 2).alpha() > 200);
    QCOMPARE(image.pixelColor(w / 2, h / 2), color);
  }

  void colorizedPixmap_data() {
    QTest::addColumn<QColor>("color");
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("opaque colour") << QColor(20, 90, 250) << 1.;
    QTest::newRow("half transparent colour") << QColor(10, 200, 30, 128) << 1.;
    QTest::newRow("high dpi") << QColor(250, 250, 250) << 2.;
  }

  void colorizedPixmap() {
    QFETCH(QColor, color);
    QFETCH(qreal, dpr);
    // Three vertical bands: transparent, opaque red, and red at a quarter opacity.
    QImage source(30, 10, QImage::Format_ARGB32);
    source.fill(Qt::transparent);
    for (int i = 0; i < 100; ++i) {
      source.setPixelColor(10 + i % 10, i / 10, QColor(255, 0, 0));
      source.setPixelColor(20 + i % 10, i / 10, QColor(255, 0, 0, 64));
    }
    auto input = QPixmap::fromImage(source);
    input.setDevicePixelRatio(dpr);

    const auto result = getColorizedPixmap(input, color);
    QCOMPARE(result.size(), input.size());
    QCOMPARE(result.devicePixelRatio(), dpr);
    const auto image = imageOf(result);
    const auto full = image.pixelColor(15, 5);
    const auto partial = image.pixelColor(25, 5);
    QCOMPARE(image.pixelColor(5, 5).alpha(), 0);
    QCOMPARE(full.alpha(), color.alpha());
    QVERIFY2(sameColor(full, color, 2), qPrintable(full.name()));
    // The shape's own translucency is kept, times the colour's.
    QVERIFY2(std::abs(partial.alpha() - 64 * color.alpha() / 255) <= 1,
             qPrintable(QString::number(partial.alpha())));
    QVERIFY2(sameColor(partial, color, 8), qPrintable(partial.name()));
  }

  void colorWithAlphaF_data() {
    QTest::addColumn<QColor>("color");
    QTest::addColumn<qreal>("alpha");
    QTest::addColumn<qreal>("expectedAlpha");
    QTest::newRow("opaque to half") << QColor(10, 20, 30) << .5 << .5;
    QTest::newRow("replaces, not multiplies") << QColor(200, 100, 50, 64) << .75 << .75;
    QTest::newRow("above one clamps") << QColor(1, 2, 3) << 3. << 1.;
    QTest::newRow("below zero clamps") << QColor(1, 2, 3) << -1. << 0.;
  }

  void colorWithAlphaF() {
    QFETCH(QColor, color);
    QFETCH(qreal, alpha);
    QFETCH(qreal, expectedAlpha);
    const auto result = arvexhub::style::colorWithAlphaF(color, alpha);
    QCOMPARE(result.rgb(), color.rgb());
    QVERIFY2(std::abs(result.alphaF() - expectedAlpha) < 1. / 255.,
             qPrintable(QString::number(result.alphaF())));
  }

  void clearLayoutDeletesEverything() {
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    QPointer<QWidget> top = new QWidget(&host);
    layout->addWidget(top);
    layout->addStretch();
    QPointer<QHBoxLayout> row = new QHBoxLayout();
    layout->addLayout(row);
    QPointer<QGridLayout> grid = new QGridLayout();
    row->addLayout(grid);
    QPointer<QWidget> inGrid = new QWidget(&host);
    grid->addWidget(inGrid, 1, 1);

    clearLayout(layout);
    QCOMPARE(layout->count(), 0);
    QVERIFY(top.isNull() && inGrid.isNull() && row.isNull() && grid.isNull());
    QCOMPARE(host.layout(), layout);
    QVERIFY(host.findChildren<QWidget*>().isEmpty());
  }
};

QTEST_MAIN(TestStyleUtils)
#include "tst_styleutils.moc"
