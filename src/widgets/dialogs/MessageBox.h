#pragma once

#include <QDialog>
#include <QFlags>
#include <QIcon>
#include <QMap>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace arvexhub::style {
class Label;
class StatusBadgeWidget;
} // namespace arvexhub::style

namespace arvexhub::launcher {

/// The application's own confirmation and notice dialog: a status badge, a title, a text, an
/// optional check box and up to three buttons on a band at the bottom.
class MessageBox final : public QDialog {
  Q_OBJECT

public:
  /// The kind of message; the last four show a status badge.
  enum Type : int {
    NoType = 0,
    Plain = 1,
    Info = 2,
    Warning = 3,
    Error = 4,
    Success = 5,
  };
  Q_ENUM(Type)

  enum Button {
    None = 0,
    Ok = 1,
    Yes = 2,
    Cancel = 4,
  };
  Q_ENUM(Button)
  Q_DECLARE_FLAGS(Buttons, Button)

  explicit MessageBox(QWidget* parent = nullptr);
  ~MessageBox() override;
  Q_DISABLE_COPY_MOVE(MessageBox)

  Type type() const;
  void setType(Type type);
  QString title() const;
  void setTitle(const QString& title);
  QString text() const;
  void setText(const QString& text);
  Buttons buttons() const;
  void setButtons(Buttons buttons);
  void setButtonIcon(Button button, const QIcon& icon);
  QPushButton* getButtonWidget(Button button) const;
  static QIcon iconForButton(Button button);

  void setCheckBox(const QString& text, bool checked);
  void setCheckBoxText(const QString& text);
  void setCheckBoxChecked(bool checked);
  QString checkBoxText() const;
  bool checkBoxChecked() const;

  static int exec(QWidget* parent, Type type, const QString& title, const QString& text, Buttons buttons);
  static Button buttonResult(int result);

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  void setupUi();
  void applyTextPalette();
  QPushButton* makeButton(Button button);

  Type type_{NoType};
  style::StatusBadgeWidget* badge_{nullptr};
  style::Label* title_{nullptr};
  QLabel* text_{nullptr};
  QCheckBox* checkBox_{nullptr};
  QHBoxLayout* buttonLayout_{nullptr};
  Buttons buttons_;
  QMap<Button, QPushButton*> buttonWidgets_;
};

} // namespace arvexhub::launcher

Q_DECLARE_OPERATORS_FOR_FLAGS(arvexhub::launcher::MessageBox::Buttons)
