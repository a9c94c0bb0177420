// WebP decoding through libwebp: lossy, lossless, alpha, the first frame of an animation.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <optional>

#include "imaging/decoded_picture.h"

// True when bytes start like a WebP file ("RIFF", a size, "WEBP"); needs the first 12 bytes.
bool LooksLikeWebp(QByteArrayView first_bytes);

// The canvas size from the headers at the start of the file (the first few hundred bytes serve);
// invalid when they cannot be read.
QSize WebpSize(QByteArrayView data);

// Decodes a whole WebP file held in memory. With at_least, a still picture is decoded straight to the
// smallest size whose sides are at least those (libwebp scales while decoding); an animation gives
// its first frame, composed on its canvas, at full size. Sizes above the pixel ceiling are refused
// from the header; data that ends inside the picture gives Truncated.
DecodedPicture DecodeWebp(QByteArrayView data, std::optional<QSize> at_least);

// The ICC profile of an extended-format file held in memory, empty when it has none.
QByteArray WebpIccProfile(QByteArrayView data);
