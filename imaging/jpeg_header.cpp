// JPEG marker walk and EXIF orientation parser; both read untrusted bytes and check every offset.
#include "imaging/jpeg_header.h"

#include <QByteArray>
#include <QIODevice>
#include <array>
#include <map>

#include "imaging/rotate_flip.h"

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;
constexpr unsigned char kSoi = 0xD8;
constexpr unsigned char kEoi = 0xD9;
constexpr unsigned char kSos = 0xDA;
constexpr unsigned char kApp1 = 0xE1;
constexpr unsigned char kApp2 = 0xE2;
constexpr unsigned char kApp14 = 0xEE;
constexpr unsigned short kOrientationTag = 0x0112;
constexpr unsigned short kThumbnailOffsetTag = 0x0201;
constexpr unsigned short kThumbnailLengthTag = 0x0202;
constexpr unsigned short kTypeShort = 3;
constexpr unsigned short kTypeLong = 4;

// Start-of-frame markers: C0..CF without DHT (C4), JPG (C8) and DAC (CC).
bool IsStartOfFrame(unsigned char marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length: TEM and the restart markers.
bool IsStandalone(unsigned char marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

bool ReadByte(QIODevice& device, unsigned char* byte) {
  char c = 0;
  if (!device.getChar(&c)) return false;
  *byte = static_cast<unsigned char>(c);
  return true;
}

bool ReadExact(QIODevice& device, char* out, qint64 size) { return device.read(out, size) == size; }

bool Skip(QIODevice& device, qint64 size) {
  if (size == 0) return true;
  if (!device.isSequential()) {
    const qint64 target = device.pos() + size;
    return target <= device.size() && device.seek(target);
  }
  return device.skip(size) == size;
}

// The TIFF block's byte order, fixed by its first two bytes.
class TiffReader {
 public:
  explicit TiffReader(QByteArrayView bytes) : bytes_(bytes) {}

  bool Init() {
    if (bytes_.size() < 8) return false;
    if (bytes_[0] == 'I' && bytes_[1] == 'I') {
      little_endian_ = true;
    } else if (bytes_[0] == 'M' && bytes_[1] == 'M') {
      little_endian_ = false;
    } else {
      return false;
    }
    unsigned magic = 0;
    return Read16(2, &magic) && magic == 42;
  }

  bool Read16(qint64 offset, unsigned* value) const {
    if (offset < 0 || offset > bytes_.size() - 2) return false;
    const auto b0 = static_cast<unsigned char>(bytes_[offset]);
    const auto b1 = static_cast<unsigned char>(bytes_[offset + 1]);
    *value = little_endian_ ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
    return true;
  }

  bool Read32(qint64 offset, quint32* value) const {
    unsigned first = 0;
    unsigned second = 0;
    if (!Read16(offset, &first) || !Read16(offset + 2, &second)) return false;
    *value = little_endian_ ? (quint32{second} << 16 | first) : (quint32{first} << 16 | second);
    return true;
  }

  qint64 Size() const { return bytes_.size(); }

 private:
  QByteArrayView bytes_;
  bool little_endian_ = true;
};

}  // namespace

bool LooksLikeJpeg(QByteArrayView first_bytes) {
  return first_bytes.size() >= 3 && static_cast<unsigned char>(first_bytes[0]) == kMarkerPrefix &&
         static_cast<unsigned char>(first_bytes[1]) == kSoi &&
         static_cast<unsigned char>(first_bytes[2]) == kMarkerPrefix;
}

int ExifOrientation(QByteArrayView tiff) {
  TiffReader reader(tiff);
  quint32 ifd0 = 0;
  unsigned count = 0;
  if (!reader.Init() || !reader.Read32(4, &ifd0) || !reader.Read16(ifd0, &count)) return 1;
  for (unsigned entry = 0; entry < count; ++entry) {
    const qint64 at = qint64{ifd0} + 2 + qint64{entry} * 12;
    unsigned tag = 0;
    unsigned type = 0;
    quint32 values = 0;
    // An entry past the end ends the walk: the count of a damaged block may be anything.
    if (!reader.Read16(at, &tag) || !reader.Read16(at + 2, &type) || !reader.Read32(at + 4, &values))
      return 1;
    if (tag != kOrientationTag) continue;
    unsigned orientation = 0;
    quint32 orientation_long = 0;
    if (values != 1) return 1;
    if (type == kTypeShort) {
      if (!reader.Read16(at + 8, &orientation)) return 1;
    } else if (type == kTypeLong) {
      // Not what the standard says, but some writers store it so and the value is unambiguous.
      if (!reader.Read32(at + 8, &orientation_long) || orientation_long > 8) return 1;
      orientation = orientation_long;
    } else {
      return 1;
    }
    return orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
  }
  return 1;
}

QByteArrayView ExifThumbnail(QByteArrayView tiff) {
  TiffReader reader(tiff);
  quint32 ifd0 = 0;
  unsigned count0 = 0;
  quint32 ifd1 = 0;
  unsigned count1 = 0;
  if (!reader.Init() || !reader.Read32(4, &ifd0) || !reader.Read16(ifd0, &count0)) return {};
  // The offset of the next directory follows the last entry of IFD0.
  if (!reader.Read32(qint64{ifd0} + 2 + qint64{count0} * 12, &ifd1) || ifd1 == 0) return {};
  if (!reader.Read16(ifd1, &count1)) return {};
  quint32 offset = 0;
  quint32 length = 0;
  for (unsigned entry = 0; entry < count1; ++entry) {
    const qint64 at = qint64{ifd1} + 2 + qint64{entry} * 12;
    unsigned tag = 0;
    unsigned type = 0;
    if (!reader.Read16(at, &tag) || !reader.Read16(at + 2, &type)) return {};
    if (tag != kThumbnailOffsetTag && tag != kThumbnailLengthTag) continue;
    quint32 value = 0;
    if (type == kTypeLong) {
      if (!reader.Read32(at + 8, &value)) return {};
    } else if (type == kTypeShort) {
      unsigned short_value = 0;
      if (!reader.Read16(at + 8, &short_value)) return {};
      value = short_value;
    } else {
      return {};
    }
    (tag == kThumbnailOffsetTag ? offset : length) = value;
  }
  if (offset == 0 || length < 4 || qint64{offset} + length > reader.Size()) return {};
  const QByteArrayView thumbnail = tiff.sliced(offset, length);
  return LooksLikeJpeg(thumbnail) ? thumbnail : QByteArrayView();
}

RotateFlipType RotateFlipForOrientation(int orientation) {
  // EXIF 2 mirrors, 3 turns 180, 4 flips vertically (a half turn then a mirror), 5 transposes (a
  // clockwise quarter turn then a mirror), 6 needs a clockwise quarter turn, 7 transverses (three
  // quarter turns then a mirror), 8 needs three clockwise quarter turns.
  using enum RotateFlipType;
  static constexpr std::array<RotateFlipType, 9> kTypes = {
      None, None, Mirror, Turn180, Turn180Mirror, Turn90Mirror, Turn90, Turn270Mirror, Turn270};
  return orientation >= 1 && orientation <= 8 ? kTypes[static_cast<std::size_t>(orientation)] : None;
}

bool ReadJpegHeader(QIODevice& device, JpegHeader* header) {
  unsigned char byte = 0;
  if (!ReadByte(device, &byte) || byte != kMarkerPrefix || !ReadByte(device, &byte) || byte != kSoi)
    return false;
  bool have_exif = false;
  // The profile's chunks by sequence number (1..count), as they come: writers put them in order,
  // but nothing says they must.
  std::map<int, QByteArray> icc_chunks;
  int icc_count = 0;
  header->icc_profile.clear();
  header->adobe = false;
  for (;;) {
    // Like libjpeg, step over stray bytes before a marker and over fill bytes (repeated 0xFF).
    do {
      if (!ReadByte(device, &byte)) return false;
    } while (byte != kMarkerPrefix);
    unsigned char marker = kMarkerPrefix;
    while (marker == kMarkerPrefix) {
      if (!ReadByte(device, &marker)) return false;
    }
    if (marker == 0x00 || IsStandalone(marker)) continue;
    if (marker == kEoi || marker == kSos || marker == kSoi) return false;  // no frame before the data
    std::array<char, 2> length_bytes{};
    if (!ReadExact(device, length_bytes.data(), 2)) return false;
    const int length =
        (static_cast<unsigned char>(length_bytes[0]) << 8) | static_cast<unsigned char>(length_bytes[1]);
    if (length < 2) return false;
    const int payload = length - 2;
    if (IsStartOfFrame(marker)) {
      // Precision, height, width, component count.
      std::array<char, 6> frame{};
      if (payload < 6 || !ReadExact(device, frame.data(), 6)) return false;
      const int height = (static_cast<unsigned char>(frame[1]) << 8) | static_cast<unsigned char>(frame[2]);
      const int width = (static_cast<unsigned char>(frame[3]) << 8) | static_cast<unsigned char>(frame[4]);
      // A height of 0 defers it to a DNL marker after the first scan, which the decoder refuses too.
      if (width == 0 || height == 0 || frame[5] == 0) return false;
      header->stored_size = QSize(width, height);
      if (icc_count > 0 && int(icc_chunks.size()) == icc_count) {
        for (const auto& [sequence, chunk] : icc_chunks) header->icc_profile.append(chunk);
      }
      if (!have_exif) {
        header->orientation = 1;
        header->exif_thumbnail.clear();
      }
      return true;
    }
    static constexpr char kExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
    if (marker == kApp1 && !have_exif && payload >= int(sizeof kExifSignature)) {
      QByteArray segment(payload, Qt::Uninitialized);
      if (!ReadExact(device, segment.data(), payload)) return false;
      if (QByteArrayView(segment).first(sizeof kExifSignature) ==
          QByteArrayView(kExifSignature, sizeof kExifSignature)) {
        have_exif = true;
        const QByteArrayView tiff = QByteArrayView(segment).sliced(sizeof kExifSignature);
        header->orientation = ExifOrientation(tiff);
        header->exif_thumbnail = ExifThumbnail(tiff).toByteArray();
      }
      continue;
    }
    static constexpr char kIccSignature[] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
    constexpr int kIccChunkHead = sizeof kIccSignature + 2;  // the signature, sequence number, count
    if (marker == kApp2 && payload > kIccChunkHead) {
      QByteArray segment(payload, Qt::Uninitialized);
      if (!ReadExact(device, segment.data(), payload)) return false;
      if (QByteArrayView(segment).first(sizeof kIccSignature) ==
          QByteArrayView(kIccSignature, sizeof kIccSignature)) {
        const int sequence = static_cast<unsigned char>(segment[sizeof kIccSignature]);
        const int count = static_cast<unsigned char>(segment[sizeof kIccSignature + 1]);
        // A chunk that disagrees on the count, or a number out of its range, spoils the profile.
        if (sequence < 1 || sequence > count || (icc_count != 0 && count != icc_count)) {
          icc_count = -1;
        } else if (icc_count >= 0) {
          icc_count = count;
          icc_chunks[sequence] = segment.sliced(kIccChunkHead);
        }
      }
      continue;
    }
    if (marker == kApp14 && payload >= 5) {
      QByteArray segment(payload, Qt::Uninitialized);
      if (!ReadExact(device, segment.data(), payload)) return false;
      if (segment.startsWith("Adobe")) header->adobe = true;
      continue;
    }
    if (!Skip(device, payload)) return false;
  }
}

qsizetype JpegScanStart(QByteArrayView data) {
  if (data.size() < 2) return kJpegScanNotYet;
  if (static_cast<unsigned char>(data[0]) != kMarkerPrefix || static_cast<unsigned char>(data[1]) != kSoi)
    return kJpegScanNone;
  qsizetype at = 2;
  for (;;) {
    if (at + 2 > data.size()) return kJpegScanNotYet;
    if (static_cast<unsigned char>(data[at]) != kMarkerPrefix) return kJpegScanNone;
    const auto marker = static_cast<unsigned char>(data[at + 1]);
    if (marker == kMarkerPrefix) {  // fill byte
      ++at;
      continue;
    }
    if (marker == kSos) return at;
    if (marker == kSoi || marker == kEoi || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
      return kJpegScanNone;  // no segment of a header
    if (at + 4 > data.size()) return kJpegScanNotYet;
    const qsizetype length =
        (static_cast<unsigned char>(data[at + 2]) << 8) | static_cast<unsigned char>(data[at + 3]);
    if (length < 2) return kJpegScanNone;
    at += 2 + length;
  }
}

QByteArray WithJpegIccProfile(const QByteArray& jpeg, QByteArrayView icc_profile) {
  constexpr qsizetype kChunkBytes = 65519;  // a segment's 65535 less its length, signature and numbering
  const qsizetype chunks = (icc_profile.size() + kChunkBytes - 1) / kChunkBytes;
  if (icc_profile.isEmpty() || chunks > 255 || !LooksLikeJpeg(jpeg)) return jpeg;
  // After SOI, and after an APP0 (JFIF) segment when the file starts with one.
  qsizetype at = 2;
  if (jpeg.size() >= 6 && static_cast<unsigned char>(jpeg[2]) == kMarkerPrefix &&
      static_cast<unsigned char>(jpeg[3]) == 0xE0)
    at = 4 + ((static_cast<unsigned char>(jpeg[4]) << 8) | static_cast<unsigned char>(jpeg[5]));
  if (at > jpeg.size()) return jpeg;
  QByteArray segments;
  for (qsizetype i = 0; i < chunks; ++i) {
    const QByteArrayView part =
        icc_profile.sliced(i * kChunkBytes, std::min(kChunkBytes, icc_profile.size() - i * kChunkBytes));
    const qsizetype length = 2 + 14 + part.size();
    segments.append(char(kMarkerPrefix)).append(char(kApp2));
    segments.append(char(length >> 8)).append(char(length & 0xFF));
    segments.append("ICC_PROFILE", 12);
    segments.append(char(i + 1)).append(char(chunks));
    segments.append(part);
  }
  QByteArray result = jpeg;
  result.insert(at, segments);
  return result;
}
