#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

namespace arvexhub::launcher {

/// Asks a release feed for the newest published release of the application and reports
/// whether it is newer than the running one. Only one request is ever in flight.
class BasicUpdater final : public QObject {
  Q_OBJECT

public:
  struct Result {
    int code{2}; ///< 0: no newer release, 1: a newer release exists, 2: the check failed
    QString currentVersion;
    QString latestVersion;
    QString releaseUrl;
    int error{0}; ///< the network error, -1 for an unusable answer, 0 otherwise
  };

  explicit BasicUpdater(QObject* parent = nullptr);
  ~BasicUpdater() override;
  Q_DISABLE_COPY_MOVE(BasicUpdater)

  void checkForUpdates(const QString& url);
  void doUpdate();

  /// Reads a release feed's JSON document against the running version: code 1 with the release
  /// address when the feed names a newer release, 0 when it does not, 2 (error -1) for a feed
  /// that cannot be used.
  static Result resultFromFeed(const QByteArray& body);

signals:
  void checkStarted();
  void checkFinished(const arvexhub::launcher::BasicUpdater::Result& result);

private slots:
  void onReplyReceived(QNetworkReply* reply);

private:
  bool busy_{false};
  QNetworkAccessManager* network_;
};

} // namespace arvexhub::launcher

Q_DECLARE_METATYPE(arvexhub::launcher::BasicUpdater::Result)
