// Fuzzes decoding by content: every reader the program hands a photo to (JPEG, PNG, BMP, GIF, TIFF,
// HEIF/AVIF, WebP, JPEG XL, colour profiles included), whole, reduced and row by
// row (which must give the whole decode's verdict and pixels), and the thumbnails read from the DC
// coefficients (which must give the reduced decode's verdict, and take only what libjpeg reads).
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "imaging/image_io.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_eighth.h"
#include "imaging/row_stream.h"

namespace {

constexpr qint64 kMaxFuzzedPixels = 4096 * 4096;

QString InputPath() {
  static const QString path = QStringLiteral("/tmp/lumisto-fuzz-decode-%1.img").arg(getpid());
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Qt finds its image format plug-ins through the application object.
  static QCoreApplication app(*argc, *argv);
  SetImageReaderLimits();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QFile file(InputPath());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
  file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  file.close();
  // Pixel memory follows the size a header declares, up to the ceiling's gigabytes: those sizes are
  // the decode limits test's. Below them nothing a small input holds may cost much (scripts/fuzz
  // sets the malloc limit), which is how a chunk that declares a gigabyte is caught.
  const QSize declared = ReadImageSize(InputPath());
  if (declared.isValid() && qint64{declared.width()} * declared.height() > kMaxFuzzedPixels) return 0;
  LoadExifThumbnail(InputPath());  // EXIF thumbnails of JPEGs, thumbnail images of HEIF files
  const LoadedImage whole = LoadImage(InputPath());
  const LoadedImage reduced = LoadImageAtLeast(InputPath(), QSize(40, 40));
  if (LoadImageAtLeast(InputPath(), QSize(40, 40), ScaledDetail::Thumbnail).status != reduced.status)
    __builtin_trap();
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // The loader asks for the DC path only once TurboJPEG has read the header (it refuses sampling
  // factors it has no name for, which the DC path would read).
  JpegDecoder decoder(bytes);
  const QImage eighth = decoder.HeaderOk() ? DecodeJpegEighth(bytes) : QImage();
  if (!eighth.isNull() && (decoder.IsCmyk() || decoder.EighthSize() != eighth.size() ||
                           decoder.Decode(decoder.EighthSize()).isNull()))
    __builtin_trap();
  if (const std::unique_ptr<RowStream> stream = RowStream::Start(InputPath())) {
    const LoadStatus status = stream->Finish();
    if (status != whole.status || (status == LoadStatus::Ok && stream->Image() != whole.image))
      __builtin_trap();
  }
  return 0;
}
