// The output formats' size limits.
#include "imaging/format_limits.h"

#include <QLocale>
#include <array>

namespace {

constexpr qint64 kFourGigabytes = (qint64{1} << 32) - 1;

constexpr std::array kLimits = {
    // libjpeg's largest frame side.
    FormatLimits{"image/jpeg", "JPEG", 65'500, 65'500, 0, 0},
    // The header's signed 32-bit sides; the file's size is a 32-bit field.
    FormatLimits{"image/bmp", "BMP", 2'147'483'647, 2'147'483'647, kFourGigabytes, 4},
    // The reference library writes no more than a million columns or rows unless told otherwise,
    // and readers keep that default.
    FormatLimits{"image/png", "PNG", 1'000'000, 1'000'000, 0, 0},
    // Classic TIFF addresses its strips with 32-bit offsets: the whole file stays below 4 GB.
    FormatLimits{"image/tiff", "TIFF", 0, 0, kFourGigabytes, 4},
    // The logical screen's 16-bit sides.
    FormatLimits{"image/gif", "GIF", 65'535, 65'535, 0, 0},
    // libwebp's WEBP_MAX_DIMENSION: the bitstream's 14-bit sides.
    FormatLimits{"image/webp", "WebP", 16'383, 16'383, 0, 0},
    // AV1's 16-bit frame sides.
    FormatLimits{"image/avif", "AVIF", 65'536, 65'536, 0, 0},
    // JPEG XL's largest side in its size header; the pixel ceiling stops far below it.
    FormatLimits{"image/jxl", "JPEG XL", 1'073'741'824, 1'073'741'824, 0, 0},
};

QString Number(qint64 n) { return QLocale(QLocale::English).toString(n); }

}  // namespace

std::span<const FormatLimits> OutputFormatLimits() { return kLimits; }

const FormatLimits* FormatLimitsFor(const QString& mime_type) {
  for (const FormatLimits& limits : kLimits)
    if (mime_type == QLatin1String(limits.mime_type)) return &limits;
  return nullptr;
}

QString OutputSizeProblem(QSize size, const QString& mime_type) {
  const FormatLimits* limits = FormatLimitsFor(mime_type);
  if (limits == nullptr || size.isEmpty()) return QString();
  const qint64 w = size.width(), h = size.height();
  const QString asked = QStringLiteral("%1 x %2").arg(Number(w), Number(h));
  const QString name = QLatin1String(limits->name);
  if (limits->max_width > 0 && limits->max_width == limits->max_height &&
      (w > limits->max_width || h > limits->max_height))
    return QStringLiteral("%1 holds at most %2 pixels a side; %3 is too %4")
        .arg(name, Number(limits->max_width), asked,
             w > limits->max_width ? QStringLiteral("wide") : QStringLiteral("tall"));
  if (limits->max_width > 0 && w > limits->max_width)
    return QStringLiteral("%1 holds at most %2 pixels a row; %3 is too wide")
        .arg(name, Number(limits->max_width), asked);
  if (limits->max_height > 0 && h > limits->max_height)
    return QStringLiteral("%1 holds at most %2 rows; %3 is too tall")
        .arg(name, Number(limits->max_height), asked);
  // Headers and tables take a little more than the pixels; a kilobyte per row is ample for them.
  if (limits->max_file_bytes > 0 && w * h * limits->bytes_per_pixel + h * 1024 > limits->max_file_bytes)
    return QStringLiteral("%1 files hold at most %2 bytes; %3 would take more")
        .arg(name, Number(limits->max_file_bytes), asked);
  return QString();
}
