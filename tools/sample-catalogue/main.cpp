// sample-catalogue: writes a sample catalogue (games, movies, e-books, music albums) into a folder and
// serves it on 127.0.0.1, so Arvex Hub started with ARVEXHUB_CATALOGUE_URL=http://127.0.0.1:<port> shows
// a filled library.

#include "CatalogueServer.h"
#include "CatalogueWriter.h"
#include "GameInstaller.h"
#include "GameItems.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QHashSeed>
#include <QSaveFile>

#include <cstdio>

namespace {

using namespace arvexhub::sample;

void say(FILE* stream, const QString& text) {
  std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
  std::fflush(stream);
}

void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Writes a sample catalogue of games, movies, e-books and music albums into a folder "
                     "and serves it over HTTP on 127.0.0.1."));
  parser.addHelpOption();
  parser.addOptions({
      {QStringLiteral("write"), QStringLiteral("Write the catalogue into <folder>."),
       QStringLiteral("folder")},
      {QStringLiteral("serve"),
       QStringLiteral("Serve <folder>, writing the catalogue first if it is missing."),
       QStringLiteral("folder")},
      {QStringLiteral("port"), QStringLiteral("Port to listen on; 0 (default) picks a free one."),
       QStringLiteral("N"), QStringLiteral("0")},
      {QStringLiteral("port-file"), QStringLiteral("Write the port into <file> once listening."),
       QStringLiteral("file")},
      {QStringLiteral("install-into"),
       QStringLiteral("Install an older version of one game into <home>/.arvexhub/games (never overwrites)."),
       QStringLiteral("home")},
      {QStringLiteral("write-package"),
       QStringLiteral("Write a game package (<game>.arvexhub) of one sample game into <folder>."),
       QStringLiteral("folder")},
  });
}

/// False when something could not be written; what could be is written all the same.
bool writeCatalogue(const QString& folder, bool onlyIfMissing) {
  const CatalogueWriter writer(folder);
  if (onlyIfMissing && writer.isComplete()) {
    return true;
  }
  const auto errors = writer.write();
  for (const auto& error : errors) {
    say(stderr, QStringLiteral("sample-catalogue: ") + error);
  }
  say(stdout,
      QStringLiteral("Wrote the sample catalogue into %1%2")
          .arg(QDir(folder).absolutePath(), errors.isEmpty() ? QString() : QStringLiteral(", in part")));
  return errors.isEmpty();
}

bool installGame(const QString& home) {
  GameInstaller installer(home);
  switch (installer.install()) {
  case GameInstaller::Result::Installed:
    say(stdout, QStringLiteral("Installed ") + installer.gameFolder());
    return true;
  case GameInstaller::Result::AlreadyPresent:
    say(stdout, QStringLiteral("Left unchanged (already present): ") + installer.gameFolder());
    return true;
  case GameInstaller::Result::Failed:
    break;
  }
  say(stderr, QStringLiteral("sample-catalogue: ") + installer.errorString());
  return false;
}

bool writePackage(const QString& folder) {
  const auto error = writeGamePackage(folder);
  if (!error.isEmpty()) {
    say(stderr, QStringLiteral("sample-catalogue: ") + error);
    return false;
  }
  say(stdout, QStringLiteral("Wrote a game package into ") + QDir(folder).absolutePath());
  return true;
}

bool writePortFile(const QString& path, quint16 port) {
  // Written in one step, so a script polling for the file never reads half of it.
  QSaveFile file(path);
  const auto text = QByteArray::number(port) + '\n';
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

int serve(const QString& folder, const QCommandLineParser& parser) {
  bool ok = false;
  const auto port = parser.value(QStringLiteral("port")).toUShort(&ok);
  if (!ok) {
    say(stderr, QStringLiteral("sample-catalogue: --port needs a number from 0 to 65535"));
    return 2;
  }
  CatalogueServer server(QDir(folder).absolutePath());
  if (!server.listen(port)) {
    say(stderr, QStringLiteral("sample-catalogue: cannot listen: ") + server.errorString());
    return 1;
  }
  QObject::connect(&server, &CatalogueServer::served, [](const QString& line) { say(stdout, line); });
  const auto portFile = parser.value(QStringLiteral("port-file"));
  if (!portFile.isEmpty() && !writePortFile(portFile, server.port())) {
    say(stderr, QStringLiteral("sample-catalogue: cannot write ") + portFile);
    return 1;
  }
  say(stdout, QStringLiteral("Serving http://127.0.0.1:%1").arg(server.port()));
  return QGuiApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
  // The PDF writer lays out its font subsets in hash order: a fixed seed gives the same e-books, and
  // so the same archive checksums, on every write.
  QHashSeed::setDeterministicGlobalSeed();
  // Text on e-book pages needs a GUI application for its fonts, but the tool never opens a window.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("sample-catalogue"));
  QCommandLineParser parser;
  describe(parser);
  parser.process(app);

  const auto writeFolder = parser.value(QStringLiteral("write"));
  const auto serveFolder = parser.value(QStringLiteral("serve"));
  const auto home = parser.value(QStringLiteral("install-into"));
  const auto packageFolder = parser.value(QStringLiteral("write-package"));
  if (writeFolder.isEmpty() && serveFolder.isEmpty() && home.isEmpty() && packageFolder.isEmpty()) {
    say(stderr, parser.helpText());
    return 2;
  }
  if (!writeFolder.isEmpty() && !writeCatalogue(writeFolder, false)) {
    return 1;
  }
  if (!home.isEmpty() && !installGame(home)) {
    return 1;
  }
  if (!packageFolder.isEmpty() && !writePackage(packageFolder)) {
    return 1;
  }
  if (serveFolder.isEmpty()) {
    return 0;
  }
  // A catalogue written in part is still worth serving: the client does without a missing document.
  writeCatalogue(serveFolder, true);
  return serve(serveFolder, parser);
}
