// Pieces the benchmarks share to build their photo folders and templates.
#pragma once

#include <QImage>
#include <QString>

#include "styles/frame_style.h"

// Smooth gradients with a little noise, like a camera file to the encoder: the same pixels for the
// same size every time.
QImage CameraLikePhoto(int width, int height);

// Writes image as a JPEG of the given quality, or ends the benchmark with the reason.
void WriteJpegOrExit(const QImage& image, const QString& path, int quality);

// A band style: margin 12 in 0x40A0C0 and a frame band 10 in 0x206080.
FrameStyle BandStyle();

// Makes folder and writes a template NAME there: a dark green 70 x 70 picture NAME.jpg and its
// settings NAME.ini holding style.
void WriteTemplate(const QString& folder, const QString& name, const FrameStyle& style);
