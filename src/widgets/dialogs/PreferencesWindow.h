#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;
class QFormLayout;

namespace arvexhub::style {
class Switch;
}

namespace arvexhub::launcher {

class Controller;

/// The preferences dialog. Every control writes its preference at once; there is no OK or
/// Cancel, and "Reset" puts the defaults back.
class PreferencesWindow final : public QDialog {
  Q_OBJECT

public:
  PreferencesWindow(Controller* controller, QWidget* parent = nullptr);
  ~PreferencesWindow() override;
  Q_DISABLE_COPY_MOVE(PreferencesWindow)

  QComboBox* languageComboBox() const;
  QComboBox* themeComboBox() const;
  style::Switch* propertiesPanelSwitch() const;
  style::Switch* warnBeforeRemovalSwitch() const;

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  QWidget* makeForm();
  QWidget* makeBottomBar();
  void addLanguageRow(QFormLayout* form);
  void addThemeRow(QFormLayout* form);
  void addSwitchRows(QFormLayout* form);
  void addDownloadsRow(QFormLayout* form);
  void fitToContents();

  QPointer<Controller> controller_;
  QComboBox* languageComboBox_{nullptr};
  QComboBox* themeComboBox_{nullptr};
  style::Switch* propertiesPanelSwitch_{nullptr};
  style::Switch* warnBeforeRemovalSwitch_{nullptr};
};

} // namespace arvexhub::launcher
