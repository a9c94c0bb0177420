// Reduced-scale decoding for the crop dialog and the cropped working photo.
#include "edit/crop_photo.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "edit/crop_geometry.h"
#include "imaging/image_io.h"

namespace {

QSize Transposed(QSize size, bool swap) { return swap ? size.transposed() : size; }

}  // namespace

std::optional<CropViewPicture> LoadCropView(const QString& path, RotateFlipType rotate_flip) {
  const QSize file_size = ReadImageSize(path);
  if (!file_size.isValid() || file_size.isEmpty()) return std::nullopt;
  const bool swap = SwapsAxes(rotate_flip);
  const QSize view_size = CropViewSize(Transposed(file_size, swap));
  // The decoder works in the file's axes: the view's size turned back.
  LoadedImage loaded = LoadImageAtLeast(path, Transposed(view_size, swap));
  if (loaded.status != LoadStatus::Ok || loaded.image.isNull()) return std::nullopt;
  CropViewPicture result;
  result.file_size = loaded.full_size.isValid() ? loaded.full_size : loaded.image.size();
  result.oriented_size = Transposed(result.file_size, swap);
  if (!RotateFlip(loaded.image, rotate_flip)) return std::nullopt;
  result.view =
      loaded.image.scaled(CropViewSize(result.oriented_size), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return result;
}

std::optional<LoadedWorkingPhoto> LoadCroppedWorkingPhoto(const QString& path, RotateFlipType rotate_flip,
                                                          const CropRect& crop, QSize box) {
  const QSize file_size = ReadImageSize(path);
  if (!file_size.isValid() || file_size.isEmpty() || crop.width <= 0 || crop.height <= 0) return std::nullopt;
  const bool swap = SwapsAxes(rotate_flip);
  const QSize oriented = Transposed(file_size, swap);
  const QRect region = QRect(crop.x, crop.y, crop.width, crop.height) & QRect(QPoint(0, 0), oriented);
  if (region.isEmpty()) return std::nullopt;
  const QSize crop_size = region.size();
  const QSizeF fitted = FittedSize(crop_size, box);
  // The whole photo at the scale where the region covers its fitted size.
  const QSize at_least(static_cast<int>(std::ceil(oriented.width() * fitted.width() / crop_size.width())),
                       static_cast<int>(std::ceil(oriented.height() * fitted.height() / crop_size.height())));
  LoadedImage loaded = LoadImageAtLeast(path, Transposed(at_least, swap));
  if (loaded.status != LoadStatus::Ok || loaded.image.isNull()) return std::nullopt;
  if (!RotateFlip(loaded.image, rotate_flip)) return std::nullopt;
  const double sx = static_cast<double>(loaded.image.width()) / oriented.width();
  const double sy = static_cast<double>(loaded.image.height()) / oriented.height();
  // The region in decoded pixels; at a reduced scale its corners may fall between pixels, which is
  // less than a pixel of the working photo.
  const QRect source =
      QRect(static_cast<int>(std::floor(region.x() * sx)), static_cast<int>(std::floor(region.y() * sy)),
            std::max(1, static_cast<int>(std::lround(region.width() * sx))),
            std::max(1, static_cast<int>(std::lround(region.height() * sy)))) &
      loaded.image.rect();
  const QRectF target(0.0, 0.0, fitted.width() - 1.0, fitted.height() - 1.0);
  QImage shrunk = loaded.image.copy(source).scaled(static_cast<int>(std::ceil(target.width())),
                                                   static_cast<int>(std::ceil(target.height())),
                                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  loaded.image = QImage();
  LoadedWorkingPhoto result;
  result.photo_size = crop_size;
  result.image = QImage(WorkingPhotoSize(crop_size, box), QImage::Format_ARGB32_Premultiplied);
  result.image.fill(Qt::transparent);
  QPainter painter(&result.image);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, shrunk, QRectF(shrunk.rect()));
  return result;
}
