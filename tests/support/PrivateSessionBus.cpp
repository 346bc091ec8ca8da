#include "PrivateSessionBus.h"

#include <QtGlobal>

namespace arvexhub::test {

PrivateSessionBus::PrivateSessionBus() {
  daemon_.setProgram(QStringLiteral("dbus-daemon"));
  daemon_.setArguments(
      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
  daemon_.start(QIODevice::ReadOnly);
  if (!daemon_.waitForStarted(5000)) {
    return;
  }
  // The daemon prints its address once it listens.
  while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
  }
  address_ = QString::fromUtf8(daemon_.readLine().trimmed());
  if (!address_.isEmpty()) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
  }
}

PrivateSessionBus::~PrivateSessionBus() {
  if (daemon_.state() != QProcess::NotRunning) {
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000)) {
      daemon_.kill();
      daemon_.waitForFinished(1000);
    }
  }
}

bool PrivateSessionBus::isValid() const {
  return !address_.isEmpty();
}

QString PrivateSessionBus::address() const {
  return address_;
}

} // namespace arvexhub::test
