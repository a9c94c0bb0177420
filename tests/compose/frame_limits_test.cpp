// The renderer at the ends of every value's range: canvases smaller than the photo, values at the
// integer limits, ceilings on canvas and tile, zero-width pens and opacities past 255.
#include <QPainter>
#include <QtTest>
#include <climits>

#include "base/lumisto_error.h"
#include "compose/colour_matrix.h"
#include "compose/frame_effects.h"
#include "compose/render_composite.h"
#include "support/test_support.h"

using testing_support::ShippedTextures;

namespace {

constexpr std::int32_t kRed = 0x0000FF;  // colour words are 0x00BBGGRR
constexpr std::int32_t kGreen = 0x00FF00;

QImage Solid(int w, int h, QRgb argb) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor::fromRgba(argb));
  return image;
}

QString ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const LumistoError& e) {
    return e.Message();
  }
  return QString();
}

}  // namespace

class FrameLimitsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void CanvasSmallerThanThePhotoStillDrawsEveryRow_data() {
    QTest::addColumn<int>("back_size");
    QTest::addColumn<int>("frame_size");
    QTest::newRow("negative BackSize") << -10 << 0;
    QTest::newRow("negative FrameSize around the photo") << 0 << -10;
    QTest::newRow("canvas turned inside out") << -100 << 0;
  }
  void CanvasSmallerThanThePhotoStillDrawsEveryRow() {
    QFETCH(int, back_size);
    QFETCH(int, frame_size);
    FrameStyle s;
    s.blend_opacity = 255;
    s.back_color = kGreen;
    s.back_draw = back_size != 0;
    s.back_size = back_size;
    s.back_opacity = 255;
    s.frame_draw = frame_size != 0;
    s.frame_include = 0;
    s.frame_size = frame_size;
    s.frame_opacity = 255;
    s.frame_color = kRed;
    const QImage photo = Solid(60, 40, qRgb(10, 20, 30));
    QImage whole(60, 40, QImage::Format_ARGB32_Premultiplied);
    whole.fill(0);
    RenderComposite(photo, whole, s, ShippedTextures());
    // Every pixel of the picture is drawn and opaque: photo or back colour, never left transparent.
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x)
        QVERIFY2(qAlpha(whole.pixel(x, y)) == 255, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    // The row-by-row path draws the same.
    const CompositeRows rows(photo, photo.size(), s, ToneMatrix::Identity(),
                             PrepareEffectsCanvas(photo.size(), s, ShippedTextures()), ShippedTextures());
    QImage banded(60, 40, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 40; ++y) rows.DrawRow(y, reinterpret_cast<std::uint32_t*>(banded.scanLine(y)), 60);
    QCOMPARE(testing_support::MaxChannelDifference(whole, banded), 0);
  }

  void ValuesAtTheIntegerLimitsAreSafe_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("error");  // empty: renders
    QTest::newRow("FrameSize max, band around") << 15 << INT_MAX << "FrameSize: 2147483647 makes a picture";
    QTest::newRow("FrameSize min, band around") << 15 << INT_MIN << "";
    QTest::newRow("BackSize max") << 30 << INT_MAX << "BackSize: 2147483647 makes a picture";
    QTest::newRow("BackSize min") << 30 << INT_MIN << "";
    QTest::newRow("BackSize just past the ceiling")
        << 30 << 8000 << "BackSize: 8000 makes a picture of 16050 x 16040";
    QTest::newRow("ShadowSize max") << 23 << INT_MAX << "";
    QTest::newRow("ShadowSize min") << 23 << INT_MIN << "";
    QTest::newRow("StrokeSize max") << 19 << INT_MAX << "";
    QTest::newRow("LineSize max") << 6 << INT_MAX << "";
    QTest::newRow("LineSize min") << 6 << INT_MIN << "";
    QTest::newRow("BlendOpacity max") << 0 << INT_MAX << "";
    QTest::newRow("FrameOpacity max") << 14 << INT_MAX << "";
    QTest::newRow("FrameTextSize max") << 12 << INT_MAX << "FrameTextSize: 2147483647 makes a picture";
    QTest::newRow("BackTextSize 65535")
        << 27 << 65535 << "BackTextSize: 65535 makes a picture of 65535 x 65535";
    QTest::newRow("BackTextSize at the ceiling") << 27 << 15811 << "";
  }
  void ValuesAtTheIntegerLimitsAreSafe() {
    QFETCH(int, slot);
    QFETCH(int, value);
    QFETCH(QString, error);
    FrameStyle s;
    s.blend_opacity = 255;
    s.back_draw = s.frame_draw = s.shadow_draw = s.stroke_draw = s.line_draw = s.color_draw = 1;
    s.back_color_text = s.frame_color_text = 1;
    s.back_size = s.frame_size = s.shadow_size = s.stroke_size = s.line_size = 5;
    s.back_text_size = s.frame_text_size = 16;
    s.back_opacity = s.frame_opacity = s.shadow_opacity = s.stroke_opacity = s.line_opacity = 200;
    s.Slot(slot) = value;
    const QImage photo = Solid(40, 30, qRgb(10, 20, 30));
    QImage out(40, 30, QImage::Format_ARGB32_Premultiplied);
    out.fill(0);
    const QString message = ErrorOf([&] { RenderComposite(photo, out, s, ShippedTextures()); });
    if (error.isEmpty()) {
      QCOMPARE(message, QString());
      QCOMPARE(qAlpha(out.pixel(20, 15)), 255);
    } else {
      QVERIFY2(message.startsWith(error), qPrintable(message));
    }
  }

  void ZeroWidthPensDrawOnePixel_data() {
    QTest::addColumn<bool>("stroke");
    QTest::newRow("stroke") << true;
    QTest::newRow("line") << false;
  }
  void ZeroWidthPensDrawOnePixel() {
    QFETCH(bool, stroke);
    FrameStyle s;
    s.blend_opacity = 255;
    s.frame_include = 1;
    s.back_draw = 1;
    s.back_size = 10;
    s.back_opacity = 0;
    (stroke ? s.stroke_draw : s.line_draw) = 1;
    (stroke ? s.stroke_opacity : s.line_opacity) = 255;
    (stroke ? s.stroke_color : s.line_color) = kRed;
    const FrameStyle e = EffectiveStyle(s);
    const FrameLayout l = ComputeFrameLayout(QSize(60, 40), e);
    const QImage canvas = RenderEffectsCanvas(l, e, ShippedTextures());
    // The inset stroke covers the framed rectangle's outermost pixel ring; the centred line half
    // of the pixels either side of the window's edge.
    const int row = 30;
    if (stroke) {
      QCOMPARE(canvas.pixel(10, row), qRgb(255, 0, 0));
      QCOMPARE(canvas.pixel(11, row), 0u);
      QCOMPARE(canvas.pixel(9, row), 0u);
    } else {
      QVERIFY(qAlpha(canvas.pixel(9, row)) > 100);
      QVERIFY(qAlpha(canvas.pixel(10, row)) > 100);
      QCOMPARE(canvas.pixel(8, row), 0u);
      QCOMPARE(canvas.pixel(11, row), 0u);
    }
  }

  void TileCutToTheCanvasDrawsTheSame() {
    // A tile larger than the canvas is made only as far as the canvas reaches; the brush paints the
    // same pixels as the whole tile would.
    QImage whole(90, 70, QImage::Format_ARGB32_Premultiplied), cut = whole;
    whole.fill(0);
    cut.fill(0);
    QPainter(&whole).fillRect(whole.rect(), TextureBrush(ShippedTextures(), 12, 300, 200));
    QPainter(&cut).fillRect(cut.rect(), TextureBrush(ShippedTextures(), 12, 300, 200, cut.size()));
    QCOMPARE(testing_support::MaxChannelDifference(whole, cut), 0);
  }

  void OpacitiesPast255ActAs255() {
    QCOMPARE(AlphaScaleFactor(INT_MAX), AlphaScaleFactor(255));
    QCOMPARE(AlphaScaleFactor(256), 1.0f);
    QCOMPARE(AlphaScaleFactor(-1), 0.0f);
    QCOMPARE(AlphaScaleFactor(INT_MIN), 0.0f);
  }
};

QTEST_MAIN(FrameLimitsTest)
#include "frame_limits_test.moc"
