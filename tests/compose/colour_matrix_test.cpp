// The general colour-matrix path against the matrix product written out per pixel in double
// precision, for drawing and for in-place application.
#include <QTest>
#include <algorithm>
#include <cmath>

#include "compose/colour_matrix.h"

namespace {

// The premultiplied pixel p through m: unpremultiply, row vector times matrix, clamp, premultiply.
QRgb Reference(QRgb p, const ToneMatrix& m) {
  const double a = qAlpha(p) / 255.0;
  double in[5] = {0, 0, 0, a, 1};
  if (qAlpha(p) > 0) {
    in[0] = std::min(1.0, qRed(p) / 255.0 / a);
    in[1] = std::min(1.0, qGreen(p) / 255.0 / a);
    in[2] = std::min(1.0, qBlue(p) / 255.0 / a);
  }
  double out[4];
  for (int j = 0; j < 4; ++j) {
    out[j] = 0;
    for (int k = 0; k < 5; ++k) out[j] += in[k] * m.At(k, j);
    out[j] = std::clamp(out[j], 0.0, 1.0);
  }
  const auto channel = [&](double v) { return static_cast<int>(std::lround(v * out[3] * 255)); };
  return qRgba(channel(out[0]), channel(out[1]), channel(out[2]),
               static_cast<int>(std::lround(out[3] * 255)));
}

// Pixels of every kind: opaque ramps, all but opaque, half and faint alpha, fully transparent.
QImage Pattern(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int alphas[5] = {255, 254, 128, 7, 0};
      const int a = alphas[y % 5];
      const QRgb straight = qRgba((x * 37) % 256, (x * 11 + y * 5) % 256, (x * 3 + 90) % 256, a);
      image.setPixel(x, y, qPremultiply(straight));
    }
  return image;
}

ToneMatrix Matrix(int which) {
  ToneMatrix m;
  if (which == 0) {  // contrast 1.2, brightness 0.1 in the alpha row, saturation 0.8
    const float s = 0.8f, c = 1.2f, b = 0.1f;
    const float w[3] = {0.3086f, 0.6094f, 0.0820f};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) m.At(i, j) = c * (w[i] * (1 - s) + (i == j ? s : 0));
    for (int j = 0; j < 3; ++j) m.At(3, j) = c * b;
  } else {  // channels swapped, a translation and an alpha halving
    m.m.fill(0);
    m.At(2, 0) = 1;
    m.At(0, 2) = 1;
    m.At(1, 1) = 0.5f;
    m.At(4, 1) = 0.25f;
    m.At(3, 3) = 0.5f;
    m.At(4, 4) = 1;
  }
  return m;
}

int Difference(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

}  // namespace

class ColourMatrixTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void GeneralMatrix_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("tone") << 0;
    QTest::newRow("swap, translate, half alpha") << 1;
  }

  // Drawn one to one onto a transparent target every sample is a source pixel, so the result is
  // the pixel through the matrix; the inner run and the edge columns both take the general path.
  // Tolerance 1: the drawer rounds in single precision, the reference in double.
  void GeneralMatrix() {
    QFETCH(int, which);
    const ToneMatrix m = Matrix(which);
    const QImage source = Pattern(64, 16);
    QImage drawn(source.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    DrawImageRect(drawn, QRectF(0, 0, 64, 16), source, QRectF(0, 0, 64, 16), m);
    QImage applied = source;
    ApplyColourMatrix(applied, m);
    int worst_drawn = 0, worst_applied = 0;
    for (int y = 0; y < source.height(); ++y)
      for (int x = 0; x < source.width(); ++x) {
        const QRgb want = Reference(source.pixel(x, y), m);
        worst_drawn = std::max(worst_drawn, Difference(drawn.pixel(x, y), want));
        worst_applied = std::max(worst_applied, Difference(applied.pixel(x, y), want));
      }
    QVERIFY2(worst_drawn <= 1, qPrintable(QString::number(worst_drawn)));
    // The drawer's table for opaque pixels and the per-pixel form agree to the bit.
    QCOMPARE(drawn, applied);
    QVERIFY2(worst_applied <= 1, qPrintable(QString::number(worst_applied)));
  }

  // Scaled drawing through a matrix is the bilinear sample through the matrix: the identity drawing
  // with the matrix applied afterwards, to the bit, four pixels at a time and one at a time alike
  // (the widths leave a remainder after the groups of four).
  void ScaledDrawingSamplesThenMatrix_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("format");
    QTest::addColumn<QRectF>("dest");
    QTest::addColumn<QRectF>("src");
    for (const int which : {0, 1})
      for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        const char* kind = which == 0 ? "tone" : "swap";
        const char* alpha = format == QImage::Format_RGB32 ? "opaque" : "alpha";
        QTest::addRow("%s, %s, shrunk", kind, alpha)
            << which << int(format) << QRectF(0, 0, 43, 11) << QRectF(0, 0, 64, 16);
        QTest::addRow("%s, %s, enlarged", kind, alpha)
            << which << int(format) << QRectF(0, 0, 61, 15) << QRectF(5.5, 1, 27, 9);
      }
  }
  void ScaledDrawingSamplesThenMatrix() {
    QFETCH(int, which);
    QFETCH(int, format);
    QFETCH(QRectF, dest);
    QFETCH(QRectF, src);
    const ToneMatrix m = Matrix(which);
    const QImage source = Pattern(64, 16).convertToFormat(static_cast<QImage::Format>(format));
    QImage drawn(dest.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QImage sampled = drawn;
    DrawImageRect(drawn, dest, source, src, m);
    DrawImageRect(sampled, dest, source, src);
    ApplyColourMatrix(sampled, m);
    QCOMPARE(drawn, sampled);
  }
};

QTEST_GUILESS_MAIN(ColourMatrixTest)
#include "colour_matrix_test.moc"
