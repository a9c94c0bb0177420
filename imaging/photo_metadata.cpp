// Reading and writing the photo's EXIF, XMP and IPTC through Exiv2.
#include "imaging/photo_metadata.h"

#include <exiv2/exiv2.hpp>

#include <QFile>
#include <mutex>
#include <string>

namespace {

// Exiv2's XMP toolkit must be set up once before threads use it; its own log is not printed (a
// failure reaches the caller as a warning).
void InitialiseExiv2() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::XmpParser::initialize();
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
  });
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

void DropLocation(Exiv2::ExifData& exif, Exiv2::XmpData& xmp) {
  for (auto it = exif.begin(); it != exif.end();) {
    if (StartsWith(it->key(), "Exif.GPSInfo.") || it->key() == "Exif.Image.GPSTag")
      it = exif.erase(it);
    else
      ++it;
  }
  for (auto it = xmp.begin(); it != xmp.end();) {
    if (StartsWith(it->key(), "Xmp.exif.GPS"))
      it = xmp.erase(it);
    else
      ++it;
  }
}

// What the framing changed, set right: the picture is upright and of a new size; the old thumbnail
// shows the unframed photo.
void SetRight(Exiv2::ExifData& exif, Exiv2::XmpData& xmp, QSize pixel_size) {
  Exiv2::ExifThumb(exif).erase();
  if (!exif.empty()) {
    exif["Exif.Image.Orientation"] = uint16_t{1};
    exif["Exif.Photo.PixelXDimension"] = uint32_t(pixel_size.width());
    exif["Exif.Photo.PixelYDimension"] = uint32_t(pixel_size.height());
    exif["Exif.Image.Software"] = std::string("Lumisto");
    // The photo's own strip, tile and size tags describe its pixels, not these.
    for (const char* key : {"Exif.Image.ImageWidth", "Exif.Image.ImageLength"}) {
      const auto it = exif.findKey(Exiv2::ExifKey(key));
      if (it != exif.end()) exif.erase(it);
    }
  }
  if (!xmp.empty()) {
    xmp["Xmp.tiff.Orientation"] = std::string("1");
    xmp["Xmp.xmp.CreatorTool"] = std::string("Lumisto");
    for (const char* key : {"Xmp.exif.PixelXDimension", "Xmp.exif.PixelYDimension", "Xmp.tiff.ImageWidth",
                            "Xmp.tiff.ImageLength"}) {
      const auto it = xmp.findKey(Exiv2::XmpKey(key));
      if (it != xmp.end()) xmp.erase(it);
    }
  }
}

}  // namespace

struct PhotoMetadata::Information {
  Exiv2::ExifData exif;
  Exiv2::IptcData iptc;
  Exiv2::XmpData xmp;
};

PhotoMetadata::PhotoMetadata() = default;
PhotoMetadata::~PhotoMetadata() = default;
PhotoMetadata::PhotoMetadata(const PhotoMetadata&) = default;
PhotoMetadata& PhotoMetadata::operator=(const PhotoMetadata&) = default;

bool PhotoMetadata::IsEmpty() const {
  return !blocks_ || (blocks_->exif.empty() && blocks_->iptc.empty() && blocks_->xmp.empty());
}

PhotoMetadata PhotoMetadata::Read(const QString& path, MetadataPolicy policy, QString* warning) {
  PhotoMetadata result;
  if (policy == MetadataPolicy::Strip) return result;
  InitialiseExiv2();
  try {
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
    if (image.get() == nullptr) return result;
    image->readMetadata();
    auto blocks = std::make_shared<Information>();
    blocks->exif = image->exifData();
    blocks->iptc = image->iptcData();
    blocks->xmp = image->xmpData();
    if (policy == MetadataPolicy::NoLocation) DropLocation(blocks->exif, blocks->xmp);
    result.blocks_ = std::move(blocks);
  } catch (const Exiv2::AnyError& e) {
    // A format Exiv2 does not know carries nothing it could copy: only damage is worth a word.
    if (e.code() != Exiv2::kerFileContainsUnknownImageType && warning != nullptr)
      *warning =
          QStringLiteral("%1: the photo's information (camera, date, place) cannot be read and is left out")
              .arg(path);
  } catch (const std::exception&) {
    if (warning != nullptr)
      *warning =
          QStringLiteral("%1: the photo's information (camera, date, place) cannot be read and is left out")
              .arg(path);
  }
  return result;
}

void PhotoMetadata::EmbedInto(QByteArray& file, QSize pixel_size, QString* warning) const {
  if (IsEmpty()) return;
  InitialiseExiv2();
  try {
    Exiv2::ExifData exif = blocks_->exif;
    Exiv2::XmpData xmp = blocks_->xmp;
    SetRight(exif, xmp, pixel_size);
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(file.constData()),
                                           static_cast<long>(file.size()));
    if (image.get() == nullptr) return;
    image->readMetadata();  // keeps what the encoder wrote (the colour profile)
    image->setExifData(exif);
    image->setIptcData(blocks_->iptc);
    image->setXmpData(xmp);
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    if (io.open() != 0) throw Exiv2::Error(Exiv2::kerDataSourceOpenFailed, "memory");
    const long size = static_cast<long>(io.size());
    QByteArray written(size, Qt::Uninitialized);
    io.seek(0, Exiv2::BasicIo::beg);
    const long read = io.read(reinterpret_cast<Exiv2::byte*>(written.data()), size);
    io.close();
    if (read != size) throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    file = std::move(written);
  } catch (const std::exception&) {
    if (warning != nullptr)
      *warning = QStringLiteral(
          "the photo's information (camera, date, place) could not be written and is left out");
  }
}

void PhotoMetadata::Blocks(QSize pixel_size, QByteArray* exif_tiff, QByteArray* xmp_packet,
                           QString* warning) const {
  exif_tiff->clear();
  xmp_packet->clear();
  if (IsEmpty()) return;
  InitialiseExiv2();
  try {
    Exiv2::ExifData exif = blocks_->exif;
    Exiv2::XmpData xmp = blocks_->xmp;
    SetRight(exif, xmp, pixel_size);
    if (!exif.empty()) {
      Exiv2::Blob blob;
      Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
      *exif_tiff =
          QByteArray(reinterpret_cast<const char*>(blob.data()), static_cast<qsizetype>(blob.size()));
    }
    if (!xmp.empty()) {
      std::string packet;
      if (Exiv2::XmpParser::encode(packet, xmp) == 0) *xmp_packet = QByteArray::fromStdString(packet);
    }
  } catch (const std::exception&) {
    exif_tiff->clear();
    xmp_packet->clear();
    if (warning != nullptr)
      *warning = QStringLiteral(
          "the photo's information (camera, date, place) could not be written and is left out");
  }
}
