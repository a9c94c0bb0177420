// Photo editing on a 24-megapixel photo: a tone knob let go until the new preview is ready, the
// crop dialog opening and its "OK" picture, and the caption rebuilt for one keystroke.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "bench/bench_fixtures.h"
#include "edit/caption_layer.h"
#include "edit/crop_dialog.h"
#include "edit/crop_photo.h"
#include "imaging/image_io.h"
#include "styles/frame_style.h"
#include "support/scripted_dialogs.h"

namespace {

// An application folder with one 6000 x 4000 JPEG and one template.
struct Library {
  QTemporaryDir dir;
  QString photo;

  Library() {
    const QString photos = dir.filePath(QStringLiteral("DATA/Photo"));
    QDir().mkpath(photos);
    photo = photos + QStringLiteral("/IMG_0000.jpg");
    WriteJpegOrExit(CameraLikePhoto(6000, 4000), photo, 92);
    WriteTemplate(dir.filePath(QStringLiteral("DATA/Mask/0")), QStringLiteral("Gold"), BandStyle());
  }
};

Library& TheLibrary() {
  static Library* library = new Library;
  return *library;
}

// The window with the photo and the template chosen.
struct Window {
  Config config{TheLibrary().dir.path()};
  testing_support::ScriptedDialogs dialogs;
  QTemporaryDir cache_dir;
  ThumbnailCache cache{cache_dir.filePath(QStringLiteral("normal"))};
  std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(config, dialogs, cache);

  Window() {
    QTest::mouseClick(Find(QStringLiteral("Hot1")), Qt::LeftButton);
    QTest::mouseClick(Find(QStringLiteral("Hot51")), Qt::LeftButton);
  }
  QWidget* Find(const QString& name) const { return window->findChild<QWidget*>(name); }
};

// 200 characters on three lines.
QString CaptionText() {
  const QString line = QStringLiteral("Summer evening on the lake, golden light over the water, ");
  return (line + line.left(9)).left(66) + u'\n' + (line + line).left(66) + u'\n' + (line + line).mid(5, 66);
}

// Press and let go of the contrast knob: all three knobs read, the matrix built, the preview
// composite rendered and letterboxed for the fade.
void KnobReleaseToPreview(benchmark::State& state) {
  Window w;
  QWidget* knob = w.Find(QStringLiteral("B1"));
  for (auto _ : state) {
    QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(8, 8));
    benchmark::DoNotOptimize(w.window->Preview()->Fade().ScreenBitmap());
  }
  if (w.window->State().edit.tone_matrix.IsIdentity()) state.SkipWithError("the knob did nothing");
}
BENCHMARK(KnobReleaseToPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// The crop dialog made ready to show: the view decoded at reduced scale, turned, veiled.
void CropDialogOpen(benchmark::State& state) {
  testing_support::ScriptedDialogs dialogs;
  CropDialog dialog(dialogs);
  for (auto _ : state) {
    if (!dialog.Prepare(TheLibrary().photo, RotateFlipType::Turn90, CropRect{1000, 800, 3000, 2000}))
      state.SkipWithError("not decoded");
  }
}
BENCHMARK(CropDialogOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// "OK": the cropped region's working photo and the caption at the new fit factor.
void CropDialogOk(benchmark::State& state) {
  CaptionSettings caption;
  caption.text = CaptionText();
  for (auto _ : state) {
    const auto cropped =
        LoadCroppedWorkingPhoto(TheLibrary().photo, RotateFlipType::Turn90, CropRect{1000, 800, 3000, 2000});
    if (!cropped) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(BuildCaptionLayer(caption, FitFactor(3000, 2000, 315), QSize(315, 315)));
  }
}
BENCHMARK(CropDialogOk)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke in the caption's memo while placing a 200-character, three-line caption.
void CaptionKeystroke(benchmark::State& state) {
  Window w;
  QTest::mouseClick(w.Find(QStringLiteral("FlatButton20")), Qt::LeftButton);
  auto* memo = w.window->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
  memo->setPlainText(CaptionText());
  memo->moveCursor(QTextCursor::End);
  bool add = true;
  for (auto _ : state) {
    QTest::keyClick(memo, add ? Qt::Key_A : Qt::Key_Backspace);
    add = !add;
    benchmark::DoNotOptimize(w.window->State().caption_layer);
  }
}
BENCHMARK(CaptionKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
