// Caption font, caption drawing and the preview's caption layer.
#include "edit/caption_layer.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "styles/frame_style.h"

QFont CaptionFont(const CaptionSettings& caption) {
  QFont font(caption.font_name);
  const int points = std::clamp(caption.size, kCaptionMinPoints, kCaptionMaxPoints);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
  font.setBold(IsBold(caption.style));
  font.setItalic(IsItalic(caption.style));
  font.setHintingPreference(QFont::PreferNoHinting);  // the same shapes whatever the screen says
  return font;
}

QString CaptionFamilyInUse(const QString& font_name) { return QFontInfo(QFont(font_name)).family(); }

namespace {

void DrawText(QPainter& painter, QPointF at, const QString& text, QRgb argb) {
  painter.setPen(QColor::fromRgba(argb));
  // A zero-size layout rectangle: no wrapping and no clipping, only the text's own line breaks.
  painter.drawText(QRectF(at, QSizeF(0, 0)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs, text);
}

}  // namespace

void DrawCaptionText(QPainter& painter, QPointF origin, const CaptionSettings& caption) {
  DrawText(painter, origin + QPointF(2, 2), caption.text,
           StyleArgb(caption.shadow_opacity, caption.shadow_colour));
  DrawText(painter, origin, caption.text, StyleArgb(caption.face_opacity, caption.face_colour));
}

QImage BuildCaptionLayer(const CaptionSettings& caption, float fit_factor, QSize screen) {
  QImage layer(screen, QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  if (caption.text.isEmpty() || !(fit_factor > 0.0f) || layer.isNull()) return layer;
  // The text is drawn at the size it has on the full-size photo and the picture of it scaled
  // down: a smaller font, or a scaled painter, would round its line heights and advances at the
  // small size and change its proportions against the saved picture.
  const QFont font = CaptionFont(caption);
  const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs;
  const QRectF box = QFontMetricsF(font).boundingRect(QRectF(0, 0, 0, 0), flags, caption.text);
  // Room for glyphs that overhang their advance (italics) and for the shadow's 2 pixels.
  const double pad = font.pixelSize() / 2.0 + 2.0;
  // Whole pixels at its corners, so that at fit factor 1 the picture lands on the layer unresampled.
  const QPointF corner(std::floor(box.left() - pad), std::floor(box.top() - pad));
  const QRectF area(corner, QPointF(std::ceil(box.right() + pad + 2.0), std::ceil(box.bottom() + pad + 2.0)));
  // A huge caption is drawn at a reduced scale, so that its picture stays within kMaxPixels.
  constexpr double kMaxPixels = 16.0 * 1024 * 1024;
  const double scale = std::min(1.0, std::sqrt(kMaxPixels / (area.width() * area.height())));
  QImage text(std::max(1, static_cast<int>(std::ceil(area.width() * scale))),
              std::max(1, static_cast<int>(std::ceil(area.height() * scale))),
              QImage::Format_ARGB32_Premultiplied);
  if (text.isNull()) return layer;
  text.fill(Qt::transparent);
  {
    QPainter painter(&text);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(scale, scale);
    painter.translate(-area.topLeft());
    painter.setFont(font);
    DrawCaptionText(painter, QPointF(0, 0), caption);
  }
  const QRectF target(caption.position + area.topLeft() / fit_factor, area.size() / fit_factor);
  // Area-averaged down to about its size on the screen, then placed at its fractional position.
  const QSize rounded(std::max(1, static_cast<int>(std::lround(target.width()))),
                      std::max(1, static_cast<int>(std::lround(target.height()))));
  if (rounded.width() > 4 * screen.width() || rounded.height() > 4 * screen.height()) {
    // Mostly off the screen: scaling it whole would cost more than it shows.
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, text);
    return layer;
  }
  const QImage small = text.scaled(rounded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&layer);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(target, small);
  return layer;
}
