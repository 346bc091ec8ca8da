#include "widgets/couch/CouchModeView.h"

#include "app/Controller.h"
#include "library/GameData.h"
#include "style/Style.h"
#include "style/Theme.h"
#include "style/ThemeFollower.h"
#include "widgets/cards/CardKind.h"
#include "widgets/couch/ControllerGlyph.h"
#include "widgets/couch/CouchCardDelegate.h"
#include "widgets/couch/CouchDetailsPanel.h"
#include "widgets/couch/CouchPictures.h"
#include "widgets/views/LibraryListView.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {

constexpr int glyphHeight = 32;
const CardKind* const couchKinds[] = {&CardKind::games, &CardKind::movies, &CardKind::ebooks,
                                      &CardKind::albums};
/// The buttons' letters, in the order of the item's actions; B is always Back.
const QString actionGlyphs[] = {QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("Y")};

/// The usual colours of the four face buttons, so the glyphs read as the controller's; faded
/// on a disabled button, with the letter still readable.
QIcon faceGlyph(const QString& letter, qreal dpr) {
  static const QHash<QString, std::pair<QColor, QColor>> colours{
      {QStringLiteral("A"), {QColor(0x2e, 0x9e, 0x44), Qt::white}},
      {QStringLiteral("B"), {QColor(0xd6, 0x45, 0x41), Qt::white}},
      {QStringLiteral("X"), {QColor(0x2f, 0x6f, 0xd6), Qt::white}},
      {QStringLiteral("Y"), {QColor(0xe3, 0xb2, 0x1c), QColor(0x20, 0x20, 0x20)}},
  };
  const auto [fill, text] = colours.value(letter);
  QIcon icon(controllerGlyph(letter, fill, text, glyphHeight, dpr));
  QColor faded = fill;
  faded.setAlphaF(0.35);
  icon.addPixmap(controllerGlyph(letter, faded, text, glyphHeight, dpr), QIcon::Disabled);
  return icon;
}

/// The menu's entries in the order of the buttons. An installed game's menu starts with its
/// update when one is offered; A plays it (as Return does in the grid) and the update moves
/// behind. The details are beneath already: the entry that opens the properties panel has no
/// button.
QList<QAction*> orderedEntries(const QMenu* menu, bool updateFirst) {
  QList<QList<QAction*>> groups{{}};
  for (auto* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
    if (action->isSeparator()) {
      groups.append(QList<QAction*>());
    } else if (!action->property(LibraryListView::informationEntryProperty).toBool()) {
      groups.last().append(action);
    }
  }
  if (updateFirst && groups.size() > 1) {
    groups.append(groups.takeFirst());
  }
  QList<QAction*> entries;
  for (const auto& group : groups) {
    entries += group;
  }
  return entries;
}

QString withoutMnemonic(QString text) {
  return text.remove(QLatin1Char('&'));
}

} // namespace

CouchModeView::CouchModeView(Controller* controller, const QList<LibraryListView*>& grids,
                             const QStringList& titles, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , controller_(controller)
    , grids_(grids) {
  setWindowTitle(QCoreApplication::translate("ArvexHubLauncher", "Couch Mode"));
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(72, 48, 72, 48);
  layout->setSpacing(28);
  layout->addWidget(makeKindBar(titles));
  layout->addStretch(1);
  makeCardRow();
  layout->addWidget(cardRow_);
  details_ = new CouchDetailsPanel(this);
  layout->addWidget(details_);
  layout->addWidget(makeActionBar());
  layout->addStretch(2);
  applyTheme();
  new style::ThemeFollower(this, [this] { applyTheme(); });
  showKind(0);
}

CouchModeView::~CouchModeView() = default;

QWidget* CouchModeView::makeKindBar(const QStringList& titles) {
  auto* bar = new QWidget(this);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(28);
  shoulderGlyphs_ = {new QLabel(bar), new QLabel(bar)};
  layout->addWidget(shoulderGlyphs_.constFirst());
  for (const auto& title : titles) {
    auto* label = new QLabel(title, bar);
    kindLabels_.append(label);
    layout->addWidget(label);
  }
  layout->addWidget(shoulderGlyphs_.constLast());
  layout->addStretch(1);
  return bar;
}

void CouchModeView::makeCardRow() {
  cardRow_ = new QListView(this);
  cardRow_->setObjectName(QStringLiteral("couchCardRow"));
  cardRow_->setViewMode(QListView::ListMode);
  cardRow_->setFlow(QListView::LeftToRight);
  cardRow_->setWrapping(false);
  cardRow_->setUniformItemSizes(true);
  cardRow_->setSpacing(14);
  cardRow_->setSelectionMode(QAbstractItemView::SingleSelection);
  cardRow_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  cardRow_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  cardRow_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  cardRow_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  cardRow_->setFrameShape(QFrame::NoFrame);
  cardRow_->setFixedHeight(CouchCardDelegate::cardSize().height() + CouchCardDelegate::nameHeight + 2 * 14);
  cardRow_->installEventFilter(this);
  auto* pictures = new CouchPictures(this);
  connect(pictures, &CouchPictures::ready, cardRow_->viewport(), qOverload<>(&QWidget::update));
  connect(this, &CouchModeView::closed, pictures, &CouchPictures::clear); // files change meanwhile
  for (const auto* kind : couchKinds) {
    delegates_.append(new CouchCardDelegate(*kind, pictures, this));
  }
}

QWidget* CouchModeView::makeActionBar() {
  auto* bar = new QWidget(this);
  actionLayout_ = new QHBoxLayout(bar);
  actionLayout_->setContentsMargins(0, 0, 0, 0);
  actionLayout_->setSpacing(16);
  actionLayout_->addStretch(1);
  backButton_ = addButton(QStringLiteral("B"), QCoreApplication::translate("ArvexHubLauncher", "Back"));
  connect(backButton_, &QPushButton::clicked, this, &CouchModeView::leave);
  return bar;
}

QPushButton* CouchModeView::addButton(const QString& glyph, const QString& text) {
  auto* button = new QPushButton(faceGlyph(glyph, devicePixelRatioF()), text, this);
  button->setIconSize(QSize(glyphHeight, glyphHeight));
  button->setMinimumHeight(glyphHeight + 20);
  button->setFont(style::Style::themeOf(this).fontH5);
  button->installEventFilter(this);
  // The item's actions go before the stretch that keeps Back at the far end.
  actionLayout_->insertWidget(backButton_ != nullptr ? actionLayout_->count() - 2 : actionLayout_->count(),
                              button);
  return button;
}

void CouchModeView::applyTheme() {
  const auto& theme = style::Style::themeOf(this);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, theme.backgroundColorMain1); // the row of cards has no box
  setPalette(palette);
  for (int kind = 0; kind < kindLabels_.size(); ++kind) {
    auto* label = kindLabels_.at(kind);
    label->setFont(kind == kind_ ? theme.fontH2 : theme.fontH3);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText,
                          kind == kind_ ? theme.primaryColor : theme.secondaryAlternativeColor);
    label->setPalette(labelPalette);
  }
  const QStringList shoulders{QStringLiteral("LB"), QStringLiteral("RB")};
  for (int side = 0; side < shoulderGlyphs_.size(); ++side) {
    shoulderGlyphs_.at(side)->setPixmap(controllerGlyph(
        shoulders.at(side), theme.neutralColor, theme.secondaryColor, glyphHeight, devicePixelRatioF()));
  }
  details_->applyTheme();
}

void CouchModeView::open() {
  showKind(0);
  // Covers the window's screen even where no window manager makes it full screen (a television
  // box that runs the program alone).
  if (auto* window = parentWidget(); window != nullptr && window->screen() != nullptr) {
    setGeometry(window->screen()->geometry());
  }
  showFullScreen();
  raise();
  activateWindow();
  cardRow_->setFocus(Qt::OtherFocusReason);
}

int CouchModeView::currentKind() const {
  return kind_;
}

QListView* CouchModeView::cardRow() const {
  return cardRow_;
}

CouchDetailsPanel* CouchModeView::detailsPanel() const {
  return details_;
}

QList<QPushButton*> CouchModeView::buttons() const {
  return actionButtons_ + QList<QPushButton*>{backButton_};
}

void CouchModeView::showKind(int kind) {
  const int count = int(grids_.size());
  kind_ = (kind % count + count) % count;
  cardRow_->setItemDelegate(delegates_.at(kind_));
  if (auto* model = grids_.at(kind_)->model(); model != cardRow_->model()) {
    QItemSelectionModel* previous = cardRow_->selectionModel();
    cardRow_->setModel(model);
    if (previous != nullptr) {
      previous->deleteLater(); // the view does not delete the selection model it replaces
    }
    watchModel();
  }
  shownActions_.clear();
  applyTheme();
  if (cardRow_->model()->rowCount() > 0) {
    cardRow_->setCurrentIndex(cardRow_->model()->index(0, 0));
  }
  refresh();
}

void CouchModeView::watchModel() {
  for (const auto& connection : std::as_const(modelConnections_)) {
    disconnect(connection);
  }
  auto* model = cardRow_->model();
  modelConnections_ = {
      connect(cardRow_->selectionModel(), &QItemSelectionModel::currentChanged, this,
              &CouchModeView::onCurrentChanged),
      connect(model, &QAbstractItemModel::dataChanged, this, &CouchModeView::refresh),
      connect(model, &QAbstractItemModel::modelReset, this, &CouchModeView::refresh),
      connect(model, &QAbstractItemModel::rowsInserted, this, &CouchModeView::refresh),
      connect(model, &QAbstractItemModel::rowsRemoved, this, &CouchModeView::refresh),
      connect(model, &QAbstractItemModel::layoutChanged, this, &CouchModeView::refresh),
  };
}

void CouchModeView::onCurrentChanged() {
  cardRow_->scrollTo(cardRow_->currentIndex(), QAbstractItemView::PositionAtCenter);
  refresh();
}

void CouchModeView::refresh() {
  const QModelIndex current = cardRow_->currentIndex();
  if (!current.isValid() && cardRow_->model()->rowCount() > 0) {
    cardRow_->setCurrentIndex(cardRow_->model()->index(0, 0)); // comes back here
    return;
  }
  const auto* games = kind_ == 0 && controller_ ? controller_->model() : nullptr;
  details_->showItem(current, *couchKinds[kind_], games);
  rebuildActions();
}

void CouchModeView::rebuildActions() {
  if (menu_) {
    menu_->deleteLater();
  }
  const QModelIndex current = cardRow_->currentIndex();
  menu_ = current.isValid() ? grids_.at(kind_)->createContextMenu(current) : nullptr;
  actions_.clear();
  QStringList shown;
  const bool updateFirst = kind_ == 0 && !current.data(GameRole::Path).toString().isEmpty() &&
                           current.data(GameRole::UpdateAvailable).toBool();
  for (auto* action : orderedEntries(menu_, updateFirst)) {
    if (actions_.size() < 3) {
      actions_.append(action);
      shown.append(withoutMnemonic(action->text()) + (action->isEnabled() ? u'+' : u'-'));
    }
  }
  if (shown == shownActions_) {
    return; // same buttons: they trigger the new menu's entries by position
  }
  shownActions_ = shown;
  const bool hadFocus = actionButtons_.contains(focusWidget());
  qDeleteAll(std::exchange(actionButtons_, {}));
  for (int position = 0; position < actions_.size(); ++position) {
    auto* button = addButton(actionGlyphs[position], withoutMnemonic(actions_.at(position)->text()));
    button->setEnabled(actions_.at(position)->isEnabled());
    connect(button, &QPushButton::clicked, this, [this, position] { triggerAction(position); });
    actionButtons_.append(button);
  }
  if (hadFocus) {
    cardRow_->setFocus(Qt::OtherFocusReason);
  }
}

void CouchModeView::triggerAction(int position) {
  if (position < actions_.size() && actions_.at(position) && actions_.at(position)->isEnabled()) {
    actions_.at(position)->trigger();
  }
}

void CouchModeView::handleControllerAction(ControllerInput::Action action) {
  using Action = ControllerInput::Action;
  switch (action) {
  case Action::ContextMenu:
    triggerAction(1);
    break;
  case Action::Properties:
    triggerAction(2);
    break;
  case Action::PreviousTab:
  case Action::NextTab:
    showKind(kind_ + (action == Action::NextTab ? 1 : -1));
    break;
  case Action::CouchMode:
    leave();
    break;
  default:
    break;
  }
}

void CouchModeView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_Escape:
    leave();
    break;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    // On a button: that button; on the cards: the first action, as A.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget());
        button != nullptr && buttons().contains(button)) {
      button->click();
    } else {
      triggerAction(0);
    }
    break;
  case Qt::Key_PageUp:
  case Qt::Key_PageDown:
    showKind(kind_ + (event->key() == Qt::Key_PageDown ? 1 : -1));
    break;
  default:
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

bool CouchModeView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return QWidget::eventFilter(watched, event);
  }
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (watched == cardRow_ && key == Qt::Key_Down) {
    moveButtonFocus(0);
    return true;
  }
  if (watched != cardRow_ && (key == Qt::Key_Left || key == Qt::Key_Right)) {
    moveButtonFocus(key == Qt::Key_Right ? 1 : -1);
    return true;
  }
  if (watched != cardRow_ && key == Qt::Key_Up) {
    cardRow_->setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void CouchModeView::moveButtonFocus(int step) {
  QList<QPushButton*> enabled;
  for (auto* button : buttons()) {
    if (button->isEnabled()) {
      enabled.append(button);
    }
  }
  const int at = int(enabled.indexOf(qobject_cast<QPushButton*>(focusWidget())));
  const int next = at < 0 ? 0 : std::clamp(at + step, 0, int(enabled.size()) - 1);
  enabled.at(next)->setFocus(Qt::OtherFocusReason); // Back is always there
}

void CouchModeView::leave() {
  hide();
  emit closed();
}

void CouchModeView::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

} // namespace arvexhub::launcher
