#include "widgets/couch/CouchDetailsPanel.h"

#include "library/GameData.h"
#include "library/GameListModel.h"
#include "library/PlayTimeStore.h"
#include "library/PlayTimeText.h"
#include "style/Style.h"
#include "style/Theme.h"
#include "widgets/cards/CardKind.h"

#include <QCoreApplication>
#include <QLabel>
#include <QModelIndex>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {

bool isInstalledItem(const QModelIndex& index, const CardKind& kind) {
  const QVariant installed = index.data(kind.installedRole);
  return kind.installedIsPath ? !installed.toString().isEmpty() : installed.toBool();
}

QString couchStateOf(const QModelIndex& index, const CardKind& kind) {
  if (index.data(kind.busyRole).toBool()) {
    bool known = false;
    const double progress = index.data(kind.progressRole).toDouble(&known);
    return known && progress >= 0 ? QCoreApplication::translate("ArvexHubLauncher", "Downloading… %1%")
                                        .arg(progress * 100, 0, 'f', 0)
                                  : QCoreApplication::translate("ArvexHubLauncher", "Downloading…");
  }
  // Games show no badge on their cards, but a running game is worth saying here.
  const int activeRole = kind.activeRole >= 0 ? kind.activeRole : int(GameRole::IsPlaying);
  if (index.data(activeRole).toBool()) {
    return QCoreApplication::translate(
        "ArvexHubLauncher",
        kind.activeBadge != nullptr ? kind.activeBadge : QT_TRANSLATE_NOOP("ArvexHubLauncher", "Playing"));
  }
  return isInstalledItem(index, kind)
             ? QCoreApplication::translate("ArvexHubLauncher", "Installed")
             : QCoreApplication::translate("ArvexHubLauncher", "Available to download");
}

QString couchVersionOf(const QModelIndex& index, const GameListModel* games) {
  const QString path = index.data(GameRole::Path).toString();
  // An installed game's row keeps its own version; what the catalogue offers is in its entry.
  const auto* entry = games->catalogueRecord(index.data(Qt::DisplayRole).toString());
  const QString offered = entry != nullptr ? entry->version : QString();
  if (path.isEmpty()) {
    return offered.isEmpty() ? QString()
                             : QCoreApplication::translate("ArvexHubLauncher", "Version %1").arg(offered);
  }
  const QString local = GameListModel::getLocalVersion(path);
  if (local == QLatin1String("0")) {
    return {}; // no version file: no version to tell
  }
  if (index.data(GameRole::UpdateAvailable).toBool() && !offered.isEmpty() && offered != local) {
    return QCoreApplication::translate("ArvexHubLauncher", "Version %1, %2 available").arg(local, offered);
  }
  return QCoreApplication::translate("ArvexHubLauncher", "Version %1").arg(local);
}

/// "Played 3 h 12 min · last played yesterday"; empty for a game never played.
QString couchPlayTimeOf(const QModelIndex& index, const GameListModel* games) {
  const auto* store = games->playTimes();
  return store != nullptr
             ? PlayTimeText::summary(store->record(index.data(Qt::DisplayRole).toString()), store->now())
             : QString();
}

} // namespace

CouchDetailsPanel::CouchDetailsPanel(QWidget* parent)
    : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  title_ = addLine("couchTitle");
  state_ = addLine("couchState");
  version_ = addLine("couchVersion");
  playTime_ = addLine("couchPlayTime");
  applyTheme();
}

CouchDetailsPanel::~CouchDetailsPanel() = default;

QLabel* CouchDetailsPanel::addLine(const char* objectName) {
  auto* label = new QLabel(this);
  label->setObjectName(QLatin1String(objectName));
  label->setTextFormat(Qt::PlainText); // names come from catalogues
  layout()->addWidget(label);
  return label;
}

void CouchDetailsPanel::showItem(const QModelIndex& index, const CardKind& kind, const GameListModel* games) {
  const bool valid = index.isValid();
  title_->setText(valid ? index.data(Qt::DisplayRole).toString() : QString());
  state_->setText(valid ? couchStateOf(index, kind) : QString());
  version_->setText(valid && games != nullptr ? couchVersionOf(index, games) : QString());
  playTime_->setText(valid && games != nullptr ? couchPlayTimeOf(index, games) : QString());
  for (auto* line : {state_, version_, playTime_}) {
    line->setVisible(!line->text().isEmpty());
  }
}

void CouchDetailsPanel::applyTheme() {
  const auto& theme = style::Style::themeOf(this);
  title_->setFont(theme.fontH1);
  state_->setFont(theme.fontH4);
  for (auto* line : {version_, playTime_}) {
    line->setFont(theme.fontH5);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, theme.secondaryAlternativeColor);
    line->setPalette(palette);
  }
}

} // namespace arvexhub::launcher
