// The batch render pool: every task gets one outcome, the pool stays within its workers, one file
// is written by its tasks in row order, cancel leaves only whole files; and the save plan.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <numeric>
#include <random>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

#include "base/lumisto_error.h"
#include "batch/batch_run.h"
#include "batch/batch_save.h"
#include "support/sample_styles.h"
#include "support/test_support.h"

namespace {

QList<BatchTask> Tasks(const QStringList& outputs) {
  QList<BatchTask> tasks;
  for (qsizetype i = 0; i < outputs.size(); ++i) {
    BatchTask task;
    task.row = static_cast<int>(i);
    task.request.output_path = outputs[i];
    task.request.quality = static_cast<int>(i) + 1;  // tells the tasks apart in the fake renderer
    tasks << task;
  }
  return tasks;
}

// The threads of this process that run or wait only for a core, less those set aside.
int BusyThreads(const QSet<qint64>& aside) {
  int busy = 0;
  const QStringList threads =
      QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& id : threads) {
    if (aside.contains(id.toLongLong())) continue;
    QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(id));
    if (!stat.open(QIODevice::ReadOnly)) continue;  // ended meanwhile
    const QByteArray line = stat.readAll();
    // "tid (name) S ...": the state follows the name, which may hold blanks and parentheses.
    const qsizetype close = line.lastIndexOf(')');
    if (close >= 0 && close + 2 < line.size() && line[close + 2] == 'R') ++busy;
  }
  return busy;
}

}  // namespace

class BatchRunTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The program's pool as on a machine of two cores.
  void initTestCase() { SetWorkPoolSize(2); }

  // Eight jobs asked on two cores: every photo, its row bands, its effects canvas and its writer
  // share the pool, so no more than two threads of the process are busy at any moment (the waiting
  // caller and the thread that counts aside). Counted from the threads' states as the system shows them.
  void EightJobsOnTwoCoresKeepTwoThreadsBusy() {
    QTemporaryDir dir;
    std::mt19937 random(5);
    QImage photo(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
      for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x & 255, random() & 255, y & 255));
    QList<BatchTask> tasks;
    for (int i = 0; i < 8; ++i) {
      const QString photo_path = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
      QVERIFY(photo.save(photo_path, "jpg", 90));
      BatchTask task;
      task.row = i;
      task.request.photo_path = photo_path;
      task.request.style = testing_support::EveryEffectStyle();
      task.request.output_path = dir.filePath(QStringLiteral("out%1.jpg").arg(i));
      tasks << task;
    }
    const TextureList textures = TextureList::LoadShipped();
    std::atomic<bool> done{false};
    std::atomic<int> most{0}, samples{0};
    std::thread counter([&] {
      const QSet<qint64> aside{getpid(), static_cast<qint64>(syscall(SYS_gettid))};
      while (!done) {
        most = std::max(most.load(), BusyThreads(aside));
        ++samples;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
    });
    BatchRun run(tasks, 8, [&](const RenderRequest& r) { RenderToFile(r, textures); });
    run.Start();
    const bool finished = run.WaitFor(100000);
    done = true;
    counter.join();
    QVERIFY(finished);
    for (const BatchOutcome& o : run.Outcomes())
      QVERIFY2(o.kind == BatchOutcomeKind::Written, qPrintable(o.reason));
    QVERIFY(samples > 10);
    QVERIFY2(most >= 1 && most <= 2, qPrintable(QString::number(most)));
  }

  void EveryTaskHasOneOutcomeWithinTheWorkers_data() {
    QTest::addColumn<int>("tasks");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("most_at_once");
    QTest::newRow("one worker") << 6 << 1 << 1;
    QTest::newRow("three workers") << 9 << 3 << 3;
    QTest::newRow("more workers than tasks") << 2 << 8 << 2;
    QTest::newRow("zero asked: one") << 3 << 0 << 1;
    QTest::newRow("int max asked: capped") << 3 << 2147483647 << 3;
    QTest::newRow("no tasks") << 0 << 2 << 0;
  }
  void EveryTaskHasOneOutcomeWithinTheWorkers() {
    QFETCH(int, tasks);
    QFETCH(int, jobs);
    QFETCH(int, most_at_once);
    QStringList outputs;
    for (int i = 0; i < tasks; ++i) outputs << QStringLiteral("/out/%1.jpg").arg(i);
    std::atomic<int> running{0}, most{0};
    WorkPool pool(8);  // more threads than any row asks for: the jobs are the bound here
    BatchRun run(
        Tasks(outputs), jobs,
        [&](const RenderRequest& r) {
          const int now = ++running;
          int seen = most.load();
          while (now > seen && !most.compare_exchange_weak(seen, now)) {
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
          --running;
          if (r.quality == 2) throw LumistoError(QStringLiteral("photo.jpg: cannot be decoded"));
        },
        pool);
    run.Start();
    QVERIFY(run.WaitFor(20000));
    QCOMPARE(run.Done(), tasks);
    QVERIFY(most.load() <= most_at_once);
    if (tasks >= most_at_once && tasks > 2) QCOMPARE(most.load(), most_at_once);
    BatchSummary summary;
    QList<int> rows;
    for (const BatchOutcome& o : run.Outcomes()) {
      summary.Add(o);
      rows << o.row;
    }
    std::sort(rows.begin(), rows.end());
    QList<int> expected(tasks);
    std::iota(expected.begin(), expected.end(), 0);
    QCOMPARE(rows, expected);
    QCOMPARE(summary.failed, tasks >= 2 ? 1 : 0);
    QCOMPARE(summary.written, tasks >= 2 ? tasks - 1 : tasks);
    if (tasks >= 2)
      QCOMPARE(summary.failures, QStringList{QStringLiteral("1.jpg: photo.jpg: cannot be decoded")});
  }

  void OneFileIsWrittenInRowOrder() {
    // Rows 0 and 2 write the same file: row 2 starts only after row 0 is done, so its picture stays.
    QStringList order;
    std::mutex mutex;
    BatchRun run(Tasks({"/o/a.jpg", "/o/b.jpg", "/o/a.jpg", "/o/c.jpg"}), 4, [&](const RenderRequest& r) {
      {
        const std::lock_guard lock(mutex);
        order << QStringLiteral("start %1").arg(r.quality);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(r.quality == 1 ? 80 : 5));
      const std::lock_guard lock(mutex);
      order << QStringLiteral("end %1").arg(r.quality);
    });
    run.Start();
    QVERIFY(run.WaitFor(20000));
    QVERIFY(order.indexOf(QStringLiteral("end 1")) < order.indexOf(QStringLiteral("start 3")));
  }

  void CancelLeavesOnlyWholeFiles() {
    QTemporaryDir dir;
    QImage photo(240, 160, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString photo_path = dir.filePath(QStringLiteral("photo.png"));
    QVERIFY(photo.save(photo_path));
    const QString out = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    QList<BatchTask> tasks;
    for (int i = 0; i < 12; ++i) {
      BatchTask task;
      task.row = i;
      task.request.photo_path = photo_path;
      task.request.style.back_draw = 1;
      task.request.style.back_size = 10;
      task.request.style.back_opacity = 255;
      task.request.style.blend_opacity = 255;
      task.request.output_path = out + QStringLiteral("/%1.jpg").arg(i);
      tasks << task;
    }
    BatchRun* self = nullptr;
    std::atomic<int> finished{0};
    const TextureList textures = TextureList::LoadShipped();
    BatchRun run(tasks, 2, [&](const RenderRequest& r) {
      RenderToFile(r, textures);
      if (++finished == 2) self->Cancel();
    });
    self = &run;
    run.Start();
    QVERIFY(run.WaitFor(60000));
    BatchSummary summary;
    for (const BatchOutcome& o : run.Outcomes()) summary.Add(o);
    QVERIFY(summary.cancelled > 0);
    QCOMPARE(summary.written + summary.cancelled, 12);
    // Every file in the folder is a whole picture of a written row; no temporary file is left.
    const QStringList files = QDir(out).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), summary.written);
    for (const QString& name : files) {
      const QImage written(out + u'/' + name);
      QVERIFY2(!written.isNull(), qPrintable(name));
      QCOMPARE(written.size(), QSize(240, 160));
    }
  }

  void PlanAsksForExistingAndRepeatedOutputs() {
    QList<BatchEntry> entries;
    for (const char* name : {"a.jpg", "b.jpg", "a.jpg", "old.jpg", "../x.jpg", "c.jpg"}) {
      BatchEntry e;
      e.output_name = QString::fromUtf8(name);
      entries << e;
    }
    const auto exists = [](const QString& path) { return path.endsWith(QLatin1String("/old.jpg")); };
    const QList<PlannedOutput> plan =
        PlanOutputs(entries, {5, 4, 3, 2, 1, 0, 0, 9}, QStringLiteral("/f"), exists);
    QCOMPARE(plan.size(), 6);
    QList<bool> asks;
    QStringList paths;
    for (const PlannedOutput& p : plan) {
      asks << p.asks;
      paths << p.path;
    }
    QCOMPARE(asks, (QList<bool>{false, false, true, true, false, false}));
    QCOMPARE(paths, (QStringList{"/f/a.jpg", "/f/b.jpg", "/f/a.jpg", "/f/old.jpg", QString(), "/f/c.jpg"}));
    QVERIFY(!plan[4].refusal.isEmpty());
  }

  void SummaryText() {
    BatchSummary summary;
    summary.written = 4;
    summary.skipped = 1;
    summary.Add({3, QStringLiteral("/f/x.jpg"), BatchOutcomeKind::Failed, QStringLiteral("no photo")});
    QCOMPARE(summary.Text(), QStringLiteral("Batch save: 4 written, 1 skipped, 1 failed.\nx.jpg: no photo"));
    summary.Add({4, QStringLiteral("/f/y.jpg"), BatchOutcomeKind::Cancelled, QString()});
    QVERIFY(summary.Text().startsWith(
        QStringLiteral("Batch save: 4 written, 1 skipped, 1 failed, 1 cancelled.")));
  }
};

QTEST_GUILESS_MAIN(BatchRunTest)
#include "batch_run_test.moc"
