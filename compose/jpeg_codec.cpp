// TurboJPEG decoding and encoding.
#include "compose/jpeg_codec.h"

#include <turbojpeg.h>

#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstring>

#include "compose/huge_page_bytes.h"
#include "compose/image_buffer.h"

namespace {

// The byte order of Qt's 32-bit formats (0xAARRGGBB words) in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr TJPF kQtPixelFormat = TJPF_BGRX;
#else
constexpr TJPF kQtPixelFormat = TJPF_XRGB;
#endif

// Libjpeg's warning for data that ends inside the image (the rest is filled with grey); a cut-off
// download must not pass for a photo. Other warnings (stray bytes between markers and the like) are
// common in camera files that otherwise decode well.
constexpr const char* kPrematureEndWarning = "Premature end of JPEG file";

// The reduced scales that libjpeg-turbo decodes with its fast scaled inverse DCTs.
constexpr std::array<int, 4> kScaleDenominators = {8, 4, 2, 1};

int Scaled(int dimension, int denominator) { return (dimension + denominator - 1) / denominator; }

}  // namespace

JpegDecoder::JpegDecoder(QByteArrayView data) : data_(data), handle_(tjInitDecompress()) {
  if (handle_ == nullptr || data.isEmpty()) return;
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle_, reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<unsigned long>(data.size()), &width, &height, &subsampling,
                          &colorspace) != 0 ||
      width <= 0 || height <= 0) {
    return;
  }
  stored_size_ = QSize(width, height);
  cmyk_ = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
}

JpegDecoder::~JpegDecoder() {
  if (handle_ != nullptr) tjDestroy(handle_);
}

QSize JpegDecoder::ScaledSize(QSize at_least) const {
  for (int denominator : kScaleDenominators) {
    const QSize scaled(Scaled(stored_size_.width(), denominator), Scaled(stored_size_.height(), denominator));
    if (scaled.width() >= at_least.width() && scaled.height() >= at_least.height()) return scaled;
  }
  return stored_size_;
}

QImage JpegDecoder::Decode(QSize scaled_size) {
  if (!HeaderOk() || cmyk_) return QImage();
  QImage image = NewImage(scaled_size.width(), scaled_size.height(), QImage::Format_RGB32);
  if (image.isNull()) return QImage();
  // Asking for exactly a scaled size makes TurboJPEG pick that scale. LIMITSCANS refuses progressive
  // files with thousands of scans, which would take minutes on a crafted file.
  const int status = tjDecompress2(handle_, reinterpret_cast<const unsigned char*>(data_.data()),
                                   static_cast<unsigned long>(data_.size()), image.bits(), image.width(),
                                   static_cast<int>(image.bytesPerLine()), image.height(), kQtPixelFormat,
                                   TJFLAG_LIMITSCANS);
  if (status != 0) {
    if (tjGetErrorCode(handle_) != TJERR_WARNING) return QImage();
    const char* message = tjGetErrorStr2(handle_);
    if (message == nullptr || std::strstr(message, kPrematureEndWarning) != nullptr) return QImage();
  }
  return image;
}

bool EncodeJpeg(const QImage& image, int quality, QIODevice& out) {
  if (image.isNull()) return false;
  // Premultiplied and opaque 32-bit pixels go in as they are: read as BGRX, a premultiplied pixel is
  // that pixel over black. Other formats are converted once, to premultiplied where they carry alpha
  // (Qt's own conversion to RGB32 would drop alpha and keep the hidden colours).
  QImage converted;
  const QImage* source = &image;
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) {
    converted = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    if (converted.isNull()) return false;
    source = &converted;
  }
  tjhandle handle = tjInitCompress();
  if (handle == nullptr) return false;
  const unsigned long capacity = tjBufSize(source->width(), source->height(), TJSAMP_420);
  HugePageBytes buffer = capacity == static_cast<unsigned long>(-1) ? nullptr : AllocateBytes(capacity);
  unsigned char* jpeg = buffer.get();
  unsigned long jpeg_size = capacity;
  // The islow DCT, as cjpeg uses by default: TurboJPEG's faster default loses visible accuracy at the
  // high qualities photos are written with.
  const bool encoded =
      jpeg != nullptr &&
      tjCompress2(handle, source->constBits(), source->width(), static_cast<int>(source->bytesPerLine()),
                  source->height(), kQtPixelFormat, &jpeg, &jpeg_size, TJSAMP_420,
                  std::clamp(quality, 1, 100), TJFLAG_NOREALLOC | TJFLAG_ACCURATEDCT) == 0;
  tjDestroy(handle);
  return encoded && out.write(reinterpret_cast<const char*>(jpeg), static_cast<qint64>(jpeg_size)) ==
                        static_cast<qint64>(jpeg_size);
}
