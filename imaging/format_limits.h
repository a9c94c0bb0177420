// The largest picture each output format can hold, one row per format.
#pragma once

#include <QSize>
#include <QString>
#include <span>

// One format's own limits. A limit of 0 is none of the format's own (the pixel ceiling still holds).
struct FormatLimits {
  const char* mime_type;  // as FindEncoder knows it
  const char* name;       // for messages: "JPEG"
  qint64 max_width;       // pixels in a row
  qint64 max_height;      // rows
  qint64 max_file_bytes;  // the largest file its offsets can address
  int bytes_per_pixel;    // what an uncompressed file spends on a pixel, measured against max_file_bytes
};

// Every output format's row, in FindEncoder's order; formats added later append theirs.
std::span<const FormatLimits> OutputFormatLimits();

// The row for mime_type, or nullptr when the format has none.
const FormatLimits* FormatLimitsFor(const QString& mime_type);

// Why a picture of size cannot be written as mime_type, naming the limit ("JPEG holds at most
// 65,500 pixels a side; 65,535 x 1 is too wide"), or empty when it can. Decides from the numbers
// alone, before any pixel exists.
QString OutputSizeProblem(QSize size, const QString& mime_type);
