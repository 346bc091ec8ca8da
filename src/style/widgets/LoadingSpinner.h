#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace arvexhub::style {

/// A spinning arc telling that something is in progress. It only animates while spinning and
/// visible, so a hidden spinner costs nothing.
class LoadingSpinner final : public QWidget {
  Q_OBJECT

public:
  explicit LoadingSpinner(QWidget* parent = nullptr);
  ~LoadingSpinner() override;
  Q_DISABLE_COPY_MOVE(LoadingSpinner)

  bool spinning() const;
  void setSpinning(bool spinning);

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  void updateAnimation();

  bool spinning_{false};
  QVariantAnimation rotation_;
};

} // namespace arvexhub::style
