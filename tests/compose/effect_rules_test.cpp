// The effect steps against per-pixel formulas written from the drawing rules: the shadow's
// rounded outline and fade, the window cut of each shape, and the line round the window.
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <functional>

#include "compose/frame_effects.h"
#include "imaging/image_buffer.h"

namespace {

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBlue = 0xFF0000;  // colour words are 0x00BBGGRR
constexpr std::int32_t kGreen = 0x00FF00;

// The shadow's outline, in one quadrant relative to its centre: half sizes hx, hy, the straight
// sides, and at each corner the cubic from (hx - r, hy) to (hx, hy - r) with both control points at
// (hx, hy). That cubic is x = hx - r u^3, y = hy - r t^3 (u = 1 - t), so a point lies inside the
// corner when the cube roots of its distances from the corner's sides add up to at least 1.
bool InsideRoundedBox(double x, double y, double hx, double hy, double r) {
  x = std::abs(x);
  y = std::abs(y);
  if (x > hx || y > hy) return false;
  if (x <= hx - r || y <= hy - r) return true;
  return std::cbrt((hx - x) / r) + std::cbrt((hy - y) / r) >= 1.0;
}

// The scale about the centre that puts the outline through (x, y), by bisection.
double ReferenceGauge(double x, double y, double hx, double hy, double r) {
  double lo = 0, hi = 4;
  for (int i = 0; i < 50; ++i) {
    const double k = (lo + hi) / 2;
    if (InsideRoundedBox(x / k, y / k, hx, hy, r)) {
      hi = k;
    } else {
      lo = k;
    }
  }
  return hi;
}

// Premultiplied shadow pixel over a transparent canvas: BackColor at alpha 0 on the outline,
// blending linearly into the shadow colour at fade, the shadow colour inside.
QRgb ReferenceShadowPixel(double gauge, float fade, QRgb back, QRgb shadow) {
  const double t = 1 - gauge;
  const double f = t >= fade ? 1.0 : t / fade;
  const auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
  return qPremultiply(qRgba(mix(qRed(back), qRed(shadow)), mix(qGreen(back), qGreen(shadow)),
                            mix(qBlue(back), qBlue(shadow)), mix(0, qAlpha(shadow))));
}

int ChannelDistance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

using Shape = std::function<bool(double, double)>;

// The share of the pixel (x, y) inside a shape, from 8 x 8 samples.
double Coverage(int x, int y, const Shape& inside) {
  int hits = 0;
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i) hits += inside(x + (i + 0.5) / 8, y + (j + 0.5) / 8) ? 1 : 0;
  return hits / 64.0;
}

// The diamond through (Wc div 2, d), (Wc - d, Hc div 2), (Wc div 2, Hc - d), (d, Hc div 2).
Shape InsideDiamond(QSize canvas, int d) {
  const double top_x = canvas.width() / 2, mid_y = canvas.height() / 2;
  const double right = canvas.width() - d, bottom = canvas.height() - d;
  return [=](double x, double y) {
    // How far across its widest row the diamond reaches at this height: 0 at the corners, 1 midway.
    const double reach = y <= mid_y ? (y - d) / (mid_y - d) : (bottom - y) / (bottom - mid_y);
    if (reach < 0) return false;
    return x >= top_x - reach * (top_x - d) && x <= top_x + reach * (right - top_x);
  };
}

Shape InsideEllipse(const QRectF& r) {
  return [r](double x, double y) {
    const double u = (x - r.center().x()) / (r.width() / 2), v = (y - r.center().y()) / (r.height() / 2);
    return u * u + v * v <= 1;
  };
}

Shape InsideRect(const QRectF& r) {
  return
      [r](double x, double y) { return x >= r.left() && x <= r.right() && y >= r.top() && y <= r.bottom(); };
}

// The window's outline as a closed polygon (the ellipse with 720 corners, a chord straying less
// than a thousandth of a pixel from the curve).
std::vector<QPointF> Outline(int sharp, const FrameLayout& l) {
  const QRectF w(l.window_rect);
  if (sharp == 0) return {w.topLeft(), w.topRight(), w.bottomRight(), w.bottomLeft()};
  if (sharp == 1) {
    std::vector<QPointF> points;
    for (int i = 0; i < 720; ++i) {
      const double t = 2 * M_PI * i / 720;
      points.emplace_back(w.center().x() + w.width() / 2 * std::cos(t),
                          w.center().y() + w.height() / 2 * std::sin(t));
    }
    return points;
  }
  const int d = l.diamond_inset, wc = l.canvas.width(), hc = l.canvas.height();
  return {QPointF(wc / 2, d), QPointF(wc - d, hc / 2), QPointF(wc / 2, hc - d), QPointF(d, hc / 2)};
}

// The distance from p to the closed polygon's outline.
double DistanceToOutline(const std::vector<QPointF>& polygon, QPointF p) {
  double best = 1e9;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
    const QPointF ab = b - a, ap = p - a;
    const double t = std::clamp(QPointF::dotProduct(ap, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
    const QPointF nearest = a + ab * t;
    best = std::min(best, std::hypot(p.x() - nearest.x(), p.y() - nearest.y()));
  }
  return best;
}

// A band around a 101 x 61 photo on a background margin: the framed rectangle and the window differ.
FrameStyle BandStyle(int sharp) {
  FrameStyle s;
  s.blend_opacity = 255;
  s.frame_sharp = sharp;
  s.frame_include = 0;
  s.frame_draw = 1;
  s.frame_size = 10;
  s.frame_opacity = 255;
  s.frame_color = kGreen;
  s.back_draw = 1;
  s.back_size = 10;
  s.back_opacity = 255;
  s.back_color = kBlue;
  return s;
}

}  // namespace

class EffectRulesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ShadowFollowsItsRoundedOutline_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("shadow 5") << 5;
    QTest::newRow("shadow 20") << 20;
    QTest::newRow("shadow 50") << 50;
  }
  void ShadowFollowsItsRoundedOutline() {
    QFETCH(int, size);
    FrameStyle s;
    s.shadow_draw = 1;
    s.shadow_size = size;
    s.shadow_opacity = 200;
    s.shadow_color = 0x204060;
    s.back_draw = 1;
    s.back_size = 3 * size + 12;  // the whole shadow lies on the canvas
    s.back_color = kWhite;        // the fade starts from white at alpha 0
    const FrameLayout l = ComputeFrameLayout(QSize(120, 90), s);
    QImage canvas = NewImage(l.canvas.width(), l.canvas.height());
    DrawDropShadow(canvas, l, s);

    const double hx = (120 + 2 * size) / 2.0, hy = (90 + 2 * size) / 2.0;
    const double r = std::min({3.0 * size + 10, hx, hy});
    const double cx = l.margin + size + hx, cy = l.margin + size + hy;
    const float fade = std::clamp(0.05f + size * 0.01f, 0.0f, 0.95f);
    const QRgb back = qRgba(255, 255, 255, 0), shadow = qRgba(0x60, 0x40, 0x20, 200);
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        const double k = ReferenceGauge(x + 0.5 - cx, y + 0.5 - cy, hx, hy, r);
        if (std::abs(k - 1) < 0.01) continue;  // on the outline either answer is right
        const QRgb expected = k > 1 ? 0u : ReferenceShadowPixel(k, fade, back, shadow);
        // The corner curve is flattened into chords and the fade read from a table of 1024 steps.
        if (ChannelDistance(canvas.pixel(x, y), expected) > 3)
          QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3, expected %4")
                               .arg(x)
                               .arg(y)
                               .arg(canvas.pixel(x, y), 8, 16)
                               .arg(expected, 8, 16)));
      }
    }
    // Outside the rounded corner, inside the square one: no darkening at all.
    const int left = static_cast<int>(cx - hx), top = static_cast<int>(cy - hy);
    QCOMPARE(canvas.pixel(left + 1, top + 1), 0u);
    // The fade, counted in pixels until the shadow is nearly full: wider along the diagonal into the
    // corner than straight in from a side, even measured along the diagonal's own length.
    const auto fade_pixels = [&](int dx, int dy, int x, int y) {
      int n = 0;
      while (x < canvas.width() && y < canvas.height() && qAlpha(canvas.pixel(x, y)) < 190) {
        if (qAlpha(canvas.pixel(x, y)) > 0) ++n;
        x += dx;
        y += dy;
      }
      return n;
    };
    const int across = fade_pixels(1, 0, left, static_cast<int>(cy));
    const int diagonal = fade_pixels(1, 1, left, top);
    QVERIFY2(diagonal * std::sqrt(2.0) > across,
             qPrintable(QStringLiteral("diagonal %1, across %2").arg(diagonal).arg(across)));
  }

  void WindowCutFollowsItsShape_data() {
    QTest::addColumn<int>("sharp");
    QTest::newRow("rectangle") << 0;
    QTest::newRow("oval") << 1;
    QTest::newRow("diamond") << 2;
  }
  void WindowCutFollowsItsShape() {
    QFETCH(int, sharp);
    const FrameStyle s = EffectiveStyle(BandStyle(sharp));
    const FrameLayout l = ComputeFrameLayout(QSize(101, 61), s);
    QCOMPARE(l.canvas, QSize(141, 101));
    const QImage canvas = RenderEffectsCanvas(l, s, TextureList({}));
    const QRectF window(l.window_rect), framed(l.framed_rect);
    const Shape inside = sharp == 0   ? InsideRect(window)
                         : sharp == 1 ? InsideEllipse(window)
                                      : InsideDiamond(l.canvas, l.diamond_inset);
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        const double cut = Coverage(x, y, inside);
        const int alpha = qAlpha(canvas.pixel(x, y));
        // 64 samples resolve coverage to 1/64; the rasteriser flattens the ellipse into Bezier arcs
        // and quantises its coverage, which costs up to 21 levels where the curve grazes a pixel.
        if (std::abs(alpha - 255 * (1 - cut)) > 40)
          QFAIL(
              qPrintable(QStringLiteral("pixel %1,%2: alpha %3, cut %4").arg(x).arg(y).arg(alpha).arg(cut)));
        if (cut > 0) continue;
        // Not cut: the band's colour inside the framed rectangle, the background's outside it.
        const double in_band = Coverage(x, y, InsideRect(framed));
        const QRgb colour = canvas.pixel(x, y) | 0xFF000000u;  // unpremultiplied: the colour alone
        // Two levels: a pixel the cut's soft edge brushes carries alpha 254, and its colour is
        // rounded once through premultiplication.
        if (in_band == 1) QVERIFY(ChannelDistance(colour, qRgb(0, 255, 0)) <= 2);
        if (in_band == 0) QVERIFY(ChannelDistance(colour, qRgb(0, 0, 255)) <= 2);
      }
    }
  }

  void LineRunsAlongTheWindow_data() {
    QTest::addColumn<int>("sharp");
    QTest::addColumn<int>("width");
    QTest::newRow("rectangle, 3") << 0 << 3;
    QTest::newRow("oval, 4") << 1 << 4;
    QTest::newRow("diamond, 3") << 2 << 3;
    QTest::newRow("rectangle, 0 is one pixel") << 0 << 0;
  }
  void LineRunsAlongTheWindow() {
    QFETCH(int, sharp);
    QFETCH(int, width);
    FrameStyle s = BandStyle(sharp);
    s.line_draw = 1;
    s.line_size = width;
    s.line_opacity = 255;
    s.line_color = kWhite;
    s = EffectiveStyle(s);
    const FrameLayout l = ComputeFrameLayout(QSize(101, 61), s);
    QImage canvas = NewImage(l.canvas.width(), l.canvas.height());
    {
      QPainter painter(&canvas);
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      DrawLine(painter, l, s);
    }
    const std::vector<QPointF> outline = Outline(sharp, l);
    const double half = std::max(1, width) / 2.0;
    // Mitred corners reach past the round distance: clear pixels are only required beyond them.
    const double corner_reach = sharp == 1 ? 0.0 : 2 * half;
    int covered = 0;
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        const QPointF centre(x + 0.5, y + 0.5);
        const double distance = DistanceToOutline(outline, centre);
        const int alpha = qAlpha(canvas.pixel(x, y));
        // A pixel lies wholly within the pen when its centre is half a diagonal inside the pen's edge.
        if (distance + 0.71 <= half) {
          if (alpha < 250) QFAIL(qPrintable(QStringLiteral("pixel %1,%2 should be line").arg(x).arg(y)));
          ++covered;
        } else if (distance - 0.71 >= half + corner_reach && alpha != 0) {
          QFAIL(qPrintable(QStringLiteral("pixel %1,%2 should be clear").arg(x).arg(y)));
        }
      }
    }
    if (width > 1) QVERIFY(covered > 100);
    if (sharp == 0) {
      // Near the middle of the top side the pen is centred on the window's edge.
      const int top = l.window_rect.top(), mid = l.canvas.width() / 2;
      QVERIFY(qAlpha(canvas.pixel(mid, top)) > 100);
      QCOMPARE(qAlpha(canvas.pixel(mid, top - 2 - width)), 0);
    }
  }
};

QTEST_MAIN(EffectRulesTest)
#include "effect_rules_test.moc"
