#pragma once

#include <QStackedWidget>
#include <QString>

#include <functional>

class QPushButton;
class QTimerEvent;

namespace arvexhub::style {
class LoadingSpinner;
}

namespace arvexhub::launcher {

/// The status bar's small indicator for the update check: nothing, a spinner while a check
/// runs, or a button with its result.
class MessageWidget final : public QStackedWidget {
  Q_OBJECT

public:
  enum class Page : int {
    Hidden = 0,         ///< the widget is hidden
    Spinner = 1,        ///< the spinner turns
    Button = 2,         ///< the icon-only button, for a while, then Hidden
    ButtonWithText = 3, ///< the button with a text, until the next page
  };
  Q_ENUM(Page)

  explicit MessageWidget(QWidget* parent = nullptr);
  ~MessageWidget() override;
  Q_DISABLE_COPY_MOVE(MessageWidget)

  Page currentPage() const;
  /// The text is shown on the ButtonWithText page only; the tool tip on every visible page. Does
  /// nothing while the stack already shows the page of that number.
  void setCurrentPage(Page page, const QString& text = {}, const QString& toolTip = {});

  /// What a click on the button does; an empty function makes the click do nothing.
  void setClickCallback(std::function<void()> callback);

  /// How long the icon-only button stays (10 s). Tests shorten it rather than wait.
  void setButtonDuration(int milliseconds);

protected:
  void timerEvent(QTimerEvent* event) override;

private:
  void applyPage(Page page, const QString& text, const QString& toolTip);
  void stopTimer();

  style::LoadingSpinner* spinner_{nullptr};
  QWidget* spinnerPage_{nullptr};
  QPushButton* button_{nullptr};
  int timerId_{-1};
  int buttonDuration_{10000};
  Page page_{Page::Hidden};
  std::function<void()> clickCallback_;
};

} // namespace arvexhub::launcher
