#pragma once

#include <QWidget>

namespace arvexhub::launcher {

/// The surface behind a text view: painted with the view's background colour, so the area
/// under a short text looks like part of the view.
class PlainTextEditBackground final : public QWidget {
  Q_OBJECT

public:
  explicit PlainTextEditBackground(QWidget* parent = nullptr);
  ~PlainTextEditBackground() override;
  Q_DISABLE_COPY_MOVE(PlainTextEditBackground)

protected:
  void paintEvent(QPaintEvent* event) override;
};

} // namespace arvexhub::launcher
