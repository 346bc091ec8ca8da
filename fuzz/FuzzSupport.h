#pragma once

// What the fuzz programs share: a private scratch HOME, the Qt application object, a loopback
// HTTP server, and the check that turns a broken promise into a crash libFuzzer keeps.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QTcpServer>
#include <QUrl>

#include <cstddef>
#include <cstdint>

namespace arvexhub::fuzz {

enum class AppKind { Core, Gui, Widgets };

/// Points HOME, the XDG folders and TMPDIR at a fresh scratch folder (removed at exit), selects
/// the offscreen platform, silences Qt's messages (ARVEXHUB_FUZZ_VERBOSE=1 keeps them) and
/// creates the application object. Call once, from LLVMFuzzerInitialize.
void initialize(int* argc, char*** argv, AppKind kind);

/// The scratch folder that stands for the user's home.
QString scratchHome();

/// Aborts with a message when a promise of the code under test is broken: libFuzzer keeps the
/// input as a crash.
#define FUZZ_CHECK(condition, ...)                                                                     \
  do {                                                                                                 \
    if (!(condition)) {                                                                                \
      ::arvexhub::fuzz::fail(__FILE__, __LINE__, #condition, QString(__VA_ARGS__));                    \
    }                                                                                                  \
  } while (false)

[[noreturn]] void fail(const char* file, int line, const char* condition, const QString& detail);

/// Removes a folder and everything below it (links are removed, never followed) and creates it
/// again empty.
void recreateFolder(const QString& path);
/// Writes a file, creating its folder; aborts when that fails (the scratch disk is broken).
void writeFile(const QString& path, const QByteArray& bytes);

/// Every path below `root` with its size and modification time; links are listed, not followed.
/// `excluded` (absolute, no trailing slash) is left out with everything below it.
using Snapshot = QHash<QString, QPair<qint64, QDateTime>>;
Snapshot snapshot(const QString& root, const QString& excluded = {});
/// The paths that differ between two snapshots, for a failure message.
QStringList differences(const Snapshot& before, const Snapshot& after);

/// Runs the event loop until `done()` holds; false when `timeoutMs` passed first.
template <typename Predicate>
bool spinUntil(Predicate done, int timeoutMs);
bool spinOnce(int timeoutMs);

/// A small HTTP/1.1 server on 127.0.0.1 that answers every request from memory and closes the
/// connection after each answer. It also serves as the application's HTTP proxy, so a URL of
/// any other host that the code under test fetches ends here (refused) and never leaves the
/// machine.
class LoopbackServer final : public QTcpServer {
public:
  LoopbackServer();
  /// "http://127.0.0.1:<port>"
  QString baseUrl() const;
  /// The body served at `path` (200); every other path answers 404, a CONNECT 403.
  void serve(const QString& path, const QByteArray& body, const QByteArray& contentType);
  void clear();
  /// Makes this server the application's proxy for every host but loopback.
  void becomeApplicationProxy() const;

protected:
  void incomingConnection(qintptr descriptor) override;

private:
  struct Document {
    QByteArray body;
    QByteArray contentType;
  };
  QHash<QString, Document> documents_;
};

/// A valid PNG of a few pixels.
QByteArray smallPng();

} // namespace arvexhub::fuzz

#include <QCoreApplication>
#include <QDeadlineTimer>

template <typename Predicate>
bool arvexhub::fuzz::spinUntil(Predicate done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) {
      return false;
    }
    spinOnce(10);
  }
  return true;
}
