#include "WriteWatch.h"

#include "FuzzSupport.h"

#include <QDirIterator>
#include <QFile>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace arvexhub::fuzz {
namespace {

constexpr uint32_t changeEvents = IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_DELETE_SELF |
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_MOVE_SELF;

bool isBelow(const QString& path, const QString& folder) {
  return !folder.isEmpty() && path.startsWith(folder) &&
         (path.size() == folder.size() || path.at(folder.size()) == QLatin1Char('/'));
}

} // namespace

WriteWatch::WriteWatch(const QString& root)
    : descriptor_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (descriptor_ < 0) {
    fail(__FILE__, __LINE__, "inotify_init1", qt_error_string(errno));
  }
  watch(root);
  QDirIterator folders(root, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
  while (folders.hasNext()) {
    watch(folders.next());
  }
}

WriteWatch::~WriteWatch() {
  ::close(descriptor_);
}

void WriteWatch::watch(const QString& folder) {
  const int watch =
      ::inotify_add_watch(descriptor_, QFile::encodeName(folder).constData(), changeEvents | IN_DONT_FOLLOW);
  if (watch < 0) {
    fail(__FILE__, __LINE__, "inotify_add_watch", folder + QStringLiteral(": ") + qt_error_string(errno));
  }
  folders_.insert(watch, folder);
}

QStringList WriteWatch::changes(const QString& excluded) {
  QStringList changed;
  alignas(inotify_event) char buffer[16384];
  for (ssize_t read = 0; (read = ::read(descriptor_, buffer, sizeof buffer)) > 0;) {
    for (ssize_t at = 0; at < read;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + event->len);
      if ((event->mask & IN_Q_OVERFLOW) != 0) {
        changed << QStringLiteral("too many changes to tell which");
        continue;
      }
      const auto folder = folders_.constFind(event->wd);
      if (folder == folders_.cend() || (event->mask & IN_IGNORED) != 0 || *folder == excluded) {
        continue; // a folder no longer watched, or the excluded one (its content changes)
      }
      const QString path =
          event->len == 0 ? *folder : *folder + QLatin1Char('/') + QFile::decodeName(event->name);
      if (!isBelow(path, excluded)) {
        changed << path;
      }
    }
  }
  changed.removeDuplicates();
  return changed;
}

} // namespace arvexhub::fuzz
