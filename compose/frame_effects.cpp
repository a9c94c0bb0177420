// The six effect steps: background, drop shadow, band, window fill, stroke and line.
#include "compose/frame_effects.h"

#include "compose/pixel_over.h"

#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "base/lumisto_error.h"
#include "base/parallel_rows.h"
#include "compose/colour_matrix.h"
#include "imaging/image_buffer.h"
#include "imaging/image_io.h"

namespace {

QColor Argb(int opacity, std::int32_t colour) { return QColor::fromRgba(StyleArgb(opacity, colour)); }

// The ellipse window and the line follow the window rectangle; a band wider than half the photo
// turns it inside out, and then there is no window to cut or outline.
bool HasArea(const QRect& r) { return r.width() > 0 && r.height() > 0; }

QPainterPath DiamondPath(QSize canvas, int d) {
  const int wc = canvas.width(), hc = canvas.height();
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  path.moveTo(wc / 2, d);
  path.lineTo(wc - d, hc / 2);
  path.lineTo(wc / 2, hc - d);
  path.lineTo(d, hc / 2);
  path.closeSubpath();
  return path;
}

// Unpremultiplied linear blend of two ARGB words, t in 0..1.
QRgb Mix(QRgb a, QRgb b, float t) {
  const auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return qRgba(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)),
               ch(qAlpha(a), qAlpha(b)));
}

// How far out a point lies on the shadow's rounded rectangle, measured as the scale about the
// centre that puts the outline through it: 0 at the centre, 1 on the outline. The outline is
// symmetric, so one quadrant serves: two straight sides and the flattened corner curve.
class ShadowGauge {
 public:
  ShadowGauge(double width, double height, double corner)
      : hx_(width / 2), hy_(height / 2), r_(std::min({corner, width / 2, height / 2})) {
    // Corner of the bottom-right quadrant, relative to the centre: cubic from (hx - r, hy) with both
    // control points at (hx, hy) to (hx, hy - r).
    for (int i = 0; i <= kSegments; ++i) {
      const double t = static_cast<double>(i) / kSegments, u = 1 - t;
      const double k = 3 * u * u * t + 3 * u * t * t;  // weight of the doubled control point
      vertices_[i] = QPointF(u * u * u * (hx_ - r_) + k * hx_ + t * t * t * hx_,
                             u * u * u * hy_ + k * hy_ + t * t * t * (hy_ - r_));
    }
    for (int i = 0; i < kSegments; ++i) {
      const QPointF a = vertices_[i], b = vertices_[i + 1];
      // The corner runs from the bottom side up to the right side: turning (b - a) a quarter
      // clockwise in y-down coordinates points away from the centre. A segment too short to have
      // a direction keeps a zero gauge and never wins.
      const QPointF n(a.y() - b.y(), b.x() - a.x());
      const double h = n.x() * a.x() + n.y() * a.y();
      if (h > 1e-9) edges_[i] = QPointF(n.x() / h, n.y() / h);
    }
  }

  // dx, dy: offsets from the centre (their signs do not matter). segment: where the last call on
  // this row found the corner; a row's points move steadily round the corner, so the search
  // usually stays put. Any start gives the same value.
  double At(double dx, double dy, int& segment) const {
    dx = std::abs(dx);
    dy = std::abs(dy);
    double g = std::max(dx / hx_, dy / hy_);
    // The curve matters only for directions between (hx - r, hy) and (hx, hy - r).
    if (r_ > 0 && dy * hx_ > (hy_ - r_) * dx && dx * hy_ > (hx_ - r_) * dy) {
      // A point lies past vertex v (towards the right side) when v x p < 0.
      const auto past = [&](int v) { return vertices_[v].x() * dy - vertices_[v].y() * dx < 0; };
      while (segment > 0 && !past(segment)) --segment;
      while (segment < kSegments - 1 && past(segment + 1)) ++segment;
      // The curve is convex, so the segment facing the point gives the largest gauge of all;
      // its neighbours come along in case rounding put the point on the wrong side of a vertex.
      for (int i = std::max(segment - 1, 0); i <= std::min(segment + 1, kSegments - 1); ++i)
        g = std::max(g, edges_[i].x() * dx + edges_[i].y() * dy);
    }
    return g;
  }

  // Where one side decides, At's value depends on one offset only. On the row dy from the centre,
  // points nearer the centre column than RowReach(dy) take RowGauge(dy) (the top or bottom side),
  // points farther out than ColumnReach(dy) take ColumnGauge(dx) (the left or right side). The
  // reaches keep a pixel's margin, so the rounding of the ratios cannot tip the choice.
  double RowReach(double dy) const { return (hx_ - std::max(r_, 0.0)) * std::abs(dy) / hy_ - 1.0; }
  double RowGauge(double dy) const { return std::abs(dy) / hy_; }
  double ColumnReach(double dy) const {
    const double r = std::max(r_, 0.0);
    return hy_ > r ? hx_ * (std::abs(dy) + 1.0) / (hy_ - r) : std::numeric_limits<double>::infinity();
  }
  double ColumnGauge(double dx) const { return std::abs(dx) / hx_; }

 private:
  static constexpr int kSegments = 24;
  double hx_, hy_, r_;
  std::array<QPointF, kSegments + 1> vertices_;
  std::array<QPointF, kSegments> edges_{};
};

// The convex shapes the flat area is cut from, as half-planes a x + b y <= c in canvas coordinates.
struct HalfPlane {
  double a, b, c;
};

// The polygon's half-planes moved inwards by inset; the polygon is convex, in either winding.
void AddConvexPolygon(std::vector<HalfPlane>& planes, const std::vector<QPointF>& polygon, double inset) {
  QPointF centre;
  for (const QPointF& p : polygon) centre += p;
  centre /= static_cast<double>(polygon.size());
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const QPointF p = polygon[i], q = polygon[(i + 1) % polygon.size()];
    double a = q.y() - p.y(), b = p.x() - q.x();
    const double length = std::hypot(a, b);
    if (length <= 0) continue;
    double c = a * p.x() + b * p.y();
    if (a * centre.x() + b * centre.y() > c) {  // the normal must point outwards
      a = -a;
      b = -b;
      c = -c;
    }
    planes.push_back({a, b, c - inset * length});
  }
}

std::vector<QPointF> RectPolygon(const QRectF& r) {
  return {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
}

// A polygon inscribed in the ellipse: its chords lie inside the curve, so it errs on the safe side.
// Enough corners that a chord strays at most half a pixel from the curve.
std::vector<QPointF> EllipsePolygon(const QRectF& r) {
  const double radius = std::max({r.width() / 2, r.height() / 2, 1.0});
  const int corners =
      std::clamp(static_cast<int>(std::ceil(M_PI / std::acos(1 - std::min(1.0, 0.5 / radius)))), 8, 256);
  std::vector<QPointF> polygon;
  const QPointF c = r.center();
  for (int i = 0; i < corners; ++i) {
    const double t = 2 * M_PI * i / corners;
    polygon.emplace_back(c.x() + r.width() / 2 * std::cos(t), c.y() + r.height() / 2 * std::sin(t));
  }
  return polygon;
}

std::vector<QPointF> DiamondPolygon(QSize canvas, int d) {
  const int wc = canvas.width(), hc = canvas.height();
  return {QPointF(wc / 2, d), QPointF(wc - d, hc / 2), QPointF(wc / 2, hc - d), QPointF(d, hc / 2)};
}

// The window shape of FrameSharp on the layout, moved inwards by inset; false when there is none.
bool AddWindowShape(std::vector<HalfPlane>& planes, const FrameLayout& layout, int sharp, double inset,
                    double curve_inset) {
  switch (WindowShapeOf(sharp)) {
    case WindowShape::Rectangle:
      if (!HasArea(layout.window_rect)) return false;
      AddConvexPolygon(planes, RectPolygon(QRectF(layout.window_rect)), inset);
      return true;
    case WindowShape::Oval:
      if (!HasArea(layout.window_rect)) return false;
      AddConvexPolygon(planes, EllipsePolygon(QRectF(layout.window_rect)), inset + curve_inset);
      return true;
    case WindowShape::Diamond: {
      const int d = layout.diamond_inset;
      if (layout.canvas.width() - 2 * d <= 0 || layout.canvas.height() - 2 * d <= 0) return false;
      AddConvexPolygon(planes, DiamondPolygon(layout.canvas, d), inset);
      return true;
    }
    default:
      return false;
  }
}

// The range of x where the line at height y meets every half-plane, narrowed into [lo, hi].
void NarrowAt(const std::vector<HalfPlane>& planes, double y, double& lo, double& hi) {
  for (const HalfPlane& h : planes) {
    const double rest = h.c - h.b * y;
    if (h.a > 1e-12) {
      hi = std::min(hi, rest / h.a);
    } else if (h.a < -1e-12) {
      lo = std::max(lo, rest / h.a);
    } else if (rest < 0) {
      hi = lo - 1;  // the line lies wholly outside this half-plane
    }
  }
}

}  // namespace

FrameStyle EffectiveStyle(const FrameStyle& style) {
  FrameStyle s = style;
  if (!IsOn(s.back_draw)) s.back_size = 0;
  if (!IsOn(s.frame_draw)) s.frame_size = 0;
  return s;
}

namespace {

// Far outside any canvas the ceiling allows, and twice it still fits an int.
constexpr qint64 kFarAway = qint64{1} << 30;

int Held(qint64 v) { return static_cast<int>(std::clamp(v, -kFarAway, kFarAway)); }

QRect HeldRect(qint64 x, qint64 y, qint64 w, qint64 h) { return QRect(Held(x), Held(y), Held(w), Held(h)); }

// The canvas of a photo of pw x ph with margin n and band w, in 64 bits.
void CanvasExtent(qint64 pw, qint64 ph, qint64 n, qint64 w, bool include, qint64& wc, qint64& hc) {
  const qint64 grow = include ? 2 * n : 2 * n + 2 * w;
  wc = pw + grow;
  hc = ph + grow;
}

bool PassesCeiling(qint64 w, qint64 h) {
  return w > 0 && h > 0 && (w > kMaxImagePixels || h > kMaxImagePixels || w * h > kMaxImagePixels);
}

QString TooLarge(const char* key, qint64 value, qint64 w, qint64 h) {
  return QStringLiteral("%1: %2 makes a picture of %3 x %4 pixels, more than %5 million")
      .arg(QLatin1String(key))
      .arg(value)
      .arg(w)
      .arg(h)
      .arg(kMaxImagePixels / 1'000'000);
}

}  // namespace

FrameLayout ComputeFrameLayout(QSize photo, const FrameStyle& s) {
  FrameLayout l;
  const qint64 n = s.back_size, w = s.frame_size, pw = photo.width(), ph = photo.height();
  const bool include = IsOn(s.frame_include);
  l.margin = Held(n);
  l.band = Held(w);
  l.photo = photo;
  qint64 wc = 0, hc = 0;
  CanvasExtent(pw, ph, n, w, include, wc, hc);
  l.canvas = QSize(Held(wc), Held(hc));
  if (include) {
    l.photo_rect = HeldRect(n, n, pw, ph);
    l.framed_rect = HeldRect(n, n, pw, ph);
    l.window_rect = HeldRect(n + w, n + w, pw - 2 * w, ph - 2 * w);
    l.photo_margin = Held(n);
    l.diamond_inset = Held(n + w);
  } else {
    l.photo_rect = HeldRect(n + w, n + w, pw, ph);
    l.framed_rect = HeldRect(n, n, pw + 2 * w, ph + 2 * w);
    l.window_rect = HeldRect(n + w, n + w, pw, ph);
    l.photo_margin = Held(n + w);
    l.diamond_inset = Held(n);
  }
  return l;
}

void CheckFrameLimits(QSize photo, const FrameStyle& s) {
  const bool include = IsOn(s.frame_include);
  qint64 wc = 0, hc = 0;
  // The band alone first: when it already passes the ceiling, FrameSize is the value to blame.
  CanvasExtent(photo.width(), photo.height(), 0, s.frame_size, include, wc, hc);
  if (PassesCeiling(wc, hc)) throw LumistoError(TooLarge("FrameSize", s.frame_size, wc, hc));
  CanvasExtent(photo.width(), photo.height(), s.back_size, s.frame_size, include, wc, hc);
  if (PassesCeiling(wc, hc)) throw LumistoError(TooLarge("BackSize", s.back_size, wc, hc));
  const auto check_tile = [](const char* key, qint64 size) {
    if (PassesCeiling(size, size)) throw LumistoError(TooLarge(key, size, size, size));
  };
  if (IsOn(s.back_draw) && IsOn(s.back_color_text)) check_tile("BackTextSize", s.back_text_size);
  if (IsOn(s.frame_draw) && IsOn(s.frame_color_text)) check_tile("FrameTextSize", s.frame_text_size);
}

int PenWidth(std::int32_t size) { return size < 0 ? 0 : std::max(1, size); }

ShadowGeometry ComputeShadowGeometry(const FrameLayout& layout, const FrameStyle& s) {
  ShadowGeometry g;
  const qint64 size = s.shadow_size, n = layout.margin;
  g.width = layout.canvas.width() - 2 * n + 2 * size;
  g.height = layout.canvas.height() - 2 * n + 2 * size;
  g.left = size + n;
  g.top = size + n;
  // The corner (3S + 10) and the fade (0.05 + S / 100) are those of the style's own size S; a
  // style scaled up for a larger photo grows its corner with it and keeps its fade, so the shadow
  // is the preview's shadow enlarged rather than a wider, fainter one.
  const double factor = s.size_factor > 0 && std::isfinite(s.size_factor) ? s.size_factor : 1.0;
  const double own = static_cast<double>(size) / factor;
  g.corner = factor == 1.0 ? 3 * size + 10 : std::llround(std::clamp((3 * own + 10) * factor, -4e18, 4e18));
  // The fade must lie inside 0..0.95 for the blend to be a valid ascending list.
  g.blend_positions = {0.0f, std::clamp(0.05f + static_cast<float>(own) * 0.01f, 0.0f, 0.95f), 0.95f, 1.0f};
  return g;
}

QBrush TextureBrush(const TextureList& textures, int index, int size, int opacity, QSize reach) {
  const QImage tile = textures.Tile(index);
  if (tile.isNull() || size <= 0 || PassesCeiling(size, size)) return QBrush(Qt::NoBrush);
  QImage scaled = NewImage(std::clamp(reach.width(), 1, size), std::clamp(reach.height(), 1, size));
  ToneMatrix attributes;
  if (opacity >= 0) SetAlphaScale(opacity, attributes);
  DrawImageRect(scaled, QRectF(0, 0, size, size), tile, QRectF(0, 0, tile.width(), tile.height()),
                attributes);
  return QBrush(scaled);
}

// Fills rect with a tiled brush a few rows at a time. Qt splits a fill of many rows over its own
// thread pool, outside the one the program bounds; strips this short it fills on the calling
// thread, and the tiles land where one fill would put them.
void FillInStrips(QPainter& canvas, const QRect& rect, const QBrush& brush) {
  constexpr int kStripRows = 16;
  for (int top = rect.top(); top <= rect.bottom(); top += kStripRows)
    canvas.fillRect(QRect(rect.left(), top, rect.width(), std::min(kStripRows, rect.bottom() + 1 - top)),
                    brush);
}

void DrawBackground(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s,
                    const TextureList& textures) {
  const QRect all(QPoint(0, 0), layout.canvas);
  if (IsOn(s.back_color_text)) {
    // A texture margin is drawn at the tile's own alpha: BackOpacity does not apply.
    const QBrush brush = TextureBrush(textures, s.back_text, s.back_text_size, -1, layout.canvas);
    if (brush.style() != Qt::NoBrush) FillInStrips(canvas, all, brush);
  } else {
    canvas.fillRect(all, Argb(s.back_opacity, s.back_color));
  }
}

void DrawDropShadow(QImage& canvas, const FrameLayout& layout, const FrameStyle& s,
                    const std::vector<RowSpan>* skip) {
  const ShadowGeometry g = ComputeShadowGeometry(layout, s);
  if (g.width <= 0 || g.height <= 0) return;
  // The blend: BackColor at alpha 0 on the outline, the shadow colour from the second position on.
  const QRgb edge = StyleArgb(0, s.back_color);
  const QRgb full = StyleArgb(s.shadow_opacity, s.shadow_color);
  const float fade = g.blend_positions[1];
  constexpr int kSteps = 1024;
  std::vector<std::uint32_t> ramp(kSteps + 1);
  for (int i = 0; i <= kSteps; ++i) {
    const float t = static_cast<float>(i) / kSteps;
    ramp[i] = qPremultiply(t >= fade || fade <= 0 ? full : Mix(edge, full, t / fade));
  }
  const ShadowGauge gauge(static_cast<double>(g.width), static_cast<double>(g.height),
                          static_cast<double>(g.corner));
  const double cx = static_cast<double>(g.width) / 2, cy = static_cast<double>(g.height) / 2;
  // The shadow's part on the canvas, worked out in 64 bits.
  const qint64 x0 = std::max<qint64>(g.left, 0), y0 = std::max<qint64>(g.top, 0);
  const qint64 x1 = std::min<qint64>(g.left + g.width, canvas.width());
  const qint64 y1 = std::min<qint64>(g.top + g.height, canvas.height());
  if (x0 >= x1 || y0 >= y1) return;
  const QRect area(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0),
                   static_cast<int>(y1 - y0));
  const double origin_x = static_cast<double>(g.left) - 0.5 + cx;
  const double origin_y = static_cast<double>(g.top) - 0.5 + cy;
  uchar* const bits = canvas.bits();
  const qsizetype stride = canvas.bytesPerLine();
  const auto colour_at = [&](double k) {
    return k > 1.0 ? 0u : ramp[static_cast<int>((1.0 - k) * kSteps)];  // none outside the outline
  };
  // Along the left and right sides the colour depends on the column only.
  std::vector<std::uint32_t> column_colours(static_cast<std::size_t>(area.width()));
  for (int x = area.left(); x <= area.right(); ++x)
    column_colours[static_cast<std::size_t>(x - area.left())] = colour_at(gauge.ColumnGauge(x - origin_x));
  ParallelRows(area.height(), area.width(), [&](int first, int end) {
    for (int r = first; r < end; ++r) {
      const int y = area.top() + r;
      const double dy = y - origin_y;
      auto* line = reinterpret_cast<std::uint32_t*>(bits + y * stride);
      int segment = 0;
      const auto shade_each = [&](int from, int to) {
        for (int x = from; x < to; ++x) {
          const double k = gauge.At(x - origin_x, dy, segment);
          if (k > 1.0) continue;  // outside the outline: no smoothing on the shadow bitmap
          line[x] = PixelOver(ramp[static_cast<int>((1.0 - k) * kSteps)], line[x]);
        }
      };
      const auto shade_columns = [&](int from, int to) {
        for (int x = from; x < to; ++x)
          line[x] = PixelOver(column_colours[static_cast<std::size_t>(x - area.left())], line[x]);
      };
      const double row_reach = gauge.RowReach(dy), column_reach = gauge.ColumnReach(dy);
      const std::uint32_t row_colour = colour_at(gauge.RowGauge(dy));
      // Cuts [from, to) at x = v, clamped so the cuts stay in order.
      const auto cut = [](double v, int from, int to) {
        return static_cast<int>(std::clamp(v, static_cast<double>(from), static_cast<double>(to)));
      };
      // Left side, left corner, top or bottom side, right corner, right side.
      const auto shade = [&](int from, int to) {
        const int a = cut(std::ceil(origin_x - column_reach), from, to);
        const int b = row_reach > 0 ? cut(std::floor(origin_x - row_reach) + 1, a, to) : a;
        const int c = row_reach > 0 ? cut(std::ceil(origin_x + row_reach), b, to) : b;
        const int d = cut(std::floor(origin_x + column_reach) + 1, c, to);
        shade_columns(from, a);
        shade_each(a, b);
        BlendPixelOverRow(line, b, c, row_colour);
        shade_each(c, d);
        shade_columns(d, to);
      };
      const int left = area.left(), end = area.right() + 1;
      const RowSpan hole = skip ? (*skip)[static_cast<std::size_t>(y)] : RowSpan{};
      if (hole.begin < hole.end) {
        shade(left, std::clamp(hole.begin, left, end));
        shade(std::clamp(hole.end, left, end), end);
      } else {
        shade(left, end);
      }
    }
  });
}

void DrawFrameBand(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s,
                   const TextureList& textures) {
  if (IsOn(s.frame_color_text)) {
    const QBrush brush =
        TextureBrush(textures, s.frame_text, s.frame_text_size, s.frame_opacity, layout.canvas);
    if (brush.style() != Qt::NoBrush) FillInStrips(canvas, layout.framed_rect, brush);
  } else {
    canvas.fillRect(layout.framed_rect, Argb(s.frame_opacity, s.frame_color));
  }
}

void FillWindow(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s) {
  const QColor colour = IsOn(s.color_draw) ? Argb(s.color_opacity, s.color_color) : QColor(Qt::transparent);
  if (IsOn(s.frame_include) && !IsOn(s.frame_draw)) {
    canvas.fillRect(QRect(QPoint(layout.margin, layout.margin), layout.photo), colour);
    return;
  }
  switch (WindowShapeOf(s.frame_sharp)) {
    case WindowShape::Rectangle:
      if (HasArea(layout.window_rect)) canvas.fillRect(layout.window_rect, colour);
      break;
    case WindowShape::Oval:
      if (HasArea(layout.window_rect)) {
        canvas.setPen(Qt::NoPen);
        canvas.setBrush(colour);
        canvas.drawEllipse(QRectF(layout.window_rect));
      }
      break;
    case WindowShape::Diamond:
      FillDiamond(canvas, layout.canvas, layout.diamond_inset, QBrush(colour));
      break;
    default:
      break;  // no such shape: nothing is cut
  }
}

void DrawStroke(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s) {
  // An inset pen: the whole width lies inside the framed rectangle, so the stroke is the ring
  // between that rectangle and the rectangle shrunk by the width.
  const QRectF outer(layout.framed_rect);
  const double width = PenWidth(s.stroke_size);
  if (width <= 0 || outer.isEmpty()) return;
  QPainterPath ring;
  ring.setFillRule(Qt::OddEvenFill);
  ring.addRect(outer);
  const QRectF inner = outer.adjusted(width, width, -width, -width);
  if (inner.width() > 0 && inner.height() > 0) ring.addRect(inner);
  canvas.fillPath(ring, Argb(s.stroke_opacity, s.stroke_color));
}

namespace {

// A centred pen wider than twice the canvas's extent covers all of it wherever its path lies on the
// canvas; wider pens draw the same and only cost the stroker time.
int LinePenWidth(const FrameLayout& layout, std::int32_t size) {
  const qint64 all = 2 * (qint64{layout.canvas.width()} + layout.canvas.height()) + 2;
  return static_cast<int>(std::min<qint64>(PenWidth(size), std::max<qint64>(all, 1)));
}

}  // namespace

void DrawLine(QPainter& canvas, const FrameLayout& layout, const FrameStyle& s) {
  const int width = LinePenWidth(layout, s.line_size);
  if (width <= 0) return;
  QPen pen(Argb(s.line_opacity, s.line_color), width);
  pen.setJoinStyle(Qt::MiterJoin);
  canvas.setPen(pen);
  canvas.setBrush(Qt::NoBrush);
  switch (WindowShapeOf(s.frame_sharp)) {
    case WindowShape::Rectangle:
      if (HasArea(layout.window_rect)) canvas.drawRect(QRectF(layout.window_rect));
      break;
    case WindowShape::Oval:
      if (HasArea(layout.window_rect)) canvas.drawEllipse(QRectF(layout.window_rect));
      break;
    case WindowShape::Diamond:
      StrokeDiamond(canvas, layout.canvas, layout.diamond_inset, s.line_opacity, width, s.line_color);
      break;
    default:
      break;
  }
}

void FillDiamond(QPainter& canvas, QSize canvas_size, int inset, const QBrush& brush) {
  canvas.fillPath(DiamondPath(canvas_size, inset), brush);
}

void StrokeDiamond(QPainter& canvas, QSize canvas_size, int inset, int opacity, int width,
                   std::int32_t colour) {
  QPen pen(Argb(opacity, colour), width);
  pen.setJoinStyle(Qt::MiterJoin);
  canvas.strokePath(DiamondPath(canvas_size, inset), pen);
}

namespace {

// True when the band's fill replaces every pixel of the framed rectangle: it is on and has a brush.
bool BandCoversFramedRect(const FrameStyle& s, const TextureList& textures) {
  if (!IsOn(s.frame_draw)) return false;
  return !IsOn(s.frame_color_text) || (!textures.Tile(s.frame_text).isNull() && s.frame_text_size > 0);
}

// Paints the effect steps on a transparent canvas. With sparse set it skips what later steps
// replace anyway: the background and the shadow inside the framed rectangle when the band covers
// it, and the background, shadow, band and window fill over keep_out (per row, columns inside the
// flat area, which stroke and line never reach).
void PaintEffects(QImage& canvas, const FrameLayout& layout, const FrameStyle& s, const TextureList& textures,
                  bool sparse, const std::vector<RowSpan>& keep_out) {
  const QRect all(QPoint(0, 0), layout.canvas);
  const QRect covered = sparse && BandCoversFramedRect(s, textures) ? layout.framed_rect & all : QRect();
  QRegion clip(all);
  if (sparse) {
    // The painter clip: the canvas less rectangles inside keep_out, one per band of rows (the
    // narrowest span of the band), so the region stays a few hundred rectangles.
    constexpr int kBandRows = 8;
    std::vector<QRect> holes;
    const int rows = static_cast<int>(keep_out.size());
    for (int top = 0; top < rows; top += kBandRows) {
      const int bottom = std::min(rows, top + kBandRows);
      int begin = INT_MIN, end = INT_MAX;
      for (int y = top; y < bottom; ++y) {
        begin = std::max(begin, keep_out[static_cast<std::size_t>(y)].begin);
        end = std::min(end, keep_out[static_cast<std::size_t>(y)].end);
      }
      if (begin < end) holes.emplace_back(begin, top, end - begin, bottom - top);
    }
    QRegion hole_region;
    hole_region.setRects(holes.data(), static_cast<int>(holes.size()));
    clip = clip.subtracted(hole_region);
  }
  const auto open = [&](QPainter& p, const QRegion& region) {
    p.begin(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Source-copy: every fill replaces the pixels beneath, alpha included; this is what lets the
    // window fill cut the opening out of the band.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (sparse) p.setClipRegion(region);
  };
  QPainter painter;
  if (IsOn(s.back_draw)) {
    open(painter, clip.subtracted(QRegion(covered)));
    DrawBackground(painter, layout, s, textures);
    painter.end();
  }
  if (IsOn(s.shadow_draw)) {
    std::vector<RowSpan> skip;
    if (sparse) {
      skip = keep_out;
      skip.resize(static_cast<std::size_t>(layout.canvas.height()));
      for (int y = std::max(0, covered.top()); y <= covered.bottom(); ++y)
        skip[static_cast<std::size_t>(y)] = RowSpan{covered.left(), covered.right() + 1};
    }
    // The shadow blends over the background, unlike the other steps.
    DrawDropShadow(canvas, layout, s, sparse ? &skip : nullptr);
  }
  open(painter, clip);
  if (IsOn(s.frame_draw)) DrawFrameBand(painter, layout, s, textures);
  FillWindow(painter, layout, s);
  painter.setClipping(false);
  if (IsOn(s.stroke_draw)) DrawStroke(painter, layout, s);
  if (IsOn(s.line_draw)) DrawLine(painter, layout, s);
  painter.end();
}

}  // namespace

QImage RenderEffectsCanvas(const FrameLayout& layout, const FrameStyle& s, const TextureList& textures) {
  QImage canvas = NewImage(layout.canvas.width(), layout.canvas.height());
  if (!canvas.isNull()) PaintEffects(canvas, layout, s, textures, false, {});
  return canvas;
}

std::vector<RowSpan> ComputeFlatArea(const FrameLayout& layout, const FrameStyle& s) {
  const int rows = std::max(0, layout.canvas.height());
  std::vector<RowSpan> flat(static_cast<std::size_t>(rows));
  // Margins: a pixel and a half clears the anti-aliased edge of a straight side; curves get one more
  // for the flattening of the ellipse's Bezier arcs and of the pen's offset curves.
  constexpr double kEdge = 1.5;
  constexpr double kCurve = 1.0;
  std::vector<HalfPlane> planes;
  if (IsOn(s.frame_include) && !IsOn(s.frame_draw)) {
    AddConvexPolygon(planes, RectPolygon(QRectF(QRect(QPoint(layout.margin, layout.margin), layout.photo))),
                     kEdge);
  } else if (!AddWindowShape(planes, layout, s.frame_sharp, kEdge, kCurve)) {
    return flat;  // no window: the band or background stays everywhere
  }
  const double stroke = PenWidth(s.stroke_size);
  if (IsOn(s.stroke_draw) && stroke > 0 && !layout.framed_rect.isEmpty()) {
    // The inset stroke covers the framed rectangle's rim, and all of it when the rim meets itself.
    const QRectF inner = QRectF(layout.framed_rect).adjusted(stroke, stroke, -stroke, -stroke);
    if (inner.width() <= 0 || inner.height() <= 0) return flat;
    AddConvexPolygon(planes, RectPolygon(inner), kEdge);
  }
  if (IsOn(s.line_draw)) {
    // The centred pen reaches half its width inside; a negative size draws no line.
    const int width = LinePenWidth(layout, s.line_size);
    if (width > 0) AddWindowShape(planes, layout, s.frame_sharp, width / 2.0 + kEdge, kCurve);
  }
  for (int y = 0; y < rows; ++y) {
    // A pixel lies inside the convex area when its four corners do: narrow by its top and bottom edges.
    double lo = 0, hi = layout.canvas.width();
    NarrowAt(planes, y, lo, hi);
    NarrowAt(planes, y + 1.0, lo, hi);
    if (hi <= lo) continue;
    flat[static_cast<std::size_t>(y)] =
        RowSpan{static_cast<int>(std::ceil(lo)), static_cast<int>(std::floor(hi))};
  }
  return flat;
}

SparseEffectsCanvas RenderSparseEffectsCanvas(const FrameLayout& layout, const FrameStyle& s,
                                              const TextureList& textures) {
  SparseEffectsCanvas result;
  result.image = NewImage(layout.canvas.width(), layout.canvas.height());
  if (result.image.isNull()) return result;
  result.flat = ComputeFlatArea(layout, s);
  // Left blank: the flat pixels whose eight neighbours are flat too.
  const int rows = static_cast<int>(result.flat.size());
  result.unpainted.resize(result.flat.size());
  for (int y = 1; y + 1 < rows; ++y) {
    int begin = INT_MIN, end = INT_MAX;
    for (int k = y - 1; k <= y + 1; ++k) {
      begin = std::max(begin, result.flat[static_cast<std::size_t>(k)].begin);
      end = std::min(end, result.flat[static_cast<std::size_t>(k)].end);
    }
    if (end - begin > 2) result.unpainted[static_cast<std::size_t>(y)] = RowSpan{begin + 1, end - 1};
  }
  PaintEffects(result.image, layout, s, textures, true, result.unpainted);
  // The fill colour as the painter wrote it: read back from a flat pixel that was painted.
  for (int y = 0; y < rows; ++y) {
    const RowSpan f = result.flat[static_cast<std::size_t>(y)];
    if (f.begin < f.end) {
      result.flat_colour = reinterpret_cast<const std::uint32_t*>(result.image.constScanLine(y))[f.begin];
      break;
    }
  }
  return result;
}

void FillUnpainted(SparseEffectsCanvas& canvas) {
  if (canvas.image.isNull()) return;
  for (int y = 0; y < static_cast<int>(canvas.unpainted.size()); ++y) {
    const RowSpan u = canvas.unpainted[static_cast<std::size_t>(y)];
    auto* line = reinterpret_cast<std::uint32_t*>(canvas.image.scanLine(y));
    if (u.begin < u.end) std::fill(line + u.begin, line + u.end, canvas.flat_colour);
  }
}
