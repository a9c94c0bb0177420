// The batch list at scale: a template clicked with 1,000 photos selected until their rows show,
// a job file of 2,000 entries opened into the list, Batch save's planning of 2,000 entries (every
// check and question before the first photo is decoded), and the largest job file read.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "base/config.h"
#include "batch/batch_job_file.h"
#include "batch/batch_page_widget.h"
#include "batch/batch_save.h"
#include "bench/bench_fixtures.h"
#include "sources/photo_grid_widget.h"
#include "styles/frame_style.h"
#include "support/scripted_dialogs.h"

namespace {

constexpr int kPhotos = 1000;
constexpr int kJobEntries = 2000;

// An application folder with 1,000 photos (hard links of one) and one template.
struct Library {
  QTemporaryDir dir;
  QString photos;
  QString mask;

  Library() {
    photos = dir.filePath(QStringLiteral("DATA/Photo"));
    mask = dir.filePath(QStringLiteral("DATA/Mask/0"));
    QDir().mkpath(photos);
    QDir().mkpath(mask);
    QImage photo(600, 400, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString first = photos + QStringLiteral("/IMG_0000.jpg");
    photo.save(first);
    for (int i = 1; i < kPhotos; ++i) {
      const QString name = photos + QStringLiteral("/IMG_%1.jpg").arg(i, 4, 10, QChar(u'0'));
      if (::link(QFile::encodeName(first).constData(), QFile::encodeName(name).constData()) != 0)
        std::exit(1);
    }
    FrameStyle style;
    style.blend_opacity = 255;
    style.back_draw = 1;
    style.back_opacity = 255;
    style.back_size = 12;
    WriteTemplate(mask, QStringLiteral("Gold"), style);
  }
};

Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

struct Window {
  Config config{TheLibrary().dir.path()};
  testing_support::ScriptedDialogs dialogs;
  QTemporaryDir cache_dir;
  ThumbnailCache cache{cache_dir.filePath(QStringLiteral("normal"))};
  std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(config, dialogs, cache);

  void ClearBatch() {
    QTreeWidget* list = window->Batch()->List();
    list->selectAll();
    window->Batch()->Delete();
  }
};

void MultipleAddOf1000Photos(benchmark::State& state) {
  Window w;
  QTest::mouseClick(w.window->findChild<QWidget*>(QStringLiteral("PhotoViewButton")), Qt::LeftButton);
  QTreeWidget* photos = w.window->Photos()->ListView();
  QWidget* template_cell = w.window->findChild<QWidget*>(QStringLiteral("Hot51"));
  for (auto _ : state) {
    state.PauseTiming();
    w.ClearBatch();
    photos->selectAll();
    w.dialogs.answers = {true};
    state.ResumeTiming();
    QTest::mouseClick(template_cell, Qt::LeftButton);
    QCoreApplication::processEvents();  // the rows laid out and painted
  }
  if (w.window->Batch()->List()->topLevelItemCount() != kPhotos) state.SkipWithError("rows missing");
}
BENCHMARK(MultipleAddOf1000Photos)->Unit(benchmark::kMillisecond)->UseRealTime();

void OpenAJobOf2000Entries(benchmark::State& state) {
  QTemporaryDir dir;
  const QString job = dir.filePath(QStringLiteral("job.ini"));
  QList<BatchEntry> entries;
  for (int i = 0; i < kJobEntries; ++i) {
    BatchEntry e = NeutralBatchEntry(
        TheLibrary().photos + QStringLiteral("/IMG_%1.jpg").arg(i % kPhotos, 4, 10, QChar(u'0')),
        TheLibrary().mask + QStringLiteral("/Gold.jpg"), FrameStyle{});
    e.edit.caption.text = QStringLiteral("Caption %1").arg(i);
    entries << e;
  }
  WriteBatchJob(job, entries);
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    w.ClearBatch();
    w.dialogs.job_files = {job};
    state.ResumeTiming();
    w.window->Batch()->OpenList();
    QCoreApplication::processEvents();
  }
  if (w.window->Batch()->List()->topLevelItemCount() != kJobEntries) state.SkipWithError("rows missing");
}
BENCHMARK(OpenAJobOf2000Entries)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReadAJobOf2000Entries(benchmark::State& state) {
  QTemporaryDir dir;
  const QString job = dir.filePath(QStringLiteral("job.ini"));
  WriteBatchJob(
      job, QList<BatchEntry>(kJobEntries, NeutralBatchEntry(QStringLiteral("/p/IMG_0001.jpg"),
                                                            QStringLiteral("/t/Gold.jpg"), FrameStyle{})));
  for (auto _ : state) benchmark::DoNotOptimize(ReadBatchJob(job));
}
BENCHMARK(ReadAJobOf2000Entries)->Unit(benchmark::kMillisecond)->UseRealTime();

void WriteAJobOf2000Entries(benchmark::State& state) {
  QTemporaryDir dir;
  QList<BatchEntry> entries(kJobEntries, NeutralBatchEntry(QStringLiteral("/p/IMG_0001.jpg"),
                                                           QStringLiteral("/t/Gold.jpg"), FrameStyle{}));
  for (auto _ : state) WriteBatchJob(dir.filePath(QStringLiteral("job.ini")), entries);
}
BENCHMARK(WriteAJobOf2000Entries)->Unit(benchmark::kMillisecond)->UseRealTime();

// Batch save's planning of 2,000 entries into a folder that already holds half of their names:
// output paths, the files that exist, the comparison with every photo and template, and the crop
// of every fourth entry checked against its photo's header.
void PlanABatchSaveOf2000Entries(benchmark::State& state) {
  QTemporaryDir out;
  QList<BatchEntry> entries;
  for (int i = 0; i < kJobEntries; ++i) {
    BatchEntry e = NeutralBatchEntry(
        TheLibrary().photos + QStringLiteral("/IMG_%1.jpg").arg(i % kPhotos, 4, 10, QChar(u'0')),
        TheLibrary().mask + QStringLiteral("/Gold.jpg"), FrameStyle{});
    e.output_name = QStringLiteral("framed_%1.jpg").arg(i, 4, 10, QChar(u'0'));
    if (i % 4 == 0) e.edit.crop = {10, 10, 300, 200};
    if (i % 2 == 0) QFile(out.filePath(e.output_name)).open(QIODevice::WriteOnly);
    entries << e;
  }
  QList<int> rows(kJobEntries);
  for (int i = 0; i < kJobEntries; ++i) rows[i] = i;
  qsizetype asks = 0;
  for (auto _ : state) {
    const QList<PlannedOutput> plan =
        PlanOutputs(entries, rows, out.path(), [](const QString& path) { return QFileInfo::exists(path); });
    asks = std::count_if(plan.cbegin(), plan.cend(), [](const PlannedOutput& p) { return p.asks; });
  }
  if (asks != kJobEntries / 2) state.SkipWithError("wrong questions");
}
BENCHMARK(PlanABatchSaveOf2000Entries)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest job a file may hold: 100,000 entries whose paths have 255 bytes, every edit made.
void ReadAFullJob(benchmark::State& state) {
  QTemporaryDir dir;
  const QString job = dir.filePath(QStringLiteral("job.ini"));
  const QString folder = QStringLiteral("/") + QString(200, u'd') + u'/';
  BatchEntry e = NeutralBatchEntry(folder + QString(49, u'p') + QStringLiteral(".jpg"),
                                   folder + QString(49, u't') + QStringLiteral(".jpg"), FrameStyle{});
  e.output_name = QString(251, u'o') + QStringLiteral(".jpg");
  e.edit.caption.text = QStringLiteral("Summer at the lake, 2024");
  for (int i = 0; i < 4; ++i) e.edit.rotate_flip.Append(GeometricEdit::TurnClockwise);
  for (float& m : e.edit.tone_matrix.m) m = -1.0f / 3;
  WriteBatchJob(job, QList<BatchEntry>(kMaxJobEntries, e));
  state.counters["MB"] = static_cast<double>(QFileInfo(job).size()) / (1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(ReadBatchJob(job));
}
BENCHMARK(ReadAFullJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
