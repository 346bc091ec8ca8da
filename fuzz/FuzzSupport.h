#pragma once

// What the fuzz programs share: a private scratch HOME, the Qt application object, a loopback
// HTTP server, and the check that turns a broken promise into a crash libFuzzer keeps.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTcpServer>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <string>

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
#define FUZZ_CHECK(condition, ...)                                                                           \
  do {                                                                                                       \
    if (!(condition)) {                                                                                      \
      ::arvexhub::fuzz::fail(__FILE__, __LINE__, #condition, QString(__VA_ARGS__));                          \
    }                                                                                                        \
  } while (false)

[[noreturn]] void fail(const char* file, int line, const char* condition, const QString& detail);

/// Empties a folder, creating it when missing (a file or link in its place is replaced); links
/// inside are removed, never followed.
void recreateFolder(const QString& path);
/// Writes a file, creating its folder; aborts when that fails (the scratch disk is broken).
void writeFile(const QString& path, const QByteArray& bytes);
/// A file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);
/// The names of a folder's entries, in no particular order; empty when it cannot be read.
QStringList entryNames(const QString& folder);

/// Every entry below `root` with its type, permissions, inode, size and modification time (to
/// the nanosecond); links are listed, not followed. One listing, read straight from the
/// directories: cheap enough to take twice per input.
struct Snapshot {
  QString root;
  std::string listing;
};
Snapshot snapshot(const QString& root);
/// The paths that differ between two snapshots of the same root, for a failure message; empty
/// when nothing changed.
QStringList differences(const Snapshot& before, const Snapshot& after);

/// Runs the event loop until `done()` holds; false when `timeoutMs` passed first.
template <typename Predicate>
bool spinUntil(Predicate done, int timeoutMs);
/// One turn of the event loop; `wait`: sleeps until something happens (a few milliseconds at
/// most) when nothing is due.
void spinOnce(bool wait);

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

  struct Document {
    QByteArray body;
    QByteArray contentType;
  };
  /// The document served at that address of this server ("http://127.0.0.1:<port>/..."), or null.
  const Document* documentAt(const QUrl& url) const;

protected:
  void incomingConnection(qintptr descriptor) override;

private:
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
    spinOnce(true);
  }
  return true;
}
