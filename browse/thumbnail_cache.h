// The desktop's shared thumbnail cache (freedesktop.org convention, "normal" size): a PNG of at
// most 128 pixels per picture, named after the MD5 of the file's URI and valid while its stored
// URI and modification time match the file.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class ThumbnailCache {
 public:
  static constexpr int kNormalSize = 128;

  // folder holds the PNG files (normally DefaultFolder()); an empty folder caches nothing.
  explicit ThumbnailCache(QString folder);

  // $XDG_CACHE_HOME/thumbnails/normal, or ~/.cache/thumbnails/normal when that is not set.
  static QString DefaultFolder();

  const QString& Folder() const { return folder_; }

  // The file's URI ("file:///..." percent-encoded) and the cache file named after its MD5.
  static QString FileUri(const QString& path);
  QString CacheFilePath(const QString& path) const;

  // The cached thumbnail of the file at path; null when there is none, or when its Thumb::URI,
  // Thumb::MTime or (when present) Thumb::Size does not match the file as it is now.
  QImage Read(const QString& path) const;

  // Stores thumbnail (at most 128 pixels a side) for the file at path with the keys Thumb::URI,
  // Thumb::MTime, Thumb::Size and Thumb::Image::Width/Height (original size), through a
  // temporary file renamed into place, readable by the owner only. False when it cannot be written.
  bool Write(const QString& path, const QImage& thumbnail, QSize original_size) const;

 private:
  QString folder_;
};

// A cache entry made but not yet stored: a caller in a hurry shows the picture first.
struct ThumbnailCacheEntry {
  QString path;  // empty: nothing to store
  QImage thumbnail;
  QSize original_size;
  // Stores the entry (ThumbnailCache::Write); false when there was nothing to store or it failed.
  bool StoreIn(const ThumbnailCache& cache) const;
};

// The thumbnail picture of a file: the cached one when valid; otherwise decoded at the smallest
// reduced scale that covers 128 pixels, shrunk to at most 128 pixels a side and stored in the
// cache (pictures of 128 pixels or less are returned whole and not stored). Null when the file
// cannot be decoded.
QImage LoadThumbnailPicture(const QString& path, const ThumbnailCache& cache);
// The same without looking in the cache first: always decodes (and stores). With later, the new
// entry is handed there instead of being stored.
QImage DecodeThumbnailPicture(const QString& path, const ThumbnailCache& cache,
                              ThumbnailCacheEntry* later = nullptr);
