// A JPEG at an eighth of its size from the DC coefficients alone, for thumbnails: the Huffman codes of
// the AC coefficients are stepped over without their values being decoded or stored.
#pragma once

#include <QByteArrayView>
#include <QImage>

// The picture of a whole JPEG file at ceil(width / 8) x ceil(height / 8) in coded orientation, as
// Format_RGB32. Each pixel is the mean of its 8 x 8 block, exactly as libjpeg's 1/8-scale decode
// has it for the luma; chroma sampled below the luma's resolution is repeated over the pixels it
// covers, where libjpeg interpolates it.
//
// Takes only clean single-scan baseline files (8-bit Huffman, grey or YCbCr, integral sampling
// factors), which is what cameras write. A null image for anything else, and for any fault in the
// data (a bad code, a missing or misnumbered restart marker, data that ends early, no EOI after the
// scan): the general decoder then decides what the file is worth and says why.
QImage DecodeJpegEighth(QByteArrayView data);
