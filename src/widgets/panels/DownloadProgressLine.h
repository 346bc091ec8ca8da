#pragma once

#include "library/DownloadState.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;
class QToolButton;

namespace arvexhub::launcher {

class LibraryModel;

/// The download of the panel's item: "42 % · 12.3 MB/s · 1 min left" with Pause or Resume and
/// Cancel beside it; hidden while the item has no download. During the install step the buttons
/// are disabled: it runs to its end.
class DownloadProgressLine final : public QWidget {
  Q_OBJECT

public:
  DownloadProgressLine(LibraryModel* model, std::function<QString()> currentName, QWidget* parent);
  Q_DISABLE_COPY_MOVE(DownloadProgressLine)

  /// Reads the current item's download again.
  void refresh();
  QString text() const;

  /// The line's text for a download in that state.
  static QString describe(const DownloadStatus& status);

private:
  QToolButton* makeButton(const QString& text, bool (LibraryModel::*operation)(const QString&));

  QPointer<LibraryModel> model_;
  std::function<QString()> currentName_;
  QLabel* label_{nullptr};
  QToolButton* pause_{nullptr};
  QToolButton* resume_{nullptr};
  QToolButton* cancel_{nullptr};
  QTimer* timer_{nullptr};
};

} // namespace arvexhub::launcher
