// The tone knobs: drag rule, values of positions, the way back, and the matrix against per-pixel
// formulas written out from the rules.
#include <QTest>
#include <cmath>
#include <limits>

#include "compose/colour_matrix.h"
#include "edit/tone_knobs.h"

namespace {

// R' = c (s R + (1 - s) Y + b A), A' = A, in double precision on components 0..1.
void Expected(const double in[4], double c, double b, double s, double out[4]) {
  const double y = 0.3086 * in[0] + 0.6094 * in[1] + 0.0820 * in[2];
  for (int i = 0; i < 3; ++i) out[i] = c * (s * in[i] + (1 - s) * y + b * in[3]);
  out[3] = in[3];
}

void Apply(const ToneMatrix& m, const double in[4], double out[4]) {
  const double v[5] = {in[0], in[1], in[2], in[3], 1.0};
  for (int j = 0; j < 4; ++j) {
    out[j] = 0;
    for (int k = 0; k < 5; ++k) out[j] += v[k] * m.At(k, j);
  }
}

}  // namespace

class ToneKnobsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void DragTarget_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");  // -1: stays
    QTest::newRow("right by 5") << 42 << 10 << 5 << 47;
    QTest::newRow("left by 3") << 42 << 2 << 5 << 39;
    QTest::newRow("no movement") << 42 << 5 << 5 << -1;
    QTest::newRow("down to 1") << 2 << 4 << 5 << 1;
    QTest::newRow("not to 0") << 1 << 4 << 5 << -1;
    QTest::newRow("up to 79") << 78 << 6 << 5 << 79;
    QTest::newRow("not to 80") << 79 << 6 << 5 << -1;
    QTest::newRow("far left") << 42 << -2147483647 << 5 << -1;
    QTest::newRow("far right") << 42 << 2147483647 << -5 << -1;
  }
  void DragTarget() {
    QFETCH(int, position);
    QFETCH(int, x);
    QFETCH(int, start);
    QFETCH(int, expected);
    QCOMPARE(KnobDragTarget(position, x, start).value_or(-1), expected);
  }

  void Values_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("cs");
    QTest::addColumn<double>("b");
    QTest::newRow("start 42") << 42 << 0.988235 << -0.011765;
    QTest::newRow("left end 1") << 1 << 0.023529 << -0.976471;
    QTest::newRow("right end 79") << 79 << 1.858824 << 0.858824;
  }
  void Values() {
    QFETCH(int, position);
    QFETCH(double, cs);
    QFETCH(double, b);
    const ToneValues v = ReadToneKnobs({position, position, position});
    QVERIFY(std::abs(v.contrast - cs) < 1e-6);
    QVERIFY(std::abs(v.saturation - cs) < 1e-6);
    QVERIFY(std::abs(v.brightness - b) < 1e-6);
  }

  void EachKnobSetsItsOwnValue() {
    const ToneValues v = ReadToneKnobs({10, 42, 79});
    QCOMPARE(v.contrast, ReadToneKnobs({10, 10, 10}).contrast);
    QCOMPARE(v.brightness, ReadToneKnobs({42, 42, 42}).brightness);
    QCOMPARE(v.saturation, ReadToneKnobs({79, 79, 79}).saturation);
  }

  void EveryPositionComesBack() {
    for (int p = kToneKnobMin; p <= kToneKnobMax; ++p) {
      const ToneKnobPositions positions{p, kToneKnobMax + kToneKnobMin - p, (p * 7) % 79 + 1};
      const ToneValues v = ReadToneKnobs(positions);
      QCOMPARE(KnobPositionsForTone(v.contrast, v.brightness, v.saturation), positions);
    }
  }

  void WayBackStaysOnTheTrack_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("expected_saturation");
    // 85 x 0.5 = 42.5 rounds up; the saturation factor, a hair under 0.5, gives 42.49999 and 42.
    QTest::newRow("neutral 1") << 1.0f << 43 << 42;
    QTest::newRow("zero") << 0.0f << kToneKnobMin << kToneKnobMin;
    QTest::newRow("negative") << -1.0f << kToneKnobMin << kToneKnobMin;
    QTest::newRow("huge") << 2147483647.0f << kToneKnobMax << kToneKnobMax;
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << kToneKnobMax << kToneKnobMax;
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << kToneKnobStart << kToneKnobStart;
  }
  void WayBackStaysOnTheTrack() {
    QFETCH(float, value);
    QFETCH(int, expected);
    QFETCH(int, expected_saturation);
    QCOMPARE(KnobPositionsForTone(value, 0.0f, 1.0f).contrast, expected);
    QCOMPARE(KnobPositionsForTone(1.0f, value - 1.0f, 1.0f).brightness, expected);
    QCOMPARE(KnobPositionsForTone(1.0f, 0.0f, value).saturation, expected_saturation);
  }

  void MatrixMatchesThePixelFormula_data() {
    QTest::addColumn<float>("c");
    QTest::addColumn<float>("b");
    QTest::addColumn<float>("s");
    QTest::newRow("identity values") << 1.0f << 0.0f << 1.0f;
    QTest::newRow("knobs at 42") << 0.988235f << -0.011765f << 0.988235f;
    QTest::newRow("grey") << 1.0f << 0.0f << 0.0f;
    QTest::newRow("mixed") << 1.2f << 0.1f << 0.8f;
    QTest::newRow("ends") << 1.858824f << -0.976471f << 0.023529f;
  }
  void MatrixMatchesThePixelFormula() {
    QFETCH(float, c);
    QFETCH(float, b);
    QFETCH(float, s);
    const ToneMatrix m = BuildToneMatrix(c, b, s);
    for (int j = 0; j < 5; ++j) QCOMPARE(m.At(j, 4), j == 4 ? 1.0f : 0.0f);
    const double pixels[][4] = {{0.2, 0.5, 0.9, 1.0}, {1, 0, 0, 0.5}, {0.3, 0.3, 0.3, 0.0}, {0, 0, 0, 1}};
    for (const auto& in : pixels) {
      double want[4], got[4];
      Expected(in, c, b, s, want);
      Apply(m, in, got);
      for (int i = 0; i < 4; ++i) QVERIFY2(std::abs(want[i] - got[i]) < 1e-5, qPrintable(QString::number(i)));
    }
  }

  void IdentityValuesGiveTheIdentity() { QVERIFY(BuildToneMatrix(1.0f, 0.0f, 1.0f).IsIdentity()); }

  void ZeroSaturationGreysAtWeightedLuminance() {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, qRgb(200, 100, 50));
    ApplyColourMatrix(image, BuildToneMatrix(1.0f, 0.0f, 0.0f));
    // 0.3086 x 200 + 0.6094 x 100 + 0.0820 x 50 = 126.76
    const QRgb p = image.pixel(0, 0);
    QCOMPARE(qRed(p), 127);
    QCOMPARE(qGreen(p), 127);
    QCOMPARE(qBlue(p), 127);
  }

  void TransparentPixelGetsNoBrightness() {
    QImage image(2, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, 0);
    image.setPixel(1, 0, qRgba(0, 0, 0, 255));
    ApplyColourMatrix(image, BuildToneMatrix(1.0f, 0.5f, 1.0f));
    QCOMPARE(image.pixel(0, 0), 0u);
    QCOMPARE(image.pixel(1, 0), qRgb(128, 128, 128));
  }
};

QTEST_GUILESS_MAIN(ToneKnobsTest)
#include "tone_knobs_test.moc"
