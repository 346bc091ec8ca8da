#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace arvexhub::style {

/// Calls back whenever the theme of a widget's style changes, and keeps doing so after the
/// widget is given another style. A child of the widget: it goes with it.
class ThemeFollower final : public QObject {
  Q_OBJECT

public:
  ThemeFollower(QWidget* widget, std::function<void()> onThemeChanged);
  Q_DISABLE_COPY_MOVE(ThemeFollower)

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void followCurrentStyle();

  QWidget* widget_;
  std::function<void()> onThemeChanged_;
  QMetaObject::Connection connection_;
};

} // namespace arvexhub::style
