// GIF encoding: libimagequant picks a 256-colour palette, giflib writes the file.
#pragma once

class QImage;
class QIODevice;

// Writes image as a single-frame GIF89a to out: at most 256 colours chosen for the picture and
// dithered; pixels less than half opaque become the one transparent colour, the rest opaque.
// False when the image is empty or beyond GIF's 65535-pixel sides, or quantizing or writing fails.
bool WriteGif(const QImage& image, QIODevice& out);
