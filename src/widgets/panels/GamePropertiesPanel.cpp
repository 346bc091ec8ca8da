#include "widgets/panels/GamePropertiesPanel.h"

#include "library/GameListModel.h"
#include "library/PlayTimeStore.h"
#include "library/PlayTimeText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {
/// What the user has: an installed game's own version file, else the version the catalogue offers.
QString shownVersion(const GameData& game) {
  if (!game.path.isEmpty() &&
      QFileInfo::exists(QFileInfo(game.path).dir().filePath(QStringLiteral("VERSION")))) {
    return GameListModel::getLocalVersion(game.path);
  }
  return game.version;
}
} // namespace

GamePropertiesPanel::GamePropertiesPanel(GameListModel* model, QWidget* parent)
    : PropertiesPanel(QStringLiteral("gameThumbnail"), GameRole::DownloadProgress, parent)
    , model_(model) {
  setupUi();
  follow(model_, &GameListModel::currentGameName, &GameListModel::currentGameChanged);
}

GamePropertiesPanel::~GamePropertiesPanel() = default;

void GamePropertiesPanel::setupUi() {
  setObjectName(QStringLiteral("GamePropertiesPanel"));
  // Names and versions come from the catalogue: shown as text, never as markup.
  fullName_ = addLabel(QStringLiteral("gameFullName"), Qt::PlainText);
  details_ = addLabel(QStringLiteral("gameDetails"), Qt::RichText);
  version_ = addLabel(QStringLiteral("gameVersion"), Qt::PlainText);
  playTime_ = addLabel(QStringLiteral("gamePlayTime"), Qt::PlainText);
  contentLayout()->addStretch();
}

void GamePropertiesPanel::updateUi(const QString& name) {
  if (name.isEmpty()) {
    clearLabels();
    setEnabled(false);
    return;
  }
  const GameData& game = model_->gameDataByName(name);
  setEnabled(!game.name.isEmpty());
  if (game.name.isEmpty()) {
    clearLabels();
    scrollToTop();
    return;
  }
  setPicture(game.icon);
  fullName_->setText(game.fullName);
  details_->setText(detailLines({{QStringLiteral("Developer"), game.developer},
                                 {QStringLiteral("Publisher"), game.publisher},
                                 {QStringLiteral("Released"), game.launchDate}}));
  version_->setText(QStringLiteral("Version: %1").arg(shownVersion(game)));
  playTime_->setText(playTimeText(game));
  scrollToTop();
}

QString GamePropertiesPanel::playTimeText(const GameData& game) const {
  const auto* store = model_->playTimes();
  if (store == nullptr) {
    return {};
  }
  // A removed game keeps its record and shows it on its catalogue card.
  const auto record = store->record(game.name);
  if (record.sessions == 0) {
    return game.path.isEmpty() ? QString() : QCoreApplication::translate("ArvexHubLauncher", "Never played");
  }
  return PlayTimeText::summary(record, store->now()) + QLatin1Char('\n') +
         QCoreApplication::translate("ArvexHubLauncher", "%n session(s)", nullptr, record.sessions);
}

} // namespace arvexhub::launcher
