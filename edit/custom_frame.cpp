// Drawing the custom frames.
#include "edit/custom_frame.h"

#include <algorithm>
#include <cmath>

namespace {

QImage Filled(QSize size, QRgb colour) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

QRgb Grey(int level) { return qRgba(level, level, level, 255); }

// The soft line's strength, 0..1, at share s of the way from the edge (0) to the centre (1):
// rising to the peak, falling to the end, nothing beyond.
double SoftLineProfile(double s) {
  if (s < 0.0 || s >= kSoftLineEnd) return 0.0;
  if (s <= kSoftLinePeak) return s / kSoftLinePeak;
  return (kSoftLineEnd - s) / (kSoftLineEnd - kSoftLinePeak);
}

}  // namespace

void DrawCustomFrame(CustomFrames& frames, CustomFrameShape shape, const CustomFrameSettings& settings,
                     QRect shown_photo) {
  const QSize size = frames.masked.size();
  const int border =
      std::clamp(settings.border, CustomFrameSettings::kMinBorder, CustomFrameSettings::kMaxBorder);
  const int opacity =
      std::clamp(settings.opacity, CustomFrameSettings::kMinOpacity, CustomFrameSettings::kMaxOpacity);
  const QRect photo = shown_photo.isEmpty() ? QRect(QPoint(0, 0), size) : shown_photo;
  QColor colour = settings.colour.isValid() ? settings.colour : QColor(Qt::black);
  colour.setAlpha(255);
  frames.picture = Filled(size, colour.rgba());

  if (shape == CustomFrameShape::Window) {
    // The frame's opacity everywhere, nothing in the window.
    frames.mask = Filled(size, Grey(opacity));
    // A border of half the photo or more leaves no window (and an inverted rectangle, never to be
    // intersected as if it were one).
    QRect window = photo.adjusted(border, border, -border, -border);
    if (window.isEmpty()) return;
    window = window.intersected(QRect(QPoint(0, 0), size));
    for (int y = window.top(); y <= window.bottom() && !window.isEmpty(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(frames.mask.scanLine(y));
      std::fill(row + window.left(), row + window.right() + 1, Grey(0));
    }
    return;
  }

  // The soft line follows rectangles shrunk towards the photo's centre: a pixel's share of the way
  // in is one less the larger of its horizontal and vertical distances from the centre, each
  // measured in half the photo's width or height.
  frames.mask = Filled(size, Grey(0));
  const double cx = photo.x() + photo.width() / 2.0;
  const double cy = photo.y() + photo.height() / 2.0;
  const double half_w = photo.width() / 2.0;
  const double half_h = photo.height() / 2.0;
  const QRect area = photo.intersected(QRect(QPoint(0, 0), size));
  for (int y = area.top(); y <= area.bottom() && !area.isEmpty(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(frames.mask.scanLine(y));
    const double dy = std::abs(y + 0.5 - cy) / half_h;
    for (int x = area.left(); x <= area.right(); ++x) {
      const double dx = std::abs(x + 0.5 - cx) / half_w;
      const double s = 1.0 - std::max(dx, dy);
      row[x] = Grey(int(std::lround(SoftLineProfile(s) * opacity)));
    }
  }
}
