#include "widgets/console/CommandLine.h"

#include <QKeyEvent>

#include <algorithm>

namespace arvexhub::launcher {

CommandLine::CommandLine(QWidget* parent)
    : QLineEdit(parent) {
  connect(this, &QLineEdit::returnPressed, this, &CommandLine::enter);
}

CommandLine::~CommandLine() = default;

const QStringList& CommandLine::history() const {
  return history_;
}

void CommandLine::setHistory(const QStringList& history) {
  // A settings file edited by hand could hold any number of entries.
  history_ = history.mid(std::max<qsizetype>(0, history.size() - maximumHistory));
  position_ = static_cast<int>(history_.size());
  draft_.clear();
}

void CommandLine::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Up) {
      recall(-1);
      return;
    }
    if (event->key() == Qt::Key_Down) {
      recall(1);
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void CommandLine::enter() {
  // A pasted line break would reach the game as two commands under one id.
  QString command = text();
  command.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  if (command.trimmed().isEmpty()) {
    return;
  }
  if (history_.isEmpty() || history_.last() != command) {
    history_.append(command);
  }
  if (history_.size() > maximumHistory) {
    history_.removeFirst();
  }
  position_ = static_cast<int>(history_.size());
  draft_.clear();
  clear();
  emit commandEntered(command);
}

void CommandLine::recall(int step) {
  const int target = position_ + step;
  if (target < 0 || target > history_.size()) {
    return;
  }
  if (position_ == history_.size()) {
    draft_ = text();
  }
  position_ = target;
  setText(position_ == history_.size() ? draft_ : history_.at(position_));
}

} // namespace arvexhub::launcher
