#include "widgets/console/ConsoleFindBar.h"

#include "app/MakeIcon.h"
#include "style/widgets/LineEdit.h"
#include "widgets/console/ConsoleSearch.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

namespace arvexhub::launcher {
namespace {

using style::icons::Icons16;

constexpr int fieldWidth = 260;

QPushButton* makeButton(Icons16 icon, const QString& toolTip, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setFlat(true);
  button->setIcon(makeIcon(icon));
  button->setToolTip(toolTip);
  button->setAccessibleName(toolTip);
  return button;
}

} // namespace

ConsoleFindBar::ConsoleFindBar(QPlainTextEdit* view, QWidget* parent)
    : QWidget(parent)
    , view_(view)
    , search_(new ConsoleSearch(view, this))
    , field_(new style::LineEdit(this))
    , count_(new QLabel(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(12, 4, 4, 4);
  field_->setObjectName(QStringLiteral("findField"));
  field_->setIcon(makeIcon(Icons16::Navigation_Search));
  field_->setPlaceholderText(QCoreApplication::translate("ArvexHubLauncher", "Find in console"));
  field_->setAccessibleName(QCoreApplication::translate("ArvexHubLauncher", "Find in console"));
  field_->setClearButtonEnabled(true);
  field_->setFixedWidth(fieldWidth);
  field_->installEventFilter(this);
  count_->setObjectName(QStringLiteral("matchCount"));
  previous_ =
      makeButton(Icons16::Navigation_ChevronUp,
                 QCoreApplication::translate("ArvexHubLauncher", "Previous match (Shift+Enter)"), this);
  next_ = makeButton(Icons16::Navigation_ChevronDown,
                     QCoreApplication::translate("ArvexHubLauncher", "Next match (Enter)"), this);
  auto* close =
      makeButton(Icons16::Action_Close,
                 QCoreApplication::translate("ArvexHubLauncher", "Close the find bar (Escape)"), this);
  layout->addWidget(field_);
  layout->addWidget(count_);
  layout->addStretch();
  layout->addWidget(previous_);
  layout->addWidget(next_);
  layout->addWidget(close);

  connect(field_, &QLineEdit::textChanged, search_, &ConsoleSearch::setQuery);
  connect(previous_, &QPushButton::clicked, search_, &ConsoleSearch::previous);
  connect(next_, &QPushButton::clicked, search_, &ConsoleSearch::next);
  connect(close, &QPushButton::clicked, this, &ConsoleFindBar::closeBar);
  connect(search_, &ConsoleSearch::changed, this, &ConsoleFindBar::updateCount);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &ConsoleFindBar::closeBar);
  escape->setContext(Qt::WidgetWithChildrenShortcut);
  updateCount();
}

ConsoleFindBar::~ConsoleFindBar() = default;

ConsoleSearch* ConsoleFindBar::search() const {
  return search_;
}

void ConsoleFindBar::openBar() {
  show();
  field_->setFocus(Qt::ShortcutFocusReason);
  field_->selectAll();
  search_->setQuery(field_->text());
}

void ConsoleFindBar::closeBar() {
  search_->stop();
  hide();
  view_->setFocus(Qt::OtherFocusReason);
}

bool ConsoleFindBar::eventFilter(QObject* watched, QEvent* event) {
  const bool shortcut = event->type() == QEvent::ShortcutOverride;
  if (watched != field_ || (!shortcut && event->type() != QEvent::KeyPress)) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->matches(QKeySequence::Find)) {
    event->accept(); // Ctrl+F here stays in the bar rather than going to the library's search
    if (!shortcut) {
      field_->selectAll();
    }
    return true;
  }
  if (!shortcut && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    if (key->modifiers() & Qt::ShiftModifier) {
      search_->previous();
    } else {
      search_->next();
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void ConsoleFindBar::updateCount() {
  const int count = search_->matchCount();
  if (count == 0) {
    count_->setText(search_->query().isEmpty()
                        ? QString()
                        : QCoreApplication::translate("ArvexHubLauncher", "No results"));
  } else if (search_->currentIndex() < 0) {
    count_->setText(QCoreApplication::translate("ArvexHubLauncher", "%1 matches").arg(count));
  } else {
    count_->setText(QCoreApplication::translate("ArvexHubLauncher", "%1 of %2")
                        .arg(search_->currentIndex() + 1)
                        .arg(count));
  }
  previous_->setEnabled(count > 0);
  next_->setEnabled(count > 0);
}

} // namespace arvexhub::launcher
