#include "runner/GameError.h"

#include <QCoreApplication>

namespace arvexhub::launcher::i18n {

QString gameError(GameRunner::ErrorCode error) {
  switch (error) {
  case GameRunner::ErrorCode::ProcessFailedToStart:
    return QCoreApplication::translate("ArvexHubLauncher", "The game process failed to start.");
  case GameRunner::ErrorCode::ProcessCrashed:
    return QCoreApplication::translate("ArvexHubLauncher", "The game process crashed.");
  case GameRunner::ErrorCode::ProcessTimedOut:
    return QCoreApplication::translate("ArvexHubLauncher", "The game process timed out.");
  case GameRunner::ErrorCode::ProcessWriteError:
  case GameRunner::ErrorCode::ProcessReadError:
    return {};
  case GameRunner::ErrorCode::NoError:
  case GameRunner::ErrorCode::UnknownError:
    break;
  }
  return QCoreApplication::translate("ArvexHubLauncher", "An unknown error occurred to the game process.");
}

} // namespace arvexhub::launcher::i18n
