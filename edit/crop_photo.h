// The pictures the crop needs from the photo file, decoded at the reduced scale that covers them:
// the crop dialog's view and the working photo of a cropped region.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "compose/preview.h"
#include "edit/edit_state.h"
#include "imaging/rotate_flip.h"

struct CropViewPicture {
  QImage view;          // the oriented photo scaled to CropViewSize
  QSize file_size;      // the file's own size (upright, before the edits' turns)
  QSize oriented_size;  // the photo's full size after rotate_flip
};

// The oriented photo (rotate_flip applied) at the crop dialog's view size, decoded at the
// smallest scale that still covers it. nullopt when the file is missing or cannot be decoded.
std::optional<CropViewPicture> LoadCropView(const QString& path, RotateFlipType rotate_flip);

// The working photo of the region crop (pixels of the oriented photo) by the fit rule for box,
// decoded at the smallest scale that still covers the region at that size; photo_size is the
// crop's size. nullopt when the file cannot be decoded or turned, or the crop holds no pixels of
// the photo.
std::optional<LoadedWorkingPhoto> LoadCroppedWorkingPhoto(const QString& path, RotateFlipType rotate_flip,
                                                          const CropRect& crop, QSize box = kScreenSize);
