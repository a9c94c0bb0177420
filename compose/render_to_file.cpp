// Full-size rendering into a file.
#include "compose/render_to_file.h"

#include <QFileInfo>
#include <QFont>
#include <QPainter>

#include "app/lumisto_error.h"
#include "compose/image_buffer.h"
#include "compose/image_io.h"
#include "compose/render_composite.h"
#include "edit/geometric_edits.h"

namespace {

constexpr int kScreenSide = 315;  // the preview the caption was placed on

void DrawCaptionText(QPainter& p, QPointF at, const QString& text, QRgb argb) {
  p.setPen(QColor::fromRgba(argb));
  // A zero-size layout rectangle: no wrapping and no clipping, only the text's own line breaks.
  p.drawText(QRectF(at, QSizeF(0, 0)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs, text);
}

}  // namespace

RenderRequest RenderRequestFor(const EditState& state, const FrameStyle& style, const QString& output_path) {
  RenderRequest r;
  r.photo_path = state.photo_path;
  r.style = style;
  r.tone = state.tone_matrix;
  r.rotate_flip = state.rotate_flip;
  r.crop = state.crop;
  r.caption = state.caption;
  r.fit_factor = state.fit_factor;
  r.output_size = QSize(state.output_width, state.output_height);
  r.output_path = output_path;
  return r;
}

QPointF CaptionOrigin(QSize composite, QPointF position, float fit_factor) {
  const int w = composite.width(), h = composite.height();
  const float x = static_cast<float>(position.x()) * fit_factor;
  const float y = static_cast<float>(position.y()) * fit_factor;
  // The preview letterboxes the composite into a square: undo that offset along the shorter side.
  if (w > h) return QPointF(x, y - static_cast<float>(static_cast<unsigned>(w - h) / 2));
  return QPointF(x - static_cast<float>(static_cast<unsigned>(h - w) / 2), y);
}

void StampCaption(QImage& composite, const CaptionSettings& caption, float fit_factor) {
  if (caption.text.isEmpty() || composite.isNull()) return;
  QFont font(caption.font_name);
  font.setPixelSize(qMax(1, qRound(caption.size * 96.0 / 72.0)));
  font.setBold(caption.style == 1 || caption.style == 3);
  font.setItalic(caption.style == 2 || caption.style == 3);
  font.setHintingPreference(QFont::PreferNoHinting);  // the same shapes whatever the screen says
  const QPointF at = CaptionOrigin(composite.size(), caption.position, fit_factor);
  QPainter p(&composite);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setFont(font);
  DrawCaptionText(p, at + QPointF(2, 2), caption.text, StyleArgb(caption.shadow_opacity, caption.shadow_colour));
  DrawCaptionText(p, at, caption.text, StyleArgb(caption.face_opacity, caption.face_colour));
}

QImage RenderFullSize(const RenderRequest& request) {
  LoadedImage photo = LoadImage(request.photo_path);
  switch (photo.status) {
    case LoadStatus::Ok:
      break;
    case LoadStatus::Missing:
      throw LumistoError(QStringLiteral("%1: no such photo").arg(request.photo_path));
    case LoadStatus::TooLarge:
      throw LumistoError(QStringLiteral("%1: the photo is too large to open").arg(request.photo_path));
    case LoadStatus::Undecodable:
      throw LumistoError(QStringLiteral("%1: not a picture this program can read").arg(request.photo_path));
  }
  QImage source = std::move(photo.image);
  RotateFlip(source, ReplayOrientation(request.rotate_flip) - 1);

  const CropRect& c = request.crop;
  if (!c.IsEmpty()) {
    if (c.width <= 0 || c.height <= 0)
      throw LumistoError(QStringLiteral("%1: the crop %2,%3,%4,%5 is empty")
                             .arg(request.photo_path).arg(c.x).arg(c.y).arg(c.width).arg(c.height));
    const QRect rect(c.x, c.y, c.width, c.height);
    // Parts of the crop beyond the photo stay transparent.
    if (!source.rect().contains(rect) && !source.hasAlphaChannel())
      source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    source = source.copy(rect);
  }
  const float fit = request.fit_factor > 0
                        ? request.fit_factor
                        : FitFactor(source.width(), source.height(), kScreenSide);

  QImage composite = NewImage(source.width(), source.height());
  if (composite.isNull())
    throw LumistoError(QStringLiteral("%1: not enough memory to render the photo").arg(request.photo_path));
  RenderCompositeConsuming(std::move(source), composite, request.style, request.tone);
  StampCaption(composite, request.caption, fit);

  const QSize out = request.output_size;
  if (out.width() > 0 && out.height() > 0 && out != composite.size())
    composite = composite.scaled(out, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return composite;
}

void RenderToFile(const RenderRequest& request) {
  const QString mime = MimeTypeForFileName(request.output_path);
  if (FindEncoder(mime) < 0)
    throw LumistoError(QStringLiteral("%1: unknown picture type (use .jpg, .png, .bmp, .tif or .gif)")
                           .arg(request.output_path));
  const QImage composite = RenderFullSize(request);
  QString error;
  if (!EncodeImage(composite, request.output_path, mime, request.quality, &error)) throw LumistoError(error);
}
