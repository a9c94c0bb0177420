// The fast paths of the composite against plain references: the sampler against the bilinear
// formula, the sparse effects canvas against the whole one, the row-wise composite against the
// composite drawn pass by pass.
#include <QtTest>
#include <cmath>
#include <random>

#include "compose/colour_matrix.h"
#include "compose/frame_effects.h"
#include "compose/render_composite.h"
#include "imaging/image_buffer.h"
#include "support/sample_styles.h"
#include "support/test_support.h"

Q_DECLARE_METATYPE(ToneMatrix)

using testing_support::FirstDifference;
using testing_support::ShippedTextures;

namespace {

// A photo with detail everywhere, so a misplaced sample shows.
QImage NoisyPhoto(int w, int h, QImage::Format format, unsigned seed) {
  QImage image(w, h, format);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int a = format == QImage::Format_RGB32 ? 255 : static_cast<int>(random() % 256);
      line[x] = qPremultiply(qRgba((x * 7 + y) & 255, random() % 256, (y * 5) & 255, a));
    }
  }
  return image;
}

// Every layer on, heavy enough that the stroke, the line and the shadow reach well inside.
FrameStyle EveryLayer(int sharp, bool include, bool band, bool overlay, int tile = 5, int tile_size = 24) {
  FrameStyle s = testing_support::EveryEffectStyle();
  s.color_draw = overlay;
  s.line_opacity = 200;
  s.line_size = 7;
  s.frame_include = include;
  s.frame_sharp = sharp;
  s.frame_text = tile;
  s.frame_text_size = tile_size;
  s.frame_draw = band;
  s.frame_opacity = 200;
  s.stroke_size = 45;
  return s;
}

// The composite as the renderer describes it, pass by pass over the whole destination: back
// colour, photo shrunk into the margin, the whole effects canvas through the blend opacity.
QImage ReferenceComposite(const QImage& photo, const FrameStyle& style, const ToneMatrix& tone) {
  const FrameStyle s = EffectiveStyle(style);
  const FrameLayout l = ComputeFrameLayout(photo.size(), s);
  const int w = photo.width(), h = photo.height(), m = l.photo_margin;
  QImage out(photo.size(), QImage::Format_ARGB32_Premultiplied);
  out.fill(QColor::fromRgba(StyleArgb(255, s.back_color)));
  DrawImageRect(out, QRectF(0, 0, w, h), photo, QRectF(-m, -m, w + 2.0 * m, h + 2.0 * m), tone);
  const QImage canvas = RenderEffectsCanvas(l, s, ShippedTextures());
  ToneMatrix blend;
  SetAlphaScale(s.blend_opacity, blend);
  DrawImageRect(out, QRectF(0, 0, w, h), canvas, QRectF(0, 0, canvas.width(), canvas.height()), blend);
  return out;
}

void AddStyleRows() {
  QTest::addColumn<int>("sharp");
  QTest::addColumn<bool>("include");
  QTest::addColumn<bool>("band");
  QTest::addColumn<bool>("overlay");
  QTest::addColumn<int>("tile");
  QTest::addColumn<int>("tile_size");
  const char* shapes[] = {"rectangle", "oval", "diamond", "no shape"};
  const int sharps[] = {0, 1, 2, 7};
  for (int k = 0; k < 4; ++k)
    for (const bool include : {true, false})
      for (const bool band : {true, false})
        for (const bool overlay : {true, false})
          QTest::addRow("%s, band %s, %s, overlay %s", shapes[k], include ? "over" : "around",
                        band ? "on" : "off", overlay ? "on" : "off")
              << sharps[k] << include << band << overlay << 5 << 24;
  // A band that draws nothing leaves the background and shadow beneath it in view.
  QTest::newRow("oval, band tile missing") << 1 << false << true << true << 200 << 24;
  QTest::newRow("rectangle, band tile of size 0") << 0 << true << true << false << 5 << 0;
}

}  // namespace

class CompositeRowsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The sampler's unchecked inner run and its checked edges against the bilinear formula itself,
  // in floating point: weights rounded to 1/256 and two truncating blends put it up to two steps
  // off; a misplaced sample of the noise would be off by far more.
  void SamplerMatchesTheBilinearFormula_data() {
    QTest::addColumn<QRectF>("dest");
    QTest::addColumn<QRectF>("src");
    QTest::newRow("shrunk into a margin") << QRectF(0, 0, 61, 47) << QRectF(-6, -6, 73, 59);
    QTest::newRow("enlarged") << QRectF(0, 0, 61, 47) << QRectF(3, 2, 30, 20);
    QTest::newRow("one to one, shifted") << QRectF(0, 0, 61, 47) << QRectF(-3, 4, 61, 47);
  }
  void SamplerMatchesTheBilinearFormula() {
    QFETCH(QRectF, dest);
    QFETCH(QRectF, src);
    const QImage source = NoisyPhoto(61, 47, QImage::Format_RGB32, 1);
    QImage drawn(61, 47, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(0);
    DrawImageRect(drawn, dest, source, src);
    const double rx = src.width() / dest.width(), ry = src.height() / dest.height();
    // Source pixels outside the image are transparent; at the source rectangle's own edge the edge
    // pixel repeats.
    const auto fetch = [&](int x, int y, int channel) -> double {
      x = std::clamp(x, static_cast<int>(std::floor(src.left())),
                     static_cast<int>(std::ceil(src.right())) - 1);
      y = std::clamp(y, static_cast<int>(std::floor(src.top())),
                     static_cast<int>(std::ceil(src.bottom())) - 1);
      if (x < 0 || y < 0 || x >= source.width() || y >= source.height()) return 0.0;
      const QRgb p = source.pixel(x, y) | 0xFF000000u;
      return channel == 3 ? qAlpha(p) : channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p);
    };
    int worst = 0;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) {
        const double cx = src.left() + (x + 0.5) * rx - 0.5, cy = src.top() + (y + 0.5) * ry - 0.5;
        const int x0 = static_cast<int>(std::floor(cx)), y0 = static_cast<int>(std::floor(cy));
        const double fx = cx - x0, fy = cy - y0;
        const QRgb got = drawn.pixel(x, y);
        const int channels[4] = {qRed(got), qGreen(got), qBlue(got), qAlpha(got)};
        for (int c = 0; c < 4; ++c) {
          const double top = fetch(x0, y0, c) * (1 - fx) + fetch(x0 + 1, y0, c) * fx;
          const double bottom = fetch(x0, y0 + 1, c) * (1 - fx) + fetch(x0 + 1, y0 + 1, c) * fx;
          worst = std::max(
              worst, static_cast<int>(std::lround(std::abs(top * (1 - fy) + bottom * fy - channels[c]))));
        }
      }
    QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
  }

  // Drawing a row in pieces gives the row drawn whole: the inner run starts and stops anywhere.
  // Pieces of three pixels take the one-pixel forms throughout, the whole row takes four pixels at
  // a time, so each matrix kind checks the two against each other to the bit, over a target of
  // every alpha.
  void SamplerRowsInPieces_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<ToneMatrix>("matrix");
    ToneMatrix half_alpha;
    SetAlphaScale(128, half_alpha);
    ToneMatrix tone;  // contrast 1.2, brightness -0.1, saturation 0.8: opaque stays opaque
    const float w[3] = {0.3086f, 0.6094f, 0.0820f};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) tone.At(i, j) = 1.2f * (w[i] * 0.2f + (i == j ? 0.8f : 0.0f));
      tone.At(4, i) = -0.1f;
    }
    ToneMatrix swap;  // channels swapped, a translation, alpha halved: nothing stays opaque
    swap.m.fill(0);
    swap.At(2, 0) = swap.At(0, 2) = swap.At(4, 4) = 1;
    swap.At(1, 1) = 0.5f;
    swap.At(4, 1) = 0.25f;
    swap.At(3, 3) = 0.5f;
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
      const char* name = format == QImage::Format_RGB32 ? "opaque" : "alpha";
      QTest::addRow("%s, identity", name) << int(format) << ToneMatrix::Identity();
      QTest::addRow("%s, alpha scale", name) << int(format) << half_alpha;
      QTest::addRow("%s, tone", name) << int(format) << tone;
      QTest::addRow("%s, swap and half alpha", name) << int(format) << swap;
    }
  }
  void SamplerRowsInPieces() {
    QFETCH(int, format);
    QFETCH(ToneMatrix, matrix);
    const QImage source = NoisyPhoto(80, 30, static_cast<QImage::Format>(format), 2);
    const ImageRectSampler sampler(QSize(70, 30), QRectF(0.5, 0, 69, 30), source, QRectF(-4, -4, 88, 38),
                                   matrix);
    QImage whole = NoisyPhoto(70, 30, QImage::Format_ARGB32_Premultiplied, 9);
    QImage pieces = whole;
    for (int y = sampler.RowBegin(); y < sampler.RowEnd(); ++y) {
      sampler.BlendRow(y, reinterpret_cast<std::uint32_t*>(whole.scanLine(y)), 0, 70);
      for (int x = 0; x < 70; x += 3)
        sampler.BlendRow(y, reinterpret_cast<std::uint32_t*>(pieces.scanLine(y)), x, x + 3);
    }
    QCOMPARE(FirstDifference(pieces, whole), QString());
  }

  // The rows a band of the composite reads from the photo, so a band can be drawn while the rows
  // below are still being decoded: rows past the count never change the band.
  void SourceRowsForABand_data() {
    QTest::addColumn<QRectF>("src");
    QTest::newRow("shrunk into a margin") << QRectF(-6, -6, 73, 59);
    QTest::newRow("enlarged") << QRectF(3, 2, 30, 20);
    QTest::newRow("one to one, shifted") << QRectF(-3, 4, 61, 47);
  }
  void SourceRowsForABand() {
    QFETCH(QRectF, src);
    const QImage source = NoisyPhoto(61, 47, QImage::Format_RGB32, 11);
    const ImageRectSampler sampler(QSize(61, 47), QRectF(0, 0, 61, 47), source, src);
    const auto draw = [&](const QImage& from, int row_end) {
      const ImageRectSampler s(QSize(61, 47), QRectF(0, 0, 61, 47), from, src);
      QImage out(61, 47, QImage::Format_ARGB32_Premultiplied);
      out.fill(0);
      for (int y = s.RowBegin(); y < row_end; ++y)
        s.BlendRow(y, reinterpret_cast<std::uint32_t*>(out.scanLine(y)), 0, 61);
      return out;
    };
    for (int row_end = 1; row_end <= 47; row_end += 3) {
      const int rows = sampler.SourceRowsFor(row_end);
      QVERIFY(rows >= 0 && rows <= source.height());
      const QImage band = draw(source, row_end);
      QImage below = source;  // rows past the count made different
      for (int y = rows; y < below.height(); ++y)
        for (int x = 0; x < below.width(); ++x) below.setPixel(x, y, qRgb(255 - x, 7, y));
      QCOMPARE(FirstDifference(draw(below, row_end), band), QString());
    }
    QCOMPARE(sampler.SourceRowsFor(0), 0);
  }

  // The flat area is where the whole canvas is one colour, and the sparse canvas with its blank
  // filled in is the whole canvas, pixel for pixel.
  void SparseCanvasIsTheWholeCanvas_data() { AddStyleRows(); }
  void SparseCanvasIsTheWholeCanvas() {
    QFETCH(int, sharp);
    QFETCH(bool, include);
    QFETCH(bool, band);
    QFETCH(bool, overlay);
    QFETCH(int, tile);
    QFETCH(int, tile_size);
    const FrameStyle s = EffectiveStyle(EveryLayer(sharp, include, band, overlay, tile, tile_size));
    const FrameLayout l = ComputeFrameLayout(QSize(420, 300), s);
    const QImage whole = RenderEffectsCanvas(l, s, ShippedTextures());
    SparseEffectsCanvas sparse = RenderSparseEffectsCanvas(l, s, ShippedTextures());
    int flat_pixels = 0;
    for (int y = 0; y < l.canvas.height(); ++y) {
      const RowSpan f = sparse.flat[static_cast<std::size_t>(y)];
      for (int x = std::max(0, f.begin); x < std::min(f.end, l.canvas.width()); ++x, ++flat_pixels)
        QCOMPARE(whole.pixel(x, y), sparse.flat_colour);
    }
    // The shapes that cut a window leave most of it flat; an unknown shape cuts none, unless the
    // band is off over the photo, when the window is the photo's rectangle whatever the shape.
    QCOMPARE(flat_pixels > 420 * 300 / 4, sharp <= 2 || (include && !band));
    FillUnpainted(sparse);
    QCOMPARE(FirstDifference(sparse.image, whole), QString());
  }

  // The composite drawn row by row, with its flat fast path, equals the pass-by-pass composite
  // exactly: same arithmetic, same order, only skipped work.
  void RowsEqualTheReference_data() { AddStyleRows(); }
  void RowsEqualTheReference() {
    QFETCH(int, sharp);
    QFETCH(bool, include);
    QFETCH(bool, band);
    QFETCH(bool, overlay);
    QFETCH(int, tile);
    QFETCH(int, tile_size);
    const FrameStyle style = EveryLayer(sharp, include, band, overlay, tile, tile_size);
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
      const QImage photo = NoisyPhoto(421, 299, format, 3);
      QImage out = NewImage(421, 299);
      RenderComposite(photo, out, style, ShippedTextures());
      QCOMPARE(FirstDifference(out, ReferenceComposite(photo, style, ToneMatrix::Identity())), QString());
    }
  }

  // The same with the tone matrix's general path and with a prebuilt canvas handed in.
  void PrebuiltCanvasAndToneMatrix() {
    const FrameStyle style = EveryLayer(1, false, true, true);
    ToneMatrix tone;
    tone.At(0, 0) = 1.2f;
    tone.At(4, 2) = 0.1f;
    const QImage photo = NoisyPhoto(300, 200, QImage::Format_RGB32, 4);
    const CompositeRows rows(photo, photo.size(), style, tone,
                             PrepareEffectsCanvas(photo.size(), style, ShippedTextures()), ShippedTextures());
    QImage out(photo.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y)
      rows.DrawRow(y, reinterpret_cast<std::uint32_t*>(out.scanLine(y)), out.width());
    QCOMPARE(FirstDifference(out, ReferenceComposite(photo, style, tone)), QString());
  }

  // The decoder's buffer is faulted in on another thread while the decoder writes it: every pixel
  // the writer put there stays (the pages are populated, never written).
  void FaultInAheadLeavesThePixelsToTheWriter() {
    QImage image = NewImage(2048, 2048, QImage::Format_RGB32);  // 16 MB, large enough to be faulted in
    QVERIFY(!image.isNull());
    {
      const FaultInAhead ahead(image);
      for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
          line[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 2048 + y);
      }
    }
    for (int y = 0; y < image.height(); y += 97)
      for (int x = 0; x < image.width(); x += 89)
        QCOMPARE(image.pixel(x, y), 0xFF000000u | static_cast<std::uint32_t>(x * 2048 + y));
  }

  // A canvas made for another size is not used: the rows remake it.
  void MismatchedCanvasIsRemade() {
    const FrameStyle style = EveryLayer(2, true, true, true);
    const QImage photo = NoisyPhoto(200, 150, QImage::Format_RGB32, 5);
    const CompositeRows rows(photo, photo.size(), style, ToneMatrix::Identity(),
                             PrepareEffectsCanvas(QSize(150, 200), style, ShippedTextures()),
                             ShippedTextures());
    QImage out(photo.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y)
      rows.DrawRow(y, reinterpret_cast<std::uint32_t*>(out.scanLine(y)), out.width());
    QCOMPARE(FirstDifference(out, ReferenceComposite(photo, style, ToneMatrix::Identity())), QString());
  }
};

QTEST_MAIN(CompositeRowsTest)
#include "composite_rows_test.moc"
