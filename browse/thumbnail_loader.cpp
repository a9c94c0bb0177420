// The thumbnail work queue: one mutex-guarded list of requests served by pool threads, results
// posted back to the interface thread.
#include "browse/thumbnail_loader.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMetaObject>
#include <QMutex>
#include <QSet>
#include <QWaitCondition>
#include <deque>

#include "base/work_pool.h"

struct ThumbnailLoader::Shared {
  struct Job {
    QString key;
    ThumbnailRequest request;
    bool shown = false;  // on the page shown, not read ahead
  };
  explicit Shared(const ThumbnailCache& c) : cache(c) {}

  const ThumbnailCache& cache;
  QMutex mutex;
  QWaitCondition workers_done;
  std::deque<Job> queue;
  // New cache entries wait until the page shown is filled: storing one (a PNG) takes a few percent of
  // a decode, which the next cell would wait for.
  std::deque<ThumbnailCacheEntry> entries;
  int storing = 0;        // entries being stored now
  QSet<QString> running;  // keys being prepared now
  int workers = 0;
  int undelivered = 0;               // results posted but not yet handled on the interface thread
  ThumbnailLoader* owner = nullptr;  // null once the loader is gone
};

QString ThumbnailKey(const QString& path) {
  const QFileInfo info(path);
  return path + u'\n' + QString::number(info.size()) + u'\n' +
         QString::number(info.lastModified().toMSecsSinceEpoch());
}

ThumbnailLoader::ThumbnailLoader(const ThumbnailCache& cache, WorkPool* pool, QObject* parent)
    : QObject(parent),
      shared_(std::make_shared<Shared>(cache)),
      pool_(pool != nullptr ? pool : &SharedWorkPool()) {
  shared_->owner = this;
}

ThumbnailLoader::~ThumbnailLoader() {
  QMutexLocker lock(&shared_->mutex);
  shared_->queue.clear();
  shared_->entries.clear();  // the cache only saves work later: not worth a wait on closing
  shared_->owner = nullptr;
  // The workers read the cache, which the caller may destroy right after the loader.
  while (shared_->workers > 0) shared_->workers_done.wait(&shared_->mutex);
}

std::optional<ThumbnailCell> ThumbnailLoader::Known(const QString& path) const {
  const auto found = known_.constFind(ThumbnailKey(path));
  if (found == known_.constEnd()) return std::nullopt;
  return *found;
}

void ThumbnailLoader::Want(const QList<ThumbnailRequest>& page, const QList<ThumbnailRequest>& read_ahead) {
  {
    QMutexLocker lock(&shared_->mutex);
    shared_->queue.clear();
    QSet<QString> queued;
    for (const QList<ThumbnailRequest>* list : {&page, &read_ahead}) {
      for (const ThumbnailRequest& request : *list) {
        if (request.path.isEmpty()) continue;
        QString key = ThumbnailKey(request.path);
        if (known_.contains(key) || shared_->running.contains(key) || queued.contains(key)) continue;
        queued.insert(key);
        shared_->queue.push_back({std::move(key), request, list == &page});
      }
    }
  }
  StartWorkers();
}

void ThumbnailLoader::StartWorkers() {
  QMutexLocker lock(&shared_->mutex);
  const int wanted = std::min<int>(static_cast<int>(shared_->queue.size()), std::max(1, pool_->Size()));
  for (; shared_->workers < wanted; ++shared_->workers) {
    // Each worker takes the front job until the queue is empty, storing the new cache entries
    // between the shown page and the page read ahead; the queue's order is the priority.
    pool_->Start([shared = shared_] {
      QMutexLocker worker_lock(&shared->mutex);
      for (;;) {
        // The page shown first, then the new cache entries, then the page read ahead.
        const bool shown_waiting = !shared->queue.empty() && shared->queue.front().shown;
        if (!shown_waiting && !shared->entries.empty()) {
          const ThumbnailCacheEntry entry = std::move(shared->entries.front());
          shared->entries.pop_front();
          ++shared->storing;
          worker_lock.unlock();
          entry.StoreIn(shared->cache);
          worker_lock.relock();
          --shared->storing;
          continue;
        }
        if (shared->queue.empty()) break;
        Shared::Job job = std::move(shared->queue.front());
        shared->queue.pop_front();
        shared->running.insert(job.key);
        worker_lock.unlock();
        ThumbnailCacheEntry entry;
        const ThumbnailCell cell = LoadThumbnailCell(job.request, shared->cache, kCellSize, &entry);
        worker_lock.relock();
        if (!entry.path.isEmpty() && shared->owner != nullptr) shared->entries.push_back(std::move(entry));
        shared->running.remove(job.key);
        if (shared->owner != nullptr) {
          ++shared->undelivered;
          ThumbnailLoader* owner = shared->owner;
          QMetaObject::invokeMethod(
              owner,
              [owner, key = job.key, path = job.request.path, cell] { owner->Deliver(key, path, cell); },
              Qt::QueuedConnection);
        }
      }
      --shared->workers;
      shared->workers_done.wakeAll();
    });
  }
}

void ThumbnailLoader::Deliver(const QString& key, const QString& path, const ThumbnailCell& cell) {
  {
    QMutexLocker lock(&shared_->mutex);
    --shared_->undelivered;
  }
  if (!known_.contains(key)) {
    known_.insert(key, cell);
    known_order_.append(key);
    while (known_order_.size() > kKeptCells) known_.remove(known_order_.takeFirst());
  }
  Q_EMIT CellReady(path);
}

bool ThumbnailLoader::Idle() const {
  QMutexLocker lock(&shared_->mutex);
  return shared_->queue.empty() && shared_->running.isEmpty() && shared_->undelivered == 0 &&
         shared_->entries.empty() && shared_->storing == 0;
}
