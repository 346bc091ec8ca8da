#pragma once

#include <QIcon>
#include <QLineEdit>

namespace arvexhub::style {

/// A line edit with an icon before the text, for example a magnifier in a search field.
class LineEdit final : public QLineEdit {
  Q_OBJECT

public:
  explicit LineEdit(QWidget* parent = nullptr);
  ~LineEdit() override;
  Q_DISABLE_COPY_MOVE(LineEdit)

  QIcon icon() const;
  void setIcon(const QIcon& icon);

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void updateTextMargins();
  /// Where the text would start without our margin, which is where the icon goes.
  QRect iconRect() const;

  QIcon icon_;
};

} // namespace arvexhub::style
