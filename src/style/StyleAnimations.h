#pragma once

#include <QColor>
#include <QObject>

#include <map>
#include <utility>

class QVariantAnimation;
class QWidget;

namespace arvexhub::style {

/// Colour transitions of the widgets the style paints, one per widget and part. A widget's
/// transitions go away with the widget.
class StyleAnimations final : public QObject {
public:
  explicit StyleAnimations(QObject* parent = nullptr);
  ~StyleAnimations() override;
  Q_DISABLE_COPY_MOVE(StyleAnimations)

  /// The colour to paint now: the target itself the first time or when the duration is 0,
  /// else a transition from the colour shown so far towards the target.
  QColor color(const QWidget* widget, int part, const QColor& target, int duration);
  /// Number of widgets with transitions.
  int widgetCount() const;

private:
  struct Entry {
    QColor target;
    QVariantAnimation* animation{nullptr};
  };
  using Key = std::pair<const QObject*, int>;

  void watch(const QWidget* widget);
  void forget(QObject* widget);
  QColor startTransition(Entry& entry, const QWidget* widget, const QColor& target, int duration);

  std::map<Key, Entry> entries_;
  std::map<const QObject*, QMetaObject::Connection> watched_;
};

} // namespace arvexhub::style
