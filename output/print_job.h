// Printing one picture on one page.
#pragma once

#include <QImage>
#include <QRect>

class QPrinter;

// Where a picture of image_size lands on a page whose printable area is area (device pixels): at
// the area's top-left corner, one image pixel to one device pixel when it fits; scaled down to fit,
// keeping its shape, when it is larger in either direction.
QRect PrintedPictureRect(QSize image_size, QSize area);

// Prints image as the document "GdiplusPrint" on one page of printer at PrintedPictureRect within
// the printable area. False when the printer cannot start the document.
bool PrintPicture(QPrinter& printer, const QImage& image);
