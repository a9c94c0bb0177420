// The preview's geometry and its working photo: the fit rule, the letterbox and loading a photo at
// preview size.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>

#include "base/screen_size.h"

// The scale of the fit rule, picture pixels per box pixel, held as a 32-bit float: a portrait or
// square picture fits by height, a landscape one by width unless it is then too tall. Callers
// divide by the float as it is stored; that rounding is what makes 600 x 400 fit as 314.99998.
float FitScale(QSize picture, QSize box);

// The fitted size w / s by h / s, computed in extended precision from the stored float scale.
QSizeF FittedSize(QSize picture, QSize box);

// The working photo's size: each fitted side less one pixel, truncated (600 x 400 -> 313 x 208,
// 315 x 315 -> 314 x 314, 4000 x 3000 -> 313 x 235). Empty for an empty picture.
QSize WorkingPhotoSize(QSize picture, QSize box);

// Where a composite is drawn in the box: the fitted size centred (313 x 208 in 315 x 315 is drawn
// 315 x 209.33 at y = 52.84).
QRectF ScreenTargetRect(QSize composite, QSize box);

// A photo loaded for the preview: the preview-size copy and the size of the whole photo.
struct LoadedWorkingPhoto {
  QImage image;      // Format_ARGB32_Premultiplied, WorkingPhotoSize(photo_size, box)
  QSize photo_size;  // the file's upright pixel size
};

// Makes the working photo of the file at path for a box: decoded at the smallest reduced JPEG
// scale that still covers the working size (no full-size copy is held), then drawn into
// (0, 0, w / s - 1, h / s - 1). nullopt when the file is missing or cannot be decoded.
std::optional<LoadedWorkingPhoto> LoadWorkingPhoto(const QString& path, QSize box = kScreenSize);

// The picture of one display: box-sized, opaque white, the composite drawn into its target
// rectangle and, when given, the caption layer laid over it unscaled at (0, 0).
QImage ComposeScreenBitmap(const QImage& composite, const QImage& caption_layer, QSize box = kScreenSize);

// The direct display: the composite drawn into its target rectangle on the surface, which is not
// cleared first (the area around a narrower composite keeps what was there).
void DrawOnScreenDirect(QImage& surface, const QImage& composite);
