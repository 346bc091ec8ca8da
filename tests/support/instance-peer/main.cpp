// One start of a program guarded by InstanceManager, driven by environment variables so that its
// arguments stay free to become the default message:
//   PEER_SERVER_NAME   server name to use (required)
//   PEER_MESSAGE_SIZE  send an explicit message of that many bytes ('a'..'z' repeating)
//   PEER_EARLY         enter Single mode before the application object exists
// It prints "continued" where a real program would go on to open its window, "primary" once it
// is the primary, and "received <id> <base64 message>" for each message it receives.
#include "instance/InstanceManager.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using arvexhub::instance::InstanceManager;

namespace {
void say(const QByteArray& line) {
  std::printf("%s\n", line.constData());
  std::fflush(stdout);
}

QByteArray patternMessage(qsizetype size) {
  QByteArray message(size, Qt::Uninitialized);
  for (qsizetype i = 0; i < size; ++i) {
    message[i] = static_cast<char>('a' + i % 26);
  }
  return message;
}

void configure(InstanceManager& manager) {
  manager.setServerName(qEnvironmentVariable("PEER_SERVER_NAME"));
  bool ok = false;
  const auto size = qEnvironmentVariableIntValue("PEER_MESSAGE_SIZE", &ok);
  if (ok) {
    manager.setMessageToSend(patternMessage(size));
  }
}

void reportPrimary(const InstanceManager& manager) {
  if (manager.isPrimary()) {
    say("primary");
  }
}
} // namespace

int main(int argc, char** argv) {
  const bool early = qEnvironmentVariableIsSet("PEER_EARLY");
  InstanceManager manager;
  if (early) {
    configure(manager);
    manager.setMode(InstanceManager::Mode::Single);
  }
  QCoreApplication app(argc, argv);
  QObject::connect(&manager, &InstanceManager::secondaryInstanceMessageReceived, &app,
                   [](unsigned int id, const QByteArray& message) {
                     say("received " + QByteArray::number(id) + ' ' + message.toBase64());
                   });
  if (early) {
    // Queued after the manager's own first-turn decision.
    QTimer::singleShot(0, &app, [&manager] {
      say("continued");
      reportPrimary(manager);
    });
  } else {
    configure(manager);
    manager.setMode(InstanceManager::Mode::Single);
    say("continued");
    reportPrimary(manager);
  }
  return app.exec();
}
