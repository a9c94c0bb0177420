// Fit rule, letterbox and the preview-size working photo.
#include "compose/preview.h"

#include <QPainter>
#include <cmath>

#include "imaging/image_io.h"

namespace {

// The fitted size of one side: the side divided by the stored float in extended precision.
long double FittedSide(int side, float scale) {
  return static_cast<long double>(side) / static_cast<long double>(scale);
}

}  // namespace

float FitScale(QSize picture, QSize box) {
  const int w = picture.width();
  const int h = picture.height();
  // Each quotient is formed in extended precision and then stored in the float.
  if (h >= w) return static_cast<float>(static_cast<long double>(h) / box.height());
  // The test of the landscape branch divides by the scale as stored, like every later use.
  float scale = static_cast<float>(static_cast<long double>(w) / box.width());
  if (FittedSide(h, scale) > box.height())
    scale = static_cast<float>(static_cast<long double>(h) / box.height());
  return scale;
}

QSizeF FittedSize(QSize picture, QSize box) {
  const float scale = FitScale(picture, box);
  if (picture.isEmpty() || scale <= 0.0f) return QSizeF();
  return QSizeF(static_cast<double>(FittedSide(picture.width(), scale)),
                static_cast<double>(FittedSide(picture.height(), scale)));
}

QSize WorkingPhotoSize(QSize picture, QSize box) {
  if (picture.isEmpty()) return QSize();
  const float scale = FitScale(picture, box);
  // trunc(w / s - 1): one pixel less than the fitted size, two when the float rounding of s makes
  // the fitted size fall a hair below a whole number.
  const auto width = static_cast<int>(FittedSide(picture.width(), scale) - 1.0L);
  const auto height = static_cast<int>(FittedSide(picture.height(), scale) - 1.0L);
  return QSize(std::max(width, 1), std::max(height, 1));
}

QRectF ScreenTargetRect(QSize composite, QSize box) {
  const QSizeF fitted = FittedSize(composite, box);
  if (fitted.isEmpty()) return QRectF();
  return QRectF((box.width() - fitted.width()) * 0.5, (box.height() - fitted.height()) * 0.5, fitted.width(),
                fitted.height());
}

std::optional<LoadedWorkingPhoto> LoadWorkingPhoto(const QString& path, QSize box) {
  // The header gives the size the working photo needs, so the decoder can stop at the smallest
  // JPEG scale that still covers it instead of producing the full photo.
  const QSize header_size = ReadImageSize(path);
  if (!header_size.isValid() || header_size.isEmpty()) return std::nullopt;
  const QSize wanted = WorkingPhotoSize(header_size, box);
  LoadedImage loaded = LoadImageAtLeast(path, wanted + QSize(1, 1));
  if (loaded.status != LoadStatus::Ok || loaded.image.isNull()) return std::nullopt;
  const QSize photo_size = loaded.full_size.isValid() ? loaded.full_size : loaded.image.size();

  const QSize size = WorkingPhotoSize(photo_size, box);
  const QSizeF fitted = FittedSize(photo_size, box);
  const QRectF target(0.0, 0.0, fitted.width() - 1.0, fitted.height() - 1.0);

  // Shrink with area averaging first (the reduced decode can still be several times larger than
  // the target), then place the shrunk picture into the fractional rectangle.
  QImage shrunk = loaded.image.scaled(static_cast<int>(std::ceil(target.width())),
                                      static_cast<int>(std::ceil(target.height())), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation);
  loaded.image = QImage();

  LoadedWorkingPhoto result;
  result.photo_size = photo_size;
  result.image = QImage(size, QImage::Format_ARGB32_Premultiplied);
  result.image.fill(Qt::transparent);
  QPainter painter(&result.image);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, shrunk, QRectF(shrunk.rect()));
  painter.end();
  return result;
}

QImage ComposeScreenBitmap(const QImage& composite, const QImage& caption_layer, QSize box) {
  QImage bitmap(box, QImage::Format_ARGB32_Premultiplied);
  bitmap.fill(Qt::white);
  QPainter painter(&bitmap);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!composite.isNull()) painter.drawImage(ScreenTargetRect(composite.size(), box), composite);
  if (!caption_layer.isNull()) painter.drawImage(QPointF(0, 0), caption_layer);
  painter.end();
  return bitmap;
}

void DrawOnScreenDirect(QImage& surface, const QImage& composite) {
  if (composite.isNull() || surface.isNull()) return;
  QPainter painter(&surface);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(ScreenTargetRect(composite.size(), surface.size()), composite);
}
