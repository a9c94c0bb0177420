// The photo file watch.
#include "sources/photo_file_watch.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

PhotoFileWatch::PhotoFileWatch(QObject* parent, int settle_ms) : QObject(parent) {
  settle_.setSingleShot(true);
  settle_.setInterval(settle_ms);
  connect(&settle_, &QTimer::timeout, this, &PhotoFileWatch::OnSettled);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &PhotoFileWatch::OnActivity);
  // The folder too: a file renamed over the photo, or the photo made again after a delete, shows
  // there; the watch on the old file ends with it.
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &PhotoFileWatch::OnActivity);
}

PhotoFileWatch::Stamp PhotoFileWatch::StampOf(const QString& path) {
  struct stat s {};
  if (path.isEmpty() || stat(QFile::encodeName(path).constData(), &s) != 0) return Stamp{};
  return Stamp{true,
               static_cast<std::uint64_t>(s.st_dev),
               static_cast<std::uint64_t>(s.st_ino),
               static_cast<std::int64_t>(s.st_size),
               static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1'000'000'000 + s.st_mtim.tv_nsec,
               static_cast<std::int64_t>(s.st_ctim.tv_sec) * 1'000'000'000 + s.st_ctim.tv_nsec};
}

void PhotoFileWatch::Watch(const QString& path) {
  if (path == path_) return;
  settle_.stop();
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  path_ = path;
  stamp_ = StampOf(path_);
  if (path_.isEmpty()) return;
  const QString folder = QFileInfo(path_).absolutePath();
  if (QFileInfo(folder).isDir()) watcher_.addPath(folder);
  WatchTheFileItself();
}

void PhotoFileWatch::WatchTheFileItself() {
  if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) watcher_.addPath(path_);
}

void PhotoFileWatch::OnActivity() {
  // Every sign of life starts the wait again: the report comes once the writing is over.
  settle_.start();
}

void PhotoFileWatch::OnSettled() {
  // A file replaced by another is watched afresh: the old watch went with the old file.
  WatchTheFileItself();
  const Stamp now = StampOf(path_);
  if (now == stamp_) return;
  stamp_ = now;
  Q_EMIT Changed(path_);
}
