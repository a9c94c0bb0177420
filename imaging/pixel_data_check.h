// Whether a BMP, GIF or TIFF file holds the pixel data its header declares, read from its structure.
#pragma once

#include <QIODevice>

// Walks the file's headers and block structure from the start of the device (never decodes):
// false when the pixel data the header declares cannot fit in the file — an uncompressed BMP
// shorter than its rows, a GIF whose first picture's data blocks stop before their end or are far
// too few for its size, a TIFF whose strips or tiles reach past the end. Other formats, and
// anything the walk does not recognise, pass: the decoder judges those. The device is left at 0.
bool PixelDataComplete(QIODevice& device);
