// Crop dialog geometry.
#include "edit/crop_geometry.h"

#include <algorithm>
#include <cstdint>

namespace {

// Clamp that tolerates an empty range (lo > hi, a view smaller than a handle): lo wins.
std::int64_t Within(std::int64_t v, std::int64_t lo, std::int64_t hi) {
  return std::max(lo, std::min(v, hi));
}

std::int64_t LongSide(QSize oriented) { return std::max(oriented.width(), oriented.height()); }

// Whether handle index moves the left, right, top or bottom edge.
struct Edges {
  bool left, right, top, bottom;
};
constexpr Edges kHandleEdges[8] = {
    {true, false, true, false},  {false, false, true, false}, {false, true, true, false},
    {true, false, false, false}, {false, true, false, false}, {true, false, false, true},
    {false, false, false, true}, {false, true, false, true},
};

}  // namespace

QSize CropViewSize(QSize oriented) {
  const std::int64_t w = std::max(0, oriented.width()), h = std::max(0, oriented.height());
  if (w == 0 || h == 0) return {};
  if (w > h)
    return QSize(kCropViewLongSide, static_cast<int>(std::max<std::int64_t>(1, h * kCropViewLongSide / w)));
  return QSize(static_cast<int>(std::max<std::int64_t>(1, w * kCropViewLongSide / h)), kCropViewLongSide);
}

QSize CropDialogSize(QSize view) { return view + QSize(20, 86); }

QPoint CropViewOrigin(QSize view) { return QPoint((CropDialogSize(view).width() - view.width()) / 2 - 3, 8); }

QRect OpeningSelection(const CropRect& crop, QSize oriented, QSize view) {
  if (crop.IsEmpty() || view.isEmpty()) return QRect(QPoint(0, 0), view);
  const std::int64_t l = LongSide(oriented);
  const auto to_view = [l](int v) {
    return static_cast<std::int64_t>(std::max(0, v)) * kCropViewLongSide / l + 1;
  };
  const std::int64_t vw = view.width(), vh = view.height();
  const std::int64_t min_w = std::min<std::int64_t>(kCropHandleSize, vw);
  const std::int64_t min_h = std::min<std::int64_t>(kCropHandleSize, vh);
  // Size first (at least a handle, at most the view), then the corner so that it fits.
  const std::int64_t w = Within(to_view(crop.width), min_w, vw);
  const std::int64_t h = Within(to_view(crop.height), min_h, vh);
  const std::int64_t x = Within(to_view(crop.x), 0, vw - w);
  const std::int64_t y = Within(to_view(crop.y), 0, vh - h);
  return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
}

std::array<QPoint, 8> CropHandlePositions(const QRect& s) {
  const int hs = kCropHandleSize;
  std::array<QPoint, 8> at;
  at[0] = QPoint(s.left(), s.top());
  at[2] = QPoint(s.left() + s.width() - hs, s.top());
  at[1] = QPoint(at[0].x() + (at[2].x() - at[0].x()) / 2, s.top());
  at[5] = QPoint(s.left(), s.top() + s.height() - hs);
  at[3] = QPoint(s.left(), at[0].y() + (at[5].y() - at[0].y()) / 2);
  at[7] = QPoint(at[2].x(), at[5].y());
  at[4] = QPoint(at[2].x(), at[3].y());
  at[6] = QPoint(at[1].x(), at[5].y());
  return at;
}

std::optional<QRect> DragCropHandle(const QRect& s, int index, QPoint delta, QSize view) {
  if (index < 0 || index > 7) return std::nullopt;
  const Edges e = kHandleEdges[index];
  const std::int64_t hs = kCropHandleSize;
  std::int64_t l = s.left(), t = s.top(), r = l + s.width(), b = t + s.height();
  const std::int64_t dx = delta.x(), dy = delta.y();
  bool moved = false;
  if (e.left) {
    const std::int64_t nl = Within(l + dx, 0, r - hs);
    moved |= nl != l;
    l = nl;
  }
  if (e.right) {
    // The handle's left edge moves; the selection's right edge is one handle further.
    const std::int64_t nh = Within(r - hs + dx, l, view.width() - hs);
    moved |= nh + hs != r;
    r = nh + hs;
  }
  if (e.top) {
    const std::int64_t nt = Within(t + dy, 0, b - hs);
    moved |= nt != t;
    t = nt;
  }
  if (e.bottom) {
    const std::int64_t nh = Within(b - hs + dy, t, view.height() - hs);
    moved |= nh + hs != b;
    b = nh + hs;
  }
  if (!moved) return std::nullopt;
  return QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t));
}

std::optional<QRect> DragCropBody(const QRect& s, QPoint delta, QSize view) {
  const std::int64_t dx = Within(delta.x(), -static_cast<std::int64_t>(s.left()),
                                 static_cast<std::int64_t>(view.width()) - s.left() - s.width());
  const std::int64_t dy = Within(delta.y(), -static_cast<std::int64_t>(s.top()),
                                 static_cast<std::int64_t>(view.height()) - s.top() - s.height());
  if (dx == 0 && dy == 0) return std::nullopt;
  return s.translated(static_cast<int>(dx), static_cast<int>(dy));
}

CropRect CropForSelection(const QRect& s, QSize oriented) {
  const std::int64_t l = LongSide(oriented);
  const auto to_photo = [l](int v) {
    return static_cast<std::int64_t>(std::max(0, v)) * l / kCropViewLongSide;
  };
  const std::int64_t w_max = std::max(0, oriented.width()), h_max = std::max(0, oriented.height());
  const std::int64_t x = std::min(to_photo(s.left()), w_max), y = std::min(to_photo(s.top()), h_max);
  const std::int64_t w = std::min(to_photo(s.width()), w_max - x),
                     h = std::min(to_photo(s.height()), h_max - y);
  return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
}

CropRect AcceptedCrop(const CropRect& stored, const QRect& opened, const QRect& selection, QSize oriented) {
  if (selection != opened) return CropForSelection(selection, oriented);
  if (stored.IsEmpty()) return {0, 0, oriented.width(), oriented.height()};
  return stored;
}

QSize CurrentCropLabelSize(const CropRect& stored, const QRect& opened, const QRect& selection,
                           QSize oriented) {
  const std::int64_t l = LongSide(oriented);
  if (stored.IsEmpty() || selection != opened || l <= 0) return selection.size();
  const auto to_view = [l](int v) {
    return static_cast<int>((static_cast<std::int64_t>(std::max(0, v)) * kCropViewLongSide * 2 + l) /
                            (2 * l));
  };
  return QSize(to_view(stored.width), to_view(stored.height));
}
