#include "library/EbookListModel.h"
#include "media/EbookReaderTab.h"

#include <TestDir.h>
#include <TestHttpServer.h>

#include <style/Style.h>

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPdfWriter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

/// A PDF of that many A4 pages, each showing its number.
bool writePdf(const QString& path, int pages) {
  QPdfWriter writer(path);
  writer.setPageSize(QPageSize(QPageSize::A4));
  QPainter painter(&writer);
  painter.setFont(QFont(painter.font().family(), 96));
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !writer.newPage()) {
      return false;
    }
    painter.drawText(QRect(0, 0, writer.width(), writer.height() / 2), Qt::AlignCenter,
                     QString::number(page + 1));
  }
  return painter.end();
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

class TestEbookReaderTab final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<EbookListModel> model_;
  std::unique_ptr<EbookReaderTab> tab_;

  QString bookPath(const QString& name) const {
    return home_->filePath(QStringLiteral(".arvexhub/ebooks/%1/%1.pdf").arg(name));
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
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    home_->createDir(QStringLiteral(".arvexhub/ebooks/Atlas"));
    home_->createDir(QStringLiteral(".arvexhub/ebooks/Leaflet"));
    QVERIFY(writePdf(bookPath(QStringLiteral("Atlas")), 7));
    QVERIFY(writePdf(bookPath(QStringLiteral("Leaflet")), 1));
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    TestHttpResponse empty;
    empty.body = "[]";
    server_->setResponse(QStringLiteral("/ebooks.json"), empty);
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    model_ = std::make_unique<EbookListModel>();
    QCOMPARE(model_->rowCount(), 2);
    tab_ = std::make_unique<EbookReaderTab>(nullptr, model_.get());
    tab_->resize(1800, 700); // wider than a page at its own size, so fitting the width enlarges it
    tab_->show();
    QVERIFY(QTest::qWaitForWindowExposed(tab_.get()));
  }

  void cleanup() {
    tab_.reset();
    model_.reset();
    server_.reset();
    home_.reset();
  }

  void opening_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("lastPage");
    QTest::addColumn<bool>("turning");

    QTest::newRow("several pages") << "Atlas"
                                   << "1 / 7" << 6 << true;
    QTest::newRow("one page") << "Leaflet"
                              << "1 / 1" << 0 << false;
  }
  void opening() {
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(int, lastPage);
    QFETCH(bool, turning);

    QVERIFY(!panel()->isVisible());
    QVERIFY(open(name));
    QCOMPARE(this->label(), label);
    QCOMPARE(currentPage(), 0);
    QVERIFY(panel()->isVisible());
    QCOMPARE(model_->currentReadingEbook(), bookPath(name));
    QVERIFY(isRowReading(name));
    const auto* slider = child<QSlider>("pageSlider");
    QCOMPARE(slider->maximum(), lastPage);
    QCOMPARE(slider->isEnabled(), turning);
    QCOMPARE(child<QToolButton>("previousButton")->isEnabled(), turning);
    QCOMPARE(child<QToolButton>("nextButton")->isEnabled(), turning);

    // The library lets go of the book (its removal does): the reader closes it.
    model_->setCurrentReadingEbook(QString());
    QCOMPARE(this->label(), QStringLiteral("0 / 0"));
    QVERIFY(!panel()->isVisible());
    QVERIFY(open(name));

    child<QToolButton>("closeButton")->click();
    QCOMPARE(this->label(), QStringLiteral("0 / 0"));
    QVERIFY(!panel()->isVisible());
    QVERIFY(model_->currentReadingEbook().isEmpty());
    QVERIFY(!isRowReading(name));
  }

  void ignoredAddresses_data() {
    QTest::addColumn<QUrl>("url");
    QTest::newRow("invalid") << QUrl(QStringLiteral("file://[x"));
    QTest::newRow("not local") << QUrl(QStringLiteral("https://example.com/Atlas.pdf"));
  }
  void ignoredAddresses() {
    QFETCH(QUrl, url);
    QVERIFY(open(QStringLiteral("Atlas")));
    tab_->openEbook(url, QStringLiteral("Atlas"));
    QCOMPARE(label(), QStringLiteral("1 / 7"));
    QCOMPARE(model_->currentReadingEbook(), bookPath(QStringLiteral("Atlas")));
  }

  void failedLoad_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("bookOpenBefore");

    QTest::newRow("missing") << "none.pdf" << QByteArray() << "FileNotFound" << false;
    QTest::newRow("not a PDF") << "bad.pdf" << QByteArray("plain text") << "InvalidFileFormat" << false;
    QTest::newRow("after a good book")
        << "bad.pdf" << QByteArray("%PDF-1.4 cut short") << "InvalidFileFormat" << true;
  }
  void failedLoad() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QFETCH(bool, bookOpenBefore);

    if (bookOpenBefore) {
      QVERIFY(open(QStringLiteral("Atlas")));
      child<QSlider>("pageSlider")->setValue(3);
    }
    const QString path = content.isEmpty() ? home_->filePath(file)
                                           : home_->createFile(QStringLiteral("Broken/") + file, content);
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("Error loading PDF: QPdfDocument::Error::") + error));
    tab_->openEbook(QUrl::fromLocalFile(path), file);

    // Nothing is open: no row is being read, and no count of an earlier book stays behind.
    QTRY_COMPARE(label(), QStringLiteral("0 / 0"));
    QVERIFY(!panel()->isVisible());
    QVERIFY(model_->currentReadingEbook().isEmpty());
    QCOMPARE(child<QSlider>("pageSlider")->maximum(), 0);
    QVERIFY(!child<QToolButton>("nextButton")->isEnabled());
    tab_->stopReading();
    QCOMPARE(label(), QStringLiteral("0 / 0"));
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
  }
  void turningPages() {
    QFETCH(QStringList, steps);
    QFETCH(int, page);
    QFETCH(int, jumps);

    QVERIFY(open(QStringLiteral("Atlas")));
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
      } else {
        sendWheel(view()->viewport(),
                  step.startsWith(QLatin1Char('h')) ? QPoint(value, 0) : QPoint(0, value));
      }
    }
    QCOMPARE(currentPage(), page);
    QCOMPARE(jumped.count(), jumps);
    QCOMPARE(child<QSlider>("pageSlider")->value(), page);
    QCOMPARE(label(), QStringLiteral("%1 / 7").arg(page + 1));
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

    QVERIFY(open(QStringLiteral("Atlas")));
    QVERIFY(view()->zoomMode() == QPdfView::ZoomMode::FitToWidth);
    // A zoom from fitting the width goes on from the size the page is drawn at.
    const QSizeF fitted = drawnPage();
    child<QToolButton>("zoomInButton")->click();
    QVERIFY(view()->zoomMode() == QPdfView::ZoomMode::Custom);
    QApplication::processEvents();
    QCOMPARE(qRound(drawnPage().width() / fitted.width() * 100), 120);
    child<QToolButton>("zoomOutButton")->click();
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

  void clickOnPage_data() {
    QTest::addColumn<bool>("fullscreen");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("requests");

    QTest::newRow("left in full screen") << true << Qt::LeftButton << 1;
    QTest::newRow("right in full screen") << true << Qt::RightButton << 0;
    QTest::newRow("left in the window") << false << Qt::LeftButton << 0;
  }
  void clickOnPage() {
    QFETCH(bool, fullscreen);
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, requests);

    QVERIFY(open(QStringLiteral("Atlas")));
    tab_->onHostIsFullscreen(fullscreen);
    QSignalSpy requested(tab_.get(), &EbookReaderTab::fullscreenRequested);
    sendMouse(view()->viewport(), QEvent::MouseButtonPress, button);
    sendMouse(view()->viewport(), QEvent::MouseButtonRelease, button);
    QCOMPARE(requested.count(), requests);
  }

  void fullscreenButtonOnlyRequests() {
    QSignalSpy requested(tab_.get(), &EbookReaderTab::fullscreenRequested);
    fullscreenButton()->click();
    QCOMPARE(requested.count(), 1);
    QVERIFY(!fullscreenButton()->isChecked()); // until the window has switched
    enterFullscreen();
    fullscreenButton()->click();
    QCOMPARE(requested.count(), 2);
    QVERIFY(fullscreenButton()->isChecked());
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
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Error loading PDF:")));
      }
      tab_->openEbook(QUrl::fromLocalFile(bookPath(file)), file);
    }
    tab_->onHostIsFullscreen(false); // the window reports other state changes too
    enterFullscreen();
    QVERIFY(!panel()->isVisible());
    QVERIFY(fullscreenButton()->isChecked());
    QCOMPARE(fullscreenButton()->toolTip(), QStringLiteral("Exit Fullscreen"));
    QVERIFY(fullscreenButton()->isVisible() && menuButton()->isVisible());
    QVERIFY(!controls()->isVisible()); // until the menu button is clicked

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

    tab_->onHostIsFullscreen(false);
    tab_->onHostIsFullscreen(false);
    tab_->resize(1800, 700);
    QApplication::processEvents();
    QCOMPARE(panel()->isVisible(), panelAfter);
    QCOMPARE(controls()->parentWidget(), panel());
    QCOMPARE(panel()->layout()->count(), 1);
    tab_->setReaderPanelVisible(true);
    QApplication::processEvents();
    QCOMPARE(controls()->width(), panelControlsWidth);
    QVERIFY(!controls()->isHidden());
    QCOMPARE(fullscreenButton()->parentWidget(), controls());
    QVERIFY(!fullscreenButton()->isChecked());
    QCOMPARE(fullscreenButton()->toolTip(), QStringLiteral("Toggle Fullscreen"));
    QVERIFY(menuButton()->isHidden());
    // A click on the page leaves the window alone again.
    QSignalSpy requested(tab_.get(), &EbookReaderTab::fullscreenRequested);
    sendMouse(view()->viewport(), QEvent::MouseButtonPress, Qt::LeftButton);
    QCOMPARE(requested.count(), 0);
  }

  void panelStaysAwayInFullscreen() {
    QVERIFY(open(QStringLiteral("Atlas")));
    enterFullscreen();
    tab_->setReaderPanelVisible(true);
    QVERIFY(!panel()->isVisible());
    tab_->onHostIsFullscreen(false);
    tab_->setReaderPanelVisible(false);
    QVERIFY(!panel()->isVisible());
    tab_->setReaderPanelVisible(true);
    QVERIFY(panel()->isVisible());
  }

  void idleHiding_data() {
    QTest::addColumn<bool>("controlsOpen");
    QTest::newRow("controls closed") << false;
    QTest::newRow("controls open") << true;
  }
  void idleHiding() {
    QFETCH(bool, controlsOpen);
    QVERIFY(open(QStringLiteral("Atlas")));
    tab_->setControlsHideDelay(50);
    auto* surface = view()->viewport();
    enterFullscreen();
    if (controlsOpen) {
      menuButton()->click();
    }
    for (int round = 0; round < 2; ++round) { // and again after the pointer came back
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
    QVERIFY(surface->cursor().shape() != Qt::BlankCursor);
    QVERIFY(fullscreenButton()->isVisible() && controls()->isVisible());
    QVERIFY(menuButton()->isHidden());
  }
};

QTEST_MAIN(TestEbookReaderTab)
#include "tst_ebookreadertab.moc"
