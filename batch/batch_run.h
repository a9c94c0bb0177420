// Rendering many batch entries at once on the shared work pool, over RenderToFile.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "base/work_pool.h"
#include "output/render_to_file.h"

// The most workers a run takes.
constexpr int kMaxBatchJobs = 64;

// One output to write: the batch row it comes from and the full request.
struct BatchTask {
  int row = 0;
  RenderRequest request;
};

enum class BatchOutcomeKind { Written, Failed, Cancelled };

struct BatchOutcome {
  int row = 0;
  QString output_path;
  BatchOutcomeKind kind = BatchOutcomeKind::Written;
  QString reason;  // why it failed
};

// The workers one run uses by default: one per core.
int DefaultBatchJobs();

// Renders the tasks in task order, at most `jobs` (1..kMaxBatchJobs) at once and never more than the
// work pool has threads, each holding one photo at a time (a render on the pool draws its rows
// itself unless a pool thread is idle); two tasks writing the same file never run together, and the later one
// writes last. Cancel lets the renders in progress finish and starts no more; every file is written whole or
// not at all by the renderer. Progress and outcomes can be read from any thread while it runs.
class BatchRun {
 public:
  using Renderer = std::function<void(const RenderRequest&)>;

  // render writes one request (RenderToFile with the caller's textures); it is called on the
  // pool's threads, several at once. pool: the shared one unless a test gives its own.
  BatchRun(QList<BatchTask> tasks, int jobs, Renderer render, WorkPool& pool = SharedWorkPool());
  // Cancels and waits for the workers.
  ~BatchRun();
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  void Start();
  void Cancel();
  // Waits up to timeout_ms (negative: without limit); true once every task has an outcome.
  bool WaitFor(int timeout_ms);
  bool Finished() const;

  int Total() const { return static_cast<int>(tasks_.size()); }
  // Tasks with an outcome so far.
  int Done() const;
  // The output files being written now.
  QStringList InProgress() const;
  // The outcomes since the last call, in the order they came.
  QList<BatchOutcome> TakeNewOutcomes();
  // Every outcome so far, in the order they came.
  QList<BatchOutcome> Outcomes() const;

 private:
  void Work();
  // The next task that may start, or -1; called with mutex_ held.
  int NextTask() const;

  QList<BatchTask> tasks_;
  int jobs_;
  Renderer render_;
  TaskGroup workers_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> started_;
  QStringList in_progress_;
  QList<BatchOutcome> outcomes_;
  qsizetype reported_ = 0;
  bool cancelled_ = false;
};
