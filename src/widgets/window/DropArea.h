#pragma once

#include <QPixmap>
#include <QWidget>

class QPainter;
class QVariantAnimation;

namespace arvexhub::style {
class Theme;
}

namespace arvexhub::launcher {

/// The translucent overlay over the main window that says what can be dropped on it. It
/// takes no part in the drag itself: drops and mouse events pass through to the window.
class DropArea final : public QWidget {
  Q_OBJECT

public:
  explicit DropArea(QWidget* parent);
  ~DropArea() override;
  Q_DISABLE_COPY_MOVE(DropArea)

  /// Fades the overlay in or out, from the opacity it has reached; hidden once faded out.
  void animateVisibility(bool visible);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void updateIcon();
  void paintFrame(QPainter& painter, const style::Theme& theme) const;
  void paintMessage(QPainter& painter, const style::Theme& theme) const;

  bool visible_{false};
  QVariantAnimation* animation_{nullptr};
  QPixmap icon_;
};

} // namespace arvexhub::launcher
