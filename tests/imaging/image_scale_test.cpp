// Scaling a picture: each output pixel against the rule computed per pixel in double precision.
#include <QtTest>
#include <cmath>
#include <random>
#include <vector>

#include "imaging/image_scale.h"

namespace {

// Random premultiplied pixels (a colour never above its alpha), or opaque ones.
QImage RandomPicture(int w, int h, bool opaque, unsigned seed) {
  QImage image(w, h, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int a = opaque ? 255 : static_cast<int>(random() % 256);
      const auto channel = [&] { return a == 0 ? 0 : static_cast<int>(random() % (a + 1)); };
      const int r = channel(), g = channel(), b = channel();
      image.setPixel(x, y, qRgba(r, g, b, a));
    }
  return image;
}

// The weight of every source pixel in output pixel i of an axis from source to target pixels:
// shrinking, the share of the covered span [i s, (i + 1) s) it holds, over s; otherwise the two
// source centres around the output centre (i + 0.5) s - 0.5 by distance, edge pixels repeated.
std::vector<double> Weights(int source, int target, int i) {
  std::vector<double> w(static_cast<std::size_t>(source), 0.0);
  const double s = static_cast<double>(source) / target;
  if (s > 1) {
    for (int j = 0; j < source; ++j)
      w[j] = std::max(0.0, std::min((i + 1) * s, j + 1.0) - std::max(i * s, static_cast<double>(j))) / s;
  } else {
    const double c = (i + 0.5) * s - 0.5;
    const double f = c - std::floor(c);
    const int j = static_cast<int>(std::floor(c));
    w[std::clamp(j, 0, source - 1)] += 1 - f;
    w[std::clamp(j + 1, 0, source - 1)] += f;
  }
  return w;
}

}  // namespace

class ImageScaleTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void EveryPixelFollowsTheRule_data() {
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<bool>("opaque");
    QTest::newRow("halved") << QSize(40, 30) << QSize(20, 15) << false;
    QTest::newRow("shrunk by a fraction") << QSize(37, 23) << QSize(11, 9) << false;
    QTest::newRow("grown") << QSize(7, 5) << QSize(30, 17) << false;
    QTest::newRow("grown one way, shrunk the other") << QSize(9, 40) << QSize(31, 13) << true;
    QTest::newRow("same size") << QSize(19, 11) << QSize(19, 11) << false;
    QTest::newRow("one pixel to many") << QSize(1, 1) << QSize(5, 4) << false;
    QTest::newRow("a row to one pixel") << QSize(1000, 1) << QSize(1, 1) << true;
    QTest::newRow("wide, opaque, on the pool") << QSize(2000, 90) << QSize(1401, 131) << true;
  }
  void EveryPixelFollowsTheRule() {
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(bool, opaque);
    const QImage source = RandomPicture(from.width(), from.height(), opaque, 11);
    const QImage scaled = ScaleImage(source, to);
    QCOMPARE(scaled.size(), to);
    QCOMPARE(scaled.format(), QImage::Format_ARGB32_Premultiplied);
    // The source pixels each output column and row takes.
    const auto taken = [](int source, int target) {
      std::vector<std::vector<std::pair<int, double>>> all(static_cast<std::size_t>(target));
      for (int i = 0; i < target; ++i) {
        const std::vector<double> w = Weights(source, target, i);
        for (int j = 0; j < source; ++j)
          if (w[j] != 0) all[i].emplace_back(j, w[j]);
      }
      return all;
    };
    const auto columns = taken(from.width(), to.width());
    const auto rows = taken(from.height(), to.height());
    for (int y = 0; y < to.height(); ++y) {
      for (int x = 0; x < to.width(); ++x) {
        double sums[4] = {0, 0, 0, 0};
        for (const auto& [sy, wy] : rows[y]) {
          const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
          for (const auto& [sx, wx] : columns[x]) {
            const QRgb p = row[sx] | (opaque ? 0xFF000000u : 0u);
            const double w = wx * wy;
            sums[0] += w * qRed(p);
            sums[1] += w * qGreen(p);
            sums[2] += w * qBlue(p);
            sums[3] += w * qAlpha(p);
          }
        }
        const QRgb got = reinterpret_cast<const QRgb*>(scaled.constScanLine(y))[x];
        const int channels[4] = {qRed(got), qGreen(got), qBlue(got), qAlpha(got)};
        for (int c = 0; c < 4; ++c)
          QVERIFY2(std::abs(channels[c] - sums[c]) <= 1.0,
                   qPrintable(QStringLiteral("(%1, %2) channel %3: %4, not %5")
                                  .arg(x)
                                  .arg(y)
                                  .arg(c)
                                  .arg(channels[c])
                                  .arg(sums[c])));
        QVERIFY(qRed(got) <= qAlpha(got) && qGreen(got) <= qAlpha(got) && qBlue(got) <= qAlpha(got));
      }
    }
  }

  // The same size gives the very pixels; an empty size or picture gives nothing.
  void EdgeCases() {
    const QImage source = RandomPicture(23, 17, false, 5);
    QCOMPARE(ScaleImage(source, source.size()), source);
    QVERIFY(ScaleImage(source, QSize(0, 10)).isNull());
    QVERIFY(ScaleImage(source, QSize(10, -1)).isNull());
    QVERIFY(ScaleImage(QImage(), QSize(10, 10)).isNull());
    // Other formats are read through premultiplied ARGB.
    QImage plain(4, 2, QImage::Format_ARGB32);
    plain.fill(qRgba(200, 100, 50, 128));
    const QImage half = ScaleImage(plain, QSize(2, 1));
    QCOMPARE(half.pixel(1, 0), plain.convertToFormat(QImage::Format_ARGB32_Premultiplied).pixel(1, 1));
  }
};

QTEST_GUILESS_MAIN(ImageScaleTest)
#include "image_scale_test.moc"
