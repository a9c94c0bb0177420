// HEIF, HEIC and AVIF decoding through libheif: the primary image with its turns and mirrors, alpha,
// deep images reduced to 8 bits, the thumbnail images, the embedded or described colours.
#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QSize>
#include <optional>

#include "imaging/decoded_picture.h"

// True when bytes start like a HEIF file: an "ftyp" box naming a HEIF or AVIF brand (the first 32
// bytes serve).
bool LooksLikeHeif(QByteArrayView first_bytes);

// Decodes the primary image of a whole HEIF file held in memory, upright (the file's rotation,
// mirror and crop applied), into 8 bits per channel, rounded. Sizes above the pixel ceiling are
// refused before any pixel memory is taken; data that ends early gives Truncated. The profile is
// the embedded ICC profile, or one made from the colour description (primaries, transfer) when
// that is not sRGB.
DecodedPicture DecodeHeif(QByteArrayView data);

// The primary image's upright size from the file's boxes; invalid when they cannot be read.
QSize HeifSize(QByteArrayView data);
// The same from a file open for reading, of which only the boxes are read.
QSize HeifSize(QIODevice& device);

// The primary image's first thumbnail image, decoded like the image; full_size is the image's size.
// Missing when the file holds no thumbnail.
DecodedPicture DecodeHeifThumbnail(QByteArrayView data);
// The same from a file open for reading, of which only the boxes and the thumbnail's data are read.
DecodedPicture DecodeHeifThumbnail(QIODevice& device);
