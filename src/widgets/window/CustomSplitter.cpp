#include "widgets/window/CustomSplitter.h"

#include <QMouseEvent>
#include <QSplitterHandle>

#include <functional>
#include <utility>

namespace arvexhub::launcher {
namespace {

/// A handle that calls back when the left button is released on it.
class CustomSplitterHandle final : public QSplitterHandle {
public:
  CustomSplitterHandle(Qt::Orientation orientation, QSplitter* parent, std::function<void()> onReleased)
      : QSplitterHandle(orientation, parent)
      , onReleased_(std::move(onReleased)) {}
  Q_DISABLE_COPY_MOVE(CustomSplitterHandle)

protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QSplitterHandle::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && onReleased_) {
      onReleased_();
    }
  }

private:
  std::function<void()> onReleased_;
};

} // namespace

CustomSplitter::CustomSplitter(QWidget* parent)
    : QSplitter(parent) {}

CustomSplitter::~CustomSplitter() = default;

QSplitterHandle* CustomSplitter::createHandle() {
  return new CustomSplitterHandle(orientation(), this, [this] { emit handleMouseReleased(); });
}

} // namespace arvexhub::launcher
