#include "library/GameData.h"
#include "widgets/CardPainter.h"
#include "widgets/GameListItemDelegate.h"

#include <style/Style.h>

#include <QApplication>
#include <QListView>
#include <QMap>
#include <QPainter>
#include <QStandardItemModel>
#include <QTest>

#include <cmath>
#include <memory>

using namespace arvexhub::launcher;
using arvexhub::style::Style;
using arvexhub::style::Theme;

namespace {

const QColor pictureColour(200, 40, 40);
const QRect card(4, 4, 200, 102); // with a margin, to see what is drawn outside

QColor lighter(const QColor& colour, int alpha) {
  const auto mix = [alpha](int channel) { return channel + (255 - channel) * alpha / 255; };
  return QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
}

QColor grey(const QColor& colour) {
  const int value = qGray(colour.rgb());
  return QColor(value, value, value);
}

QPixmap solid(const QColor& colour, QSize size = card.size()) {
  QPixmap pixmap(size);
  pixmap.fill(colour);
  return pixmap;
}

bool near(const QColor& actual, const QColor& expected) {
  const auto close = [](int a, int b) { return std::abs(a - b) <= 3; };
  return close(actual.red(), expected.red()) && close(actual.green(), expected.green()) &&
         close(actual.blue(), expected.blue()) && close(actual.alpha(), expected.alpha());
}

} // namespace

class TestCardDelegate : public QObject {
  Q_OBJECT

  std::unique_ptr<QListView> view_;
  QStandardItemModel model_;
  GameListItemDelegate* delegate_{nullptr};

  const Theme& theme() const {
    return Style::themeOf(view_.get());
  }

  /// The game row as the model gives it; a row without a picture has no decoration.
  QModelIndex game(const QPixmap& picture, bool installed, bool busy = false, double progress = -1.0) {
    auto* item = new QStandardItem(QStringLiteral("Game"));
    if (!picture.isNull()) {
      item->setData(picture, Qt::DecorationRole);
    }
    item->setData(installed ? QStringLiteral("/games/Game/launcher.command") : QString(), GameRole::Path);
    item->setData(busy, GameRole::IsBusy);
    item->setData(progress, GameRole::DownloadProgress);
    model_.appendRow(item);
    return item->index();
  }

  /// A transparent image around the card, of the given pixel ratio.
  static QImage canvas(qreal dpr = 1.0) {
    QImage image((QSizeF(card.right() + 5, card.bottom() + 5) * dpr).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
  }
  QStyleOptionViewItem option(QStyle::State state = {}) const {
    QStyleOptionViewItem result;
    result.widget = view_.get();
    result.font = view_->font();
    result.fontMetrics = QFontMetrics(result.font);
    result.rect = card;
    result.state = QStyle::State_Enabled | state;
    return result;
  }
  /// One game card painted through the delegate.
  QImage paint(const QModelIndex& index, QStyle::State state = {}, qreal dpr = 1.0) const {
    QImage image = canvas(dpr);
    QPainter painter(&image);
    delegate_->paint(&painter, option(state), index);
    return image;
  }

  static QColor at(const QImage& image, QPoint point) {
    return image.pixelColor((QPointF(point) * image.devicePixelRatio()).toPoint());
  }

private slots:
  void initTestCase() {
    auto* style = new Style;
    const auto dark = Theme::fromJsonPath(QStringLiteral(":/arvexhub/launcher/resources/themes/dark.json"));
    QVERIFY(dark.has_value());
    style->setTheme(*dark); // not the default theme: the card must take the view's
    QApplication::setStyle(style);
  }
  void init() {
    view_ = std::make_unique<QListView>();
    delegate_ = new GameListItemDelegate(view_.get());
    model_.clear();
  }

  void picture_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<double>("progress");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("colourTop");
    QTest::addColumn<bool>("colourBottom");
    QTest::addColumn<bool>("badge");
    QTest::newRow("installed") << true << false << 1.0 << 1.0 << true << true << false;
    QTest::newRow("catalogue") << false << false << -1.0 << 1.0 << false << false << false;
    QTest::newRow("catalogue, dpr 2") << false << false << -1.0 << 2.0 << false << false << false;
    QTest::newRow("download at 0") << false << true << 0.0 << 1.0 << false << false << true;
    QTest::newRow("download at 0.5") << false << true << 0.5 << 1.0 << false << true << true;
    QTest::newRow("download at 0.5, dpr 2") << false << true << 0.5 << 2.0 << false << true << true;
    QTest::newRow("download at 1") << false << true << 1.0 << 1.0 << true << true << true;
    QTest::newRow("update at 0.5") << true << true << 0.5 << 1.0 << false << true << true;
    QTest::newRow("busy, progress unknown") << false << true << -1.0 << 1.0 << false << false << false;
    QTest::newRow("busy update, progress unknown") << true << true << -1.0 << 1.0 << true << true << false;
  }
  void picture() {
    QFETCH(bool, installed);
    QFETCH(bool, busy);
    QFETCH(double, progress);
    QFETCH(qreal, dpr);
    QFETCH(bool, colourTop);
    QFETCH(bool, colourBottom);
    QFETCH(bool, badge);
    const QImage image = paint(game(solid(pictureColour), installed, busy, progress), {}, dpr);
    const auto expected = [](bool colour) { return colour ? pictureColour : grey(pictureColour); };
    QVERIFY(near(at(image, {54, 14}), expected(colourTop)));
    QVERIFY(near(at(image, {54, 100}), expected(colourBottom)));
    QVERIFY(near(at(image, {card.right() - 5, card.bottom() - 2}),
                 badge ? theme().primaryColor : expected(colourBottom)));
    // Nothing beyond the card, and the rounded corner stays clear.
    QCOMPARE(at(image, {54, 1}).alpha(), 0);
    QCOMPARE(at(image, {54, card.bottom() + 2}).alpha(), 0);
    QVERIFY(at(image, card.topLeft()).alpha() < 255);
  }

  void progressOutOfRange_data() {
    QTest::addColumn<bool>("needsProgress");
    QTest::addColumn<double>("progress");
    QTest::addColumn<double>("shownAs");
    QTest::newRow("past the end") << true << 1.7 << 1.0;
    QTest::newRow("busy alone: past the end") << false << 1.7 << 1.0;
    QTest::newRow("busy alone: unknown") << false << -1.0 << 0.0;
    QTest::newRow("busy alone: not a number") << false << std::nan("") << 0.0;
  }
  void progressOutOfRange() {
    // Kinds whose cards show a download as soon as it is busy, known progress or not.
    QFETCH(bool, needsProgress);
    QFETCH(double, progress);
    QFETCH(double, shownAs);
    CardStyle style;
    style.splitNeedsProgress = needsProgress;
    style.percentDecimals = 1;
    const CardPainter painter(style);
    const auto draw = [&](double value) {
      QImage image = canvas();
      QPainter target(&image);
      painter.paint(&target, option(), CardContent{solid(pictureColour), false, true, value, false});
      return image;
    };
    QCOMPARE(draw(progress), draw(shownAs));
    QVERIFY(draw(shownAs) != draw(0.5));
  }

  void otherKinds_data() {
    // The movie, e-book and album cards: their differences are the painter's parameters.
    QTest::addColumn<bool>("heightFit");
    QTest::addColumn<bool>("clip");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("expected");
    const QPoint middle(104, 55), besideCover(card.left() + 20, 55), outside(1, 55),
        badge(card.left() + 11, card.top() + 11);
    QTest::newRow("cover centred") << true << false << QSize(50, 50) << false << middle << "picture";
    QTest::newRow("beside the cover")
        << true << false << QSize(50, 50) << false << besideCover << "background";
    QTest::newRow("wide cover spills over")
        << true << false << QSize(600, 100) << false << outside << "picture";
    QTest::newRow("wide cover clipped to the rounded card")
        << true << true << QSize(600, 100) << false << card.topLeft() << "clear";
    QTest::newRow("playing badge") << false << false << QSize(200, 102) << false << badge << "badge";
    QTest::newRow("no playing badge while busy")
        << false << false << QSize(200, 102) << true << badge << "grey";
  }
  void otherKinds() {
    QFETCH(bool, heightFit);
    QFETCH(bool, clip);
    QFETCH(QSize, pictureSize);
    QFETCH(bool, busy);
    QFETCH(QPoint, point);
    QFETCH(QString, expected);
    CardStyle style;
    style.fit = heightFit ? PictureFit::Height : PictureFit::Fill;
    style.clipToCard = clip;
    style.splitNeedsProgress = false;
    style.stateBadgeText = "Playing";
    const CardPainter painter(style);
    QImage image = canvas();
    QPainter target(&image);
    painter.paint(&target, option(), CardContent{solid(pictureColour, pictureSize), true, busy, 0.0, true});
    const QMap<QString, QColor> colours{{QStringLiteral("picture"), pictureColour},
                                        {QStringLiteral("grey"), grey(pictureColour)},
                                        {QStringLiteral("background"), theme().backgroundColorMain2},
                                        {QStringLiteral("badge"), theme().primaryColor},
                                        {QStringLiteral("clear"), Qt::transparent}};
    QVERIFY2(near(image.pixelColor(point), colours.value(expected)),
             qPrintable(image.pixelColor(point).name(QColor::HexArgb)));
  }

  void noPicture() {
    const QImage image = paint(game({}, true, true, 0.5));
    QVERIFY(near(at(image, {54, 55}), theme().backgroundColorMain2));
    QVERIFY(near(at(image, {card.right() - 5, card.bottom() - 2}), theme().primaryColor));
  }

  void fillsAndCrops() {
    // A wide picture: only its middle shows, and it covers the whole card.
    QPixmap wide = solid(Qt::blue, {800, 100});
    {
      QPainter painter(&wide);
      painter.fillRect(100, 0, 600, 100, pictureColour);
    }
    const QImage image = paint(game(wide, true));
    for (const QPoint point :
         {QPoint(card.left() + 1, 55), QPoint(card.right() - 1, 55), QPoint(54, card.bottom() - 1)}) {
      QVERIFY2(near(at(image, point), pictureColour), qPrintable(at(image, point).name()));
    }
  }

  void decorations_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");
    const QPoint edge(card.left(), 55), inside(card.left() + 2, 55), middle(104, 55);
    const int selected = QStyle::State_Selected, focused = QStyle::State_Selected | QStyle::State_HasFocus;
    QTest::newRow("idle") << 0 << middle << pictureColour;
    QTest::newRow("selected: frame") << selected << edge << theme().primaryColor;
    QTest::newRow("selected: thin frame") << selected << inside << pictureColour;
    QTest::newRow("focused: frame") << focused << edge << theme().primaryColorHovered;
    QTest::newRow("focused: thick frame") << focused << inside << theme().primaryColorHovered;
    QTest::newRow("hovered") << int(QStyle::State_MouseOver) << middle << lighter(pictureColour, 32);
    QTest::newRow("pressed") << int(QStyle::State_Sunken) << middle << lighter(pictureColour, 64);
    QTest::newRow("pressed, hovered")
        << int(QStyle::State_Sunken | QStyle::State_MouseOver) << middle << lighter(pictureColour, 64);
  }
  void decorations() {
    QFETCH(int, state);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    const QImage image = paint(game(solid(pictureColour), true), QStyle::State(state));
    QVERIFY2(near(at(image, point), expected),
             qPrintable(at(image, point).name() + QStringLiteral(" != ") + expected.name()));
  }

  void sharpAtPixelRatio2() {
    // One-pixel stripes survive only if the picture is prepared for the device's pixels.
    QImage stripes(400, 204, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x) {
      for (int y = 0; y < stripes.height(); ++y) {
        stripes.setPixel(x, y, x % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
      }
    }
    const QImage image = paint(game(QPixmap::fromImage(stripes), true), {}, 2.0);
    const QPoint device = card.topLeft() * 2 + QPoint(100, 100);
    QCOMPARE(image.pixelColor(device), stripes.pixelColor(100, 100));
    QCOMPARE(image.pixelColor(device + QPoint(1, 0)), stripes.pixelColor(101, 100));
  }

  void changedPictureIsNotServedFromTheCache() {
    const QModelIndex index = game(solid(pictureColour), true);
    QVERIFY(near(at(paint(index), {104, 55}), pictureColour));
    model_.setData(index, solid(Qt::darkGreen), Qt::DecorationRole); // same size, same card
    QVERIFY(near(at(paint(index), {104, 55}), QColor(Qt::darkGreen)));
  }

  void cacheStaysBounded() {
    // Large cards, so a few pictures exceed the cache's limit.
    const QSize size(2000, 1000);
    const qint64 pictureBytes = qint64(size.width()) * size.height() * 4;
    const int pictures = int(CardPainter::cacheLimitBytes() / pictureBytes) + 3;
    CardPainter painter{CardStyle{}};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter target(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    for (int index = 0; index < pictures; ++index) {
      CardContent content;
      content.picture = solid(QColor::fromHsv(index * 17 % 360, 200, 200), size);
      content.installed = true;
      painter.paint(&target, option, content);
    }
    QVERIFY(CardPainter::cacheBytes() >= pictureBytes);
    QVERIFY(CardPainter::cacheBytes() <= CardPainter::cacheLimitBytes());
  }
};

QTEST_MAIN(TestCardDelegate)
#include "tst_carddelegate.moc"
