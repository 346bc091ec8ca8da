#pragma once

#include <QWidget>

namespace arvexhub::style {
class ThemeManager;
}

/// Every control and widget of the style kit in one window, to judge the look.
class GalleryWindow final : public QWidget {
  Q_OBJECT

public:
  explicit GalleryWindow(arvexhub::style::ThemeManager* themeManager, QWidget* parent = nullptr);
  Q_DISABLE_COPY_MOVE(GalleryWindow)

  /// The about dialog of the kit, filled with sample texts.
  static QWidget* makeAboutDialog(QWidget* parent);
  /// A menu with icons, a check mark, a separator and a submenu.
  static class QMenu* makeMenu(QWidget* parent);

private:
  QWidget* makeButtonsColumn();
  QWidget* makeInputsColumn();
  QWidget* makeKitColumn();
  QWidget* makeViewsColumn();
  QWidget* makeThemeRow();

  arvexhub::style::ThemeManager* themeManager_;
};
