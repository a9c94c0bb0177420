// The composite renderer: effects canvas laid through the blend opacity over the shrunk photo.
#include "compose/render_composite.h"

#include <algorithm>

#include "base/parallel_rows.h"

namespace {

// The first index in [begin, end) for which pred holds, pred holding from some index to the end.
template <typename Pred>
int FirstPassing(int begin, int end, Pred pred) {
  while (begin < end) {
    const int mid = begin + (end - begin) / 2;
    if (pred(mid)) {
      end = mid;
    } else {
      begin = mid + 1;
    }
  }
  return begin;
}

}  // namespace

void RenderComposite(const QImage& source, QImage& destination, const FrameStyle& style,
                     const TextureList& textures, const ToneMatrix& tone) {
  if (source.isNull() || destination.isNull()) return;
  // When source and destination are one bitmap, the back colour has replaced the photo before it
  // would be drawn, and drawing that onto itself changes nothing: no photo is drawn. Not holding a
  // second reference to it also keeps the write below from copying the bitmap.
  const bool same_bitmap = source.constBits() == destination.constBits();
  if (destination.format() != QImage::Format_ARGB32_Premultiplied)
    destination = destination.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QSize photo_size = source.size();
  const CompositeRows rows(same_bitmap ? QImage() : source, photo_size, style, tone,
                           PrepareEffectsCanvas(photo_size, style, textures), textures);
  rows.DrawInto(destination);
}

SparseEffectsCanvas PrepareEffectsCanvas(QSize photo_size, const FrameStyle& style,
                                         const TextureList& textures) {
  const FrameStyle s = EffectiveStyle(style);
  CheckFrameLimits(photo_size, s);
  return RenderSparseEffectsCanvas(ComputeFrameLayout(photo_size, s), s, textures);
}

CompositeRows::CompositeRows(const QImage& source, QSize photo_size, const FrameStyle& style,
                             const ToneMatrix& tone, SparseEffectsCanvas canvas, const TextureList& textures)
    : size_(photo_size), canvas_(std::move(canvas)) {
  const FrameStyle s = EffectiveStyle(style);
  CheckFrameLimits(photo_size, s);
  const FrameLayout layout = ComputeFrameLayout(photo_size, s);
  canvas_size_ = layout.canvas;
  if (canvas_.image.size() != layout.canvas) canvas_ = RenderSparseEffectsCanvas(layout, s, textures);
  back_ = StyleArgb(255, s.back_color);  // opaque: premultiplied as it stands
  const int w = photo_size.width(), h = photo_size.height(), m = layout.photo_margin;
  // The photo shrinks into the margin: the source rectangle reaches m pixels past every edge and
  // the outside contributes nothing.
  if (!source.isNull())
    photo_ = std::make_unique<ImageRectSampler>(photo_size, QRectF(0, 0, w, h), source,
                                                QRectF(-m, -m, w + 2.0 * m, h + 2.0 * m), tone, h);
  ToneMatrix blend;
  SetAlphaScale(s.blend_opacity, blend);
  if (!canvas_.image.isNull()) {
    effects_ = std::make_unique<ImageRectSampler>(photo_size, QRectF(0, 0, w, h), canvas_.image,
                                                  QRectF(0, 0, canvas_.image.width(), canvas_.image.height()),
                                                  blend);
    flat_pixel_ = effects_->FlatPixel(canvas_.flat_colour);
  }
}

void CompositeRows::DrawRow(int y, std::uint32_t* line, int fill_end) const {
  std::fill(line, line + fill_end, back_);
  if (y >= size_.height()) return;
  const int w = size_.width();
  if (photo_) photo_->BlendRow(y, line, 0, w);
  if (!effects_ || effects_->Empty() || y < effects_->RowBegin() || y >= effects_->RowEnd()) return;
  // Where all four canvas samples lie in the flat area the canvas is one colour: lay it over
  // without sampling. Elsewhere the sampler reads painted pixels only (see SparseEffectsCanvas).
  const ImageRectSampler::Taps ty = effects_->RowTaps(y);
  const auto flat_row = [this](int r) {
    return r >= 0 && r < static_cast<int>(canvas_.flat.size()) ? canvas_.flat[static_cast<std::size_t>(r)]
                                                               : RowSpan{};
  };
  const RowSpan f0 = flat_row(ty.first), f1 = flat_row(ty.second);
  const int lo = std::max(f0.begin, f1.begin), hi = std::min(f0.end, f1.end);
  const int x_begin = effects_->ColumnBegin(), x_end = effects_->ColumnEnd();
  int a = x_end, b = x_end;
  if (ty.full && lo < hi) {
    a = FirstPassing(x_begin, x_end, [&](int x) { return effects_->ColumnTaps(x).first >= lo; });
    b = FirstPassing(a, x_end, [&](int x) { return effects_->ColumnTaps(x).second >= hi; });
    while (a < b && !effects_->ColumnTaps(a).full) ++a;
    while (a < b && !effects_->ColumnTaps(b - 1).full) --b;
  }
  if (a >= b) {
    effects_->BlendRow(y, line, x_begin, x_end);
    return;
  }
  effects_->BlendRow(y, line, x_begin, a);
  BlendPixelOverRow(line, a, b, flat_pixel_);
  effects_->BlendRow(y, line, b, x_end);
}

void CompositeRows::DrawInto(QImage& destination) const {
  if (destination.isNull()) return;
  Q_ASSERT(destination.format() == QImage::Format_ARGB32_Premultiplied);
  // The back colour fills (0, 0, Wc, Hc) of the destination, which may be larger than the photo;
  // every row and column of the photo's W x H is drawn even when the canvas is smaller.
  const int fill_rows = std::min(std::max(CanvasSize().height(), size_.height()), destination.height());
  const int fill_end = std::min(std::max(CanvasSize().width(), size_.width()), destination.width());
  uchar* const bits = destination.bits();  // detaches here, never inside the threads
  const qsizetype stride = destination.bytesPerLine();
  ParallelRows(fill_rows, fill_end, [&](int first, int end) {
    for (int y = first; y < end; ++y)
      DrawRow(y, reinterpret_cast<std::uint32_t*>(bits + y * stride), fill_end);
  });
}
