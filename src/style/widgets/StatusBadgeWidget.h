#pragma once

#include "style/StyleTypes.h"

#include <QWidget>

namespace arvexhub::style {

/// A round badge in a status colour with the status's icon in it.
class StatusBadgeWidget final : public QWidget {
  Q_OBJECT

public:
  enum class StatusBadgeSize {
    Small = 16,
    Medium = 24,
  };
  Q_ENUM(StatusBadgeSize)

  explicit StatusBadgeWidget(QWidget* parent = nullptr);
  explicit StatusBadgeWidget(StatusBadge badge, QWidget* parent = nullptr);
  ~StatusBadgeWidget() override;
  Q_DISABLE_COPY_MOVE(StatusBadgeWidget)

  StatusBadge badge() const;
  void setBadge(StatusBadge badge);

  StatusBadgeSize badgeSize() const;
  void setBadgeSize(StatusBadgeSize size);

  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  StatusBadge badge_{StatusBadge::Info};
  StatusBadgeSize badgeSize_{StatusBadgeSize::Medium};
};

} // namespace arvexhub::style
