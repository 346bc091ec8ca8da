#pragma once

#include "style/Theme.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace arvexhub::style {

class Style;

/// Keeps the loaded themes and applies the chosen one to the style.
class ThemeManager final : public QObject {
  Q_OBJECT

public:
  explicit ThemeManager(Style* style, QObject* parent = nullptr);
  ~ThemeManager() override;
  Q_DISABLE_COPY_MOVE(ThemeManager)

  /// Loads every "*.json" theme of the folder, in name order; a file that is not a theme is
  /// skipped with a warning. A theme whose id is already loaded replaces it in place.
  void loadDirectory(const QString& path);
  void addTheme(const Theme& theme);

  const std::vector<Theme>& themes() const;
  /// The id (meta.name) of the current theme; empty before any theme was chosen.
  QString currentTheme() const;
  /// Applies the theme with this id; an unknown id changes nothing.
  void setCurrentTheme(const QString& id);
  /// Cycles to the theme after the current one, in load order.
  void setNextTheme();

signals:
  void currentThemeChanged();

private:
  int indexOf(const QString& id) const;
  void setCurrentIndex(int index);

  QPointer<Style> style_;
  std::vector<Theme> themes_;
  int currentIndex_{-1};
};

} // namespace arvexhub::style
