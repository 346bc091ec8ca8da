#include "widgets/panels/DownloadProgressLine.h"

#include "library/LibraryModel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace arvexhub::launcher {

namespace {

constexpr int refreshMs = 1000; // the speed is measured over about a second

QString timeLeft(qint64 seconds) {
  // The counts are worked out first: Qt's translation scanner hangs on a division inside the call.
  if (seconds < 60) {
    return QCoreApplication::translate("ArvexHubLauncher", "%n s left", nullptr, int(seconds));
  }
  if (seconds < 3600) {
    const int minutes = int((seconds + 59) / 60);
    return QCoreApplication::translate("ArvexHubLauncher", "%n min left", nullptr, minutes);
  }
  const int hours = int((seconds + 3599) / 3600);
  return QCoreApplication::translate("ArvexHubLauncher", "%n h left", nullptr, hours);
}

} // namespace

DownloadProgressLine::DownloadProgressLine(LibraryModel* model, std::function<QString()> currentName,
                                           QWidget* parent)
    : QWidget(parent)
    , model_(model)
    , currentName_(std::move(currentName))
    , label_(new QLabel(this))
    , timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("downloadProgressLine"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  label_->setWordWrap(true);
  layout->addWidget(label_, 1);
  pause_ = makeButton(QCoreApplication::translate("ArvexHubLauncher", "Pause"), &LibraryModel::pauseDownload);
  resume_ =
      makeButton(QCoreApplication::translate("ArvexHubLauncher", "Resume"), &LibraryModel::resumeDownload);
  cancel_ = makeButton(QCoreApplication::translate("ArvexHubLauncher", "Cancel Download"),
                       &LibraryModel::cancelDownload);
  timer_->setInterval(refreshMs);
  connect(timer_, &QTimer::timeout, this, &DownloadProgressLine::refresh);
  connect(model, &QAbstractItemModel::dataChanged, this, &DownloadProgressLine::refresh);
  connect(model, &QAbstractItemModel::modelReset, this, &DownloadProgressLine::refresh);
  refresh();
}

QToolButton* DownloadProgressLine::makeButton(const QString& text,
                                              bool (LibraryModel::*operation)(const QString&)) {
  auto* button = new QToolButton(this);
  button->setText(text);
  layout()->addWidget(button);
  connect(button, &QToolButton::clicked, this, [this, operation] {
    if (model_) {
      (model_->*operation)(currentName_());
    }
  });
  return button;
}

QString DownloadProgressLine::text() const {
  return label_->text();
}

void DownloadProgressLine::refresh() {
  const auto name = currentName_();
  const auto status = model_ && !name.isEmpty() ? model_->downloadStatus(name) : DownloadStatus{};
  setVisible(status.state != DownloadState::None);
  label_->setText(describe(status));
  pause_->setVisible(status.state == DownloadState::Running || status.state == DownloadState::Queued);
  resume_->setVisible(status.state == DownloadState::Paused);
  cancel_->setEnabled(status.state != DownloadState::Installing);
  if (status.state == DownloadState::Running && !timer_->isActive()) {
    timer_->start();
  } else if (status.state != DownloadState::Running) {
    timer_->stop();
  }
}

QString DownloadProgressLine::describe(const DownloadStatus& status) {
  QStringList parts;
  if (status.fraction >= 0.0) {
    parts.append(
        QCoreApplication::translate("ArvexHubLauncher", "%1 %").arg(int(std::floor(status.fraction * 100))));
  }
  switch (status.state) {
  case DownloadState::Queued:
    parts.append(QCoreApplication::translate("ArvexHubLauncher", "Queued"));
    break;
  case DownloadState::Paused:
    parts.append(QCoreApplication::translate("ArvexHubLauncher", "Paused"));
    break;
  case DownloadState::Installing:
    parts = QStringList{QCoreApplication::translate("ArvexHubLauncher", "Installing…")};
    break;
  case DownloadState::Running:
    if (status.bytesPerSecond > 0.0) {
      parts.append(QLocale().formattedDataSize(qint64(status.bytesPerSecond), 1, QLocale::DataSizeSIFormat) +
                   QStringLiteral("/s"));
    }
    if (status.secondsLeft >= 0) {
      parts.append(timeLeft(status.secondsLeft));
    }
    break;
  case DownloadState::None:
    return {};
  }
  return parts.join(QStringLiteral(" · "));
}

} // namespace arvexhub::launcher
