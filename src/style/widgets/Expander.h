#pragma once

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace arvexhub::style {

/// Shows or hides one content widget by animating its own height (or width), so the layout
/// around it follows smoothly. The content keeps its natural size and is uncovered, not
/// squeezed, while the animation runs.
class Expander final : public QWidget {
  Q_OBJECT

public:
  explicit Expander(QWidget* parent = nullptr);
  ~Expander() override;
  Q_DISABLE_COPY_MOVE(Expander)

  Qt::Orientation orientation() const;
  void setOrientation(Qt::Orientation orientation);

  QWidget* content() const;
  /// Takes ownership of the widget; the previous content, if any, is deleted.
  void setContent(QWidget* content);

  bool expanded() const;
  void setExpanded(bool expanded);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  void expandedChanged(bool expanded);

protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  /// The content's preferred extent along the orientation, at the current breadth.
  int naturalExtent() const;
  int targetExtent() const;
  void animateTo(int extent);
  void applyExtent(int extent);
  void onAnimationFinished();
  /// Follows a content whose preferred size changed, or that went away.
  void followContent();
  void layoutContent();

  QPointer<QWidget> content_;
  Qt::Orientation orientation_{Qt::Vertical};
  bool expanded_{false};
  int extent_{0};
  QVariantAnimation animation_;
};

} // namespace arvexhub::style
