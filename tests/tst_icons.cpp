#include "style/Icons16.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace icons = arvexhub::style::icons;
using icons::Icons16;

namespace {

/// Number of pixels with some opacity when the SVG is drawn at 16 x 16.
int paintedPixels(const QString& path) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) {
    return -1;
  }
  QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(0, 0, 16, 16));
  painter.end();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
  }
  return count;
}

} // namespace

class TestIcons final : public QObject {
  Q_OBJECT

private slots:
  void everyTableEntryRenders() {
    const auto all = icons::allIcons();
    QVERIFY(all.size() > 20);
    for (const auto icon : all) {
      const auto path = icons::iconPath(icon);
      QVERIFY2(path.startsWith(QStringLiteral(":/arvexhub/style/icons/16/")), qPrintable(path));
      QVERIFY2(paintedPixels(path) > 0, qPrintable(path));
      Icons16 found{};
      QVERIFY(icons::iconFromName(icons::iconName(icon), found));
      QCOMPARE(found, icon);
    }
  }

  void programIconsExist_data() {
    QTest::addColumn<QString>("name");
    const char* names[] = {"action/clear",
                           "action/close",
                           "action/copy",
                           "action/download",
                           "action/reset",
                           "action/select-all",
                           "action/swap",
                           "action/trash",
                           "action/update",
                           "media/play",
                           "media/stop",
                           "misc/info",
                           "misc/library",
                           "misc/moon",
                           "misc/paint-palette",
                           "misc/success",
                           "misc/sun",
                           "misc/warning",
                           "navigation/search",
                           "navigation/settings",
                           "navigation/ui-panel-right",
                           "software/command-line"};
    for (const char* name : names) {
      QTest::newRow(name) << QString::fromLatin1(name);
    }
  }

  void programIconsExist() {
    QFETCH(QString, name);
    Icons16 icon{};
    QVERIFY(icons::iconFromName(name, icon));
    QCOMPARE(icons::iconPath(icon), QStringLiteral(":/arvexhub/style/icons/16/%1.svg").arg(name));
    QVERIFY(paintedPixels(icons::iconPath(icon)) > 0);
    QVERIFY(!QIcon(icons::iconPath(icon)).pixmap(16, 16).isNull());
  }

  void freeDesktopNames_data() {
    QTest::addColumn<QString>("freedesktop");
    QTest::addColumn<QString>("expected");
    QTest::newRow("edit-copy") << QStringLiteral("edit-copy") << QStringLiteral("action/copy");
    QTest::newRow("edit-delete") << QStringLiteral("edit-delete") << QStringLiteral("action/trash");
    QTest::newRow("media-playback-start")
        << QStringLiteral("media-playback-start") << QStringLiteral("media/play");
    QTest::newRow("unknown") << QStringLiteral("no-such-icon") << QString();
    QTest::newRow("empty") << QString() << QString();
  }

  void freeDesktopNames() {
    QFETCH(QString, freedesktop);
    QFETCH(QString, expected);
    const auto path = icons::fromFreeDesktop(freedesktop);
    if (expected.isEmpty()) {
      QVERIFY(path.isEmpty());
    } else {
      QCOMPARE(path, QStringLiteral(":/arvexhub/style/icons/16/%1.svg").arg(expected));
    }
  }

  void iconThemeServesFreeDesktopNames() {
    icons::initializeIconTheme();
    icons::initializeIconTheme(); // twice must not add the search path twice
    QCOMPARE(QIcon::themeSearchPaths().count(QStringLiteral(":/arvexhub/style/icon-theme")), 1);
    QIcon::setThemeName(QStringLiteral("qlementine"));
    QVERIFY(QIcon::hasThemeIcon(QStringLiteral("edit-delete")));
    QVERIFY(!QIcon::fromTheme(QStringLiteral("media-playback-start")).pixmap(16, 16).isNull());
    QVERIFY(!QIcon::hasThemeIcon(QStringLiteral("no-such-icon")));
  }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
