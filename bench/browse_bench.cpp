// Browsing on 24-megapixel photos: scanning a folder of 1,000, drawing a page of eight thumbnails
// the first time and again from the thumbnail cache, and a click on a photo or a template until
// its framed preview is ready for the fade.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "base/user_dialogs.h"
#include "imaging/image_io.h"
#include "sources/photo_folder.h"
#include "styles/frame_style.h"
#include "support/scripted_dialogs.h"
#include "widgets/thumbnail_page.h"

namespace {

constexpr int kPhotos = 1000;

// Smooth gradients with a little noise, like a camera file to the encoder.
QImage PhotoLike(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  std::uint32_t noise = 2463534242u;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const int n = static_cast<int>(noise & 15) - 8;
      row[x] = qRgb(40 + x * 160 / width + n, 60 + y * 150 / height + n,
                    200 - (x + y) * 140 / (width + height) + n);
    }
  }
  return image;
}

using NoDialogs = testing_support::ScriptedDialogs;

// An application folder whose photo folder holds one 6000 x 4000 JPEG under 1,000 names (hard
// links), and one template.
struct Library {
  QTemporaryDir dir;
  QString photos;
  QStringList paths;

  Library() {
    photos = dir.filePath(QStringLiteral("DATA/Photo"));
    QDir().mkpath(photos);
    const QString first = photos + QStringLiteral("/IMG_0000.jpg");
    QString error;
    if (!EncodeImage(PhotoLike(6000, 4000), first, QStringLiteral("image/jpeg"), 92, &error)) {
      std::fprintf(stderr, "%s\n", qPrintable(error));
      std::exit(1);
    }
    paths << first;
    for (int i = 1; i < kPhotos; ++i) {
      const QString name = photos + QStringLiteral("/IMG_%1.jpg").arg(i, 4, 10, QChar(u'0'));
      if (::link(QFile::encodeName(first).constData(), QFile::encodeName(name).constData()) != 0)
        std::exit(1);
      paths << name;
    }
    const QString mask = dir.filePath(QStringLiteral("DATA/Mask/0"));
    QDir().mkpath(mask);
    QImage picture(70, 70, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    picture.save(mask + QStringLiteral("/Gold.jpg"));
    FrameStyle style;
    style.blend_opacity = 255;
    style.back_draw = 1;
    style.back_opacity = 255;
    style.back_size = 12;
    style.back_color = 0x40A0C0;
    style.frame_draw = 1;
    style.frame_opacity = 255;
    style.frame_size = 10;
    style.frame_color = 0x206080;
    style.shadow_draw = 1;
    style.shadow_opacity = 160;
    style.shadow_size = 6;
    WriteFrameStyle(mask + QStringLiteral("/Gold.ini"), style);
  }
};

Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

QList<ThumbnailRequest> FirstPage(const Library& library) {
  QList<ThumbnailRequest> requests;
  for (int i = 0; i < 8; ++i) requests.append({library.paths[i], QSize(6000, 4000)});
  return requests;
}

void ScanFolderOf1000(benchmark::State& state) {
  const Library& library = TheLibrary();
  for (auto _ : state) {
    const QList<ListRow> rows = ScanPhotoFolder(library.photos);
    if (rows.size() != kPhotos) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(rows);
  }
}
BENCHMARK(ScanFolderOf1000)->Unit(benchmark::kMillisecond);

void FirstPageOfEightThumbnails(benchmark::State& state) {
  const Library& library = TheLibrary();
  QTemporaryDir cache_dir;
  const QList<ThumbnailRequest> page = FirstPage(library);
  for (auto _ : state) {
    state.PauseTiming();
    QDir(cache_dir.filePath(QStringLiteral("normal"))).removeRecursively();
    const ThumbnailCache cache(cache_dir.filePath(QStringLiteral("normal")));
    state.ResumeTiming();
    benchmark::DoNotOptimize(DrawThumbnailCells(page, cache));
  }
}
BENCHMARK(FirstPageOfEightThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime();

void PageDrawnAgainFromTheCache(benchmark::State& state) {
  const Library& library = TheLibrary();
  QTemporaryDir cache_dir;
  const ThumbnailCache cache(cache_dir.filePath(QStringLiteral("normal")));
  const QList<ThumbnailRequest> page = FirstPage(library);
  DrawThumbnailCells(page, cache);
  for (auto _ : state) benchmark::DoNotOptimize(DrawThumbnailCells(page, cache));
}
BENCHMARK(PageDrawnAgainFromTheCache)->Unit(benchmark::kMillisecond)->UseRealTime();

struct Window {
  Config config{TheLibrary().dir.path()};
  NoDialogs dialogs;
  QTemporaryDir cache_dir;
  ThumbnailCache cache{cache_dir.filePath(QStringLiteral("normal"))};
  std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(config, dialogs, cache);

  QWidget* Find(const QString& name) const { return window->findChild<QWidget*>(name); }
};

// From the click on a photo cell to the letterboxed composite handed to the fade.
void ClickOnAPhotoToPreview(benchmark::State& state) {
  Window w;
  QTest::mouseClick(w.Find(QStringLiteral("Hot51")), Qt::LeftButton);
  int cell = 0;
  for (auto _ : state) {
    QTest::mouseClick(w.Find(QStringLiteral("Hot%1").arg(1 + cell)), Qt::LeftButton);
    cell = (cell + 1) % 8;
    benchmark::DoNotOptimize(w.window->Preview()->Fade().ScreenBitmap());
  }
  if (w.window->State().working_photo.size() != QSize(314, 209)) state.SkipWithError("no working photo");
}
BENCHMARK(ClickOnAPhotoToPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

void ClickOnATemplateToPreview(benchmark::State& state) {
  Window w;
  QTest::mouseClick(w.Find(QStringLiteral("Hot1")), Qt::LeftButton);
  for (auto _ : state) {
    QTest::mouseClick(w.Find(QStringLiteral("Hot51")), Qt::LeftButton);
    benchmark::DoNotOptimize(w.window->Preview()->Fade().ScreenBitmap());
  }
}
BENCHMARK(ClickOnATemplateToPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
