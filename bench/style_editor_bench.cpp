// The style editor with a 24-megapixel photo chosen: one control change until its preview is on
// the screen, a bar dragged end to end (100 steps), and opening the editor on a template.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "bench/bench_fixtures.h"
#include "imaging/image_io.h"
#include "styles/frame_style.h"
#include "styles/style_editor_dialog.h"
#include "support/sample_styles.h"
#include "support/scripted_dialogs.h"

namespace {

// One 6000 x 4000 JPEG photo and one template with every effect on.
struct Library {
  QTemporaryDir dir;

  Library() {
    const QString photos = dir.filePath(QStringLiteral("DATA/Photo"));
    QDir().mkpath(photos);
    QImage photo(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
      for (int x = 0; x < photo.width(); ++x) row[x] = qRgb(x * 255 / 6000, y * 255 / 4000, 128);
    }
    WriteJpegOrExit(photo, photos + QStringLiteral("/IMG_0001.jpg"), 92);
    FrameStyle style = testing_support::EveryEffectStyle();
    style.scale = 1;
    WriteTemplate(dir.filePath(QStringLiteral("DATA/Mask/0")), QStringLiteral("Gold"), style);
  }
};

Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

// The window with the photo and the template chosen and the editor loaded.
struct Window {
  Config config{TheLibrary().dir.path()};
  testing_support::ScriptedDialogs dialogs;
  ThumbnailCache cache{QString()};
  std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(config, dialogs, cache);

  Window() {
    QTest::mouseClick(Find(QStringLiteral("Hot1")), Qt::LeftButton);
    QTest::mouseClick(Find(QStringLiteral("Hot51")), Qt::LeftButton);
    window->StyleEditor()->Load(window->State().style);
  }
  QWidget* Find(const QString& name) const {
    QWidget* widget = window->findChild<QWidget*>(name);
    return widget ? widget : window->StyleEditor()->findChild<QWidget*>(name);
  }
  QSlider* Bar(const char* name) const { return static_cast<QSlider*>(Find(QLatin1String(name))); }
};

// A bar moved by one step: its box, the working style, the render of the working photo and the
// picture drawn straight onto the preview.
void ControlChangeToPreview(benchmark::State& state) {
  Window w;
  QSlider* bar = w.Bar("FrameSizeBar");
  int step = 0;
  for (auto _ : state) {
    bar->setValue(10 + step);
    step = (step + 1) % 20;
    benchmark::DoNotOptimize(w.window->Preview()->Fade().Surface());
  }
  if (w.window->State().working_photo.width() > 315)
    state.SkipWithError("the working photo is not preview-size");
}
BENCHMARK(ControlChangeToPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// The opacity bar from 1 to 100 and back: 100 previews per pass.
void BarDraggedEndToEnd(benchmark::State& state) {
  Window w;
  QSlider* bar = w.Bar("FrameOpacityBar");
  bool up = true;
  for (auto _ : state) {
    for (int i = 1; i <= 100; ++i) bar->setValue(up ? i : 101 - i);
    up = !up;
    benchmark::DoNotOptimize(w.window->Preview()->Fade().Surface());
  }
}
BENCHMARK(BarDraggedEndToEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

// Edit: the controls loaded from the current style, the pages switched and the first preview,
// then the dialog shown and painted.
void OpenTheEditor(benchmark::State& state) {
  Window w;
  StyleEditorDialog* editor = w.window->StyleEditor();
  for (auto _ : state) {
    editor->Load(w.window->State().style);
    editor->show();
    QApplication::processEvents();
    state.PauseTiming();
    editor->hide();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(OpenTheEditor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
