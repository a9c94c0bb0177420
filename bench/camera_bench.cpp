// The camera's live display: a 1280 x 720 frame from the device-free source to the composed
// preview picture, with a custom frame and a caption (target: 8 ms a frame at most), and the
// parts of that road.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "app/camera_feed.h"
#include "edit/caption_layer.h"
#include "sources/synthetic_frame_source.h"

namespace {

const QSize kFrameSize(1280, 720);

// The feed as the window runs it, without the pacing (the benchmark delivers as fast as it can).
struct LiveRig {
  explicit LiveRig(CustomFrameShape shape)
      : feed(
            source, state, [this](const QImage& p) { shown = p; }, 0) {
    state.edit.caption.text = QStringLiteral("Holiday 2026");
    state.caption_layer = BuildCaptionLayer(state.edit.caption, 1.0f, kScreenSize);
    feed.Power();
    CustomFrameSettings settings;
    settings.colour = QColor(40, 90, 160);
    settings.border = 8;
    settings.opacity = 200;
    feed.DrawFrame(shape, settings);
    for (int i = 0; i < 8; ++i) frames.append(CameraTestPattern(kFrameSize, i * 5));
  }
  SyntheticFrameSource source;
  MainState state;
  QImage shown;
  CameraFeed feed;
  QList<QImage> frames;
};

void FrameToPreview(benchmark::State& state, CustomFrameShape shape) {
  LiveRig rig(shape);
  int i = 0;
  for (auto _ : state) {
    rig.source.Push(rig.frames[i++ % rig.frames.size()]);
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(rig.shown.constBits());
  }
  if (rig.feed.ComposedFrames() < int(state.iterations())) state.SkipWithError("frames were dropped");
}
BENCHMARK_CAPTURE(FrameToPreview, WindowFrame, CustomFrameShape::Window)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(FrameToPreview, SoftLineFrame, CustomFrameShape::SoftLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The parts: fitting the frame into the preview, and composing the preview from it.
void PlaceFrame(benchmark::State& state) {
  const QImage frame = CameraTestPattern(kFrameSize, 3);
  for (auto _ : state) benchmark::DoNotOptimize(PlaceInPreview(frame, true).image.constBits());
}
BENCHMARK(PlaceFrame)->Unit(benchmark::kMillisecond);

void ComposePreview(benchmark::State& state) {
  LiveRig rig(CustomFrameShape::Window);
  for (auto _ : state) {
    rig.feed.Compose();
    benchmark::DoNotOptimize(rig.shown.constBits());
  }
}
BENCHMARK(ComposePreview)->Unit(benchmark::kMillisecond);

// Drawing a custom frame (a click on "1" or "2"), for comparison: not part of each frame.
void DrawSoftLine(benchmark::State& state) {
  LiveRig rig(CustomFrameShape::Window);
  for (auto _ : state) rig.feed.DrawFrame(CustomFrameShape::SoftLine, CustomFrameSettings());
}
BENCHMARK(DrawSoftLine)->Unit(benchmark::kMillisecond);

}  // namespace
