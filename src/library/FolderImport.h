#pragma once

#include <QString>

namespace arvexhub::launcher {

/// A folder the user brought to the library (dropped on the window): copied, never moved, into
/// <libraryFolder>/<itemName> through the same staged swap as a download, so a failure leaves an
/// installed item of that name as it was, and the files its game wrote are kept.
struct FolderImport {
  QString source;
  QString libraryFolder;
  QString itemName;        ///< a safe single path component
  QString mainFilePattern; ///< required at the folder's top level ("*.command"); empty: none
  bool mainFileExecutable{false};

  /// Does the copy (it can take long: run it off the main thread). Returns the installed main file
  /// (or the item folder when there is no pattern); on failure an empty string and `error` says why.
  QString run(QString* error) const;
};

} // namespace arvexhub::launcher
