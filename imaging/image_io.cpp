// Decoding photos by content (TurboJPEG for JPEG, Qt's readers for the rest), rotate-flip, and encoding
// files through a temporary name.
#include "imaging/image_io.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QTransform>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "base/lumisto_error.h"
#include "base/output_file.h"
#include "base/parallel_rows.h"
#include "imaging/avif_writer.h"
#include "imaging/byte_buffer.h"
#include "imaging/colour_profile.h"
#include "imaging/decoded_picture.h"
#include "imaging/format_limits.h"
#include "imaging/gif_writer.h"
#include "imaging/heif_codec.h"
#include "imaging/image_buffer.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_eighth.h"
#include "imaging/jpeg_header.h"
#include "imaging/jxl_codec.h"
#include "imaging/jxl_writer.h"
#include "imaging/pixel_data_check.h"
#include "imaging/png_chunks.h"
#include "imaging/webp_codec.h"
#include "imaging/webp_writer.h"

namespace {

constexpr std::array<const char*, 8> kEncoderMimeTypes = {"image/jpeg", "image/bmp", "image/png",
                                                          "image/tiff", "image/gif", "image/webp",
                                                          "image/avif", "image/jxl"};
enum EncoderIndex {
  kJpegEncoder,
  kBmpEncoder,
  kPngEncoder,
  kTiffEncoder,
  kGifEncoder,
  kWebpEncoder,
  kAvifEncoder,
  kJxlEncoder
};

// A photo under the pixel ceiling stays below this even at quality 100 (at most about three bytes a
// pixel); a bigger file is read whole only to exhaust memory.
constexpr qint64 kMaxJpegFileBytes = qint64{1} << 30;

QSize Transposed(QSize size) { return QSize(size.height(), size.width()); }

bool AboveCeiling(QSize size) { return qint64{size.width()} * size.height() > kMaxImagePixels; }

// A thumbnail cut to the photo's proportions: writers pad a thumbnail of another shape with bands
// (cameras pad a 3:2 photo into a 4:3 thumbnail), which are cut off around the middle.
QImage CutToShape(QImage image, QSize photo) {
  if (image.isNull() || photo.isEmpty()) return image;
  const qint64 wide_by_thumb = qint64{photo.width()} * image.height();
  const qint64 wide_by_photo = qint64{image.width()} * photo.height();
  if (wide_by_thumb > wide_by_photo) {
    // The photo is wider than the thumbnail: bands above and below.
    const int height =
        std::max<qint64>(1, (qint64{image.width()} * photo.height() + photo.width() / 2) / photo.width());
    if (height < image.height()) image = image.copy(0, (image.height() - height) / 2, image.width(), height);
  } else if (wide_by_thumb < wide_by_photo) {
    const int width =
        std::max<qint64>(1, (qint64{image.height()} * photo.width() + photo.height() / 2) / photo.height());
    if (width < image.width()) image = image.copy((image.width() - width) / 2, 0, width, image.height());
  }
  return image;
}

// Qt's 32-bit working formats: premultiplied when the file carries alpha, plain RGB32 otherwise.
void ToWorkingFormat(QImage& image) {
  const QImage::Format target =
      image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
  if (image.format() != target) image.convertTo(target);
}

LoadedImage Failed(LoadStatus status, QSize full_size = QSize()) {
  LoadedImage result;
  result.status = status;
  result.full_size = full_size;
  return result;
}

// A decoded picture turned upright; a turn that cannot be allocated fails as too large.
LoadedImage Upright(QImage image, RotateFlipType upright, QSize full_size) {
  if (!RotateFlip(image, upright)) return Failed(LoadStatus::TooLarge, full_size);
  LoadedImage result;
  result.image = std::move(image);
  result.status = LoadStatus::Ok;
  result.full_size = full_size;
  return result;
}

// Turns a decoded picture's colours into sRGB when its profile is another one; a photo without a
// profile, or with an sRGB one, is left as it is at no cost. A refused profile leaves the colours as
// stored and says so in warning.
void ToSrgb(QImage& image, const QByteArray& icc_profile, QString* warning) {
  if (icc_profile.isEmpty() || image.isNull() || IsSrgbProfile(icc_profile)) return;
  const QString problem = ConvertToSrgb(image, icc_profile);
  if (!problem.isEmpty()) *warning = problem;
}

// Qt's readers describe the file's colours on the image (PNG iCCP, gAMA and cHRM; TIFF's profile).
void QtColoursToSrgb(QImage& image, QString* warning) {
  const QColorSpace space = image.colorSpace();
  if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb)) return;
  const QByteArray profile = space.iccProfile();
  if (!profile.isEmpty()) {
    ToSrgb(image, profile, warning);
  } else {
    // Described by gamma and chromaticities rather than a profile: Qt's own conversion serves.
    image.convertToColorSpace(QColorSpace::SRgb);
  }
  // The pixels are sRGB now; writers must not label them with the old profile.
  image.setColorSpace(QColorSpace::SRgb);
}

enum class Codec { Jpeg, Heif, Webp, Jxl, Qt };

Codec Sniff(QIODevice& device) {
  const QByteArray head = device.peek(32);
  if (LooksLikeJpeg(head)) return Codec::Jpeg;
  if (LooksLikeHeif(head)) return Codec::Heif;
  if (LooksLikeWebp(head)) return Codec::Webp;
  if (LooksLikeJxl(head)) return Codec::Jxl;
  return Codec::Qt;
}

// The whole file in memory, for the decoders that take it so; null with *status set otherwise.
ByteBuffer ReadWhole(QFile& file, qint64* size, LoadStatus* status) {
  *size = file.size();
  *status = LoadStatus::Undecodable;
  if (*size <= 0) return nullptr;
  if (*size > kMaxCodecFileBytes) {
    *status = LoadStatus::TooLarge;
    return nullptr;
  }
  ByteBuffer bytes = AllocateBytes(static_cast<std::size_t>(*size));
  if (!bytes) {
    *status = LoadStatus::TooLarge;
    return nullptr;
  }
  if (!file.seek(0) || file.read(reinterpret_cast<char*>(bytes.get()), *size) != *size) return nullptr;
  *status = LoadStatus::Ok;
  return bytes;
}

// A codec's picture in sRGB and the working format.
LoadedImage Finished(DecodedPicture picture) {
  if (picture.status != LoadStatus::Ok) return Failed(picture.status, picture.full_size);
  LoadedImage result;
  ToSrgb(picture.image, picture.icc_profile, &result.warning);
  ToWorkingFormat(picture.image);
  result.image = std::move(picture.image);
  result.status = LoadStatus::Ok;
  result.full_size = picture.full_size;
  return result;
}

LoadedImage LoadByCodec(QFile& file, Codec codec, std::optional<QSize> at_least) {
  qint64 size = 0;
  LoadStatus status = LoadStatus::Ok;
  const ByteBuffer bytes = ReadWhole(file, &size, &status);
  if (!bytes) return Failed(status);
  const QByteArrayView data(bytes.get(), size);
  switch (codec) {
    case Codec::Heif:
      return Finished(DecodeHeif(data));
    case Codec::Webp:
      return Finished(DecodeWebp(data, at_least));
    case Codec::Jxl:
      return Finished(DecodeJxl(data, at_least));
    default:
      return Failed(LoadStatus::Undecodable);
  }
}

// Decodes through Qt's readers, which choose the format by content since they get no file name.
// A given rotate-flip replaces the reader's own orientation handling (for JPEGs, whose orientation
// was already read from the header).
LoadedImage LoadWithQt(QIODevice& device, std::optional<RotateFlipType> rotate_flip) {
  // Qt's readers allocate a PNG chunk as large as it declares before they find the file shorter.
  switch (CheckPngChunks(device)) {
    case PngChunks::Fine:
      break;
    case PngChunks::TooLarge:
      return Failed(LoadStatus::TooLarge);
    case PngChunks::Cut:
      return Failed(LoadStatus::Truncated);
  }
  // Qt's readers fill what a cut file lacks and report success: the structure is checked first
  // (a file too large for the ceiling is reported as that, whatever else is wrong with it).
  const bool complete = PixelDataComplete(device);
  QImageReader reader(&device);
  reader.setAutoTransform(!rotate_flip);
  QSize oriented = reader.size();
  if (oriented.isValid()) {
    const bool swaps = rotate_flip ? SwapsAxes(*rotate_flip)
                                   : (reader.transformation() & QImageIOHandler::TransformationRotate90);
    if (swaps) oriented = Transposed(oriented);
    if (AboveCeiling(oriented)) return Failed(LoadStatus::TooLarge, oriented);
  }
  if (!complete) return Failed(LoadStatus::Truncated, oriented);
  QImage image = reader.read();
  if (image.isNull()) return Failed(LoadStatus::Undecodable, oriented);
  if (rotate_flip && !RotateFlip(image, *rotate_flip)) return Failed(LoadStatus::TooLarge, oriented);
  LoadedImage result;
  QtColoursToSrgb(image, &result.warning);
  ToWorkingFormat(image);
  result.full_size = image.size();
  result.image = std::move(image);
  result.status = LoadStatus::Ok;
  return result;
}

// at_least is empty for a full-size load.
LoadedImage LoadJpeg(QFile& file, std::optional<QSize> at_least, ScaledDetail detail) {
  JpegHeader header;
  if (!ReadJpegHeader(file, &header)) return Failed(LoadStatus::Undecodable);
  const RotateFlipType upright = RotateFlipForOrientation(header.orientation);
  const bool swaps = SwapsAxes(upright);
  // Refuse before reading the whole file or taking any pixel memory.
  const QSize header_size = swaps ? Transposed(header.stored_size) : header.stored_size;
  if (AboveCeiling(header_size)) return Failed(LoadStatus::TooLarge, header_size);
  const qint64 file_size = file.size();
  if (file_size > kMaxJpegFileBytes) return Failed(LoadStatus::TooLarge, header_size);
  ByteBuffer bytes = AllocateBytes(static_cast<std::size_t>(file_size));
  if (!bytes) return Failed(LoadStatus::TooLarge, header_size);
  if (!file.seek(0) || file.read(reinterpret_cast<char*>(bytes.get()), file_size) != file_size) {
    return Failed(LoadStatus::Undecodable, header_size);
  }
  const QByteArrayView data(bytes.get(), file_size);
  JpegDecoder decoder(data);
  if (!decoder.HeaderOk()) return Failed(LoadStatus::Undecodable, header_size);
  const QSize full_size = swaps ? Transposed(decoder.StoredSize()) : decoder.StoredSize();
  if (AboveCeiling(full_size)) return Failed(LoadStatus::TooLarge, full_size);
  QString cmyk_warning;
  if (decoder.IsCmyk() && !(header.icc_profile.isEmpty() && StandardCmykProfile().isEmpty())) {
    // CMYK through its own profile, else through the standard one (a print shop's file without
    // one was made for some press, and a standard press is a better guess than plain arithmetic):
    // TurboJPEG gives the ink values, Little CMS the colours.
    const QByteArray ink = decoder.DecodeCmyk();
    if (ink.isEmpty())
      return Failed(decoder.EndedEarly() ? LoadStatus::Truncated : LoadStatus::Undecodable, full_size);
    const int width = decoder.StoredSize().width(), height = decoder.StoredSize().height();
    QImage image;
    if (!header.icc_profile.isEmpty())
      image = CmykToSrgb(ink, width, height, header.adobe, header.icc_profile, &cmyk_warning);
    if (image.isNull() && !StandardCmykProfile().isEmpty()) {
      QString unused;
      image = CmykToSrgb(ink, width, height, header.adobe, StandardCmykProfile(), &unused);
    }
    if (!image.isNull()) {
      LoadedImage result = Upright(std::move(image), upright, full_size);
      if (result.warning.isEmpty()) result.warning = cmyk_warning;
      return result;
    }
  }
  if (decoder.IsCmyk()) {
    // TurboJPEG cannot turn CMYK into RGB; Qt's reader can (and knows Adobe's inverted CMYK). Qt's
    // reader passes a cut file, so TurboJPEG runs through the data first (at its smallest scale).
    if (!decoder.DataComplete()) return Failed(LoadStatus::Truncated, full_size);
    const QByteArray raw = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer;
    buffer.setData(raw);
    if (!buffer.open(QIODevice::ReadOnly)) return Failed(LoadStatus::Undecodable, full_size);
    LoadedImage result = LoadWithQt(buffer, upright);
    if (result.warning.isEmpty()) result.warning = cmyk_warning;
    return result;
  }
  const QSize wanted = at_least ? (swaps ? Transposed(*at_least) : *at_least) : decoder.StoredSize();
  const QSize scaled = decoder.ScaledSize(wanted);
  QString warning;
  const auto upright_in_srgb = [&](QImage image) {
    ToSrgb(image, header.icc_profile, &warning);
    LoadedImage result = Upright(std::move(image), upright, full_size);
    result.warning = warning;
    return result;
  };
  if (detail == ScaledDetail::Thumbnail && scaled == decoder.EighthSize()) {
    QImage eighth = DecodeJpegEighth(data);
    if (!eighth.isNull()) return upright_in_srgb(std::move(eighth));
  }
  QImage image = decoder.Decode(scaled);
  if (image.isNull())
    return Failed(decoder.EndedEarly() ? LoadStatus::Truncated : LoadStatus::Undecodable, full_size);
  return upright_in_srgb(std::move(image));
}

LoadedImage Load(const QString& path, std::optional<QSize> at_least,
                 ScaledDetail detail = ScaledDetail::Exact) {
  QFile file(path);
  if (!file.exists()) return Failed(LoadStatus::Missing);
  if (IsNonRegularFile(path)) return Failed(LoadStatus::NotAFile);
  if (!file.open(QIODevice::ReadOnly)) return Failed(LoadStatus::Undecodable);
  const Codec codec = Sniff(file);
  if (codec == Codec::Jpeg) return LoadJpeg(file, at_least, detail);
  if (codec != Codec::Qt) return LoadByCodec(file, codec, at_least);
  return LoadWithQt(file, std::nullopt);
}

// image is ARGB32 or premultiplied ARGB32.
bool AllPixelsOpaque(const QImage& image) {
  for (int row = 0; row < image.height(); ++row) {
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(row));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(pixels[x]) != 255) return false;
    }
  }
  return true;
}

// The image as the writers should see it: a picture whose pixels are all opaque is handed over as
// RGB32, so PNG, BMP and TIFF files get no alpha channel.
QImage WithoutNeedlessAlpha(const QImage& image) {
  if (!image.hasAlphaChannel()) return image;
  if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) {
    QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (AllPixelsOpaque(converted)) converted.reinterpretAsFormat(QImage::Format_RGB32);
    return converted;
  }
  if (!AllPixelsOpaque(image)) return image;
  // Opaque ARGB32 and premultiplied pixels are RGB32 pixels byte for byte: share them, no copy.
  return QImage(image.constBits(), image.width(), image.height(), image.bytesPerLine(), QImage::Format_RGB32);
}

// Qt turns a PNG quality q into zlib level (100 - q) * 9 / 91: 60 is level 3, which on a 24-megapixel
// photo wrote a file no larger than the default level 6 in a third of the time (1.4 s against 4 s).
constexpr int kPngQuality = 60;

// Encodes through Qt's writer in memory (some of Qt's writers report success when the device refused
// bytes, so the file is written later in one call whose result is checked). Empty on failure.
QByteArray EncodeWithQt(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  QImageWriter writer(&buffer, format);
  writer.setQuality(quality);
  // Labelled sRGB: the PNG and TIFF writers then embed its profile.
  QImage labelled = WithoutNeedlessAlpha(image);
  if (qstrcmp(format, "bmp") != 0) labelled.setColorSpace(QColorSpace::SRgb);
  if (!writer.write(labelled)) return {};
  return bytes;
}

QByteArray EncodeToBytes(const QImage& image, int encoder, int quality, const PhotoMetadata& metadata,
                         QString* warning) {
  // AVIF and JPEG XL take the photo's information from their encoders.
  QByteArray exif, xmp;
  if (encoder == kAvifEncoder || encoder == kJxlEncoder) metadata.Blocks(image.size(), &exif, &xmp, warning);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  switch (encoder) {
    case kJpegEncoder:
      if (!buffer.open(QIODevice::WriteOnly) || !EncodeJpeg(image, quality, buffer)) return {};
      return WithJpegIccProfile(bytes, SrgbProfile());
    case kBmpEncoder:
      return EncodeWithQt(image, "bmp");
    case kPngEncoder:
      return EncodeWithQt(image, "png", kPngQuality);
    case kTiffEncoder:
      return EncodeWithQt(image, "tiff");
    case kGifEncoder:
      if (!buffer.open(QIODevice::WriteOnly) || !WriteGif(image, buffer)) return {};
      return bytes;
    case kWebpEncoder:
      return EncodeWebp(WithoutNeedlessAlpha(image), quality);
    case kAvifEncoder:
      return EncodeAvif(WithoutNeedlessAlpha(image), quality, exif, xmp);
    case kJxlEncoder:
      return EncodeJxl(WithoutNeedlessAlpha(image), quality, exif, xmp);
    default:
      return {};
  }
}

// The formats whose files Exiv2 writes the photo's information into (AVIF and JPEG XL get it from
// their encoders).
bool HoldsPhotoInformation(int encoder) {
  return encoder == kJpegEncoder || encoder == kPngEncoder || encoder == kTiffEncoder ||
         encoder == kWebpEncoder;
}

// Rotate-flip of 32-bit pixels into a new frame of transposed size: Turn90 turns clockwise, Turn270
// counter-clockwise, Turn90Mirror transposes and Turn270Mirror transverses. Walks the source in square tiles
// so the column-wise reads stay in cache (64 measured fastest on 24 megapixels), in bands of tile rows spread
// over the cores.
QImage TransposeInto32(const QImage& source, RotateFlipType type, ImageAllocator allocate) {
  const int width = source.width();
  const int height = source.height();
  QImage target = allocate(height, width, source.format());
  if (target.isNull()) return target;
  // Target (x, y) takes source (y or width-1-y, x or height-1-x).
  const bool mirror_columns = type == RotateFlipType::Turn270 || type == RotateFlipType::Turn270Mirror;
  const bool mirror_rows = type == RotateFlipType::Turn90 || type == RotateFlipType::Turn270Mirror;
  constexpr int kTile = 64;
  const qsizetype source_stride = source.bytesPerLine() / 4;
  const qsizetype target_stride = target.bytesPerLine() / 4;
  const auto* source_pixels = reinterpret_cast<const quint32*>(source.constBits());
  auto* target_pixels = reinterpret_cast<quint32*>(target.bits());
  const int tile_rows = (height + kTile - 1) / kTile;
  ParallelRows(tile_rows, qint64{width} * kTile, [&](int first_tile_row, int end_tile_row) {
    const int band_end = std::min(end_tile_row * kTile, height);
    for (int tile_y = first_tile_row * kTile; tile_y < band_end; tile_y += kTile) {
      const int tile_y_end = std::min(tile_y + kTile, band_end);
      for (int tile_x = 0; tile_x < width; tile_x += kTile) {
        const int tile_x_end = std::min(tile_x + kTile, width);
        for (int sx = tile_x; sx < tile_x_end; ++sx) {
          const int ty = mirror_columns ? width - 1 - sx : sx;
          quint32* out = target_pixels + ty * target_stride;
          const quint32* in = source_pixels + sx;
          if (mirror_rows) {
            for (int sy = tile_y; sy < tile_y_end; ++sy) out[height - 1 - sy] = in[sy * source_stride];
          } else {
            for (int sy = tile_y; sy < tile_y_end; ++sy) out[sy] = in[sy * source_stride];
          }
        }
      }
    }
  });
  target.setDotsPerMeterX(source.dotsPerMeterY());
  target.setDotsPerMeterY(source.dotsPerMeterX());
  target.setColorSpace(source.colorSpace());
  return target;
}

void MirrorRows32(QImage& image) {
  for (int row = 0; row < image.height(); ++row) {
    auto* pixels = reinterpret_cast<quint32*>(image.scanLine(row));
    std::reverse(pixels, pixels + image.width());
  }
}

void FlipVertical32(QImage& image) {
  const int width = image.width();
  for (int top = 0, bottom = image.height() - 1; top < bottom; ++top, --bottom) {
    auto* upper = reinterpret_cast<quint32*>(image.scanLine(top));
    auto* lower = reinterpret_cast<quint32*>(image.scanLine(bottom));
    std::swap_ranges(upper, upper + width, lower);
  }
}

void Rotate180_32(QImage& image) {
  const int width = image.width();
  int top = 0;
  int bottom = image.height() - 1;
  for (; top < bottom; ++top, --bottom) {
    auto* upper = reinterpret_cast<quint32*>(image.scanLine(top));
    auto* lower = reinterpret_cast<quint32*>(image.scanLine(bottom));
    std::swap_ranges(upper, upper + width, std::reverse_iterator(lower + width));
  }
  if (top == bottom) {
    auto* middle = reinterpret_cast<quint32*>(image.scanLine(top));
    std::reverse(middle, middle + width);
  }
}

}  // namespace

bool IsNonRegularFile(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isFile();
}

QString LoadProblem(LoadStatus status, const QString& path) {
  switch (status) {
    case LoadStatus::Ok:
      break;
    case LoadStatus::Missing:
      return QStringLiteral("%1: no such photo").arg(path);
    case LoadStatus::TooLarge:
      return QStringLiteral("%1: the photo is too large to open").arg(path);
    case LoadStatus::Undecodable:
      return QStringLiteral("%1: not a picture this program can read").arg(path);
    case LoadStatus::Truncated:
      return QStringLiteral("%1: the photo's data ends before its picture does (a cut-off file?)").arg(path);
    case LoadStatus::NotAFile:
      return QStringLiteral("%1: not a regular file").arg(path);
  }
  return QString();
}

QSize ReadImageSize(const QString& path) {
  if (IsNonRegularFile(path)) return QSize();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QSize();
  const Codec codec = Sniff(file);
  if (codec == Codec::Jpeg) {
    JpegHeader header;
    if (!ReadJpegHeader(file, &header)) return QSize();
    return SwapsAxes(RotateFlipForOrientation(header.orientation)) ? Transposed(header.stored_size)
                                                                   : header.stored_size;
  }
  // Reading a PNG's header reads the chunks before its image data.
  if (CheckPngChunks(file) != PngChunks::Fine) return QSize();
  // WebP and JPEG XL say their size in the first bytes; HEIF's boxes may lie anywhere in the file
  // (libheif reads them, and skips the picture's data).
  constexpr qint64 kHeaderBytes = 64 * 1024;
  if (codec == Codec::Webp) return WebpSize(file.read(kHeaderBytes));
  if (codec == Codec::Jxl) {
    const QSize size = JxlSize(file.read(kHeaderBytes));
    if (size.isValid()) return size;
    qint64 length = 0;
    LoadStatus status = LoadStatus::Ok;
    const ByteBuffer bytes = ReadWhole(file, &length, &status);
    return bytes ? JxlSize(QByteArrayView(bytes.get(), length)) : QSize();
  }
  if (codec == Codec::Heif) return HeifSize(file);
  QImageReader reader(&file);
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (!size.isValid()) return QSize();
  return reader.transformation() & QImageIOHandler::TransformationRotate90 ? Transposed(size) : size;
}

LoadedImage LoadExifThumbnail(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Failed(LoadStatus::Missing);
  if (Sniff(file) == Codec::Heif) {
    // Only the boxes and the thumbnail's own data are read: a cell of the photo grid never waits
    // for the whole photo to be read.
    LoadedImage thumbnail = Finished(DecodeHeifThumbnail(file));
    if (thumbnail.status == LoadStatus::Ok)
      thumbnail.image = CutToShape(thumbnail.image, thumbnail.full_size);
    return thumbnail;
  }
  if (!LooksLikeJpeg(file.peek(3))) return Failed(LoadStatus::Missing);
  JpegHeader header;
  if (!ReadJpegHeader(file, &header)) return Failed(LoadStatus::Undecodable);
  if (header.exif_thumbnail.isEmpty()) return Failed(LoadStatus::Missing);
  const RotateFlipType upright = RotateFlipForOrientation(header.orientation);
  const QSize full_size = SwapsAxes(upright) ? Transposed(header.stored_size) : header.stored_size;
  JpegDecoder decoder(header.exif_thumbnail);
  if (!decoder.HeaderOk() || decoder.IsCmyk()) return Failed(LoadStatus::Undecodable, full_size);
  QImage image = decoder.Decode(decoder.StoredSize());
  if (image.isNull()) return Failed(LoadStatus::Undecodable, full_size);
  // The padding bands are cut in coded orientation, where the thumbnail and the frame agree.
  image = CutToShape(image, header.stored_size);
  return Upright(std::move(image), upright, full_size);
}

LoadedImage LoadImage(const QString& path) { return Load(path, std::nullopt); }

LoadedImage LoadImageAtLeast(const QString& path, QSize at_least, ScaledDetail detail) {
  return Load(path, at_least.expandedTo(QSize(0, 0)), detail);
}

int FindEncoder(const QString& mime_type) {
  for (int i = 0; i < int(kEncoderMimeTypes.size()); ++i) {
    if (mime_type == QLatin1String(kEncoderMimeTypes[i])) return i;
  }
  return -1;
}

QString MimeTypeForFileName(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  if (ext == u"jpg" || ext == u"jpeg") return QStringLiteral("image/jpeg");
  if (ext == u"bmp") return QStringLiteral("image/bmp");
  if (ext == u"png") return QStringLiteral("image/png");
  if (ext == u"tif" || ext == u"tiff") return QStringLiteral("image/tiff");
  if (ext == u"gif") return QStringLiteral("image/gif");
  if (ext == u"webp") return QStringLiteral("image/webp");
  if (ext == u"avif") return QStringLiteral("image/avif");
  if (ext == u"jxl") return QStringLiteral("image/jxl");
  return QString();
}

bool EncodeImage(const QImage& image, const QString& path, const QString& mime_type, int quality,
                 QString* error, const PhotoMetadata& metadata, QString* warning) {
  const auto fail = [&](const QString& message) {
    if (error != nullptr) *error = message;
    return false;
  };
  const int encoder = FindEncoder(mime_type);
  if (encoder < 0) return fail(QStringLiteral("No image encoder for \"%1\"").arg(mime_type));
  if (image.isNull()) return fail(OutputFile::Unable(path, QStringLiteral("no picture")));
  // An encoder given a size its format cannot hold fails late or, worse, writes a wrapped header.
  if (const QString problem = OutputSizeProblem(image.size(), mime_type); !problem.isEmpty())
    return fail(OutputFile::Unable(path, problem));
  try {
    // A temporary file beside the target, renamed into place on commit: a failure on the way
    // discards it and leaves any earlier file untouched.
    OutputFile out(path);
    QString problem;
    QByteArray bytes = EncodeToBytes(image, encoder, quality, metadata, &problem);
    if (!bytes.isEmpty() && HoldsPhotoInformation(encoder)) metadata.EmbedInto(bytes, image.size(), &problem);
    if (!problem.isEmpty() && warning != nullptr) *warning = QStringLiteral("%1: %2").arg(path, problem);
    out.Commit(!bytes.isEmpty() && WriteAll(out.Device(), bytes.constData(), bytes.size()));
  } catch (const LumistoError& e) {
    return fail(e.Message());
  }
  return true;
}

void SetImageReaderLimits() {
  // Qt's readers refuse anything above 128 MB by default, which is a 33-megapixel photo. Allow the
  // ceiling at 8 bytes a pixel, the widest format a reader produces (16-bit-per-channel PNG and TIFF).
  QImageReader::setAllocationLimit(static_cast<int>(kMaxImagePixels * 8 / (1024 * 1024) + 1));
}

bool RotateFlip(QImage& image, RotateFlipType type, ImageAllocator allocate) {
  const int code = static_cast<int>(type);
  if (image.isNull() || code <= 0 || code > 7) return true;
  if (image.depth() != 32) {
    // Rare formats take Qt's route: exact quarter turns are plain pixel moves there too.
    if (code & 3) {
      QImage turned = image.transformed(QTransform().rotate(90.0 * (code & 3)));
      if (turned.isNull()) return false;
      image = std::move(turned);
    }
    if (code & 4) image.mirror(true, false);
    return true;
  }
  switch (type) {
    case RotateFlipType::Turn180:
      Rotate180_32(image);
      return true;
    case RotateFlipType::Mirror:
      MirrorRows32(image);
      return true;
    case RotateFlipType::Turn180Mirror:  // a half turn then a mirror is a vertical flip
      FlipVertical32(image);
      return true;
    default: {
      QImage turned = TransposeInto32(image, type, allocate != nullptr ? allocate : &NewImage);
      if (turned.isNull()) return false;
      image = std::move(turned);
      return true;
    }
  }
}
