// The shared worker pool and its task groups.
#include "base/work_pool.h"

#include <pthread.h>

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <utility>

namespace {

thread_local bool on_pool_thread = false;
std::atomic<int> shared_size{0};
std::mutex shared_mutex;
std::unique_ptr<WorkPool> shared_pool;

}  // namespace

WorkPool::WorkPool(int threads) {
  for (int i = 0; i < std::max(1, threads); ++i) threads_.emplace_back([this] { Serve(); });
}

WorkPool::~WorkPool() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool WorkPool::HasIdleThread() const {
  const std::lock_guard lock(mutex_);
  return idle_ > static_cast<int>(queue_.size());
}

void WorkPool::Start(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void WorkPool::Serve() {
  on_pool_thread = true;
  pthread_setname_np(pthread_self(), "lumisto-pool");
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idle_;
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    --idle_;
    if (queue_.empty()) return;  // stopping, and nothing left to run
    std::function<void()> task = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    try {
      task();
    } catch (...) {  // NOLINT(bugprone-empty-catch): Start's contract drops them
    }
    task = nullptr;  // what the task holds is released outside the lock
    lock.lock();
  }
}

WorkPool& SharedWorkPool() {
  const std::lock_guard lock(shared_mutex);
  if (!shared_pool) {
    // Qt's own image routines split a large fill, conversion or smooth scaling over Qt's global
    // thread pool while their caller waits. One thread there works only for a caller that waits,
    // so it never adds a busy thread to those this pool bounds.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const int asked = shared_size.load();
    shared_pool = std::make_unique<WorkPool>(
        asked > 0 ? asked : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 64));
    // Qt keeps per-thread caches (fonts among them) that a thread outliving Qt's own statics would
    // leak: the threads end with the application object.
    const QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && app->thread() == QThread::currentThread()) qAddPostRoutine(StopSharedWorkPool);
  }
  return *shared_pool;
}

void StopSharedWorkPool() {
  std::unique_ptr<WorkPool> pool;
  {
    const std::lock_guard lock(shared_mutex);
    pool = std::move(shared_pool);
  }
  pool.reset();  // joins the threads outside the lock
}

void SetWorkPoolSize(int threads) { shared_size.store(std::clamp(threads, 1, 64)); }

bool OnWorkPoolThread() { return on_pool_thread; }

// Each task is claimed once, under the group's mutex, by a pool thread or by the waiter, whichever
// comes first; a pool thread counts itself running in the same step, so nobody can see the group idle
// while a claimed task is about to run.
struct TaskGroup::State {
  struct Task {
    std::function<void()> run;
    bool claimed = false;
  };
  std::mutex mutex;
  std::condition_variable done;
  std::deque<Task> tasks;  // a deque: tasks stay where they are as more are added
  int running = 0;
  std::exception_ptr error;

  void RunClaimed(Task& task) {
    try {
      task.run();
    } catch (...) {
      const std::lock_guard lock(mutex);
      if (!error) error = std::current_exception();
    }
  }
};

TaskGroup::TaskGroup(WorkPool& pool) : pool_(pool), state_(std::make_shared<State>()) {}

TaskGroup::~TaskGroup() {
  State& state = *state_;
  std::unique_lock lock(state.mutex);
  for (State::Task& task : state.tasks) task.claimed = true;
  state.done.wait(lock, [&state] { return state.running == 0; });
}

void TaskGroup::Run(std::function<void()> task) {
  State::Task* entry = nullptr;
  {
    const std::lock_guard lock(state_->mutex);
    entry = &state_->tasks.emplace_back();
    entry->run = std::move(task);
  }
  pool_.Start([state = state_, entry] {
    {
      const std::lock_guard lock(state->mutex);
      if (entry->claimed) return;
      entry->claimed = true;
      ++state->running;
    }
    state->RunClaimed(*entry);
    {
      const std::lock_guard lock(state->mutex);
      --state->running;
    }
    state->done.notify_all();
  });
}

void TaskGroup::Wait() {
  State& state = *state_;
  std::unique_lock lock(state.mutex);
  // Run is not called while a group waits: the tasks stay as they are.
  for (State::Task& task : state.tasks) {
    if (task.claimed) continue;
    task.claimed = true;
    lock.unlock();
    state.RunClaimed(task);
    lock.lock();
  }
  state.done.wait(lock, [&state] { return state.running == 0; });
  if (state.error) {
    std::exception_ptr error = std::exchange(state.error, nullptr);
    lock.unlock();
    std::rethrow_exception(error);
  }
}

void ForEachIndex(int count, const std::function<void(int)>& work) {
  if (count <= 0) return;
  std::atomic<int> next{0};
  std::atomic<bool> failed{false};
  const auto loop = [&] {
    for (int i = next++; i < count && !failed.load(std::memory_order_relaxed); i = next++) {
      try {
        work(i);
      } catch (...) {
        failed = true;
        throw;
      }
    }
  };
  WorkPool& pool = SharedWorkPool();
  TaskGroup group(pool);
  // Only idle threads are asked: in a busy pool (a batch on every core) the caller does it all.
  for (int helpers = 0; helpers < count - 1 && pool.HasIdleThread(); ++helpers) group.Run(loop);
  std::exception_ptr own;
  try {
    loop();
  } catch (...) {
    own = std::current_exception();
  }
  if (!own) {
    group.Wait();
    return;
  }
  try {
    group.Wait();
  } catch (...) {  // NOLINT(bugprone-empty-catch): the caller's own exception is the one reported
  }
  std::rethrow_exception(own);
}
