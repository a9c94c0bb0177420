// Watching the file of the photo on screen for what other programs do to it.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>

// Reports when the watched file was rewritten, replaced (a new file renamed over it), deleted or
// made again, once it has been quiet for a moment: writers and sync tools write in pieces, or
// delete and create. A report compares the file with how it was at Watch or the last report
// (device, inode, size, modification and change times), so a look that changes nothing says nothing.
class PhotoFileWatch : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDefaultSettleMs = 250;

  // settle_ms: how long the file must stay quiet before a change is reported.
  explicit PhotoFileWatch(QObject* parent = nullptr, int settle_ms = kDefaultSettleMs);

  // Watches the file at path, as it is now; an empty path stops watching. The same path again
  // changes nothing.
  void Watch(const QString& path);
  const QString& Path() const { return path_; }

 Q_SIGNALS:
  // The file at path is not what it was: read it again (it may be gone).
  void Changed(const QString& path);

 private:
  // What tells one state of a file from another; all zero for a missing file.
  struct Stamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    bool operator==(const Stamp&) const = default;
  };
  static Stamp StampOf(const QString& path);
  void OnActivity();
  void OnSettled();
  void WatchTheFileItself();

  QFileSystemWatcher watcher_;
  QTimer settle_;
  QString path_;
  Stamp stamp_;
};
