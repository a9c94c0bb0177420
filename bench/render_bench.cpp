// RenderComposite with every effect on: preview size and full size, and full size with a tone
// (contrast 1.2, brightness 0.1, saturation 0.8: the general colour matrix).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <random>

#include "compose/render_composite.h"
#include "edit/tone_knobs.h"
#include "imaging/image_buffer.h"
#include "support/sample_styles.h"

namespace {

const TextureList& ShippedTextures() {
  static const TextureList list = TextureList::LoadShipped();
  return list;
}

// Every effect on: texture background, shadow 20, texture band, oval window, overlay, stroke, line.
FrameStyle EveryEffect() { return testing_support::EveryEffectStyle(); }

QImage PhotoLike(int w, int h) {
  QImage image = NewImage(w, h);
  QPainter p(&image);
  QLinearGradient g(0, 0, w, h);
  g.setColorAt(0, QColor(40, 90, 160));
  g.setColorAt(1, QColor(220, 180, 90));
  p.fillRect(image.rect(), g);
  return image;
}

void RenderAt(benchmark::State& state, int w, int h, const ToneMatrix& tone = ToneMatrix::Identity()) {
  const QImage photo = PhotoLike(w, h);
  const FrameStyle style = EveryEffect();
  for (auto _ : state) {
    QImage out = NewImage(w, h);
    RenderComposite(photo, out, style, ShippedTextures(), tone);
    benchmark::DoNotOptimize(out.constBits());
  }
}

void BM_RenderPreview(benchmark::State& state) { RenderAt(state, 313, 235); }
void BM_RenderFullSize(benchmark::State& state) { RenderAt(state, 6000, 4000); }
void BM_RenderFullSizeWithTone(benchmark::State& state) {
  RenderAt(state, 6000, 4000, BuildToneMatrix(1.2f, 0.1f, 0.8f));
}

BENCHMARK(BM_RenderPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFullSize)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RenderFullSizeWithTone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
