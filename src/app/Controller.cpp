#include "app/Controller.h"

#include "app/Common.h"
#include "app/Languages.h"
#include "app/Preferences.h"
#include "library/GameListModel.h"
#include "runner/GameRunner.h"
#include "widgets/PreferencesWindow.h"

#include <style/Style.h>
#include <style/ThemeManager.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

namespace arvexhub::launcher {
namespace {
const QString translationsFolder = QStringLiteral(":/i18n/");
} // namespace

Controller::Controller(QObject* parent)
  : QObject(parent)
  , preferences_(new Preferences(this))
  , gameModel_(new GameListModel(this))
  , runner_(new GameRunner(this, this)) {
  setupThemeManager();
  loadLanguages();
}

Controller::~Controller() = default;

Preferences* Controller::preferences() const {
  return preferences_;
}

GameListModel* Controller::model() const {
  return gameModel_;
}

GameRunner* Controller::runner() const {
  return runner_;
}

style::ThemeManager* Controller::themeManager() const {
  return themeManager_;
}

QStringList Controller::languages() const {
  return languages_;
}

QString Controller::themeName(const QString& id) const {
  if (id == Common::darkThemeId()) {
    return QCoreApplication::translate("ArvexHubLauncher", "Dark");
  }
  if (id == Common::lightThemeId()) {
    return QCoreApplication::translate("ArvexHubLauncher", "Light");
  }
  return id;
}

void Controller::playGame(const QString& path) {
  Q_UNUSED(path) // games arrive with the game library and runner
}

void Controller::openPreferencesDialog() {
  auto* window = new PreferencesWindow(this, QApplication::activeWindow());
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void Controller::setupThemeManager() {
  themeManager_ = new style::ThemeManager(style::Style::of(), this);
  themeManager_->loadDirectory(QStringLiteral(":/arvexhub/launcher/resources/themes"));
  themeManager_->setCurrentTheme(preferences_->appTheme());
  if (themeManager_->currentTheme().isEmpty()) {
    // A stored id that no theme file has: show the default theme rather than none at all.
    themeManager_->setCurrentTheme(Common::darkThemeId());
  }
  connect(preferences_, &Preferences::appThemeChanged, this,
          [this] { themeManager_->setCurrentTheme(preferences_->appTheme()); });
  connect(themeManager_, &style::ThemeManager::currentThemeChanged, this,
          [this] { preferences_->setAppTheme(themeManager_->currentTheme()); });
}

void Controller::loadLanguages() {
  languages_ = languages::availableLanguages(translationsFolder);
  const auto language =
    languages::chooseStartupLanguage(languages_, preferences_->appLanguage(), QLocale().name());
  preferences_->setAppLanguage(language);

  translator_ = new QTranslator(this);
  const auto fileName = QDir(translationsFolder).absolutePath() + QStringLiteral("/ArvexHub");
  if (translator_->load(QLocale(language), fileName, QStringLiteral("_"), translationsFolder)) {
    QCoreApplication::installTranslator(translator_);
  }
}

} // namespace arvexhub::launcher
