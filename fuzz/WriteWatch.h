#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace arvexhub::fuzz {

/// Tells which paths below a folder were changed (a file written, created, removed, renamed or
/// given other permissions), from the kernel's notices as they happen: nothing is listed before
/// and after an input. Folders made after the watch began are not watched themselves (making
/// one is a change of its parent): make every folder first.
class WriteWatch final {
public:
  explicit WriteWatch(const QString& root);
  ~WriteWatch();
  Q_DISABLE_COPY_MOVE(WriteWatch)

  /// The paths changed since the last call, but `excluded` (absolute, no trailing slash) and
  /// everything below it. A first call before an input drops what the caller changed itself.
  QStringList changes(const QString& excluded = {});

private:
  void watch(const QString& folder);

  int descriptor_;
  QHash<int, QString> folders_; ///< by watch
};

} // namespace arvexhub::fuzz
