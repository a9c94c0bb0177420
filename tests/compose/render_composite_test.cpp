// The renderer: layout table, effect steps on the canvas, and the final composition.
#include <QtTest>

#include "compose/colour_matrix.h"
#include "compose/frame_effects.h"
#include "compose/render_composite.h"
#include "support/test_support.h"

using testing_support::ShippedTextures;

namespace {

constexpr std::int32_t kRed = 0x0000FF;  // colour words are 0x00BBGGRR
constexpr std::int32_t kGreen = 0x00FF00;
constexpr std::int32_t kBlue = 0xFF0000;
constexpr std::int32_t kWhite = 0xFFFFFF;

QImage Solid(int w, int h, QRgb argb) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor::fromRgba(argb));
  return image;
}

// Canvas pixel as unpremultiplied ARGB.
QRgb At(const QImage& image, int x, int y) { return qUnpremultiply(image.pixel(x, y)); }

// A style with only the listed layers: callers switch on what they test.
FrameStyle Base() {
  FrameStyle s;
  s.blend_opacity = 255;
  s.back_color = kWhite;
  return s;
}

// One-colour tiles, so texture fills can be checked by value.
TextureList FlatTiles() {
  QList<QImage> tiles;
  for (int i = 0; i < TextureList::kCount; ++i) tiles << Solid(32, 32, qRgb(i, 100, 200));
  return TextureList(tiles);
}

}  // namespace

class RenderCompositeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Layout_data() {
    QTest::addColumn<bool>("include");
    QTest::addColumn<bool>("band_on");
    QTest::addColumn<bool>("back_on");
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<QRect>("photo_rect");
    QTest::addColumn<QRect>("framed");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("diamond");
    // Photo 300 x 200, FrameSize 10, BackSize 20.
    QTest::newRow("band over the photo's edge, no background")
        << true << true << false << QSize(300, 200) << QRect(0, 0, 300, 200) << QRect(0, 0, 300, 200)
        << QRect(10, 10, 280, 180) << 0 << 10;
    QTest::newRow("band around the photo, no background")
        << false << true << false << QSize(320, 220) << QRect(10, 10, 300, 200) << QRect(0, 0, 320, 220)
        << QRect(10, 10, 300, 200) << 10 << 0;
    QTest::newRow("band around, with background")
        << false << true << true << QSize(360, 260) << QRect(30, 30, 300, 200) << QRect(20, 20, 320, 220)
        << QRect(30, 30, 300, 200) << 30 << 20;
    QTest::newRow("band over, with background")
        << true << true << true << QSize(340, 240) << QRect(20, 20, 300, 200) << QRect(20, 20, 300, 200)
        << QRect(30, 30, 280, 180) << 20 << 30;
    QTest::newRow("background off ignores BackSize, band off ignores FrameSize")
        << false << false << false << QSize(300, 200) << QRect(0, 0, 300, 200) << QRect(0, 0, 300, 200)
        << QRect(0, 0, 300, 200) << 0 << 0;
  }
  void Layout() {
    QFETCH(bool, include);
    QFETCH(bool, band_on);
    QFETCH(bool, back_on);
    FrameStyle s = Base();
    s.frame_include = include;
    s.frame_draw = band_on;
    s.back_draw = back_on;
    s.frame_size = 10;
    s.back_size = 20;
    const FrameLayout l = ComputeFrameLayout(QSize(300, 200), EffectiveStyle(s));
    QTEST(l.canvas, "canvas");
    QTEST(l.photo_rect, "photo_rect");
    QTEST(l.framed_rect, "framed");
    QTEST(l.window_rect, "window");
    QTEST(l.photo_margin, "margin");
    QTEST(l.diamond_inset, "diamond");
  }

  void AlphaScale() {
    QCOMPARE(AlphaScaleFactor(255), 1.0f);
    QCOMPARE(AlphaScaleFactor(127), 0.49f);
    QCOMPARE(AlphaScaleFactor(0), 0.0f);
    ToneMatrix m;
    SetAlphaScale(127, m);
    QCOMPARE(m.At(3, 3), 0.49f);
    m.At(3, 3) = 1.0f;
    QVERIFY(m.IsIdentity());
  }

  void OverlayReplacesTheBandExactly() {
    FrameStyle s = Base();
    s.frame_draw = 1;
    s.frame_include = 1;
    s.frame_size = 10;
    s.frame_opacity = 255;
    s.frame_color = kGreen;
    s.color_draw = 1;
    s.color_opacity = 127;
    s.color_color = kRed;
    const FrameLayout l = ComputeFrameLayout(QSize(100, 80), EffectiveStyle(s));
    const QImage canvas = RenderEffectsCanvas(l, EffectiveStyle(s), ShippedTextures());
    QCOMPARE(canvas.pixel(50, 40),
             qRgba(127, 0, 0, 127));  // premultiplied red at alpha 127: replaced, not blended
    QCOMPARE(At(canvas, 5, 5), qRgba(0, 255, 0, 255));  // the band
  }

  void StrokeLiesInsideTheFramedRectangle() {
    FrameStyle s = Base();
    s.back_draw = 1;
    s.back_size = 10;
    s.back_opacity = 255;
    s.back_color = kWhite;
    s.frame_include = 1;
    s.stroke_draw = 1;
    s.stroke_size = 4;
    s.stroke_opacity = 255;
    s.stroke_color = kBlue;
    const FrameLayout l = ComputeFrameLayout(QSize(100, 80), EffectiveStyle(s));
    QCOMPARE(l.framed_rect, QRect(10, 10, 100, 80));
    const QImage canvas = RenderEffectsCanvas(l, EffectiveStyle(s), ShippedTextures());
    QCOMPARE(At(canvas, 9, 50), qRgba(255, 255, 255, 255));  // background
    for (int x = 10; x < 14; ++x) QCOMPARE(At(canvas, x, 50), qRgba(0, 0, 255, 255));
    QCOMPARE(canvas.pixel(14, 50), 0u);  // the window fill cleared the inside, the stroke came after it
    QCOMPARE(At(canvas, 109, 50), qRgba(0, 0, 255, 255));
    QCOMPARE(At(canvas, 110, 50), qRgba(255, 255, 255, 255));
    QCOMPARE(At(canvas, 60, 10), qRgba(0, 0, 255, 255));
    QCOMPARE(canvas.pixel(60, 14), 0u);
  }

  void ShadowGeometryAndPlacement() {
    FrameStyle s = Base();
    s.back_draw = 1;
    s.back_size = 20;
    s.back_opacity = 255;
    s.back_color = kWhite;
    s.shadow_draw = 1;
    s.shadow_size = 5;
    s.shadow_opacity = 255;
    s.shadow_color = 0;  // black
    const FrameStyle e = EffectiveStyle(s);
    const FrameLayout l = ComputeFrameLayout(QSize(200, 100), e);
    const ShadowGeometry g = ComputeShadowGeometry(l, e);
    QCOMPARE(QSize(g.width, g.height), QSize(210, 110));  // the framed rectangle grown by 5 each way
    QCOMPARE(g.corner, 25);
    QCOMPARE(QPoint(g.left, g.top), QPoint(25, 25));
    QCOMPARE(g.blend_positions[0], 0.0f);
    QCOMPARE(g.blend_positions[1], 0.10f);
    QCOMPARE(g.blend_positions[2], 0.95f);
    QCOMPARE(g.blend_positions[3], 1.0f);

    const QImage canvas = RenderEffectsCanvas(l, e, ShippedTextures());
    // Right of the photo, inside the shadow's reach: darker than the white margin.
    QVERIFY(qRed(At(canvas, 225, 80)) < 200);
    // Past the shadow bitmap (25 + 210 = 235) only the margin remains.
    QCOMPARE(At(canvas, 236, 80), qRgba(255, 255, 255, 255));
    // Above and left of the shadow's top-left corner nothing is shadowed.
    QCOMPARE(At(canvas, 10, 10), qRgba(255, 255, 255, 255));
    // The fade: the outline is transparent, the colour grows towards the inside.
    QVERIFY(qRed(At(canvas, 234, 80)) > qRed(At(canvas, 226, 80)));
  }

  void TextureOpacity() {
    FrameStyle s = Base();
    s.frame_draw = 1;
    s.frame_include = 0;
    s.frame_size = 8;
    s.frame_color_text = 1;
    s.frame_text = 3;
    s.frame_text_size = 16;
    s.frame_opacity = 127;
    s.back_draw = 1;
    s.back_size = 6;
    s.back_color_text = 1;
    s.back_text = 7;
    s.back_text_size = 20;
    s.back_opacity = 1;  // not used by a texture margin
    const FrameStyle e = EffectiveStyle(s);
    const QImage canvas = RenderEffectsCanvas(ComputeFrameLayout(QSize(50, 40), e), e, FlatTiles());
    QCOMPARE(At(canvas, 2, 2), qRgba(7, 100, 200, 255));  // margin fully visible
    const QRgb band = At(canvas, 8, 30);
    QVERIFY2(std::abs(qAlpha(band) - 125) <= 1, qPrintable(QString::number(qAlpha(band))));  // 255 x 0.49
    QVERIFY(std::abs(qRed(band) - 3) <= 1 && std::abs(qGreen(band) - 100) <= 1);
  }

  void WindowShapes_data() {
    QTest::addColumn<int>("sharp");
    QTest::addColumn<bool>("include");
    QTest::addColumn<bool>("band_on");
    QTest::addColumn<bool>("corner_covered");  // is the window rectangle's corner covered?
    QTest::newRow("oval over the band") << 1 << true << true << true;
    QTest::newRow("oval without band is a full rectangle") << 1 << true << false << false;
    QTest::newRow("oval cut in the background") << 1 << false << false << true;
    QTest::newRow("rectangle") << 0 << true << true << false;
    QTest::newRow("diamond") << 2 << true << true << true;
    QTest::newRow("unknown shape cuts nothing") << 7 << true << true << true;
  }
  void WindowShapes() {
    QFETCH(int, sharp);
    QFETCH(bool, include);
    QFETCH(bool, band_on);
    QFETCH(bool, corner_covered);
    FrameStyle s = Base();
    s.frame_sharp = sharp;
    s.frame_include = include;
    s.frame_draw = band_on;
    s.frame_size = 10;
    s.frame_opacity = 255;
    s.frame_color = kGreen;
    s.back_draw = 1;
    s.back_size = 10;
    s.back_opacity = 255;
    s.back_color = kBlue;
    const FrameStyle e = EffectiveStyle(s);
    const FrameLayout l = ComputeFrameLayout(QSize(120, 100), e);
    const QImage canvas = RenderEffectsCanvas(l, e, ShippedTextures());
    const QRect win = (include && !band_on) ? l.photo_rect : l.window_rect;
    QCOMPARE(qAlpha(canvas.pixel(l.canvas.width() / 2, l.canvas.height() / 2)), sharp <= 2 ? 0 : 255);
    QCOMPARE(qAlpha(canvas.pixel(win.left() + 1, win.top() + 1)) == 255, corner_covered);
  }

  void DiamondCorners() {
    FrameStyle s = Base();
    s.frame_sharp = 2;
    s.line_draw = 1;
    s.line_size = 2;
    s.line_opacity = 255;
    s.line_color = kRed;
    s.back_draw = 1;
    s.back_size = 10;
    s.back_opacity = 255;
    const FrameStyle e = EffectiveStyle(s);
    const FrameLayout l = ComputeFrameLayout(QSize(101, 61), e);  // canvas 121 x 81, inset N = 10
    QCOMPARE(l.diamond_inset, 10);
    const QImage canvas = RenderEffectsCanvas(l, e, ShippedTextures());
    // The outline passes through (60, 10), (111, 40), (60, 71), (10, 40).
    QCOMPARE(qRed(At(canvas, 60, 10)), 255);
    QCOMPARE(qGreen(At(canvas, 60, 10)), 0);
    QCOMPARE(qGreen(At(canvas, 10, 40)), 0);
    QCOMPARE(qAlpha(canvas.pixel(60, 40)), 0);              // inside: cleared
    QCOMPARE(At(canvas, 3, 3), qRgba(255, 255, 255, 255));  // outside: background
  }

  void SourceIsDestination() {
    // The style thumbnails pass one blank bitmap as both: the result is the back colour under the effects.
    FrameStyle s = Base();
    s.back_color = kBlue;
    s.frame_draw = 1;
    s.frame_include = 1;
    s.frame_size = 5;
    s.frame_opacity = 255;
    s.frame_color = kRed;
    QImage image = Solid(70, 70, 0);
    RenderComposite(image, image, s, ShippedTextures());
    QCOMPARE(image.pixel(35, 35), qRgb(0, 0, 255));
    QCOMPARE(image.pixel(2, 35), qRgb(255, 0, 0));
  }

  void AllSwitchesOffShowsThePhotoOverBackColour() {
    FrameStyle s;  // blend 0, every layer off
    s.back_color = kGreen;
    QImage photo = Solid(40, 30, qRgb(200, 10, 10));
    for (int x = 0; x < 10; ++x) photo.setPixel(x, 0, 0);  // a transparent corner strip
    QImage out = Solid(40, 30, 0);
    RenderComposite(photo, out, s, ShippedTextures());
    QCOMPARE(out.pixel(20, 15), qRgb(200, 10, 10));
    QCOMPARE(out.pixel(3, 0), qRgb(0, 255, 0));
  }

  void BlendOpacityZeroShrinksThePhotoIntoTheMargin() {
    FrameStyle s;
    s.back_draw = 1;
    s.back_size = 10;
    s.back_color = kBlue;
    const QImage photo = Solid(100, 80, qRgb(250, 250, 0));
    QImage out = Solid(100, 80, 0);
    RenderComposite(photo, out, s, ShippedTextures());
    // Photo shrunk by 100/120 across and 80/100 down into (8.33, 8, 83.3, 64).
    QCOMPARE(out.pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(out.pixel(7, 40), qRgb(0, 0, 255));
    QCOMPARE(out.pixel(50, 40), qRgb(250, 250, 0));
    QCOMPARE(out.pixel(50, 73), qRgb(0, 0, 255));
  }

  void BlendOpacityFadesTheEffectsLayer() {
    FrameStyle s = Base();
    s.blend_opacity = 127;  // 0.49
    s.frame_draw = 1;
    s.frame_include = 1;
    s.frame_size = 10;
    s.frame_opacity = 255;
    s.frame_color = 0;  // black band over a white photo
    const QImage photo = Solid(60, 60, qRgb(255, 255, 255));
    QImage out = Solid(60, 60, 0);
    RenderComposite(photo, out, s, ShippedTextures());
    QVERIFY(std::abs(qRed(out.pixel(3, 30)) - 130) <= 1);  // 255 x (1 - 0.49)
    QCOMPARE(out.pixel(30, 30), qRgb(255, 255, 255));
  }

  void ToneMatrixActsOnThePhotoOnly() {
    FrameStyle s = Base();
    s.frame_draw = 1;
    s.frame_include = 1;
    s.frame_size = 4;
    s.frame_opacity = 255;
    s.frame_color = kGreen;
    ToneMatrix swap;  // red and blue exchanged
    swap.At(0, 0) = swap.At(2, 2) = 0;
    swap.At(0, 2) = swap.At(2, 0) = 1;
    QImage out = Solid(30, 30, 0);
    RenderComposite(Solid(30, 30, qRgb(255, 0, 0)), out, s, ShippedTextures(), swap);
    QCOMPARE(out.pixel(15, 15), qRgb(0, 0, 255));
    QCOMPARE(out.pixel(1, 15), qRgb(0, 255, 0));
  }

  void DrawImageRectSourceReachingOutside() {
    QImage target = Solid(20, 20, qRgb(0, 0, 0));
    const QImage red = Solid(10, 10, qRgb(255, 0, 0));
    // 1:1 mapping of the rectangle (-5, -5, 20, 20): the image lands at (5, 5) and nothing else changes.
    DrawImageRect(target, QRectF(0, 0, 20, 20), red, QRectF(-5, -5, 20, 20));
    QCOMPARE(target.pixel(4, 10), qRgb(0, 0, 0));
    QCOMPARE(target.pixel(5, 10), qRgb(255, 0, 0));
    QCOMPARE(target.pixel(14, 14), qRgb(255, 0, 0));
    QCOMPARE(target.pixel(15, 14), qRgb(0, 0, 0));
  }

  void DrawImageRectIdentityIsExact() {
    QImage source(17, 9, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 17; ++x)
        source.setPixel(x, y, qPremultiply(qRgba(x * 15, y * 28, 99, 255 - x * 7)));
    QImage target = Solid(17, 9, 0);
    DrawImageRect(target, QRectF(0, 0, 17, 9), source, QRectF(0, 0, 17, 9));
    QCOMPARE(testing_support::MaxChannelDifference(target, source), 0);
  }

  void DrawImageRectFractionalEdgeGetsItsShare() {
    QImage target = Solid(4, 1, qRgb(0, 0, 0));
    DrawImageRect(target, QRectF(0.5, 0, 2, 1), Solid(2, 1, qRgb(255, 255, 255)), QRectF(0, 0, 2, 1));
    QVERIFY(std::abs(qRed(target.pixel(0, 0)) - 128) <= 1);  // half covered
    QCOMPARE(qRed(target.pixel(1, 0)), 255);
    QCOMPARE(qRed(target.pixel(3, 0)), 0);
  }
};

QTEST_MAIN(RenderCompositeTest)
#include "render_composite_test.moc"
