#pragma once

#include <QObject>
#include <QStringList>

class QTranslator;

namespace arvexhub::style {
class ThemeManager;
}

namespace arvexhub::launcher {

class GameListModel;
class GameRunner;
class Preferences;

/// The application's central object: owns the preferences, the theme manager and the
/// translator, and carries out the commands that span several of them.
class Controller final : public QObject {
  Q_OBJECT

public:
  explicit Controller(QObject* parent = nullptr);
  ~Controller() override;
  Q_DISABLE_COPY_MOVE(Controller)

  Preferences* preferences() const;
  GameListModel* model() const;
  GameRunner* runner() const;
  style::ThemeManager* themeManager() const;
  QStringList languages() const;

  /// The translated name of a theme id; other ids are returned as they are.
  QString themeName(const QString& id) const;

  void playGame(const QString& path);
  void openPreferencesDialog();

signals:
  void mainWindowRaiseRequested();

private:
  void setupThemeManager();
  void loadLanguages();

  Preferences* preferences_{nullptr};
  GameListModel* gameModel_{nullptr};
  GameRunner* runner_{nullptr};
  style::ThemeManager* themeManager_{nullptr};
  QStringList languages_;
  QTranslator* translator_{nullptr};
};

} // namespace arvexhub::launcher
