// The shipped texture tiles: count, size, opacity, distinctness, seamless wrapping and out-of-range indexes.
#include <QtTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "styles/texture_list.h"
#include "support/test_support.h"

using testing_support::ShippedTextures;

namespace {

// Mean absolute channel difference (0..255) between the last and first column (or row) of a tile, the
// mean of the same between all neighbouring interior columns, and the largest of those.
struct SeamMeasure {
  double wrap = 0;
  double interior_mean = 0;
  double interior_max = 0;
};

SeamMeasure MeasureSeam(const QImage& tile, Qt::Orientation across) {
  const QImage image = tile.convertToFormat(QImage::Format_ARGB32);
  const bool columns = across == Qt::Horizontal;
  const int n = columns ? image.width() : image.height();
  const int m = columns ? image.height() : image.width();
  auto step = [&](int a, int b) {
    double sum = 0;
    for (int k = 0; k < m; ++k) {
      const QRgb p = columns ? image.pixel(a, k) : image.pixel(k, a);
      const QRgb q = columns ? image.pixel(b, k) : image.pixel(k, b);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
    return sum / (3.0 * m);
  };
  SeamMeasure s;
  s.wrap = step(n - 1, 0);
  for (int a = 0; a + 1 < n; ++a) {
    const double d = step(a, a + 1);
    s.interior_mean += d;
    s.interior_max = std::max(s.interior_max, d);
  }
  s.interior_mean /= n - 1;
  return s;
}

// In a tile that wraps, the wrap edge is just one more pair of neighbouring columns; a seam adds its jump
// on top of the texture's own steps. Two bounds, each with one level of slack so nearly flat tiles are not
// judged on rounding:
// - at most 3.5 times the interior mean: a tile that does not wrap at all jumps by its whole contrast, 31
//   times the mean step for a ramp, 5 to 10 times for unrelated noise, while sparse sharp features (a vein
//   or ring boundary along the edge) lift a seamless tile's wrap to at most about 2.7 times;
// - at most 1.5 times the roughest interior pair: the wrap may happen to be the roughest place of a
//   seamless tile, but only by chance and not by much (1.21 times at most among the shipped tiles), whereas
//   noise with a wrong period puts a step there that stands out of a fine texture like velvet.
bool WrapsSeamlessly(const SeamMeasure& s) {
  return s.wrap <= 3.5 * s.interior_mean + 1.0 && s.wrap <= 1.5 * s.interior_max + 1.0;
}

double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

QImage TileOf(const std::function<int(int x, int y)>& grey) {
  QImage tile(TextureList::kTileSize, TextureList::kTileSize, QImage::Format_ARGB32);
  for (int y = 0; y < tile.height(); ++y) {
    for (int x = 0; x < tile.width(); ++x) {
      const int v = std::clamp(grey(x, y), 0, 255);
      tile.setPixel(x, y, qRgb(v, v, v));
    }
  }
  return tile;
}

}  // namespace

class TextureListTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ShipsEveryTileAtItsSize() {
    const TextureList& list = ShippedTextures();
    QCOMPARE(list.Count(), TextureList::kCount);
    QCOMPARE(TextureList::kCount, 79);
    for (int i = 0; i < list.Count(); ++i) {
      const QImage tile = list.Tile(i);
      QVERIFY2(!tile.isNull(), qPrintable(QString("tile %1").arg(i)));
      QCOMPARE(tile.size(), QSize(32, 32));
      QCOMPARE(tile.format(), QImage::Format_ARGB32_Premultiplied);
    }
  }

  void TilesAreOpaque() {
    const TextureList& list = ShippedTextures();
    for (int i = 0; i < list.Count(); ++i) {
      const QImage tile = list.Tile(i);
      for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
          if (qAlpha(tile.pixel(x, y)) != 255)
            QFAIL(qPrintable(QString("tile %1 has alpha at %2,%3").arg(i).arg(x).arg(y)));
        }
      }
    }
  }

  void TilesAreDistinct() {
    // Picking another tile must change what the frame shows: a doubled table entry scores 0 here, while
    // the two closest shipped materials (a pale wood and a cream paper) differ by about 5 levels.
    const TextureList& list = ShippedTextures();
    for (int a = 0; a < list.Count(); ++a) {
      for (int b = a + 1; b < list.Count(); ++b) {
        const double d = MeanDifference(list.Tile(a), list.Tile(b));
        QVERIFY2(d >= 3.0, qPrintable(QString("tiles %1 and %2 differ by only %3").arg(a).arg(b).arg(d)));
      }
    }
  }

  void TilesWrapSeamlessly() {
    const TextureList& list = ShippedTextures();
    for (int i = 0; i < list.Count(); ++i) {
      for (Qt::Orientation across : {Qt::Horizontal, Qt::Vertical}) {
        const SeamMeasure s = MeasureSeam(list.Tile(i), across);
        QVERIFY2(WrapsSeamlessly(s), qPrintable(QString("tile %1 %2: wrap %3, interior mean %4, max %5")
                                                    .arg(i)
                                                    .arg(across == Qt::Horizontal ? "columns" : "rows")
                                                    .arg(s.wrap)
                                                    .arg(s.interior_mean)
                                                    .arg(s.interior_max)));
      }
    }
  }

  void SeamMeasureTellsBrokenTilesApart_data() {
    QTest::addColumn<QImage>("tile");
    QTest::addColumn<bool>("seamless");
    constexpr double kTwoPi = 6.283185307179586;
    QTest::newRow("ramp across") << TileOf([](int x, int) { return x * 8; }) << false;
    QTest::newRow("wave of 45 pixels") << TileOf([=](int x, int y) {
      return static_cast<int>(128 + 100 * std::sin(kTwoPi * (x + 0.5 * y) / 45));
    }) << false;
    QTest::newRow("waves of 16 and 32 pixels") << TileOf([=](int x, int y) {
      return static_cast<int>(128 + 60 * std::sin(kTwoPi * (x + 2 * y) / 16) +
                              40 * std::sin(kTwoPi * (x - y) / 32));
    }) << true;
    // A fine texture with one of its components off the tile period, as noise with a wrong lattice gives.
    QTest::newRow("fine waves, one off period") << TileOf([=](int x, int y) {
      return static_cast<int>(128 + 6 * std::sin(kTwoPi * (5 * x + 3 * y) / 32) +
                              6 * std::sin(kTwoPi * (7 * x - 2 * y) / 32) +
                              30 * std::sin(kTwoPi * (x + y) / 27));
    }) << false;
    QTest::newRow("flat grey") << TileOf([](int, int) { return 90; }) << true;
  }

  void SeamMeasureTellsBrokenTilesApart() {
    QFETCH(QImage, tile);
    QFETCH(bool, seamless);
    const bool wraps = WrapsSeamlessly(MeasureSeam(tile, Qt::Horizontal)) &&
                       WrapsSeamlessly(MeasureSeam(tile, Qt::Vertical));
    QCOMPARE(wraps, seamless);
  }

  void IndexOutsideTheListGivesNoTile_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("minus one") << -1;
    QTest::newRow("one past the end") << 79;
    QTest::newRow("lowest int") << INT_MIN;
    QTest::newRow("highest int") << INT_MAX;
  }

  void IndexOutsideTheListGivesNoTile() {
    QFETCH(int, index);
    QVERIFY(ShippedTextures().Tile(index).isNull());
  }
};

QTEST_GUILESS_MAIN(TextureListTest)
#include "texture_list_test.moc"
