// Painting helpers for the skin generator: the palette, soft shadows and pictures drawn at 1x and 2x.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace skin {

// The window's greens: faces, focused faces, borders, highlights, shadows and captions of the flat
// buttons, and the toolbar's cream.
inline const QColor kFace{190, 230, 150};
inline const QColor kFaceLight{217, 240, 193};
inline const QColor kBorder{150, 208, 96};
inline const QColor kHighlight{214, 239, 188};
inline const QColor kShade{118, 187, 55};
inline const QColor kCaption{0, 155, 0};
inline const QColor kToolbarCream{248, 245, 213};
inline const QColor kToolbarGlyph{113, 179, 53};
inline const QColor kInk{52, 110, 22};  // darker green for small details that must stay legible

// Paints a picture in logical pixels (the painter is already scaled to the device pixel ratio).
// scale is that ratio, for painters that need it (shadows are blurred in device pixels).
using PaintFunction = std::function<void(QPainter& painter, qreal scale)>;

// A logical_size picture painted at scale x scale device pixels (ARGB32, premultiplied), filled with
// background first (transparent by default).
QImage RenderPicture(QSize logical_size, qreal scale, const PaintFunction& paint,
                     const QColor& background = Qt::transparent);

// Lays a blurred copy of path (filled with colour, moved by offset) under whatever is painted next.
// blur is the blur radius in logical pixels.
void SoftShadow(QPainter& painter, qreal scale, const QPainterPath& path, qreal blur, QPointF offset,
                const QColor& colour);

// Rounded rectangle as a path (radius in logical pixels).
QPainterPath RoundedRect(const QRectF& rect, qreal radius);

// Writes image as PNG to path; exits the program with a message when the write fails.
void WritePng(const QImage& image, const QString& path);

}  // namespace skin
