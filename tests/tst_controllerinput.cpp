// A virtual game controller (SDL's own) drives the main window and couch mode.
#include "app/Controller.h"
#include "input/ControllerInput.h"
#include "input/SdlControllerSource.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "widgets/couch/CouchModeView.h"
#include "widgets/views/GameListView.h"
#include "widgets/window/MainWindow.h"
#include "widgets/window/MenuBar.h"

#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QtTest>

#include <SDL.h>
#include <memory>

using namespace Qt::StringLiterals;
using namespace arvexhub::launcher;

namespace {

/// A controller SDL knows only in this process; SDL maps its buttons and axes in its own order.
class VirtualPad {
public:
  explicit VirtualPad(const char* name) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = name;
    joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
  }
  ~VirtualPad() {
    detach();
  }
  Q_DISABLE_COPY_MOVE(VirtualPad)

  bool isAttached() const {
    return joystick_ != nullptr;
  }
  void detach() {
    if (joystick_ == nullptr) {
      return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(std::exchange(joystick_, nullptr));
    for (int device = 0; device < SDL_NumJoysticks(); ++device) {
      if (SDL_JoystickGetDeviceInstanceID(device) == id) {
        SDL_JoystickDetachVirtual(device);
      }
    }
  }
  void setButton(int button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void setAxis(int axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, value);
  }

private:
  SDL_Joystick* joystick_{nullptr};
};

} // namespace

class TestControllerInput final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style());
    // No catalogue: the grids show the installed games only.
    qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:9/");
  }

  void init() {
    QSettings().clear();
    QDir(QDir::homePath() + u"/.arvexhub"_s).removeRecursively();
    for (const auto& name : {u"Alpha"_s, u"Bravo"_s, u"Charlie"_s, u"Delta"_s}) {
      const QString folder = QDir::homePath() + u"/.arvexhub/games/"_s + name;
      QDir().mkpath(folder);
      QFile::copy(QStringLiteral(ARVEXHUB_SOURCE_DIR "/tests/games/echo.command"),
                  folder + u"/launcher.command"_s);
    }
    controller_ = std::make_unique<Controller>();
    window_ = std::make_unique<MainWindow>(controller_.get());
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    input()->setRepeatTiming(1, 1);
    QVERIFY(input()->source()->isAvailable());
    pad_ = std::make_unique<VirtualPad>("Couch Pad");
    QVERIFY(pad_->isAttached());
    source()->poll();
    QCOMPARE(source()->controllerNames(), QStringList{u"Couch Pad"_s});
  }

  void cleanup() {
    pad_.reset();
    window_.reset();
    controller_.reset();
  }

  // Controllers come and go while the program runs; the timer reads them only while one is there.
  void hotPlug() {
    auto* note = window_->findChild<QLabel*>(u"controllerNote"_s);
    QVERIFY(note != nullptr);
    QTRY_VERIFY(note->isVisible());
    QVERIFY(note->text().contains(u"Couch Pad"_s));
    QCOMPARE(source()->pollTimer()->interval(), SdlControllerSource::activeInterval);

    QSignalSpy removed(source(), &SdlControllerSource::controllerRemoved);
    VirtualPad second("Second Pad");
    source()->poll();
    QCOMPARE(source()->controllerNames(), (QStringList{u"Couch Pad"_s, u"Second Pad"_s}));
    pad_->detach();
    source()->poll();
    QCOMPARE(removed.value(0).value(0).toString(), u"Couch Pad"_s);
    QVERIFY(source()->pollTimer()->isActive());
    QVERIFY(note->text().contains(u"Second Pad"_s));

    second.detach();
    source()->poll();
    QCOMPARE(source()->controllerNames(), QStringList());
    QVERIFY(!source()->pollTimer()->isActive() ||
            source()->pollTimer()->interval() == SdlControllerSource::fallbackInterval);
    QVERIFY(!note->isVisible());
  }

  // The D-pad and the stick move the selection, held directions repeat; the shoulders switch tabs.
  void navigatesTheWindow() {
    auto* grid = window_->gameListView();
    QTRY_COMPARE(grid->model()->rowCount(), 4);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    click(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    QTRY_COMPARE(grid->currentIndex().row(), 1);
    pad_->setAxis(SDL_CONTROLLER_AXIS_LEFTX, ControllerInput::deadZone / 2); // inside the dead zone
    source()->poll();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(grid->currentIndex().row(), 1);
    pad_->setAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767); // held: repeats up to the last card
    QTRY_COMPARE(grid->currentIndex().row(), 3);
    pad_->setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0);

    auto* tabs = window_->tabWidget();
    click(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    QCOMPARE(tabs->currentIndex(), int(MainWindow::MoviesTab));
    click(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    click(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    QCOMPARE(tabs->currentIndex(), int(MainWindow::ReaderTab));
    click(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER); // the reader turns its pages with them
    QCOMPARE(tabs->currentIndex(), int(MainWindow::ReaderTab));
    click(SDL_CONTROLLER_BUTTON_B); // and B goes back to the library
    QCOMPARE(tabs->currentIndex(), int(MainWindow::GamesTab));
  }

  void messageBoxAnswers_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("answer");
    QTest::newRow("A accepts") << int(SDL_CONTROLLER_BUTTON_A) << int(QMessageBox::Ok);
    QTest::newRow("B cancels") << int(SDL_CONTROLLER_BUTTON_B) << int(QMessageBox::Cancel);
  }
  void messageBoxAnswers() {
    QFETCH(int, button);
    QFETCH(int, answer);
    QMessageBox box(QMessageBox::Question, u"Remove"_s, u"Remove it?"_s,
                    QMessageBox::Ok | QMessageBox::Cancel, window_.get());
    box.setDefaultButton(QMessageBox::Ok);
    box.open();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    click(button);
    QTRY_VERIFY(!box.isVisible());
    QCOMPARE(box.standardButton(box.clickedButton()), answer);
  }

  // Start opens couch mode over the window; B leaves it and the window is as it was.
  void couchMode() {
    window_->tabWidget()->setCurrentIndex(MainWindow::EbooksTab);
    click(SDL_CONTROLLER_BUTTON_START);
    auto* couch = window_->couchModeView();
    QTRY_VERIFY(couch->isVisible());
    QVERIFY(couch->isFullScreen());
    QCOMPARE(couch->currentKind(), int(MainWindow::GamesTab));
    QTRY_VERIFY(couch->cardRow()->hasFocus());
    QTRY_COMPARE(couch->cardRow()->model()->rowCount(), 4);
    QCOMPARE(couch->cardRow()->currentIndex().row(), 0);
    click(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    QTRY_COMPARE(couch->cardRow()->currentIndex().row(), 1);
    QVERIFY(couch->findChild<QLabel*>(u"couchTitle"_s)->text().contains(u"Bravo"_s));
    click(SDL_CONTROLLER_BUTTON_A); // the first action, the window's own "Play Game"
    QTRY_COMPARE(controller_->runner()->state(), GameRunner::State::Running);
    QVERIFY(controller_->runner()->gameFilePath().contains(u"/Bravo/"_s));
    QVERIFY(!input()->isEnabled()); // the game reads the controller now
    controller_->stopGame();
    QTRY_VERIFY(input()->isEnabled());
    // The session just played shows beneath the cards.
    QTRY_VERIFY(couch->findChild<QLabel*>(u"couchPlayTime"_s)->text().startsWith(u"Played"_s));
    click(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    QCOMPARE(couch->currentKind(), int(MainWindow::MoviesTab));

    click(SDL_CONTROLLER_BUTTON_B);
    QTRY_VERIFY(!couch->isVisible());
    QCOMPARE(window_->tabWidget()->currentIndex(), int(MainWindow::EbooksTab));
    auto* menuEntry = window_->menuBar()->couchModeAction(); // and the keyboard
    QCOMPARE(menuEntry->shortcut(), QKeySequence(Qt::Key_F9));
    menuEntry->trigger();
    QTRY_VERIFY(couch->isVisible());
    QTest::keyClick(couch->cardRow(), Qt::Key_Escape);
    QTRY_VERIFY(!couch->isVisible());
  }

private:
  ControllerInput* input() const {
    return window_->controllerInput();
  }
  SdlControllerSource* source() const {
    return input()->source();
  }
  /// A press and a release, each read by the program as the timer would.
  void click(int button) {
    for (const bool down : {true, false}) {
      pad_->setButton(button, down);
      source()->poll();
      QCoreApplication::sendPostedEvents();
    }
  }

  std::unique_ptr<Controller> controller_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<VirtualPad> pad_;
};

QTEST_MAIN(TestControllerInput)
#include "tst_controllerinput.moc"
