#include "library/PlayTimeStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

constexpr int defaultSaveIntervalMs = 60 * 1000;
const QString gamesKey = QStringLiteral("games");
const QString secondsKey = QStringLiteral("seconds");
const QString lastPlayedKey = QStringLiteral("lastPlayed");
const QString sessionsKey = QStringLiteral("sessions");

} // namespace

PlayTimeStore::PlayTimeStore(QString fileName, QObject* parent)
    : QObject(parent)
    , fileName_(std::move(fileName))
    , clock_([] { return QDateTime::currentDateTimeUtc(); }) {
  saveTimer_.setInterval(defaultSaveIntervalMs);
  connect(&saveTimer_, &QTimer::timeout, this, &PlayTimeStore::checkpoint);
  load();
}

PlayTimeStore::~PlayTimeStore() {
  endSession();
}

void PlayTimeStore::setClock(Clock clock) {
  clock_ = std::move(clock);
}

QDateTime PlayTimeStore::now() const {
  return clock_();
}

void PlayTimeStore::setSaveInterval(int milliseconds) {
  saveTimer_.setInterval(milliseconds);
}

qint64 PlayTimeStore::lastPlayedMs(const QString& game) const {
  const auto found = records_.constFind(game);
  return found == records_.cend() ? 0 : found->lastPlayed.toMSecsSinceEpoch();
}

PlayRecord PlayTimeStore::record(const QString& game) const {
  auto found = records_.value(game);
  if (!running_.isEmpty() && game == running_) {
    found.seconds += qMax(counted_, sessionStart_.secsTo(clock_())) - counted_;
  }
  return found;
}

void PlayTimeStore::startSession(const QString& game) {
  endSession();
  if (game.isEmpty()) {
    return;
  }
  running_ = game;
  sessionStart_ = clock_();
  counted_ = 0;
  auto& entry = records_[running_];
  ++entry.sessions;
  entry.lastPlayed = sessionStart_;
  save();
  saveTimer_.start();
  emit changed(game);
}

void PlayTimeStore::endSession() {
  if (running_.isEmpty()) {
    return;
  }
  checkpoint();
  saveTimer_.stop();
  running_.clear();
}

void PlayTimeStore::checkpoint() {
  if (running_.isEmpty()) {
    return;
  }
  const auto now = clock_();
  // A clock set back never takes time away.
  const auto elapsed = qMax(counted_, sessionStart_.secsTo(now));
  auto& entry = records_[running_];
  entry.seconds += elapsed - counted_;
  entry.lastPlayed = qMax(entry.lastPlayed, now);
  counted_ = elapsed;
  save();
  emit changed(running_);
}

void PlayTimeStore::load() {
  QFile file(fileName_);
  if (!file.exists()) {
    return;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    return setAside(file.errorString());
  }
  QJsonParseError error{};
  const auto document = QJsonDocument::fromJson(file.readAll(), &error);
  file.close();
  if (!document.isObject() || !document.object().value(gamesKey).isObject()) {
    return setAside(error.error != QJsonParseError::NoError ? error.errorString()
                                                            : QStringLiteral("not a play time store"));
  }
  const auto games = document.object().value(gamesKey).toObject();
  for (auto game = games.begin(); game != games.end(); ++game) {
    const auto fields = game.value().toObject();
    PlayRecord entry;
    entry.seconds = qMax<qint64>(0, fields.value(secondsKey).toInteger());
    entry.lastPlayed = QDateTime::fromString(fields.value(lastPlayedKey).toString(), Qt::ISODate);
    entry.sessions = qMax(0, fields.value(sessionsKey).toInt());
    records_.insert(game.key(), entry);
  }
}

void PlayTimeStore::setAside(const QString& reason) {
  const auto aside =
      fileName_ + QStringLiteral(".unreadable-") + clock_().toString(QStringLiteral("yyyyMMdd-hhmmss"));
  if (!QFile::rename(fileName_, aside)) {
    // Writing over it would lose what the user may still recover.
    writable_ = false;
    qWarning() << "Play time store unreadable and cannot be set aside, not written:" << fileName_ << reason;
    return;
  }
  qWarning() << "Play time store unreadable, set aside as:" << aside << reason;
}

void PlayTimeStore::save() {
  if (!writable_) {
    return;
  }
  QJsonObject games;
  for (auto entry = records_.cbegin(); entry != records_.cend(); ++entry) {
    games.insert(entry.key(), QJsonObject{{secondsKey, entry->seconds},
                                          {lastPlayedKey, entry->lastPlayed.toUTC().toString(Qt::ISODate)},
                                          {sessionsKey, entry->sessions}});
  }
  QDir().mkpath(QFileInfo(fileName_).absolutePath());
  QSaveFile file(fileName_);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(QJsonDocument(QJsonObject{{gamesKey, games}}).toJson(QJsonDocument::Compact)) < 0 ||
      !file.commit()) {
    qWarning() << "Could not write the play time store:" << fileName_ << file.errorString();
  }
}

} // namespace arvexhub::launcher
