#pragma once

#include <QWidget>

namespace arvexhub::launcher {

/// The differently coloured band at the bottom of a dialog that carries its buttons.
class BottomWidget final : public QWidget {
  Q_OBJECT

public:
  explicit BottomWidget(QWidget* parent = nullptr);
  Q_DISABLE_COPY_MOVE(BottomWidget)

protected:
  void paintEvent(QPaintEvent* event) override;
};

} // namespace arvexhub::launcher
