// RenderComposite with every effect on: preview size and full size.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <random>

#include "compose/image_buffer.h"
#include "compose/render_composite.h"

namespace {

// Every effect on: texture background, shadow 20, texture band, oval window, overlay, stroke, line.
FrameStyle EveryEffect() {
  FrameStyle s;
  s.blend_opacity = 230;
  s.color_draw = 1;
  s.color_opacity = 60;
  s.color_color = 0x3080C0;
  s.line_draw = 1;
  s.line_opacity = 255;
  s.line_size = 3;
  s.line_color = 0xFFFFFF;
  s.frame_include = 0;
  s.frame_sharp = 1;
  s.frame_color_text = 1;
  s.frame_text = 5;
  s.frame_text_size = 24;
  s.frame_draw = 1;
  s.frame_opacity = 255;
  s.frame_size = 30;
  s.stroke_draw = 1;
  s.stroke_opacity = 255;
  s.stroke_size = 4;
  s.stroke_color = 0x102030;
  s.shadow_draw = 1;
  s.shadow_opacity = 180;
  s.shadow_size = 20;
  s.back_color_text = 1;
  s.back_text = 12;
  s.back_text_size = 32;
  s.back_draw = 1;
  s.back_opacity = 255;
  s.back_size = 40;
  s.back_color = 0xDCE6F0;
  return s;
}

QImage PhotoLike(int w, int h) {
  QImage image = NewImage(w, h);
  QPainter p(&image);
  QLinearGradient g(0, 0, w, h);
  g.setColorAt(0, QColor(40, 90, 160));
  g.setColorAt(1, QColor(220, 180, 90));
  p.fillRect(image.rect(), g);
  return image;
}

void RenderAt(benchmark::State& state, int w, int h) {
  const QImage photo = PhotoLike(w, h);
  const FrameStyle style = EveryEffect();
  for (auto _ : state) {
    QImage out = NewImage(w, h);
    RenderComposite(photo, out, style);
    benchmark::DoNotOptimize(out.constBits());
  }
}

void BM_RenderPreview(benchmark::State& state) { RenderAt(state, 313, 235); }
void BM_RenderFullSize(benchmark::State& state) { RenderAt(state, 6000, 4000); }

BENCHMARK(BM_RenderPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFullSize)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
