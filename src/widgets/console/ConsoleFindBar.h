#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace arvexhub::style {
class LineEdit;
}

namespace arvexhub::launcher {

class ConsoleSearch;

/// The bar that finds a text in the console's log: the text to find, how many lines match and
/// which one is selected, the previous and next match (Shift+Enter, Enter) and closing (Escape).
class ConsoleFindBar final : public QWidget {
  Q_OBJECT

public:
  ConsoleFindBar(QPlainTextEdit* view, QWidget* parent = nullptr);
  ~ConsoleFindBar() override;
  Q_DISABLE_COPY_MOVE(ConsoleFindBar)

  ConsoleSearch* search() const;
  /// Shows the bar with its text selected, and finds that text again.
  void openBar();
  /// Hides the bar, removes the highlights and gives the focus back to the log.
  void closeBar();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void updateCount();

  QPlainTextEdit* view_{nullptr};
  ConsoleSearch* search_{nullptr};
  style::LineEdit* field_{nullptr};
  QLabel* count_{nullptr};
  QPushButton* previous_{nullptr};
  QPushButton* next_{nullptr};
};

} // namespace arvexhub::launcher
