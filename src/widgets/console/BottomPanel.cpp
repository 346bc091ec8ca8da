#include "widgets/console/BottomPanel.h"

#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "runner/Console.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "style/StyleUtils.h"
#include "style/ThemeFollower.h"
#include "style/widgets/IconWidget.h"
#include "widgets/console/CommandLine.h"
#include "widgets/console/ConsoleFindBar.h"
#include "widgets/console/PlainTextEditBackground.h"
#include "widgets/dialogs/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {

using style::icons::Icons16;

QCheckBox* makeDebugToggle(QWidget* parent) {
  auto* toggle = new QCheckBox(QCoreApplication::translate("ArvexHubLauncher", "Debug"), parent);
  toggle->setObjectName(QStringLiteral("debugToggle"));
  toggle->setChecked(true);
  toggle->setFocusPolicy(Qt::TabFocus);
  toggle->setToolTip(QCoreApplication::translate("ArvexHubLauncher", "Show or hide the Debug lines"));
  return toggle;
}

QPushButton* makeHeaderButton(Icons16 icon, const QString& toolTip, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setFlat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setFixedSize(18, 18);
  button->setIconSize(QSize(12, 12));
  button->setIcon(makeIcon(icon));
  button->setToolTip(toolTip);
  return button;
}

} // namespace

BottomPanel::BottomPanel(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller)
    , saveFileNameProvider_([](const QString& suggested) {
      return QFileDialog::getSaveFileName(QApplication::activeWindow(),
                                          QCoreApplication::translate("ArvexHubLauncher", "Save To File…"),
                                          suggested, QStringLiteral("Text Files (*.txt);;All Files (*)"));
    }) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(buildHeader());
  layout->addWidget(style::makeHorizontalLine(this));

  auto* background = new PlainTextEditBackground(this);
  background->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto* backgroundLayout = new QVBoxLayout(background);
  backgroundLayout->setContentsMargins(0, 0, 0, 0);
  backgroundLayout->setSpacing(0);
  console_ = new Console(background);
  console_->setMinimumHeight(100);
  findBar_ = new ConsoleFindBar(console_->log_view(), background);
  findBar_->setObjectName(QStringLiteral("findBar"));
  findBar_->hide();
  backgroundLayout->addWidget(findBar_);
  backgroundLayout->addWidget(console_);
  layout->addWidget(background);
  layout->addWidget(style::makeHorizontalLine(this));
  layout->addWidget(buildCommandRow());
  connectConsole();

  if (controller_ && controller_->runner()) {
    console_->set_game_runner(controller_->runner());
    connect(controller_->runner(), &GameRunner::gameChanged, this, &BottomPanel::updateHeader);
    connect(controller_->runner(), &GameRunner::stateChanged, this, &BottomPanel::updateCommandLine);
    commandLine_->setHistory(controller_->preferences()->consoleCommandHistory());
  }
  updateHeader();
  updateCommandLine();
  applyTextPalette();
  new style::ThemeFollower(this, [this] { applyTextPalette(); });
}

QFrame* BottomPanel::buildHeader() {
  auto* header = new QFrame(this);
  auto* headerLayout = new QHBoxLayout(header);
  headerLayout->setContentsMargins(12, 2, 4, 2);
  statusIcon_ = new style::IconWidget(header);
  statusIcon_->setObjectName(QStringLiteral("statusIcon"));
  headerLayout->addWidget(statusIcon_);
  auto* labels = new QHBoxLayout;
  labels->setContentsMargins(0, 0, 0, 0);
  labels->setSpacing(4);
  playingLabel_ = new QLabel(
      QStringLiteral("<b>%1</b>").arg(QCoreApplication::translate("ArvexHubLauncher", "Playing:")), header);
  playingLabel_->setObjectName(QStringLiteral("playingLabel"));
  gameLabel_ = new QLabel(header);
  gameLabel_->setObjectName(QStringLiteral("gameLabel"));
  gameLabel_->setTextFormat(Qt::PlainText); // a path is never markup
  labels->addWidget(playingLabel_);
  labels->addWidget(gameLabel_);
  headerLayout->addLayout(labels);
  headerLayout->addStretch();
  debugToggle_ = makeDebugToggle(header);
  headerLayout->addWidget(debugToggle_);
  auto* find = makeHeaderButton(Icons16::Navigation_Search,
                                QCoreApplication::translate("ArvexHubLauncher", "Find in console (%1)")
                                    .arg(QKeySequence(QKeySequence::Find).toString(QKeySequence::NativeText)),
                                header);
  find->setObjectName(QStringLiteral("findButton"));
  connect(find, &QPushButton::clicked, this, &BottomPanel::openFindBar);
  headerLayout->addWidget(find);
  clearButton_ = makeHeaderButton(Icons16::Action_Trash,
                                  QCoreApplication::translate("ArvexHubLauncher", "Clear console"), header);
  clearButton_->setObjectName(QStringLiteral("clearButton"));
  headerLayout->addWidget(clearButton_);
  closeButton_ = makeHeaderButton(Icons16::Action_Close,
                                  QCoreApplication::translate("ArvexHubLauncher", "Close console"), header);
  closeButton_->setObjectName(QStringLiteral("closeButton"));
  headerLayout->addWidget(closeButton_);
  return header;
}

QWidget* BottomPanel::buildCommandRow() {
  auto* row = new PlainTextEditBackground(this);
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setContentsMargins(8, 4, 8, 4);
  commandLine_ = new CommandLine(row);
  commandLine_->setObjectName(QStringLiteral("commandLine"));
  commandLine_->setToolTip(QCoreApplication::translate(
      "ArvexHubLauncher", "Sends a command to the running game; Up and Down recall the earlier commands"));
  commandLine_->setAccessibleName(QCoreApplication::translate("ArvexHubLauncher", "Game command"));
  rowLayout->addWidget(commandLine_);
  connect(commandLine_, &CommandLine::commandEntered, this, &BottomPanel::sendCommand);
  return row;
}

void BottomPanel::connectConsole() {
  connect(clearButton_, &QPushButton::clicked, console_, &Console::clear);
  connect(closeButton_, &QPushButton::clicked, this, &BottomPanel::closePanel);
  connect(debugToggle_, &QCheckBox::toggled, console_, &Console::set_debug_shown);
  connect(console_, &Console::empty_changed, this,
          [this] { clearButton_->setVisible(!console_->is_empty()); });
  clearButton_->setVisible(!console_->is_empty());

  auto* logView = console_->log_view();
  logView->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(logView, &QWidget::customContextMenuRequested, this, &BottomPanel::showContextMenu);
  // Ctrl+F finds in the log while the console has the focus, the menu's search elsewhere.
  logView->installEventFilter(this);
  commandLine_->installEventFilter(this);
}

BottomPanel::~BottomPanel() = default;

Console* BottomPanel::console() const {
  return console_;
}

void BottomPanel::setSaveFileNameProvider(SaveFileNameProvider provider) {
  saveFileNameProvider_ = std::move(provider);
}

void BottomPanel::openFindBar() {
  findBar_->openBar();
}

bool BottomPanel::eventFilter(QObject* watched, QEvent* event) {
  const bool shortcut = event->type() == QEvent::ShortcutOverride;
  if (shortcut || event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool find = key->matches(QKeySequence::Find);
    const bool escape = watched == console_->log_view() && key->key() == Qt::Key_Escape &&
                        key->modifiers() == Qt::NoModifier && findBar_->isVisible();
    if (find || escape) {
      // Accepting the override turns the shortcut into a key press, handled below.
      event->accept();
      if (!shortcut) {
        find ? openFindBar() : findBar_->closeBar();
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void BottomPanel::updateCommandLine() {
  const bool running =
      controller_ && controller_->runner() && controller_->runner()->state() == GameRunner::State::Running;
  commandLine_->setEnabled(running);
  commandLine_->setPlaceholderText(
      running ? QCoreApplication::translate("ArvexHubLauncher", "Type a command for the game and press Enter")
              : QCoreApplication::translate("ArvexHubLauncher", "Start a game to send it commands"));
}

void BottomPanel::sendCommand(const QString& command) {
  if (!controller_ || !controller_->runner()) {
    return;
  }
  controller_->preferences()->setConsoleCommandHistory(commandLine_->history());
  const int id = controller_->runner()->executeCommand(command);
  if (id < 0) {
    console_->add_message(
        QStringLiteral("Error"),
        QCoreApplication::translate("ArvexHubLauncher", "The command could not be sent to the game."));
    return;
  }
  // The game echoes the id around its answer; the console shows the command there.
  console_->command_sent(id, command);
}

void BottomPanel::updateHeader() {
  const QString path =
      controller_ && controller_->runner() ? controller_->runner()->gameFilePath() : QString();
  playingLabel_->setVisible(!path.isEmpty());
  gameLabel_->setText(path.isEmpty() ? QCoreApplication::translate("ArvexHubLauncher", "No game playing")
                                     : path);
  statusIcon_->setIcon(makeIcon(path.isEmpty() ? Icons16::Misc_Info : Icons16::Software_CommandLine));
}

void BottomPanel::applyTextPalette() {
  if (const auto* style = style::Style::of(this)) {
    const QPalette palette = style->paletteForTextRole(style::TextRole::Caption);
    playingLabel_->setPalette(palette);
    gameLabel_->setPalette(palette);
    statusIcon_->setPalette(palette);
    // The theme's disabled placeholder colour is all but invisible, and the disabled command
    // line's hint is what tells why it cannot be used.
    QPalette hint;
    hint.setColor(QPalette::Disabled, QPalette::PlaceholderText, style->theme().secondaryColorDisabled);
    commandLine_->setPalette(hint);
  }
}

QMenu* BottomPanel::createContextMenu() {
  auto* logView = console_->log_view();
  const bool hasText = !logView->document()->toPlainText().isEmpty();
  auto* menu = new QMenu(logView);

  auto* copy =
      menu->addAction(makeIcon(Icons16::Action_Copy), QCoreApplication::translate("ArvexHubLauncher", "Copy"),
                      logView, &QPlainTextEdit::copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(logView->textCursor().hasSelection());
  auto* selectAll = menu->addAction(makeIcon(Icons16::Action_SelectAll),
                                    QCoreApplication::translate("ArvexHubLauncher", "Select All"), logView,
                                    &QPlainTextEdit::selectAll);
  selectAll->setShortcut(QKeySequence::SelectAll);
  selectAll->setEnabled(hasText);
  menu->addAction(makeIcon(Icons16::Action_Trash), QCoreApplication::translate("ArvexHubLauncher", "Clear"),
                  console_, &Console::clear)
      ->setEnabled(hasText);
  menu->addSeparator();
  // Queued, so the file dialog opens once the menu has closed.
  menu->addAction(makeIcon(Icons16::Action_Download),
                  QCoreApplication::translate("ArvexHubLauncher", "Save To File…"), this,
                  [this] { QTimer::singleShot(0, this, &BottomPanel::saveConsoleContentToFile); })
      ->setEnabled(hasText);
  menu->addSeparator();
  menu->addAction(makeIcon(Icons16::Action_Close), QCoreApplication::translate("ArvexHubLauncher", "Close"),
                  this, &BottomPanel::closePanel)
      ->setShortcut(QKeySequence(Qt::Key_F12));
  return menu;
}

void BottomPanel::showContextMenu(const QPoint& position) {
  // Guarded: the panel, and the menu with it, may be destroyed while the menu's loop runs.
  const QPointer<QMenu> menu = createContextMenu();
  menu->exec(console_->log_view()->mapToGlobal(position));
  if (menu) {
    menu->deleteLater();
  }
}

void BottomPanel::closePanel() {
  if (controller_) {
    controller_->preferences()->setAppConsoleVisible(false);
  }
}

QString BottomPanel::getDirectoryFromPath(const QString& path) {
  if (path.isEmpty()) {
    return {};
  }
  const QFileInfo info(path);
  if (info.isDir()) {
    return info.absoluteFilePath();
  }
  if (info.exists()) {
    return info.absolutePath();
  }
  return {};
}

QString BottomPanel::suggestedFileName() const {
  const QString folder =
      controller_ ? getDirectoryFromPath(controller_->preferences()->appLastConsoleSavePath()) : QString();
  const QString gamePath =
      controller_ && controller_->runner() ? controller_->runner()->gameFilePath() : QString();
  const QString fileName = gamePath.section(QLatin1Char('/'), -1);
  const QString baseName = fileName.section(QLatin1Char('.'), 0, 0);
  return folder + QLatin1Char('/') +
         QStringLiteral("%2_%3.txt")
             .arg(baseName, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")));
}

void BottomPanel::saveConsoleContentToFile() {
  const QString filePath = saveFileNameProvider_ ? saveFileNameProvider_(suggestedFileName()) : QString();
  if (filePath.isEmpty()) {
    return;
  }

  // Written aside and put in place only when complete: a failure never leaves a cut log.
  QSaveFile file(filePath);
  QString error;
  if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    QTextStream stream(&file);
    stream << console_->log_view()->document()->toPlainText();
    stream.flush();
    if (stream.status() != QTextStream::Ok) {
      file.cancelWriting();
    }
    if (!file.commit()) {
      error = file.errorString();
    }
  } else {
    error = file.errorString();
  }

  // A folder that does not exist is not worth remembering over the last good one.
  const QString folder = getDirectoryFromPath(QFileInfo(filePath).absolutePath());
  if (controller_ && !folder.isEmpty()) {
    controller_->preferences()->setAppLastConsoleSavePath(folder);
  }
  if (!error.isEmpty()) {
    showSaveError(filePath, error);
  }
}

void BottomPanel::showSaveError(const QString& filePath, const QString& reason) {
  // Shown without a nested event loop: the box deletes itself once closed.
  auto* box = new MessageBox(QApplication::activeWindow() ? QApplication::activeWindow() : this);
  box->setType(MessageBox::Error);
  box->setTitle(QCoreApplication::translate("ArvexHubLauncher", "The console log could not be saved"));
  box->setText(QCoreApplication::translate("ArvexHubLauncher", "The file \"%1\" could not be written: %2")
                   .arg(QDir::toNativeSeparators(filePath), reason));
  box->setButtons(MessageBox::Ok);
  box->setWindowModality(Qt::WindowModal);
  box->show();
}

} // namespace arvexhub::launcher
