// Printing one picture on one page.
#pragma once

#include <QImage>

class QPrinter;

// Prints image as the document "Lumisto" on one page of printer, unscaled, its top-left
// corner at the page origin, one image pixel to one device pixel (so the printed size follows the
// printer's resolution). False when the printer cannot start the document.
bool PrintPicture(QPrinter& printer, const QImage& image);
