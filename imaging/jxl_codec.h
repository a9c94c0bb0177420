// JPEG XL decoding through libjxl.
#pragma once

#include <QByteArrayView>
#include <QSize>
#include <optional>

#include "imaging/decoded_picture.h"

// True when bytes start like a JPEG XL file: the bare codestream (FF 0A) or the container's
// signature box; needs the first 12 bytes.
bool LooksLikeJxl(QByteArrayView first_bytes);

// The upright size from the headers at the start of the data; invalid when they cannot be read
// from the bytes given.
QSize JxlSize(QByteArrayView data);

// Decodes a whole JPEG XL file held in memory, upright, into 8 bits per channel. A size above the
// pixel ceiling is refused from the header before any pixel memory is taken; data that ends
// inside the picture gives Truncated. The profile is the one the decoded pixels are in, empty for sRGB.
// With at_least, when an eighth of the picture still covers it, an eighth-size picture is given:
// for a lossy file the decode stops once the picture's DC (its 8 x 8 block means) is there, so
// none of the fine detail is decoded; otherwise every eighth pixel of the whole decode is taken.
DecodedPicture DecodeJxl(QByteArrayView data, std::optional<QSize> at_least = std::nullopt);
