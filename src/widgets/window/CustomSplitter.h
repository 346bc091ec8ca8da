#pragma once

#include <QSplitter>

namespace arvexhub::launcher {

/// A splitter that tells when the user lets go of one of its handles, so that the sizes it
/// was dragged to can be stored once, at the end of the drag.
class CustomSplitter final : public QSplitter {
  Q_OBJECT

public:
  explicit CustomSplitter(QWidget* parent = nullptr);
  ~CustomSplitter() override;
  Q_DISABLE_COPY_MOVE(CustomSplitter)

signals:
  /// A handle was released with the left mouse button.
  void handleMouseReleased();

protected:
  QSplitterHandle* createHandle() override;
};

} // namespace arvexhub::launcher
