#pragma once

#include <QIODevice>
#include <QString>

#include <vector>

namespace arvexhub::launcher {

/// A zip archive on disk as the archive reader sees it: read-only, with a window of the file
/// kept in memory. The reader moves back and forth reading a few bytes at a time (a damaged
/// directory can make it do so hundreds of thousands of times); through a plain file each of
/// those is a seek and a read of the system, through this a copy from the window.
class ArchiveReadDevice final : public QIODevice {
  Q_OBJECT

public:
  explicit ArchiveReadDevice(QString path, QObject* parent = nullptr);
  ~ArchiveReadDevice() override;
  Q_DISABLE_COPY_MOVE(ArchiveReadDevice)

  /// Opens the file for reading; any other mode is refused.
  bool open(OpenMode mode) override;
  void close() override;
  bool isSequential() const override;
  qint64 size() const override;

protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 maxSize) override;

private:
  /// Reads at an offset of the file, retried when interrupted; -1 on an error.
  qint64 readAt(qint64 offset, char* data, qint64 length);

  QString path_;
  int fd_{-1};
  qint64 size_{0};
  std::vector<char> window_;
  qint64 windowStart_{0};
  qint64 windowLength_{0};
};

} // namespace arvexhub::launcher
