// Photo decoding by content (TurboJPEG for JPEG; libheif, libwebp and libjxl for HEIF/AVIF, WebP and
// JPEG XL; Qt's readers for the rest) into sRGB, rotate-flip, encoding.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "imaging/photo_metadata.h"
#include "imaging/rotate_flip.h"

// Lets Qt's image readers allocate up to the pixel ceiling; called once at start-up, before any
// decode (without it Qt refuses pictures above 128 MB).
void SetImageReaderLimits();

// Truncated: the pixel data ends before the picture its header declares. NotAFile: the path names a
// folder, device, pipe or socket, refused before it is opened (a pipe would block the open).
enum class LoadStatus { Ok, Missing, Undecodable, TooLarge, Truncated, NotAFile };

// The one-line reason for a status other than Ok, naming the file ("PATH: ...").
QString LoadProblem(LoadStatus status, const QString& path);

// True when path exists and is not a regular file (after following links).
bool IsNonRegularFile(const QString& path);

// The largest photo loaded, in pixels (1 GB as 32-bit pixels); larger files give LoadStatus::TooLarge,
// decided from the header before any pixel memory is taken.
inline constexpr qint64 kMaxImagePixels = 250'000'000;

struct LoadedImage {
  QImage image;  // empty unless status is Ok; EXIF orientation already applied
  LoadStatus status = LoadStatus::Missing;
  QSize full_size;  // the file's oriented pixel size (known also for reduced decodes and TooLarge)
  QString warning;  // what was read otherwise than stored (a colour profile refused), one line; usually empty
};

// The file's pixel size after its EXIF orientation, read from the header only (never decodes).
// An invalid QSize when the file is missing or not an image.
QSize ReadImageSize(const QString& path);

// Decodes the whole file at full size, upright. Format_ARGB32_Premultiplied (or Format_RGB32 for
// opaque photos). Files above the pixel ceiling give LoadStatus::TooLarge and no image.
LoadedImage LoadImage(const QString& path);

// Exact: a reduced JPEG decode is libjpeg's own. Thumbnail: at 1/8 scale a clean baseline JPEG is
// read from its DC coefficients alone (the same luma, chroma repeated where libjpeg interpolates
// it), several times faster; what cannot be read that way takes the exact decode.
enum class ScaledDetail { Exact, Thumbnail };

// Decodes at reduced size where the format allows (JPEG at 1/2, 1/4, 1/8): the smallest scale whose
// oriented result is still at least at_least on both axes. Other formats decode whole and are
// returned unscaled. Callers scale the result further as they need. The pixel ceiling applies to
// the file's full size here too, so a photo too large to save is flagged already in its thumbnail.
LoadedImage LoadImageAtLeast(const QString& path, QSize at_least, ScaledDetail detail = ScaledDetail::Exact);

// The thumbnail a camera embedded in a JPEG's EXIF block, upright (the photo's EXIF orientation
// applied) and cut to the photo's aspect ratio (cameras pad a 3:2 photo into a 4:3 thumbnail with
// black bands); full_size is the photo's oriented size. LoadStatus::Missing when the file has no
// embedded thumbnail (every non-JPEG file), Undecodable when it has a damaged one.
LoadedImage LoadExifThumbnail(const QString& path);

// Encoder table: MIME types "image/jpeg", "image/bmp", "image/png", "image/tiff", "image/gif",
// "image/webp", "image/avif", "image/jxl".
// The index of the encoder with exactly that MIME type (case-sensitive), or -1.
int FindEncoder(const QString& mime_type);
// The MIME type of an output file name's extension (jpg/jpeg, bmp, png, tif/tiff, gif, webp, avif,
// jxl), or empty.
QString MimeTypeForFileName(const QString& path);

// Writes image to path in the format of mime_type (JPEG, WebP, AVIF and JPEG XL at the given quality
// 1..100; 100 is lossless for WebP and JPEG XL) in sRGB, with its profile where the format holds one
// (all but BMP and GIF), through a
// temporary file in the target folder renamed into place: never a half-written file.
// Returns false (and sets *error to one line) when the type is unknown or the write fails.
// metadata goes into JPEG, PNG, TIFF, WebP, AVIF and JPEG XL files; when it cannot be written the file is
// written without it and *warning (when given) says so.
bool EncodeImage(const QImage& image, const QString& path, const QString& mime_type, int quality,
                 QString* error, const PhotoMetadata& metadata = PhotoMetadata(), QString* warning = nullptr);

// Makes a new zero-filled image; null when the memory cannot be had.
using ImageAllocator = QImage (*)(int width, int height, QImage::Format format);

// Rotate-flip in place; the format is kept. False, with the image unchanged, when the turned copy
// cannot be allocated (allocate makes the copy of a quarter turn; tests hand in one that fails).
[[nodiscard]] bool RotateFlip(QImage& image, RotateFlipType type, ImageAllocator allocate = nullptr);
