#pragma once

#include "runner/GameRunner.h"

#include <QString>

namespace arvexhub::launcher::i18n {

/// The user-visible text of a game process error; empty for errors that show no message.
QString gameError(GameRunner::ErrorCode error);

} // namespace arvexhub::launcher::i18n
