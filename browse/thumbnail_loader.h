// Preparing thumbnail cells off the interface thread: the shown page first, then the page to read
// ahead, on the shared work pool; work for pages left behind is dropped.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "browse/thumbnail_cache.h"
#include "browse/thumbnail_page.h"

class WorkPool;

class ThumbnailLoader : public QObject {
  Q_OBJECT

 public:
  // cache must outlive the loader; pool runs the work (the program's shared pool by default).
  explicit ThumbnailLoader(const ThumbnailCache& cache, WorkPool* pool = nullptr, QObject* parent = nullptr);
  // Drops the queued work and waits for the cells being prepared (at most one decode per thread).
  ~ThumbnailLoader() override;

  // The cell prepared for the file as it is now (same size and modification time), if any.
  std::optional<ThumbnailCell> Known(const QString& path) const;

  // Replaces the queued work: the files of page in order, then those of read_ahead. Files already
  // known or being prepared are not queued again; queued files on neither list are dropped.
  void Want(const QList<ThumbnailRequest>& page, const QList<ThumbnailRequest>& read_ahead);

  // True when nothing is queued, prepared or on its way to the interface thread.
  bool Idle() const;

  // The most cells kept (70 x 70 x 4 bytes each, about 10 MB).
  static constexpr int kKeptCells = 512;

 Q_SIGNALS:
  // The cell of the file at path is known now.
  void CellReady(const QString& path);

 private:
  struct Shared;
  void Deliver(const QString& key, const QString& path, const ThumbnailCell& cell);
  void StartWorkers();

  std::shared_ptr<Shared> shared_;
  WorkPool* pool_;
  QHash<QString, ThumbnailCell> known_;
  QList<QString> known_order_;  // oldest first, for the limit
};

// The key of a file as it is now: path, size and modification time, so a rewritten file is
// prepared again.
QString ThumbnailKey(const QString& path);
