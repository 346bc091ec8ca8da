#pragma once

#include <QString>

namespace arvexhub::sample {

/// Installs the sample's example game into a home folder as if an older version had been
/// downloaded: <home>/.arvexhub/games/<Name>/ with launcher.command, VERSION, <Name>.png, save.dat
/// and README.txt. An existing game folder is never touched.
class GameInstaller final {
public:
  enum class Result { Installed, AlreadyPresent, Failed };

  explicit GameInstaller(const QString& home);

  Result install();
  QString gameFolder() const;
  /// Why install() failed.
  QString errorString() const;

private:
  bool writeFiles(const QString& folder);
  bool writeFile(const QString& path, const QByteArray& content, bool executable);

  QString gamesFolder_;
  QString error_;
};

} // namespace arvexhub::sample
