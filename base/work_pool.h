// The program's one pool of worker threads, and the ways work reaches it.
//
// Every parallel step runs on it: row bands (ParallelRows), batch photos (BatchRun), the effects
// canvas drawn while a photo decodes, paging ahead of a decoder, thumbnails. It has a fixed number
// of threads, one per core unless SetWorkPoolSize says otherwise, started once and kept. A thread
// that waits for work it handed out runs what nobody has started yet itself, so work nested in a
// pool task runs on its caller instead of adding threads, and no wait depends on a queued task.
// An exception thrown by a task travels to the thread that waits for it.
//
// One stage has a thread of its own because it blocks on its own pace: the streaming JPEG decoder
// (imaging/jpeg_stream.cpp), started only off the pool. Nothing else in the program starts threads.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WorkPool {
 public:
  // threads: at least 1.
  explicit WorkPool(int threads);
  // Runs what is queued, then joins the threads.
  ~WorkPool();
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;

  int Size() const { return static_cast<int>(threads_.size()); }
  // Whether a thread waits for work now (a hint: it may be taken a moment later).
  bool HasIdleThread() const;

  // Queues task; it runs on a pool thread. Exceptions it throws are dropped: work whose failure
  // matters goes through a TaskGroup.
  void Start(std::function<void()> task);

 private:
  void Serve();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  int idle_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// The pool every part of the program shares; made on first use with SetWorkPoolSize's size, or one
// thread per core.
WorkPool& SharedWorkPool();
// Ends the shared pool's threads (what is queued runs first); the next use makes a new pool. Runs by
// itself when the application object that was there at the pool's making goes.
void StopSharedWorkPool();
// The shared pool's size, 1..64; takes effect only before its first use (the command line's --jobs).
void SetWorkPoolSize(int threads);
// Whether the calling thread is one of a pool's.
bool OnWorkPoolThread();

// Tasks handed to a pool whose end one thread waits for.
class TaskGroup {
 public:
  explicit TaskGroup(WorkPool& pool = SharedWorkPool());
  // Drops the tasks no pool thread has started and waits for the others, dropping any exception:
  // a caller that leaves early (by an exception) does not wait for work it no longer needs.
  ~TaskGroup();
  TaskGroup(const TaskGroup&) = delete;
  TaskGroup& operator=(const TaskGroup&) = delete;

  // Queues task on the pool.
  void Run(std::function<void()> task);
  // Runs on this thread every task of the group that no pool thread has started, waits for the
  // others, then throws the first exception a task threw, if any.
  void Wait();

 private:
  struct State;
  WorkPool& pool_;
  std::shared_ptr<State> state_;
};

// Calls work(i) for every i in [0, count), on the calling thread and on as many idle pool threads
// as help (at most count - 1); returns once all are done. When a call throws, no further i is
// started and the exception reaches the caller after the calls in progress end.
void ForEachIndex(int count, const std::function<void(int)>& work);
