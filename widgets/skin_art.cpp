// Loading the skin artwork, with plain drawn stand-ins.
#include "widgets/skin_art.h"

#include "base/screen_size.h"
#include "widgets/skin_colours.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kFace(kSkinFace);
const QColor kStrip(kSkinStrip);
const QColor kDark(kSkinCaption);
const QColor kGlyph(113, 179, 53);

QImage LoadResource(const QString& name, QSize expected) {
  const QString path = QStringLiteral(":/skin/") + name;
  if (!QFile::exists(path)) return QImage();
  QImage image(path);
  // Artwork of another size would misplace every control over it; the stand-in is better then.
  if (image.isNull() || (expected.isValid() && image.size() != expected)) return QImage();
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// On a dense screen the double-size artwork, marked as such so that it is drawn at the same size.
QImage LoadSharpest(const QString& base, QSize size, qreal device_pixel_ratio) {
  if (device_pixel_ratio > 1.0) {
    QImage image = LoadResource(base + QStringLiteral("@2x.png"), size * 2);
    if (!image.isNull()) {
      image.setDevicePixelRatio(2.0);
      return image;
    }
  }
  return LoadResource(base + QStringLiteral(".png"), size);
}

QPainterPath WindowOutline() {
  QPainterPath path;
  path.addRoundedRect(QRectF(6, 6, kSkinSize.width() - 12, kSkinSize.height() - 12), 26, 26);
  return path;
}

QImage DrawnBackground() {
  QImage image(kSkinSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillPath(WindowOutline(), QColor(226, 240, 206));
  p.setPen(QPen(QColor(118, 187, 55), 2));
  p.drawPath(WindowOutline());
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(kSkinBorder));
  p.drawRoundedRect(QRectF(14, 12, 772, 37), 12, 12);  // title band under the drag bar
  p.setBrush(kStrip);
  p.drawRoundedRect(QRectF(58, 50, 704, 61), 8, 8);  // toolbar strip
  p.setBrush(QColor(246, 251, 240));
  p.drawRoundedRect(QRectF(40, 116, 374, 222), 8, 8);   // photo area
  p.drawRoundedRect(QRectF(40, 351, 374, 226), 8, 8);   // template area
  p.drawRoundedRect(QRectF(410, 114, 362, 466), 8, 8);  // preview and tools
  p.setPen(kDark);
  QFont font = p.font();
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(30, 14, 300, 33), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Lumisto"));
  p.drawText(QRectF(714, 21, 21, 19), Qt::AlignCenter, QStringLiteral("?"));
  p.drawText(QRectF(738, 21, 21, 19), Qt::AlignCenter, QStringLiteral("_"));
  p.drawText(QRectF(761, 21, 21, 19), Qt::AlignCenter, QStringLiteral("x"));
  p.drawText(QRectF(51, 118, 200, 18), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Photos"));
  p.drawText(QRectF(51, 353, 200, 18), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Templates"));
  return image;
}

QImage DrawnShape() {
  QImage image(kSkinSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.fillPath(WindowOutline(), Qt::black);
  return image;
}

QImage DrawnStartPicture() {
  QImage image(kScreenSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kFace, 3));
  p.drawRoundedRect(QRectF(40, 40, 235, 235), 10, 10);
  p.setPen(kDark);
  p.drawText(QRectF(QPointF(0, 0), kScreenSize), Qt::AlignCenter,
             QStringLiteral("Choose a photo and a template"));
  return image;
}

QImage DrawnGlyph(const QString& name) {
  QImage image(kGlyphSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kGlyph, 3));
  const QRectF box(14, 8, 29, 26);
  if (name == u"mail") {
    p.drawRect(box);
    p.drawPolyline(QPolygonF({box.topLeft(), box.center(), box.topRight()}));
  } else if (name == u"save") {
    p.drawRect(box);
    p.drawRect(QRectF(box.left() + 7, box.top(), 15, 9));
  } else if (name == u"print") {
    p.drawRect(QRectF(box.left(), box.top() + 9, box.width(), 12));
    p.drawRect(QRectF(box.left() + 6, box.top(), 17, 9));
  } else {
    p.drawEllipse(box.center(), 12, 12);
    p.drawLine(box.center(), box.center() + QPointF(0, -9));
  }
  QFont font = p.font();
  font.setPixelSize(9);
  p.setFont(font);
  p.drawText(QRectF(0, 37, 57, 13), Qt::AlignCenter, name);
  return image;
}

}  // namespace

QImage SkinBackground(qreal device_pixel_ratio) {
  QImage image = LoadSharpest(QStringLiteral("ui"), kSkinSize, device_pixel_ratio);
  return image.isNull() ? DrawnBackground() : image;
}

QImage SkinShape() {
  QImage image = LoadResource(QStringLiteral("shape.png"), kSkinSize);
  return image.isNull() ? DrawnShape() : image;
}

QImage StartPicture(qreal device_pixel_ratio) {
  QImage image = LoadSharpest(QStringLiteral("start"), kScreenSize, device_pixel_ratio);
  return image.isNull() ? DrawnStartPicture() : image;
}

QImage ToolbarGlyph(const QString& name) {
  QImage image = LoadResource(QStringLiteral("glyph_%1.png").arg(name), kGlyphSize);
  return image.isNull() ? DrawnGlyph(name) : image;
}
