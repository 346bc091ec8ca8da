#include "library/EbookListModel.h"
#include "media/EbookReaderTab.h"
#include "media/EbookSearchPanel.h"
#include "style/Style.h"

#include "LibraryKinds.h"
#include "SimplePdf.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QWheelEvent>

#include <memory>

using namespace Qt::StringLiterals;
using namespace arvexhub::launcher;
using namespace arvexhub::test;

namespace {

/// A PDF of that many A4 pages, each showing its number, with "Chapter 1" leading to the first page
/// in its contents, "Chapter 2" to the third and so on. "lantern" is written once on page 2 and twice
/// on page 4 (1 and 3 counted from 0).
bool writePdf(const QString& path, int pages) {
  arvexhub::pdf::SimplePdf book(QSizeF(595, 842));
  for (int page = 0; page < pages; ++page) {
    book.newPage();
    book.drawText({72, 200}, u"Page %1"_s.arg(page + 1), 48, Qt::black);
    book.drawText({72, 300},
                  page == 1   ? u"A lantern"_s
                  : page == 3 ? u"Lantern by lantern"_s
                              : u"Dark"_s,
                  14, Qt::black);
    if (page % 2 == 0) {
      book.addOutlineEntry(u"Chapter %1"_s.arg(page / 2 + 1), page);
    }
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(book.toPdf(u"Atlas"_s)) > 0;
}

void sendWheel(QWidget* target, const QPoint& angleDelta) {
  const QPointF position(target->width() / 2.0, target->height() / 2.0);
  QWheelEvent wheel(position, target->mapToGlobal(position), QPoint(), angleDelta, Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &wheel);
}

void sendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button) {
  const QPointF position(target->width() / 2.0, target->height() / 2.0);
  QMouseEvent event(type, position, target->mapToGlobal(position), button,
                    type == QEvent::MouseMove ? Qt::NoButton : button, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

} // namespace

class TestEbookReaderTab final : public QObject, private LibraryFixture {
  Q_OBJECT

  std::unique_ptr<EbookListModel> model_;
  std::unique_ptr<EbookReaderTab> tab_;

  QString bookPath(const QString& name) const {
    return home_->filePath(u".arvexhub/ebooks/%1/%1.pdf"_s.arg(name));
  }
  template <typename T>
  T* child(const char* name) const {
    return tab_->findChild<T*>(QLatin1String(name));
  }
  QPdfView* view() const {
    return tab_->findChild<QPdfView*>();
  }
  QWidget* panel() const {
    return child<QWidget>("readerPanel");
  }
  QWidget* controls() const {
    return child<QWidget>("readerControls");
  }
  QToolButton* fullscreenButton() const {
    return child<QToolButton>("fullscreenButton");
  }
  QPushButton* menuButton() const {
    return child<QPushButton>("menuButton");
  }
  QString label() const {
    return child<QLabel>("pageLabel")->text();
  }
  int currentPage() const {
    return view()->pageNavigator()->currentPage();
  }
  bool isRowReading(const QString& name) const {
    return model_->index(model_->ebookRowByName(name), 0).data(EbookRole::IsReading).toBool();
  }
  /// Opens a library book and waits until its first page shows.
  bool open(const QString& name) {
    tab_->openEbook(QUrl::fromLocalFile(bookPath(name)), name);
    return QTest::qWaitFor([this] { return label().startsWith(QLatin1String("1 / ")); });
  }
  /// The page as drawn: the document's extent in the scroll area, without its margins.
  QSizeF drawnPage() const {
    auto* pdfView = view();
    const QMargins margins = pdfView->documentMargins();
    return {qreal(pdfView->horizontalScrollBar()->maximum() + pdfView->viewport()->width() - margins.left() -
                  margins.right()),
            qreal(pdfView->verticalScrollBar()->maximum() + pdfView->viewport()->height() - margins.top() -
                  margins.bottom())};
  }
  void enterFullscreen() {
    tab_->onHostIsFullscreen(true);
    QApplication::processEvents();
  }

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style);
  }

  void init() {
    QVERIFY(setUpLibrary());
    home_->createDir(u".arvexhub/ebooks/Atlas"_s);
    home_->createDir(u".arvexhub/ebooks/Leaflet"_s);
    QVERIFY(writePdf(bookPath(u"Atlas"_s), 7));
    QVERIFY(writePdf(bookPath(u"Leaflet"_s), 1));
    server_->setResponse(u"/ebooks.json"_s, answer("[]"));
    model_ = std::make_unique<EbookListModel>();
    QCOMPARE(model_->rowCount(), 2);
    tab_ = std::make_unique<EbookReaderTab>(nullptr, model_.get());
    tab_->resize(1800, 700); // wider than a page at its own size, so fitting the width enlarges it
    tab_->show();
    tab_->activateWindow(); // the reader's keys work while it has the keyboard
    QVERIFY(QTest::qWaitForWindowActive(tab_.get()));
  }

  void cleanup() {
    tab_.reset();
    model_.reset();
    tearDownLibrary();
  }

  void opening_data() {
    QTest::addColumn<QString>("file"); // a book of the library, or a file written with the content
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error"); // logged when the file cannot be read
    QTest::addColumn<bool>("bookOpenBefore");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("lastPage");

    QTest::newRow("several pages") << u"Atlas"_s << QByteArray() << QString() << false << u"1 / 7"_s << 6;
    QTest::newRow("one page") << u"Leaflet"_s << QByteArray() << QString() << false << u"1 / 1"_s << 0;
    QTest::newRow("missing") << u"none.pdf"_s << QByteArray() << u"FileNotFound"_s << false << u"0 / 0"_s
                             << 0;
    QTest::newRow("not a PDF") << u"bad.pdf"_s << QByteArray("plain text") << u"InvalidFileFormat"_s << false
                               << u"0 / 0"_s << 0;
    QTest::newRow("broken after a good book") << u"bad.pdf"_s << QByteArray("%PDF-1.4 cut short")
                                              << u"InvalidFileFormat"_s << true << u"0 / 0"_s << 0;
  }
  void opening() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QFETCH(bool, bookOpenBefore);
    QFETCH(QString, label);
    QFETCH(int, lastPage);

    if (bookOpenBefore) {
      QVERIFY(open(u"Atlas"_s));
      child<QSlider>("pageSlider")->setValue(3);
    }
    QCOMPARE(panel()->isVisible(), bookOpenBefore);
    const bool opens = error.isEmpty();
    const QString path = opens               ? bookPath(file)
                         : content.isEmpty() ? home_->filePath(file)
                                             : home_->createFile(u"Broken/"_s + file, content);
    if (!opens) {
      QTest::ignoreMessage(QtDebugMsg, qPrintable(u"Error loading PDF: QPdfDocument::Error::"_s + error));
    }
    tab_->openEbook(QUrl::fromLocalFile(path), file);
    // A book that fails leaves nothing open: no row is read, no count of an earlier book stays.
    QTRY_COMPARE(this->label(), label);
    QCOMPARE(panel()->isVisible(), opens);
    QCOMPARE(model_->currentReadingEbook(), opens ? path : QString());
    QCOMPARE(child<QSlider>("pageSlider")->maximum(), lastPage);
    for (const char* control : {"pageSlider", "previousButton", "nextButton"}) {
      QCOMPARE(child<QWidget>(control)->isEnabled(), lastPage > 0);
    }
    if (opens) {
      QCOMPARE(currentPage(), 0);
      QVERIFY(isRowReading(file));
      // Addresses that are not local files are ignored: the book stays open.
      for (const auto* address : {"file://[x", "https://example.com/Atlas.pdf"}) {
        tab_->openEbook(QUrl(QString::fromLatin1(address)), file);
        QCOMPARE(this->label(), label);
        QCOMPARE(model_->currentReadingEbook(), path);
      }
      // The library lets go of the book (its removal does): the reader closes it.
      model_->setCurrentReadingEbook(QString());
      QCOMPARE(this->label(), u"0 / 0"_s);
      QVERIFY(!panel()->isVisible());
      QVERIFY(open(file));
    }

    child<QToolButton>("closeButton")->click();
    QCOMPARE(this->label(), u"0 / 0"_s);
    QVERIFY(!panel()->isVisible());
    QVERIFY(model_->currentReadingEbook().isEmpty());
    QVERIFY(!opens || !isRowReading(file));
    // Nothing to turn to either.
    QSignalSpy jumped(view()->pageNavigator(), &QPdfPageNavigator::jumped);
    sendWheel(view()->viewport(), {0, -120});
    sendWheel(view()->viewport(), {0, 120});
    QCOMPARE(jumped.count(), 0);
  }

  void turningPages_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("jumps");

    const auto steps = [](const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
    QTest::newRow("slider") << steps("slider:4") << 4 << 1;
    QTest::newRow("next twice") << steps("next next") << 2 << 2;
    QTest::newRow("previous from the first") << steps("previous") << 0 << 0;
    QTest::newRow("next from the last") << steps("slider:6 next") << 6 << 1;
    QTest::newRow("back from the slider") << steps("slider:4 previous") << 3 << 2;
    QTest::newRow("wheel away") << steps("wheel:-120 wheel:-120") << 2 << 2;
    QTest::newRow("wheel towards") << steps("slider:3 wheel:120") << 2 << 2;
    QTest::newRow("wheel towards on the first") << steps("wheel:120") << 0 << 0;
    QTest::newRow("wheel away on the last") << steps("slider:6 wheel:-120") << 6 << 1;
    QTest::newRow("touchpad steps add up") << steps("wheel:-40 wheel:-40 wheel:-40 wheel:-40") << 1 << 1;
    QTest::newRow("half a notch") << steps("wheel:-60") << 0 << 0;
    QTest::newRow("steps back and forth") << steps("wheel:-60 wheel:60 wheel:-60") << 0 << 0;
    QTest::newRow("horizontal wheel") << steps("hwheel:-120") << 0 << 0;
    QTest::newRow("keys forward") << steps("key:PgDown key:Space") << 2 << 2;
    QTest::newRow("keys back") << steps("key:End key:PgUp key:Shift+Space") << 4 << 3;
    QTest::newRow("key to the first") << steps("slider:4 key:Home") << 0 << 2;
  }
  void turningPages() {
    QFETCH(QStringList, steps);
    QFETCH(int, page);
    QFETCH(int, jumps);

    QVERIFY(open(u"Atlas"_s));
    QVERIFY(view()->verticalScrollBar()->maximum() > 0); // the page is taller than the view
    QSignalSpy jumped(view()->pageNavigator(), &QPdfPageNavigator::jumped);
    for (const QString& step : steps) {
      const int value = step.section(QLatin1Char(':'), 1).toInt();
      if (step.startsWith(QLatin1String("slider"))) {
        child<QSlider>("pageSlider")->setValue(value);
      } else if (step == QLatin1String("next")) {
        child<QToolButton>("nextButton")->click();
      } else if (step == QLatin1String("previous")) {
        child<QToolButton>("previousButton")->click();
      } else if (step.startsWith(QLatin1String("key"))) {
        view()->setFocus();
        QTest::keySequence(view(), QKeySequence::fromString(step.section(QLatin1Char(':'), 1)));
      } else {
        sendWheel(view()->viewport(),
                  step.startsWith(QLatin1Char('h')) ? QPoint(value, 0) : QPoint(0, value));
      }
    }
    QCOMPARE(currentPage(), page);
    QCOMPARE(jumped.count(), jumps);
    QCOMPARE(child<QSlider>("pageSlider")->value(), page);
    QCOMPARE(label(), u"%1 / 7"_s.arg(page + 1));
    QCOMPARE(view()->verticalScrollBar()->value(), 0); // the wheel never scrolls within a page
  }

  void zoomFactors_data() {
    QTest::addColumn<int>("ins");
    QTest::addColumn<int>("outs");
    QTest::addColumn<double>("factor");

    QTest::newRow("three in") << 3 << 0 << 1.728;
    QTest::newRow("three in, three out") << 3 << 3 << 1.0;
    QTest::newRow("two out") << 0 << 2 << 1 / 1.44;
    QTest::newRow("up to the largest") << 40 << 0 << 10.0;
    QTest::newRow("down to the smallest") << 0 << 40 << 0.1;
    QTest::newRow("back from the largest") << 40 << 1 << 10 / 1.2;
  }
  void zoomFactors() {
    QFETCH(int, ins);
    QFETCH(int, outs);
    QFETCH(double, factor);

    QVERIFY(open(u"Atlas"_s));
    QVERIFY(view()->zoomMode() == QPdfView::ZoomMode::FitToWidth);
    // A zoom from fitting the width goes on from the size the page is drawn at.
    const QSizeF fitted = drawnPage();
    view()->setFocus();
    QTest::keySequence(view(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    QVERIFY(view()->zoomMode() == QPdfView::ZoomMode::Custom);
    QApplication::processEvents();
    QCOMPARE(qRound(drawnPage().width() / fitted.width() * 100), 120);
    QTest::keySequence(view(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
    QApplication::processEvents();
    QCOMPARE(qRound(drawnPage().height() / fitted.height() * 100), 100);

    view()->setZoomFactor(1.0);
    for (int i = 0; i < ins; ++i) {
      child<QToolButton>("zoomInButton")->click();
    }
    for (int i = 0; i < outs; ++i) {
      child<QToolButton>("zoomOutButton")->click();
    }
    QVERIFY(view()->zoomMode() == QPdfView::ZoomMode::Custom);
    QVERIFY2(qFuzzyCompare(view()->zoomFactor(), factor), qPrintable(QString::number(view()->zoomFactor())));
  }

  void rememberedPositions_data() {
    QTest::addColumn<int>("pagesAfter"); // the book is written anew with that many pages
    QTest::addColumn<bool>("storeBroken");
    QTest::addColumn<QString>("label");
    QTest::newRow("same book") << 7 << false << u"6 / 7"_s;
    QTest::newRow("shrunk book") << 3 << false << u"3 / 3"_s;
    QTest::newRow("unreadable store") << 7 << true << u"1 / 7"_s;
  }
  void rememberedPositions() {
    QFETCH(int, pagesAfter);
    QFETCH(bool, storeBroken);
    QFETCH(QString, label);

    QVERIFY(open(u"Atlas"_s));
    child<QSlider>("pageSlider")->setValue(5);
    child<QToolButton>("zoomInButton")->click();
    const qreal zoom = view()->zoomFactor();
    QVERIFY(open(u"Leaflet"_s)); // a book not read before fits the width
    QVERIFY(view()->zoomMode() == QPdfView::ZoomMode::FitToWidth);
    tab_.reset(); // the positions are written as the reader goes
    QVERIFY(writePdf(bookPath(u"Atlas"_s), pagesAfter));
    const QString store = home_->filePath(u".arvexhub/reading-positions.json"_s);
    if (storeBroken) {
      home_->createFile(u".arvexhub/reading-positions.json"_s, "{\"cut short");
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Unreadable reading positions set aside"_s));
    }
    tab_ = std::make_unique<EbookReaderTab>(nullptr, model_.get());
    tab_->openEbook(QUrl::fromLocalFile(bookPath(u"Atlas"_s)), u"Atlas"_s);
    QTRY_COMPARE(this->label(), label);
    QCOMPARE(view()->zoomMode() == QPdfView::ZoomMode::Custom, !storeBroken);
    QVERIFY(storeBroken || qFuzzyCompare(view()->zoomFactor(), zoom));
    QCOMPARE(QFile::exists(store + u".unreadable"_s), storeBroken);
  }

  void contentsAndSearch() {
    QVERIFY(open(u"Atlas"_s));
    auto* contents = child<QTreeView>("contentsView");
    QCOMPARE(contents->model()->rowCount(), 4);
    const auto chapter3 = contents->model()->index(2, 0);
    QCOMPARE(chapter3.data().toString(), u"Chapter 3"_s);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, contents->visualRect(chapter3).center());
    QCOMPARE(currentPage(), 4);

    QTest::keySequence(contents, QKeySequence::Find);
    auto* field = child<QLineEdit>("searchField");
    QTRY_VERIFY(field->hasFocus());
    QSignalSpy finished(child<EbookSearchPanel>("searchPanel"), &EbookSearchPanel::searchFinished);
    QTest::keyClicks(field, u"lantern"_s);
    QTest::keyClick(field, Qt::Key_Return); // at once, without waiting for a pause in typing
    QVERIFY(finished.count() == 1 || finished.wait());
    auto* results = child<QListView>("searchResults");
    QCOMPARE(results->model()->rowCount(), 3);
    QCOMPARE(child<QLabel>("searchCount")->text(), u"Match 1 of 3"_s);
    QCOMPARE(currentPage(), 1); // the first match shows
    // Enter goes on through the matches, Shift+Enter back, both round the ends.
    const QList<std::pair<Qt::KeyboardModifiers, int>> steps{
        {Qt::NoModifier, 3}, {Qt::NoModifier, 3}, {Qt::NoModifier, 1}, {Qt::ShiftModifier, 3}};
    for (const auto& [modifiers, page] : steps) {
      QTest::keyClick(field, Qt::Key_Return, modifiers);
      QCOMPARE(currentPage(), page);
    }
    QCOMPARE(results->currentIndex().data(int(QPdfSearchModel::Role::Page)).toInt(), 3);
    QCOMPARE(child<QToolButton>("nextButton")->toolTip(), u"Next Page (PgDown, Space)"_s);
  }

  void fullscreenLayout_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("panelAfter");
    QTest::newRow("book open") << "Atlas" << true;
    QTest::newRow("nothing open") << QString() << false;
    QTest::newRow("failed to open") << "Broken" << false;
  }
  void fullscreenLayout() {
    QFETCH(QString, file);
    QFETCH(bool, panelAfter);
    tab_->setReaderPanelVisible(true); // as the window does for the current tab
    QApplication::processEvents();
    const int panelControlsWidth = controls()->width();
    if (!file.isEmpty()) {
      if (!panelAfter) { // no such file
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(u"^Error loading PDF:"_s));
      }
      tab_->openEbook(QUrl::fromLocalFile(bookPath(file)), file);
    }
    tab_->onHostIsFullscreen(false); // the window reports other state changes too
    // Only the window switches: the button asks, and so does a left click on the page in full screen.
    QSignalSpy requested(tab_.get(), &EbookReaderTab::fullscreenRequested);
    const auto click = [this](Qt::MouseButton button) {
      sendMouse(view()->viewport(), QEvent::MouseButtonPress, button);
      sendMouse(view()->viewport(), QEvent::MouseButtonRelease, button);
    };
    click(Qt::LeftButton);
    fullscreenButton()->click();
    QCOMPARE(requested.count(), 1);
    QVERIFY(!fullscreenButton()->isChecked());
    enterFullscreen();
    click(Qt::RightButton);
    QCOMPARE(requested.count(), 1);
    click(Qt::LeftButton);
    fullscreenButton()->click();
    QCOMPARE(requested.count(), 3);
    QVERIFY(!panel()->isVisible());
    QVERIFY(fullscreenButton()->isChecked());
    QCOMPARE(fullscreenButton()->toolTip(), u"Exit Fullscreen"_s);
    QVERIFY(fullscreenButton()->isVisible() && menuButton()->isVisible());
    QVERIFY(!controls()->isVisible()); // until the menu button is clicked
    tab_->setReaderPanelVisible(true); // the panel stays away in full screen
    QVERIFY(!panel()->isVisible());

    tab_->resize(1500, 600);
    QApplication::processEvents();
    const int right = view()->viewport()->geometry().right() + 1 - 10; // clear of the scroll bar
    const QRect full = fullscreenButton()->geometry();
    QCOMPARE(fullscreenButton()->parentWidget(), view());
    QCOMPARE(full.topRight(), QPoint(right - 1, 10));
    QCOMPARE(menuButton()->geometry().topRight(), QPoint(full.left() - 6, 10));

    menuButton()->click();
    tab_->onHostIsFullscreen(true); // nothing changes
    QVERIFY(controls()->isVisible());
    QCOMPARE(controls()->parentWidget(), view());
    QCOMPARE(controls()->width(), 220);
    QCOMPARE(controls()->geometry().topRight(), QPoint(right - 1, full.bottom() + 1 + 5));
    menuButton()->click();
    QVERIFY(!controls()->isVisible());

    // At rest the pointer and the floating controls go; a move brings back those that were shown.
    auto* surface = view()->viewport();
    tab_->setControlsHideDelay(50);
    for (const bool controlsOpen : {true, false}) {
      menuButton()->click();
      QTRY_VERIFY(fullscreenButton()->isHidden());
      QVERIFY(menuButton()->isHidden() && controls()->isHidden());
      QCOMPARE(surface->cursor().shape(), Qt::BlankCursor);
      sendMouse(surface, QEvent::MouseMove, Qt::NoButton);
      QVERIFY(!fullscreenButton()->isHidden() && !menuButton()->isHidden());
      QCOMPARE(controls()->isHidden(), !controlsOpen);
      QVERIFY(surface->cursor().shape() != Qt::BlankCursor);
    }
    // Leaving full screen while hidden brings the pointer and the controls back for good.
    QTRY_VERIFY(fullscreenButton()->isHidden());
    tab_->onHostIsFullscreen(false);
    tab_->onHostIsFullscreen(false);
    QVERIFY(surface->cursor().shape() != Qt::BlankCursor);
    tab_->resize(1800, 700);
    QApplication::processEvents();
    QCOMPARE(panel()->isVisible(), panelAfter);
    QCOMPARE(controls()->parentWidget(), panel());
    QCOMPARE(panel()->layout()->indexOf(controls()), 0); // above the contents and the search
    tab_->setReaderPanelVisible(false);
    QVERIFY(!panel()->isVisible());
    tab_->setReaderPanelVisible(true);
    QApplication::processEvents();
    QVERIFY(panel()->isVisible());
    QCOMPARE(controls()->width(), panelControlsWidth);
    QVERIFY(!controls()->isHidden());
    QCOMPARE(fullscreenButton()->parentWidget(), controls());
    QVERIFY(fullscreenButton()->isVisible());
    QVERIFY(!fullscreenButton()->isChecked());
    QCOMPARE(fullscreenButton()->toolTip(), u"Toggle Fullscreen"_s);
    QVERIFY(menuButton()->isHidden());
  }
};

QTEST_MAIN(TestEbookReaderTab)
#include "tst_ebookreadertab.moc"
