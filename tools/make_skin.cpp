// Generator of the main window's artwork: skin, window shape, preview start picture, toolbar glyphs
// and the small glyphs of the photo and template buttons.
//
// Usage: make_skin ASSETS_DIR   writes ASSETS_DIR/skin/{ui,shape,start,glyph_*,button_*}.png (+ @2x)
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

#include "tools/skin_paint.h"

using namespace skin;

namespace {

// Window areas in window pixels; the widgets of the main window sit exactly on these.
constexpr QSize kWindowSize{800, 600};
const QRectF kWindowOutline{4, 4, 792, 592};
constexpr qreal kWindowRadius = 18;
constexpr qreal kTitleBottom = 49;
const QRectF kTitleIcon{22, 16, 28, 26};
const QRectF kHotSpots[3] = {{714, 21, 21, 19}, {738, 21, 21, 19}, {761, 21, 21, 19}};
const QRectF kToolbarStrip{62, 52, 696, 57};
const QRectF kPhotoPanel{40, 114, 372, 226};
const QRectF kPhotoHeader{45, 118, 364, 21};
const QRectF kPhotoWell{46, 140, 360, 157};
const QRectF kPhotoButtonTray{46, 300, 360, 35};
const QPointF kPhotoCells[8] = {{51, 143}, {134, 143}, {218, 142}, {302, 142},
                                {51, 220}, {134, 220}, {218, 220}, {302, 220}};
const QRectF kTemplatePanel{40, 350, 372, 228};
const QRectF kTemplateHeader{45, 354, 364, 22};
const QRectF kTemplateWell{46, 377, 363, 156};
const QRectF kTemplateButtonTray{46, 537, 363, 35};
const QPointF kTemplateCells[8] = {{51, 380}, {134, 380}, {218, 380}, {302, 380},
                                   {51, 458}, {134, 458}, {218, 458}, {302, 458}};
const QRectF kPagesPanel{418, 96, 356, 482};  // its top slips under the toolbar
const QRectF kPreview{430, 110, 315, 315};
const QRectF kToolTray{422, 436, 344, 136};
constexpr qreal kCellSize = 70;

constexpr QSize kStartSize{315, 315};
constexpr QSize kGlyphSize{57, 51};
// The photo and template buttons (53 x 27 and 44 x 27) carry their glyph above the caption, so
// the glyph gets the few rows the caption leaves free.
constexpr QSize kButtonGlyphSize{10, 10};

QFont Font(int pixel_size, bool bold = false, const QString& family = QStringLiteral("DejaVu Sans")) {
  QFont font(family);
  font.setPixelSize(pixel_size);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);  // the same shapes at 1x and 2x
  return font;
}

QPainterPath WindowPath() { return RoundedRect(kWindowOutline, kWindowRadius); }

QColor WithAlpha(QColor colour, int alpha) {
  colour.setAlpha(alpha);
  return colour;
}

// A small landscape in a mat: the program's emblem, used in the title and the start picture.
void PaintFramedLandscape(QPainter& p, const QRectF& r, qreal band) {
  QLinearGradient wood(r.topLeft(), r.bottomRight());
  wood.setColorAt(0, kFace);
  wood.setColorAt(1, kShade);
  p.fillPath(RoundedRect(r, band * 0.5), wood);
  const QRectF mat = r.adjusted(band, band, -band, -band);
  p.fillRect(mat, QColor(253, 252, 244));
  const QRectF view = mat.adjusted(band * 0.6, band * 0.6, -band * 0.6, -band * 0.6);
  p.save();
  p.setClipRect(view);
  QLinearGradient sky(view.topLeft(), view.bottomLeft());
  sky.setColorAt(0, QColor(150, 203, 240));
  sky.setColorAt(1, QColor(236, 246, 250));
  p.fillRect(view, sky);
  const qreal w = view.width();
  const qreal h = view.height();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 210, 100));
  p.drawEllipse(QPointF(view.left() + w * 0.74, view.top() + h * 0.3), w * 0.09, w * 0.09);
  QPainterPath far_hill;
  far_hill.moveTo(view.left(), view.top() + h * 0.72);
  far_hill.cubicTo(view.left() + w * 0.25, view.top() + h * 0.38, view.left() + w * 0.45,
                   view.top() + h * 0.5, view.left() + w * 0.62, view.top() + h * 0.62);
  far_hill.cubicTo(view.left() + w * 0.8, view.top() + h * 0.5, view.left() + w * 0.9, view.top() + h * 0.55,
                   view.right(), view.top() + h * 0.6);
  far_hill.lineTo(view.bottomRight());
  far_hill.lineTo(view.bottomLeft());
  p.fillPath(far_hill, kBorder);
  QPainterPath near_hill;
  near_hill.moveTo(view.left(), view.top() + h * 0.9);
  near_hill.cubicTo(view.left() + w * 0.35, view.top() + h * 0.62, view.left() + w * 0.7,
                    view.top() + h * 0.7, view.right(), view.top() + h * 0.82);
  near_hill.lineTo(view.bottomRight());
  near_hill.lineTo(view.bottomLeft());
  p.fillPath(near_hill, kShade);
  p.restore();
}

void PaintTitleBand(QPainter& p, qreal scale) {
  QPainterPath band;
  band.addRect(QRectF(0, 0, kWindowSize.width(), kTitleBottom));
  band = band.intersected(WindowPath());
  QLinearGradient green(0, kWindowOutline.top(), 0, kTitleBottom);
  green.setColorAt(0, QColor(176, 224, 128));
  green.setColorAt(0.5, QColor(146, 205, 92));
  green.setColorAt(1, QColor(116, 184, 56));
  p.fillPath(band, green);
  p.setPen(QPen(QColor(255, 255, 255, 110), 1));
  p.drawLine(QPointF(kWindowOutline.left() + kWindowRadius, 5.5),
             QPointF(kWindowOutline.right() - kWindowRadius, 5.5));
  p.setPen(QPen(QColor(92, 156, 40), 1));
  p.drawLine(QPointF(kWindowOutline.left(), kTitleBottom - 0.5),
             QPointF(kWindowOutline.right(), kTitleBottom - 0.5));

  SoftShadow(p, scale, RoundedRect(kTitleIcon, 4), 2, {0, 1}, QColor(40, 90, 10, 120));
  PaintFramedLandscape(p, kTitleIcon, 3.5);

  const QPointF title_at(kTitleIcon.right() + 11, 37);
  p.setFont(Font(21, true, QStringLiteral("DejaVu Serif")));
  p.setPen(QColor(58, 118, 20, 150));
  p.drawText(title_at + QPointF(0, 1.2), QStringLiteral("Lumisto"));
  p.setPen(Qt::white);
  p.drawText(title_at, QStringLiteral("Lumisto"));
  const qreal title_width = p.fontMetrics().horizontalAdvance(QStringLiteral("Lumisto"));
  p.setFont(Font(12));
  p.setPen(QColor(238, 250, 226));
  p.drawText(title_at + QPointF(title_width + 12, -1), QStringLiteral("frames for your photos"));
}

void PaintHotSpots(QPainter& p) {
  for (int i = 0; i < 3; ++i) {
    const QRectF r = kHotSpots[i].adjusted(0.5, 0.5, -0.5, -0.5);
    const bool close = i == 2;
    p.setPen(QPen(QColor(255, 255, 255, close ? 200 : 150), 1));
    p.setBrush(close ? QColor(222, 92, 64, 235) : QColor(255, 255, 255, 60));
    p.drawRoundedRect(r, 5, 5);
    QPen symbol(Qt::white, 2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(symbol);
    p.setBrush(Qt::NoBrush);
    const QPointF c = r.center();
    if (i == 0) {
      p.setFont(Font(14, true));
      p.drawText(r.translated(0, 0.5), Qt::AlignCenter, QStringLiteral("?"));
    } else if (i == 1) {
      p.drawLine(QPointF(c.x() - 4.5, c.y() + 4), QPointF(c.x() + 4.5, c.y() + 4));
    } else {
      p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
      p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
    }
  }
}

// The round badge left of the toolbar: a lens aperture.
void PaintBadge(QPainter& p, qreal scale) {
  const QPointF c(35, 80.5);
  const qreal radius = 21;
  QPainterPath disc;
  disc.addEllipse(c, radius, radius);
  SoftShadow(p, scale, disc, 4, {0, 2}, QColor(50, 100, 15, 90));
  QRadialGradient fill(c - QPointF(6, 8), radius * 1.4);
  fill.setColorAt(0, QColor(226, 245, 206));
  fill.setColorAt(1, kFace);
  p.fillPath(disc, fill);
  p.setPen(QPen(kBorder, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(disc);
  // Six blades: each a chord of the lens that leaves a hexagonal opening in the middle.
  const qreal lens = 13;
  QPainterPath ring;
  ring.addEllipse(c, lens, lens);
  QRadialGradient glass(c - QPointF(3, 4), lens * 1.3);
  glass.setColorAt(0, QColor(130, 196, 70));
  glass.setColorAt(1, QColor(70, 140, 28));
  p.fillPath(ring, glass);
  p.setPen(QPen(QColor(226, 245, 206), 1.1));
  for (int i = 0; i < 6; ++i) {
    const qreal a = i * M_PI / 3;
    const QPointF on_ring = c + QPointF(qCos(a), qSin(a)) * lens;
    const QPointF inner = c + QPointF(qCos(a + M_PI / 3 + 0.5), qSin(a + M_PI / 3 + 0.5)) * 5.5;
    p.drawLine(on_ring, inner);
  }
  QPainterPath opening;
  for (int i = 0; i < 6; ++i) {
    const qreal a = i * M_PI / 3 + M_PI / 3 + 0.5;
    const QPointF point = c + QPointF(qCos(a), qSin(a)) * 5.5;
    if (i == 0)
      opening.moveTo(point);
    else
      opening.lineTo(point);
  }
  opening.closeSubpath();
  p.fillPath(opening, QColor(36, 80, 12));
  p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
  p.drawArc(QRectF(c.x() - lens + 2.5, c.y() - lens + 2.5, 2 * lens - 5, 2 * lens - 5), 100 * 16, 60 * 16);
  p.setPen(QPen(QColor(60, 120, 20), 1));
  p.drawPath(ring);
}

void PaintToolbar(QPainter& p, qreal scale) {
  const QRectF outline = kToolbarStrip.adjusted(-1, -1, 1, 1);
  SoftShadow(p, scale, RoundedRect(outline, 3), 4, {0, 2}, QColor(60, 110, 20, 70));
  p.fillPath(RoundedRect(outline, 3), kToolbarCream);
  p.setPen(QPen(kBorder, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(outline.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  p.fillRect(kToolbarStrip, kToolbarCream);  // exactly the strip's own background under it
}

void PaintPanel(QPainter& p, qreal scale, const QRectF& r) {
  const QPainterPath path = RoundedRect(r, 10);
  SoftShadow(p, scale, path, 7, {0, 2.5}, QColor(56, 104, 18, 75));
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0, QColor(253, 255, 249));
  fill.setColorAt(1, QColor(238, 247, 226));
  p.fillPath(path, fill);
  p.setPen(QPen(kBorder, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(RoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 9.5));
}

void PaintHeader(QPainter& p, const QRectF& r) {
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0, kFaceLight);
  fill.setColorAt(1, kFace);
  p.fillPath(RoundedRect(r, 5), fill);
  p.setPen(QPen(WithAlpha(kBorder, 200), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4.5, 4.5);
  p.setPen(QPen(QColor(255, 255, 255, 150), 1));
  p.drawLine(QPointF(r.left() + 5, r.top() + 1.5), QPointF(r.right() - 5, r.top() + 1.5));
}

void PaintWell(QPainter& p, qreal scale, const QRectF& r, const QPointF* cells) {
  p.fillRect(r, Qt::white);
  p.setPen(QPen(QColor(205, 230, 178), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(-0.5, -0.5, 0.5, 0.5));
  for (int i = 0; i < 8; ++i) {
    const QRectF cell(cells[i], QSizeF(kCellSize, kCellSize));
    SoftShadow(p, scale, RoundedRect(cell, 1), 2.5, {0, 1.2}, QColor(40, 70, 20, 70));
    p.fillRect(cell, QColor(250, 252, 247));
  }
}

void PaintButtonTray(QPainter& p, const QRectF& r) {
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0, QColor(236, 246, 224));
  fill.setColorAt(1, QColor(226, 240, 208));
  p.fillPath(RoundedRect(r, 6), fill);
  p.setPen(QPen(QColor(206, 231, 180), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5.5, 5.5);
}

// The section names run up the left margin, beside their panels.
void PaintSideLabel(QPainter& p, const QRectF& panel, const QString& text) {
  p.save();
  p.translate(kWindowOutline.left() + (panel.left() - kWindowOutline.left()) / 2, panel.center().y());
  p.rotate(-90);
  QFont font = Font(11, true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
  p.setFont(font);
  p.setPen(WithAlpha(kCaption, 190));
  p.drawText(QRectF(-panel.height() / 2, -9, panel.height(), 18), Qt::AlignCenter, text);
  p.restore();
}

void PaintPreviewArea(QPainter& p, qreal scale) {
  PaintPanel(p, scale, kPagesPanel);
  const QRectF well = kPreview.adjusted(-1, -1, 1, 1);
  SoftShadow(p, scale, RoundedRect(well, 2), 6, {0, 2.5}, QColor(40, 80, 15, 90));
  p.fillRect(well, QColor(205, 228, 182));
  p.fillRect(kPreview, Qt::white);

  QLinearGradient fill(kToolTray.topLeft(), kToolTray.bottomLeft());
  fill.setColorAt(0, QColor(232, 244, 218));
  fill.setColorAt(1, QColor(222, 238, 202));
  p.fillPath(RoundedRect(kToolTray, 8), fill);
  p.setPen(QPen(QColor(204, 230, 176), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(kToolTray.adjusted(0.5, 0.5, -0.5, -0.5), 7.5, 7.5);
}

void PaintSkin(QPainter& p, qreal scale) {
  QLinearGradient body(0, kWindowOutline.top(), 0, kWindowOutline.bottom());
  body.setColorAt(0, QColor(242, 249, 232));
  body.setColorAt(1, QColor(220, 237, 198));
  p.fillPath(WindowPath(), body);
  QRadialGradient glow(QPointF(560, 300), 520);
  glow.setColorAt(0, QColor(255, 255, 255, 90));
  glow.setColorAt(1, QColor(255, 255, 255, 0));
  p.fillPath(WindowPath(), glow);

  PaintTitleBand(p, scale);
  PaintHotSpots(p);
  PaintBadge(p, scale);

  PaintPanel(p, scale, kPhotoPanel);
  PaintHeader(p, kPhotoHeader);
  PaintWell(p, scale, kPhotoWell, kPhotoCells);
  PaintButtonTray(p, kPhotoButtonTray);
  PaintSideLabel(p, kPhotoPanel, QStringLiteral("PHOTOS"));

  PaintPanel(p, scale, kTemplatePanel);
  PaintHeader(p, kTemplateHeader);
  PaintWell(p, scale, kTemplateWell, kTemplateCells);
  PaintButtonTray(p, kTemplateButtonTray);
  PaintSideLabel(p, kTemplatePanel, QStringLiteral("FRAMES"));

  PaintPreviewArea(p, scale);
  PaintToolbar(p, scale);  // last: the pages panel slips under it

  p.setPen(QPen(kShade, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(RoundedRect(kWindowOutline.adjusted(0.5, 0.5, -0.5, -0.5), kWindowRadius - 0.5));
}

// The silhouette: white outside the rounded window, one solid green inside (never white, so no holes).
QImage RenderShape() {
  QImage shape(kWindowSize, QImage::Format_RGB32);
  shape.fill(Qt::white);
  QPainter p(&shape);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillPath(WindowPath(), kShade);
  return shape;
}

void PaintStartPicture(QPainter& p, qreal scale) {
  const QRectF all(QPointF(0, 0), QSizeF(kStartSize));
  QRadialGradient back(QPointF(157, 130), 230);
  back.setColorAt(0, Qt::white);
  back.setColorAt(1, QColor(230, 243, 216));
  p.fillRect(all, back);

  // A second, plain photo lies behind the framed one.
  p.save();
  p.translate(150, 128);
  p.rotate(-9);
  const QRectF card(-92, -66, 184, 132);
  SoftShadow(p, scale, RoundedRect(card.translated(150, 128), 3), 5, {2, 3}, QColor(40, 80, 15, 60));
  p.fillPath(RoundedRect(card, 3), QColor(250, 250, 246));
  p.fillRect(card.adjusted(8, 8, -8, -8), QColor(214, 232, 196));
  p.restore();

  p.save();
  p.translate(164, 128);
  p.rotate(4);
  const QRectF frame(-98, -72, 196, 144);
  SoftShadow(p, scale, RoundedRect(frame.translated(164, 128), 6), 8, {3, 5}, QColor(30, 70, 10, 110));
  PaintFramedLandscape(p, frame, 13);
  p.restore();

  p.setFont(Font(16, true));
  p.setPen(kCaption);
  p.drawText(QRectF(0, 236, kStartSize.width(), 26), Qt::AlignCenter,
             QStringLiteral("Choose a photo and a frame"));
  p.setFont(Font(12));
  p.setPen(QColor(96, 150, 60));
  p.drawText(QRectF(0, 262, kStartSize.width(), 20), Qt::AlignCenter,
             QStringLiteral("from the lists on the left"));
}

// Toolbar glyphs: drawn in the toolbar's green on a transparent ground.
void PaintGear(QPainter& p, qreal scale) {
  const QPointF c(28.5, 25.5);
  QPainterPath gear;
  const int teeth = 8;
  for (int i = 0; i < teeth * 4; ++i) {
    const qreal angle = (i - 0.5) * M_PI * 2 / (teeth * 4);
    const qreal radius = (i % 4 == 0 || i % 4 == 1) ? 15.5 : 11.5;
    const QPointF point = c + QPointF(qCos(angle), qSin(angle)) * radius;
    if (i == 0)
      gear.moveTo(point);
    else
      gear.lineTo(point);
  }
  gear.closeSubpath();
  gear.addEllipse(c, 5.5, 5.5);
  SoftShadow(p, scale, gear, 1.5, {0, 1}, QColor(40, 90, 10, 80));
  QLinearGradient fill(0, 10, 0, 41);
  fill.setColorAt(0, kFace.darker(105));
  fill.setColorAt(1, kToolbarGlyph);
  p.fillPath(gear, fill);
  p.setPen(QPen(kInk, 1.2));
  p.drawPath(gear);
}

void PaintEnvelope(QPainter& p, qreal scale) {
  const QRectF r(11.5, 13.5, 34, 24);
  SoftShadow(p, scale, RoundedRect(r, 3), 1.5, {0, 1}, QColor(40, 90, 10, 80));
  p.fillPath(RoundedRect(r, 3), QColor(255, 254, 246));
  QPainterPath flap;
  flap.moveTo(r.topLeft() + QPointF(1.5, 1.5));
  flap.lineTo(r.center().x(), r.top() + 14);
  flap.lineTo(r.topRight() + QPointF(-1.5, 1.5));
  p.setPen(QPen(kToolbarGlyph, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);
  p.drawLine(r.bottomLeft() + QPointF(2, -2), QPointF(r.left() + 13, r.top() + 12));
  p.drawLine(r.bottomRight() + QPointF(-2, -2), QPointF(r.right() - 13, r.top() + 12));
  p.setPen(QPen(kInk, 1.5));
  p.drawRoundedRect(r, 3, 3);
}

void PaintDisk(QPainter& p, qreal scale) {
  const QRectF r(13.5, 9.5, 30, 32);
  QPainterPath body;
  body.moveTo(r.topLeft() + QPointF(3, 0));
  body.lineTo(r.right() - 6, r.top());
  body.lineTo(r.right(), r.top() + 6);
  body.lineTo(r.bottomRight() + QPointF(0, -3));
  body.quadTo(r.bottomRight(), r.bottomRight() + QPointF(-3, 0));
  body.lineTo(r.bottomLeft() + QPointF(3, 0));
  body.quadTo(r.bottomLeft(), r.bottomLeft() + QPointF(0, -3));
  body.lineTo(r.topLeft() + QPointF(0, 3));
  body.quadTo(r.topLeft(), r.topLeft() + QPointF(3, 0));
  SoftShadow(p, scale, body, 1.5, {0, 1}, QColor(40, 90, 10, 80));
  QLinearGradient fill(0, r.top(), 0, r.bottom());
  fill.setColorAt(0, kToolbarGlyph.lighter(108));
  fill.setColorAt(1, kToolbarGlyph.darker(108));
  p.fillPath(body, fill);
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(body);
  const QRectF shutter(r.left() + 7, r.top() + 1, 14, 10);
  p.fillRect(shutter, QColor(236, 244, 228));
  p.fillRect(QRectF(shutter.right() - 5, shutter.top() + 2, 3, 6), kInk);
  const QRectF label(r.left() + 4, r.top() + 16, r.width() - 8, r.height() - 18);
  p.fillPath(RoundedRect(label, 1.5), QColor(255, 254, 246));
  p.setPen(QPen(QColor(170, 205, 140), 1));
  for (int i = 0; i < 3; ++i)
    p.drawLine(QPointF(label.left() + 3, label.top() + 4 + i * 4),
               QPointF(label.right() - 3, label.top() + 4 + i * 4));
}

void PaintPrinter(QPainter& p, qreal scale) {
  const QRectF paper_in(18.5, 8.5, 20, 12);
  const QRectF body(10.5, 19.5, 36, 15);
  const QRectF paper_out(17.5, 29.5, 22, 14);
  SoftShadow(p, scale, RoundedRect(body, 3), 1.5, {0, 1}, QColor(40, 90, 10, 80));
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(QColor(255, 254, 246));
  p.drawRect(paper_in);
  QLinearGradient fill(0, body.top(), 0, body.bottom());
  fill.setColorAt(0, kToolbarGlyph.lighter(110));
  fill.setColorAt(1, kToolbarGlyph.darker(108));
  p.setBrush(fill);
  p.drawRoundedRect(body, 3, 3);
  p.setBrush(QColor(255, 208, 90));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(body.right() - 5, body.top() + 4.5), 1.8, 1.8);
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(QColor(255, 254, 246));
  p.drawRect(paper_out);
  p.setPen(QPen(QColor(150, 196, 110), 1.2));
  for (int i = 0; i < 2; ++i)
    p.drawLine(QPointF(paper_out.left() + 4, paper_out.top() + 6 + i * 4),
               QPointF(paper_out.right() - 4, paper_out.top() + 6 + i * 4));
}

// Button glyphs: 10 x 10, outlined in the caption green with a light fill, on whole and half
// pixels so that the single-size pictures stay crisp.
const QColor kGlyphFill{250, 253, 244};

void OutlinePen(QPainter& p) {
  p.setPen(QPen(kCaption, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(kGlyphFill);
}

void PaintOpenGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  QPainterPath folder;
  folder.moveTo(0.5, 1.5);
  folder.lineTo(3.5, 1.5);
  folder.lineTo(4.5, 2.5);
  folder.lineTo(9.5, 2.5);
  folder.lineTo(9.5, 8.5);
  folder.lineTo(0.5, 8.5);
  folder.closeSubpath();
  p.drawPath(folder);
  // The front flap, open towards the viewer.
  QPainterPath flap;
  flap.moveTo(0.5, 8.5);
  flap.lineTo(2.0, 4.5);
  flap.lineTo(9.5, 4.5);
  flap.lineTo(9.5, 8.5);
  flap.closeSubpath();
  p.setBrush(kFace);
  p.drawPath(flap);
}

void PaintDeleteGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.drawRect(QRectF(3.5, 0.5, 3, 1.5));  // handle
  QPainterPath can;
  can.moveTo(1.5, 3.5);
  can.lineTo(8.5, 3.5);
  can.lineTo(7.5, 9.5);
  can.lineTo(2.5, 9.5);
  can.closeSubpath();
  p.drawPath(can);
  p.drawLine(QPointF(0.5, 2.5), QPointF(9.5, 2.5));  // lid
  p.drawLine(QPointF(5.0, 5.0), QPointF(5.0, 8.0));
}

void PaintEditGlyph(QPainter& p, qreal) {
  p.translate(5, 5);
  p.rotate(45);
  OutlinePen(p);
  p.setPen(QPen(kCaption, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.drawRect(QRectF(-1.7, -5.6, 3.4, 8.0));  // the shaft, rubber end at the top right
  QPainterPath tip;
  tip.moveTo(-1.7, 2.4);
  tip.lineTo(1.7, 2.4);
  tip.lineTo(0, 5.4);
  tip.closeSubpath();
  p.setBrush(kCaption);
  p.drawPath(tip);
  p.drawLine(QPointF(-1.7, -3.8), QPointF(1.7, -3.8));
}

void PaintArrowGlyph(QPainter& p, bool up) {
  if (!up) {
    p.translate(0, 10);
    p.scale(1, -1);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kCaption);
  QPainterPath arrow;
  arrow.moveTo(5, 0.5);
  arrow.lineTo(9.5, 5.5);
  arrow.lineTo(6.5, 5.5);
  arrow.lineTo(6.5, 9.5);
  arrow.lineTo(3.5, 9.5);
  arrow.lineTo(3.5, 5.5);
  arrow.lineTo(0.5, 5.5);
  arrow.closeSubpath();
  p.drawPath(arrow);
}

void PaintUpGlyph(QPainter& p, qreal) { PaintArrowGlyph(p, true); }
void PaintDownGlyph(QPainter& p, qreal) { PaintArrowGlyph(p, false); }

// Four thumbnails, for the switch between the thumbnail page and the list.
void PaintViewGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  for (const QPointF corner : {QPointF(0.5, 0.5), QPointF(5.5, 0.5), QPointF(0.5, 5.5), QPointF(5.5, 5.5)})
    p.drawRect(QRectF(corner, QSizeF(4, 4)));
}

// The tool tray's glyphs, in the same 10 x 10 outline style.

// Two halves of a picture mirrored about a dashed axis.
void PaintMirrorGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  QPainterPath left;
  left.moveTo(3.5, 1.5);
  left.lineTo(3.5, 8.5);
  left.lineTo(0.5, 8.5);
  left.closeSubpath();
  p.drawPath(left);
  QPainterPath right;
  right.moveTo(6.5, 1.5);
  right.lineTo(6.5, 8.5);
  right.lineTo(9.5, 8.5);
  right.closeSubpath();
  p.setBrush(kCaption);
  p.drawPath(right);
  p.setPen(QPen(kCaption, 1, Qt::DashLine));
  p.drawLine(QPointF(5.0, 0.0), QPointF(5.0, 10.0));
}

// A three-quarter circle ending in an arrow head. As drawn the head sits at the circle's left,
// pointing down: the arrow runs counter-clockwise; mirrored, it runs clockwise.
void PaintTurnGlyph(QPainter& p, bool clockwise) {
  if (clockwise) {
    p.translate(10, 0);
    p.scale(-1, 1);
  }
  p.setPen(QPen(kCaption, 1.2, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(1.0, 1.5, 7.5, 7.5), 180 * 16, -270 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(kCaption);
  QPainterPath head;  // at the arc's end, the left of the circle, pointing down
  head.moveTo(0.0, 4.5);
  head.lineTo(3.5, 4.5);
  head.lineTo(1.75, 7.5);
  head.closeSubpath();
  p.drawPath(head);
}
void PaintTurnRightGlyph(QPainter& p, qreal) { PaintTurnGlyph(p, true); }
void PaintTurnLeftGlyph(QPainter& p, qreal) { PaintTurnGlyph(p, false); }

// A small frame inside a large one, with a diagonal arrow between their corners.
void PaintResizeGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.drawRect(QRectF(0.5, 0.5, 9, 9));
  p.setBrush(kFace);
  p.drawRect(QRectF(0.5, 5.5, 4, 4));
  p.setPen(QPen(kCaption, 1));
  p.drawLine(QPointF(4.5, 5.5), QPointF(8.0, 2.0));
  p.drawLine(QPointF(8.0, 2.0), QPointF(5.5, 2.0));
  p.drawLine(QPointF(8.0, 2.0), QPointF(8.0, 4.5));
}

// Two crossing crop marks.
void PaintCropGlyph(QPainter& p, qreal) {
  p.setPen(QPen(kCaption, 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath first;
  first.moveTo(2.5, 0.0);
  first.lineTo(2.5, 7.5);
  first.lineTo(10.0, 7.5);
  p.drawPath(first);
  QPainterPath second;
  second.moveTo(0.0, 2.5);
  second.lineTo(7.5, 2.5);
  second.lineTo(7.5, 10.0);
  p.drawPath(second);
}

// A text cursor over a line: the caption tool.
void PaintTextGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.drawRect(QRectF(0.5, 1.5, 9, 7));
  p.setPen(QPen(kCaption, 1));
  p.drawLine(QPointF(2.5, 6.5), QPointF(7.5, 6.5));
  p.drawLine(QPointF(2.5, 4.0), QPointF(5.5, 4.0));
  p.drawLine(QPointF(7.0, 2.5), QPointF(7.0, 5.0));
}

// A stack of three pictures: one more for the batch.
void PaintBatchGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.drawRect(QRectF(3.5, 0.5, 6, 5));
  p.drawRect(QRectF(2.0, 2.0, 6, 5));
  p.setBrush(kFace);
  p.drawRect(QRectF(0.5, 3.5, 6, 5));
}

// A sun: a disc with eight short rays, for the brightness knob.
void PaintBrightnessGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.setBrush(kCaption);
  p.drawEllipse(QPointF(5.0, 5.0), 2.2, 2.2);
  p.setPen(QPen(kCaption, 1, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 8; ++i) {
    const qreal angle = i * M_PI / 4;
    p.drawLine(QPointF(5.0 + 3.6 * qCos(angle), 5.0 + 3.6 * qSin(angle)),
               QPointF(5.0 + 4.6 * qCos(angle), 5.0 + 4.6 * qSin(angle)));
  }
}

// A disc half dark, half light, for the contrast knob.
void PaintContrastGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(0.5, 0.5, 9, 9));
  p.setBrush(kCaption);
  p.drawPie(QRectF(0.5, 0.5, 9, 9), 90 * 16, 180 * 16);
}

// A drop of colour, for the saturation knob.
void PaintSaturationGlyph(QPainter& p, qreal) {
  OutlinePen(p);
  p.setBrush(kCaption);
  QPainterPath drop;
  drop.moveTo(5.0, 0.5);
  drop.cubicTo(6.5, 3.0, 8.8, 4.8, 8.8, 6.4);
  drop.arcTo(QRectF(1.2, 2.6, 7.6, 6.9), 0, -180);
  drop.cubicTo(1.2, 4.8, 3.5, 3.0, 5.0, 0.5);
  p.drawPath(drop);
}

void WriteBoth(const QString& folder, const QString& name, QSize size, const PaintFunction& paint,
               const QColor& background = Qt::transparent) {
  WritePng(RenderPicture(size, 1, paint, background), folder + u'/' + name + QStringLiteral(".png"));
  WritePng(RenderPicture(size, 2, paint, background), folder + u'/' + name + QStringLiteral("@2x.png"));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_skin ASSETS_DIR\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/skin");
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "make_skin: cannot create %s\n", qPrintable(folder));
    return 1;
  }
  // Outside the silhouette the skin is the border green, so edge pixels that the shape keeps
  // never show a light fringe.
  WriteBoth(folder, QStringLiteral("ui"), kWindowSize, PaintSkin, kShade);
  WritePng(RenderShape(), folder + QStringLiteral("/shape.png"));
  WriteBoth(folder, QStringLiteral("start"), kStartSize, PaintStartPicture);
  WriteBoth(folder, QStringLiteral("glyph_system"), kGlyphSize, PaintGear);
  WriteBoth(folder, QStringLiteral("glyph_mail"), kGlyphSize, PaintEnvelope);
  WriteBoth(folder, QStringLiteral("glyph_save"), kGlyphSize, PaintDisk);
  WriteBoth(folder, QStringLiteral("glyph_print"), kGlyphSize, PaintPrinter);
  WriteBoth(folder, QStringLiteral("button_open"), kButtonGlyphSize, PaintOpenGlyph);
  WriteBoth(folder, QStringLiteral("button_delete"), kButtonGlyphSize, PaintDeleteGlyph);
  WriteBoth(folder, QStringLiteral("button_edit"), kButtonGlyphSize, PaintEditGlyph);
  WriteBoth(folder, QStringLiteral("button_up"), kButtonGlyphSize, PaintUpGlyph);
  WriteBoth(folder, QStringLiteral("button_down"), kButtonGlyphSize, PaintDownGlyph);
  WriteBoth(folder, QStringLiteral("button_view"), kButtonGlyphSize, PaintViewGlyph);
  WriteBoth(folder, QStringLiteral("button_mirror"), kButtonGlyphSize, PaintMirrorGlyph);
  WriteBoth(folder, QStringLiteral("button_turn_left"), kButtonGlyphSize, PaintTurnLeftGlyph);
  WriteBoth(folder, QStringLiteral("button_turn_right"), kButtonGlyphSize, PaintTurnRightGlyph);
  WriteBoth(folder, QStringLiteral("button_resize"), kButtonGlyphSize, PaintResizeGlyph);
  WriteBoth(folder, QStringLiteral("button_crop"), kButtonGlyphSize, PaintCropGlyph);
  WriteBoth(folder, QStringLiteral("button_text"), kButtonGlyphSize, PaintTextGlyph);
  WriteBoth(folder, QStringLiteral("button_batch"), kButtonGlyphSize, PaintBatchGlyph);
  WriteBoth(folder, QStringLiteral("button_brightness"), kButtonGlyphSize, PaintBrightnessGlyph);
  WriteBoth(folder, QStringLiteral("button_contrast"), kButtonGlyphSize, PaintContrastGlyph);
  WriteBoth(folder, QStringLiteral("button_saturation"), kButtonGlyphSize, PaintSaturationGlyph);
  return 0;
}
