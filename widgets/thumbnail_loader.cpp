// The thumbnail work queue: one mutex-guarded list of requests served by pool threads, results
// posted back to the interface thread.
#include "widgets/thumbnail_loader.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMetaObject>
#include <QMutex>
#include <QSet>
#include <QThreadPool>
#include <QWaitCondition>
#include <deque>

struct ThumbnailLoader::Shared {
  struct Job {
    QString key;
    ThumbnailRequest request;
  };
  explicit Shared(const ThumbnailCache& c) : cache(c) {}

  const ThumbnailCache& cache;
  QMutex mutex;
  QWaitCondition workers_done;
  std::deque<Job> queue;
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

ThumbnailLoader::ThumbnailLoader(const ThumbnailCache& cache, QThreadPool* pool, QObject* parent)
    : QObject(parent),
      shared_(std::make_shared<Shared>(cache)),
      pool_(pool != nullptr ? pool : QThreadPool::globalInstance()) {
  shared_->owner = this;
}

ThumbnailLoader::~ThumbnailLoader() {
  QMutexLocker lock(&shared_->mutex);
  shared_->queue.clear();
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
        shared_->queue.push_back({std::move(key), request});
      }
    }
  }
  StartWorkers();
}

void ThumbnailLoader::StartWorkers() {
  QMutexLocker lock(&shared_->mutex);
  const int wanted =
      std::min<int>(static_cast<int>(shared_->queue.size()), std::max(1, pool_->maxThreadCount()));
  for (; shared_->workers < wanted; ++shared_->workers) {
    // Each worker takes the front job until the queue is empty; the queue's order is the priority.
    pool_->start([shared = shared_] {
      QMutexLocker worker_lock(&shared->mutex);
      while (!shared->queue.empty()) {
        Shared::Job job = std::move(shared->queue.front());
        shared->queue.pop_front();
        shared->running.insert(job.key);
        worker_lock.unlock();
        const ThumbnailCell cell = LoadThumbnailCell(job.request, shared->cache);
        worker_lock.relock();
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
  return shared_->queue.empty() && shared_->running.isEmpty() && shared_->undelivered == 0;
}
