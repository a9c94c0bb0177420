// The batch render pool.
#include "batch/batch_run.h"

#include <algorithm>
#include <chrono>

#include "base/lumisto_error.h"

int DefaultBatchJobs() { return std::clamp(SharedWorkPool().Size(), 1, kMaxBatchJobs); }

BatchRun::BatchRun(QList<BatchTask> tasks, int jobs, Renderer render, WorkPool& pool)
    : tasks_(std::move(tasks)),
      jobs_(std::clamp(jobs, 1, kMaxBatchJobs)),
      render_(std::move(render)),
      workers_(pool),
      started_(static_cast<std::size_t>(tasks_.size()), false) {}

BatchRun::~BatchRun() {
  Cancel();
  // A worker the pool has not started yet runs here and finds the run cancelled.
  try {
    workers_.Wait();
  } catch (...) {  // NOLINT(bugprone-empty-catch): Work turns every failure into an outcome
  }
}

void BatchRun::Start() {
  // Each worker takes task after task; the pool's size bounds how many run at once.
  const int count = std::min(jobs_, Total());
  for (int i = 0; i < count; ++i) workers_.Run([this] { Work(); });
}

void BatchRun::Cancel() {
  const std::lock_guard lock(mutex_);
  cancelled_ = true;
  changed_.notify_all();
}

int BatchRun::NextTask() const {
  for (qsizetype i = 0; i < tasks_.size(); ++i) {
    if (started_[static_cast<std::size_t>(i)]) continue;
    // A file being written by an earlier task waits for it: the later row's picture is the one kept.
    if (in_progress_.contains(tasks_[i].request.output_path)) return -1;
    return static_cast<int>(i);
  }
  return -1;
}

void BatchRun::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    const bool all_started = std::all_of(started_.cbegin(), started_.cend(), [](bool s) { return s; });
    if (all_started) break;
    if (cancelled_) {
      // The tasks nobody started are given up, once.
      for (qsizetype i = 0; i < tasks_.size(); ++i) {
        if (started_[static_cast<std::size_t>(i)]) continue;
        started_[static_cast<std::size_t>(i)] = true;
        outcomes_.append(BatchOutcome{tasks_[i].row, tasks_[i].request.output_path,
                                      BatchOutcomeKind::Cancelled, QStringLiteral("cancelled")});
      }
      changed_.notify_all();
      break;
    }
    const int next = NextTask();
    if (next < 0) {
      changed_.wait(lock);
      continue;
    }
    started_[static_cast<std::size_t>(next)] = true;
    const BatchTask& task = tasks_[next];
    in_progress_.append(task.request.output_path);
    lock.unlock();
    BatchOutcome outcome{task.row, task.request.output_path, BatchOutcomeKind::Written, QString()};
    try {
      render_(task.request);
    } catch (const LumistoError& e) {
      outcome.kind = BatchOutcomeKind::Failed;
      outcome.reason = e.Message();
    } catch (const std::exception& e) {
      outcome.kind = BatchOutcomeKind::Failed;
      outcome.reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
      outcome.kind = BatchOutcomeKind::Failed;
      outcome.reason = QStringLiteral("an unknown error");
    }
    lock.lock();
    in_progress_.removeOne(task.request.output_path);
    outcomes_.append(outcome);
    changed_.notify_all();
  }
}

bool BatchRun::WaitFor(int timeout_ms) {
  std::unique_lock lock(mutex_);
  const auto done = [this] { return outcomes_.size() == tasks_.size(); };
  if (timeout_ms < 0) {
    changed_.wait(lock, done);
    return true;
  }
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), done);
}

bool BatchRun::Finished() const {
  const std::lock_guard lock(mutex_);
  return outcomes_.size() == tasks_.size();
}

int BatchRun::Done() const {
  const std::lock_guard lock(mutex_);
  return static_cast<int>(outcomes_.size());
}

QStringList BatchRun::InProgress() const {
  const std::lock_guard lock(mutex_);
  return in_progress_;
}

QList<BatchOutcome> BatchRun::TakeNewOutcomes() {
  const std::lock_guard lock(mutex_);
  QList<BatchOutcome> fresh = outcomes_.mid(reported_);
  reported_ = outcomes_.size();
  return fresh;
}

QList<BatchOutcome> BatchRun::Outcomes() const {
  const std::lock_guard lock(mutex_);
  return outcomes_;
}
