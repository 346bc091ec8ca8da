// The application's release feed, as the update check receives it, read by
// BasicUpdater::resultFromFeed.
//
// Promises checked: the result is one of the three outcomes; "a newer release exists" comes with
// a newer version and a release address the network rules accept (the status bar opens it in a
// browser); an unusable feed is reported as such.

#include "app/BasicUpdater.h"
#include "library/NetworkPolicy.h"

#include "FuzzSupport.h"

#include <QUrl>
#include <QVersionNumber>

using arvexhub::launcher::BasicUpdater;
namespace fuzz = arvexhub::fuzz;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::initialize(argc, argv, fuzz::AppKind::Core);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto result =
      BasicUpdater::resultFromFeed(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  const auto current = QVersionNumber::fromString(result.currentVersion);
  FUZZ_CHECK(current == QVersionNumber::fromString(QCoreApplication::applicationVersion()),
             QStringLiteral("current version %1").arg(result.currentVersion));
  switch (result.code) {
  case 0:
    FUZZ_CHECK(result.error == 0 && result.releaseUrl.isEmpty(),
               QStringLiteral("no update, error %1").arg(result.error));
    break;
  case 1:
    FUZZ_CHECK(result.error == 0, QStringLiteral("update with error %1").arg(result.error));
    FUZZ_CHECK(QVersionNumber::compare(QVersionNumber::fromString(result.latestVersion), current) > 0,
               QStringLiteral("%1 is not newer than %2").arg(result.latestVersion, result.currentVersion));
    FUZZ_CHECK(arvexhub::launcher::NetworkPolicy::isAllowed(QUrl(result.releaseUrl, QUrl::StrictMode)),
               QStringLiteral("release address %1").arg(result.releaseUrl));
    break;
  case 2:
    FUZZ_CHECK(result.error == -1, QStringLiteral("feed failure with error %1").arg(result.error));
    break;
  default:
    FUZZ_CHECK(false, QStringLiteral("result code %1").arg(result.code));
  }
  return 0;
}
