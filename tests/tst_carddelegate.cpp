// The cards of the four library grids, painted through their delegates from a row's data alone.

#include "library/AlbumData.h"
#include "library/EbookData.h"
#include "library/GameData.h"
#include "library/MovieData.h"
#include "style/Style.h"
#include "widgets/cards/AlbumListItemDelegate.h"
#include "widgets/cards/EbookListItemDelegate.h"
#include "widgets/cards/GameListItemDelegate.h"
#include "widgets/cards/MovieListItemDelegate.h"
#include "widgets/couch/CouchPictures.h"

#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

using namespace arvexhub::launcher;
using arvexhub::style::Style;

namespace {

const QColor pictureColour(200, 40, 40);
const QRect card(4, 4, 200, 102); // with a margin, to see what is drawn outside

template <class Delegate>
QAbstractItemDelegate* make() {
  return new Delegate(nullptr);
}

const QMap<QString, QAbstractItemDelegate* (*)()> delegates{
    {QStringLiteral("games"), make<GameListItemDelegate>},
    {QStringLiteral("movies"), make<MovieListItemDelegate>},
    {QStringLiteral("ebooks"), make<EbookListItemDelegate>},
    {QStringLiteral("albums"), make<AlbumListItemDelegate>}};
/// The roles of a kind's rows: picture, installed, busy, progress and active state.
const QMap<QString, QList<int>> roles{
    {QStringLiteral("games"),
     {Qt::DecorationRole, GameRole::Path, GameRole::IsBusy, GameRole::DownloadProgress, GameRole::IsPlaying}},
    {QStringLiteral("movies"),
     {MovieRole::Thumbnail, MovieRole::IsInstalled, MovieRole::IsBusy, MovieRole::DownloadProgress,
      MovieRole::IsPlaying}},
    {QStringLiteral("ebooks"),
     {EbookRole::Thumbnail, EbookRole::IsInstalled, EbookRole::IsBusy, EbookRole::DownloadProgress,
      EbookRole::IsReading}},
    {QStringLiteral("albums"),
     {AlbumRole::Thumbnail, AlbumRole::IsInstalled, AlbumRole::IsBusy, AlbumRole::DownloadProgress,
      AlbumRole::IsPlaying}}};

/// "<width>x<height>": a plain picture, "card" of the card's size; "wide": 800x100, blue but for its middle
/// 600 pixels; "stripes": 400x204, one-pixel columns, blue and red; "-": none.
QPixmap pictureNamed(const QString& name, const QColor& colour = pictureColour) {
  const bool wide = name == QLatin1String("wide");
  const bool stripes = name == QLatin1String("stripes");
  const QString named = wide      ? QStringLiteral("800x100")
                        : stripes ? QStringLiteral("400x204")
                                  : (name == QLatin1String("card") ? QStringLiteral("200x102") : name);
  const QStringList size = named.split(u'x');
  if (size.size() != 2) {
    return {};
  }
  QPixmap picture(size.at(0).toInt(), size.at(1).toInt());
  picture.fill(wide || stripes ? QColor(Qt::blue) : colour);
  QPainter painter(&picture);
  for (int x = 1; stripes && x < picture.width(); x += 2) {
    painter.fillRect(x, 0, 1, picture.height(), colour);
  }
  painter.fillRect(wide ? QRect(100, 0, 600, 100) : QRect(), colour);
  return picture;
}

bool near(const QColor& a, const QColor& b) {
  const auto close = [](int x, int y) { return std::abs(x - y) <= 3; };
  return close(a.red(), b.red()) && close(a.green(), b.green()) && close(a.blue(), b.blue()) &&
         close(a.alpha(), b.alpha());
}

QColor lighter(const QColor& colour, int alpha) {
  const auto mix = [alpha](int channel) { return channel + (255 - channel) * alpha / 255; };
  return QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
}

} // namespace

class TestCardDelegate : public QObject {
  Q_OBJECT

  std::unique_ptr<QListView> view_;
  std::unique_ptr<QStandardItemModel> model_;

  /// A row as "<kind> <picture> [installed] [busy] [active] [<progress>]" describes it; without a
  /// number at the end the row has no progress.
  QModelIndex row(const QString& description) {
    const QStringList words = description.split(u' ');
    const QList<int> role = roles.value(words.at(0));
    const bool installed = words.contains(QLatin1String("installed"));
    auto* item = new QStandardItem(QStringLiteral("Item"));
    item->setData(pictureNamed(words.at(1)), role[0]);
    const QString path = installed ? QStringLiteral("/games/Item/launcher.command") : QString();
    item->setData(words.at(0) == QLatin1String("games") ? QVariant(path) : QVariant(installed), role[1]);
    item->setData(words.contains(QLatin1String("busy")), role[2]);
    item->setData(words.contains(QLatin1String("active")), role[4]);
    bool known = false;
    if (const double progress = words.last().toDouble(&known); known) {
      item->setData(progress, role[3]);
    }
    model_->appendRow(item);
    return item->index();
  }
  /// The card of the row (a new one as the description says, unless given) painted through its
  /// kind's delegate into a transparent image around it, in the states the description names
  /// (selected, focused, hovered, pressed), and at pixel ratio 2 for "dpr2".
  QImage paint(const QString& description, QModelIndex index = {}, QSize size = card.size()) {
    const QStringList words = description.split(u' ');
    const qreal dpr = words.contains(QLatin1String("dpr2")) ? 2.0 : 1.0;
    QImage image(((QSizeF(size) + QSizeF(8, 8)) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QStyleOptionViewItem option;
    option.initFrom(view_.get()); // enabled, with the view's font metrics
    option.widget = view_.get();
    option.font = view_->font();
    option.rect = QRect(card.topLeft(), size);
    const QList<QStyle::State> states{QStyle::State_Selected, QStyle::State_MouseOver, QStyle::State_Sunken,
                                      QStyle::State_Selected | QStyle::State_HasFocus};
    for (const QString& word : words) {
      option.state |=
          states.value(QStringLiteral("selected hovered pressed focused").split(u' ').indexOf(word));
    }
    QPainter painter(&image);
    const std::unique_ptr<QAbstractItemDelegate> delegate(delegates.value(words.at(0))());
    delegate->paint(&painter, option, index.isValid() ? index : row(description));
    return image;
  }

private slots:
  void initTestCase() {
    auto* style = new Style;
    const auto dark = arvexhub::style::Theme::fromJsonPath(
        QStringLiteral(":/arvexhub/launcher/resources/themes/dark.json"));
    QVERIFY(dark.has_value());
    style->setTheme(*dark); // not the default theme: the card must take the view's
    QApplication::setStyle(style);
    view_ = std::make_unique<QListView>();
  }
  void init() {
    model_ = std::make_unique<QStandardItemModel>();
  }

  void spots_data() {
    QTest::addColumn<QString>("row");    // see row() and paint()
    QTest::addColumn<QString>("spots");  // "x,y=colour|...", from the card's top-left; "!" negates
    QTest::addColumn<QString>("sameAs"); // a row whose card looks exactly the same
    const auto add = [](const char* tag, const char* row, const char* spots, const char* sameAs = "") {
      QTest::newRow(tag) << row << spots << sameAs;
    };
    // The picture's top and bottom, the percentage badge and the state badge.
    add("game installed", "games card installed 1", "50,10=pic|50,96=pic|194,99=pic|11,11=pic");
    add("game in the catalogue", "games card", "50,10=grey|50,96=grey|194,99=grey|11,11=grey");
    add("download at 0", "games card busy 0", "190,82=badge|50,10=grey|50,96=grey|194,99=badge|11,11=grey");
    add("download at 0.5", "games card busy 0.5", "50,10=grey|50,96=pic|194,99=badge|11,11=grey");
    add("download at 0.5, dpr 2", "games card dpr2 busy 0.5", "50,10=grey|50,96=pic|194,99=badge");
    add("download at 1", "games card busy 1", "50,10=pic|50,96=pic|194,99=badge|11,11=pic");
    add("download past the end", "games card busy 1.7", "50,96=pic", "games card busy 1");
    add("update at 0.5", "games card installed busy 0.5", "50,10=grey|50,96=pic|194,99=badge");
    add("game busy, progress unknown", "games card busy -1", "50,10=grey|50,96=grey|194,99=grey");
    add("game busy, no progress", "games card busy", "50,10=grey|50,96=grey|194,99=grey");
    add("game update busy, progress unknown", "games card installed busy -1", "50,10=pic|194,99=pic");
    add("game playing: no badge", "games card installed active", "50,10=pic|11,11=pic");
    add("game without a picture", "games - installed busy 0.5", "50,51=card|194,99=badge");
    add("wide picture filled and cropped", "games wide installed", "1,51=pic|198,51=pic|50,100=pic");
    add("sharp at dpr 2", "games stripes installed dpr2", "50,50=blue|50.5,50=pic");
    add("selected", "games card installed selected", "0,51=frame|2,51=pic");
    add("focused: thicker frame", "games card installed focused", "0,51=focus|2,51=focus");
    add("hovered", "games card installed hovered", "100,51=hover");
    add("pressed", "games card installed pressed", "100,51=press");
    add("pressed, hovered", "games card installed pressed hovered", "100,51=press");
    // The picture's top, the state badge and the percentage badge.
    add("movie installed", "movies card installed", "100,20=pic|11,11=pic|195,97=!badge");
    add("movie watched", "movies card installed active", "100,20=pic|11,11=badge|195,97=!badge");
    add("no watching badge while busy", "movies card installed active busy 0.5", "11,11=grey|195,97=badge");
    add("movie, progress unknown", "movies card busy -1", "11,11=grey|195,97=badge", "movies card busy 0");
    add("movie past the end", "movies card busy 1.7", "100,20=pic", "movies card busy 1");
    // The cover's top, beside it, the state badge and the percentage badge.
    add("tall cover centred", "ebooks 60x90 installed", "100,20=pic|3,50=card|11,11=card|190,94=card");
    add("wide cover clipped to the card", "ebooks 600x100 installed", "3,50=pic|190,94=pic");
    add("book being read", "ebooks 60x90 installed active", "100,20=pic|11,11=badge|190,94=card");
    add("no reading badge while busy", "ebooks 60x90 installed active busy 0.5", "11,11=card|190,94=badge");
    add("book busy, progress unknown", "ebooks 60x90 busy -1", "100,20=grey|11,11=card|190,94=badge");
    add("book without a cover", "ebooks - installed", "100,20=card|11,11=card|190,94=card");
    add("album cover centred", "albums 50x50 installed", "100,51=pic|20,51=card|11,11=card|-3,51=clear");
    add("album playing", "albums 50x50 installed active", "100,51=pic|11,11=badge");
    add("wide album cover spills over", "albums 600x100 installed", "20,51=pic|-3,51=pic");
    add("progress not a number", "albums card busy nan", "100,51=grey", "albums card busy 0");
    // From 16 pixels above the card's bottom, as wide as "42.5%" and its padding.
    const int left = card.width() - 17 - view_->fontMetrics().boundingRect(QStringLiteral("42.5%")).width();
    const QString badge = QStringLiteral("%1,93=badge|%2,93=!badge|%3,86=badge|%3,83=!badge");
    add("one decimal", "movies - busy 0.425", qPrintable(badge.arg(left + 1).arg(left - 2).arg(left + 8)));
  }
  void spots() {
    QFETCH(QString, row);
    QFETCH(QString, spots);
    QFETCH(QString, sameAs);
    const QImage image = paint(row);
    const std::unique_ptr<QAbstractItemDelegate> delegate(delegates.value(row.section(u' ', 0, 0))());
    QCOMPARE(delegate->sizeHint({}, {}), cardPictureSize);
    const auto& theme = Style::themeOf(view_.get());
    const int grey = qGray(pictureColour.rgb());
    const QStringList names =
        QStringLiteral("pic grey card badge frame focus hover press blue clear").split(u' ');
    const QList<QColor> colours{
        pictureColour,      QColor(grey, grey, grey),  theme.backgroundColorMain2, theme.primaryColor,
        theme.primaryColor, theme.primaryColorHovered, lighter(pictureColour, 32), lighter(pictureColour, 64),
        QColor(Qt::blue),   QColor(0, 0, 0, 0)};
    // Only an album's cover may spill over its card.
    const QLatin1String outside(
        row.startsWith(QLatin1String("albums")) ? "" : "|-2,50=clear|50,104=clear|0,0=clear");
    for (const QString& spot : (spots + outside).split(u'|')) {
      const QStringList parts = spot.split(u'=');
      const QStringList xy = parts.at(0).split(u',');
      const QPointF point = (QPointF(xy.at(0).toDouble(), xy.at(1).toDouble()) + card.topLeft());
      const QColor seen = image.pixelColor((point * image.devicePixelRatio()).toPoint());
      const bool negated = parts.at(1).startsWith(u'!');
      QVERIFY2(near(seen, colours.value(names.indexOf(parts.at(1).mid(negated ? 1 : 0)))) != negated,
               qPrintable(spot + QStringLiteral(" is ") + seen.name(QColor::HexArgb)));
    }
    if (!sameAs.isEmpty()) {
      QCOMPARE(image, paint(sameAs));
      QVERIFY(image != paint(sameAs.section(u' ', 0, 2) + QStringLiteral(" 0.5")));
    }
  }

  void cache() {
    // A changed picture is not served from the cache.
    const QModelIndex index = row(QStringLiteral("games card installed"));
    const auto show = [this, &index](const QString& picture, const QColor& colour) {
      model_->setData(index, pictureNamed(picture, colour), Qt::DecorationRole);
    };
    QVERIFY(near(paint(QStringLiteral("games"), index).pixelColor(104, 55), pictureColour));
    show(QStringLiteral("card"), Qt::darkGreen); // same size, same card
    QVERIFY(near(paint(QStringLiteral("games"), index).pixelColor(104, 55), QColor(Qt::darkGreen)));
    // Large cards, so a few pictures exceed the cache's limit, which it keeps to.
    const QSize size(2000, 1000);
    const qint64 pictureBytes = qint64(size.width()) * size.height() * 4;
    for (int picture = 0; picture <= CardPainter::cacheLimitBytes() / pictureBytes + 2; ++picture) {
      show(QStringLiteral("2000x1000"), QColor::fromHsv(picture * 17 % 360, 200, 200));
      paint(QStringLiteral("games"), index, size);
    }
    QVERIFY(CardPainter::cacheBytes() >= pictureBytes);
    QVERIFY(CardPainter::cacheBytes() <= CardPainter::cacheLimitBytes());
  }

  // Couch mode reads a card's picture anew at television size rather than stretch the card's.
  void couchPictureIsReadAtItsSize() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.png"));
    QImage source(880, 448, QImage::Format_RGB32);
    source.fill(Qt::red);
    QVERIFY(source.save(file));
    CouchPictures pictures;
    QSignalSpy ready(&pictures, &CouchPictures::ready);
    QVERIFY(pictures.picture(file, PictureFit::Fill, 2.2).isNull()); // read off the main thread
    QVERIFY(ready.wait());
    QCOMPARE(pictures.picture(file, PictureFit::Fill, 2.2).size(), QSize(440, 224));
    QVERIFY(pictures.picture(dir.filePath(QStringLiteral("none.png")), PictureFit::Fill, 2.2).isNull());
    QVERIFY(!ready.wait(100));
  }
};

QTEST_MAIN(TestCardDelegate)
#include "tst_carddelegate.moc"
