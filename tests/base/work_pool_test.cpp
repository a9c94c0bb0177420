// The shared work pool: threads made once, work nested in a busy pool run by its caller,
// exceptions carried to the caller.
#include <sys/syscall.h>
#include <unistd.h>

#include <QSemaphore>
#include <QSet>
#include <QTest>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "base/parallel_rows.h"
#include "base/work_pool.h"

namespace {

qint64 ThreadId() { return static_cast<qint64>(syscall(SYS_gettid)); }

}  // namespace

class WorkPoolTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { SetWorkPoolSize(2); }

  // Many calls of ParallelRows, as the preview makes one per frame, share the pool's threads: the
  // threads that draw are the caller and the pool's two, however many calls there are.
  void RowBandsReuseThePoolThreads() {
    QSet<qint64> threads;
    std::mutex mutex;
    int rows_drawn = 0;
    for (int call = 0; call < 200; ++call) {
      ParallelRows(64, 1 << 16, [&](int first, int end) {
        const std::lock_guard lock(mutex);
        threads.insert(ThreadId());
        rows_drawn += end - first;
      });
    }
    QCOMPARE(rows_drawn, 200 * 64);
    QVERIFY2(threads.size() <= 3, qPrintable(QString::number(threads.size())));
  }

  // What a band throws reaches the caller, after the other bands; nothing ends the process.
  void ExceptionsReachTheCaller_data() {
    QTest::addColumn<int>("failing_band");
    QTest::newRow("the caller's band") << 0;
    QTest::newRow("a helper's band") << 1;
  }
  void ExceptionsReachTheCaller() {
    QFETCH(int, failing_band);
    for (int attempt = 0; attempt < 20; ++attempt) {
      try {
        ForEachIndex(2, [failing_band](int i) {
          if (i == failing_band) throw std::runtime_error("band failed");
        });
        QFAIL("no exception");
      } catch (const std::runtime_error& e) {
        QCOMPARE(QByteArray(e.what()), QByteArray("band failed"));
      }
    }
    bool thrown = false;
    try {
      ParallelRows(1000, 1 << 20, [](int first, int) {
        if (first > 0) throw std::runtime_error("rows failed");
      });
    } catch (const std::runtime_error&) {
      thrown = true;
    }
    QVERIFY(thrown);
  }

  // Every pool thread held by a task that itself splits work: the nested work runs on its caller
  // and nothing waits for a task the pool cannot start.
  void NestedWorkInABusyPoolRunsOnItsCaller() {
    WorkPool& pool = SharedWorkPool();
    std::atomic<int> done{0};
    std::atomic<int> through{0};
    QSemaphore both_started;
    QSemaphore go;
    TaskGroup outer;
    for (int t = 0; t < pool.Size(); ++t)
      outer.Run([&] {
        both_started.release();
        go.acquire();
        const qint64 self = ThreadId();
        ParallelRows(256, 1 << 20, [&](int first, int end) {
          if (ThreadId() != self) throw std::logic_error("nested rows left their caller");
          done += end - first;
        });
        // Held until every task is through, so that no thread falls idle and helps another.
        ++through;
        while (through.load() < pool.Size()) std::this_thread::yield();
      });
    QVERIFY(both_started.tryAcquire(pool.Size(), 20000));
    QVERIFY(!pool.HasIdleThread());
    go.release(pool.Size());
    outer.Wait();
    QCOMPARE(done.load(), 256 * pool.Size());
  }

  // A group's tasks the pool has not started run on the thread that waits; a group left early
  // drops them.
  void WaitingRunsWhatNobodyStarted() {
    WorkPool pool(1);
    QSemaphore hold;
    pool.Start([&hold] { hold.acquire(); });  // the pool's one thread is busy
    std::atomic<int> ran{0};
    qint64 where = 0;
    {
      TaskGroup group(pool);
      group.Run([&] {
        ++ran;
        where = ThreadId();
      });
      group.Wait();
    }
    QCOMPARE(ran.load(), 1);
    QCOMPARE(where, ThreadId());
    {
      TaskGroup dropped(pool);
      dropped.Run([&ran] { ++ran; });
    }
    hold.release();
    TaskGroup after(pool);
    after.Run([] {});
    after.Wait();
    QCOMPARE(ran.load(), 1);
  }
};

QTEST_GUILESS_MAIN(WorkPoolTest)
#include "work_pool_test.moc"
