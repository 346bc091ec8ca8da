#pragma once

#include <QIcon>
#include <QWidget>

namespace arvexhub::style {

/// Shows an icon at a fixed size, greyed out like other controls when disabled.
class IconWidget final : public QWidget {
  Q_OBJECT

public:
  explicit IconWidget(QWidget* parent = nullptr);
  explicit IconWidget(const QIcon& icon, QWidget* parent = nullptr);
  IconWidget(const QIcon& icon, const QSize& iconSize, QWidget* parent = nullptr);
  ~IconWidget() override;
  Q_DISABLE_COPY_MOVE(IconWidget)

  QIcon icon() const;
  void setIcon(const QIcon& icon);

  QSize iconSize() const;
  void setIconSize(const QSize& size);

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QIcon icon_;
  QSize iconSize_;
};

} // namespace arvexhub::style
