// Structural completeness checks of BMP, GIF and TIFF files: a cut file must not pass for a photo.
#include "imaging/pixel_data_check.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Little- or big-endian unsigned reads of `bytes` bytes at offset; 0 past the end.
std::uint32_t Read(const QByteArray& data, qint64 offset, int bytes, bool big_endian = false) {
  if (offset < 0 || offset + bytes > data.size()) return 0;
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    const auto byte = static_cast<std::uint8_t>(data[offset + (big_endian ? i : bytes - 1 - i)]);
    value = value << 8 | byte;
  }
  return value;
}

bool BmpComplete(QIODevice& device, qint64 file_size) {
  const QByteArray head = device.read(64);
  const std::uint32_t data_offset = Read(head, 10, 4), header_size = Read(head, 14, 4);
  qint64 width = 0, height = 0, bits = 0, compression = 0;
  if (header_size == 12) {  // the old core header: 16-bit sizes, never compressed
    width = Read(head, 18, 2);
    height = Read(head, 20, 2);
    bits = Read(head, 24, 2);
  } else if (header_size >= 40) {
    width = static_cast<std::int32_t>(Read(head, 18, 4));
    height = static_cast<std::int32_t>(Read(head, 22, 4));
    bits = Read(head, 28, 2);
    compression = Read(head, 30, 4);
  } else {
    return true;
  }
  // Uncompressed rows (plain or with bit masks) have a fixed length; run-length data does not.
  if (compression != 0 && compression != 3 && compression != 6) return true;
  const qint64 row_bytes = (std::llabs(width) * bits + 31) / 32 * 4;
  const qint64 rows = std::llabs(height);
  if (row_bytes <= 0 || rows == 0) return true;
  // Every row but the last with its padding; some writers leave the last row's padding out.
  const qint64 last_row = (std::llabs(width) * bits + 7) / 8;
  const qint64 room = file_size - data_offset - last_row;
  return room >= 0 && rows - 1 <= room / row_bytes;
}

// Skips data sub-blocks (a length byte, that many bytes, until a zero length); the bytes they hold,
// or -1 when the file ends first.
qint64 SkipSubBlocks(QIODevice& device) {
  qint64 total = 0;
  for (;;) {
    char length = 0;
    if (!device.getChar(&length)) return -1;
    const auto n = static_cast<std::uint8_t>(length);
    if (n == 0) return total;
    if (device.skip(n) != n) return -1;
    total += n;
  }
}

bool GifComplete(QIODevice& device) {
  const QByteArray screen = device.read(13);
  if (screen.size() < 13) return false;
  const auto flags = static_cast<std::uint8_t>(screen[10]);
  if ((flags & 0x80) != 0) {
    const qint64 table = 3 << ((flags & 7) + 1);
    if (device.skip(table) != table) return false;
  }
  for (;;) {
    char introducer = 0;
    if (!device.getChar(&introducer)) return false;  // ends before its first picture
    if (introducer == 0x21) {                        // an extension: label, then sub-blocks
      if (!device.skip(1) || SkipSubBlocks(device) < 0) return false;
    } else if (introducer == 0x2C) {
      const QByteArray descriptor = device.read(9);
      if (descriptor.size() < 9) return false;
      const qint64 width = Read(descriptor, 4, 2), height = Read(descriptor, 6, 2);
      const auto local = static_cast<std::uint8_t>(descriptor[8]);
      if ((local & 0x80) != 0) {
        const qint64 table = 3 << ((local & 7) + 1);
        if (device.skip(table) != table) return false;
      }
      if (device.skip(1) != 1) return false;  // the LZW minimum code size
      const qint64 data = SkipSubBlocks(device);
      if (data < 0) return false;
      // A code is at least 3 bits and stands for at most 4096 pixels: data that cannot hold the
      // picture's pixels even at that rate is a picture cut short.
      return width * height <= (data * 8 / 3 + 1) * 4096;
    } else {
      return true;  // the trailer or something unknown: the reader decides
    }
  }
}

bool TiffComplete(QIODevice& device, qint64 file_size) {
  const QByteArray head = device.read(8);
  const bool big = head.startsWith("MM");
  const std::uint32_t ifd = Read(head, 4, 4, big);
  if (!device.seek(ifd)) return false;
  const QByteArray count_bytes = device.read(2);
  if (count_bytes.size() < 2) return false;
  const std::uint32_t entries = Read(count_bytes, 0, 2, big);
  const QByteArray table = device.read(qint64{entries} * 12);
  if (table.size() < qint64{entries} * 12) return false;
  // The values of one tag: inline when they fit in four bytes, else at the offset the entry holds.
  const auto values = [&](std::uint32_t wanted, std::vector<qint64>& out) {
    for (std::uint32_t i = 0; i < entries; ++i) {
      const qint64 at = qint64{i} * 12;
      if (Read(table, at, 2, big) != wanted) continue;
      const std::uint32_t type = Read(table, at + 2, 2, big);
      const qint64 count = Read(table, at + 4, 4, big);
      const int size = type == 3 ? 2 : type == 4 ? 4 : 0;
      // More strips than a picture under the ceiling needs, or an odd type: the reader decides.
      if (size == 0 || count > (qint64{1} << 24)) return false;
      QByteArray bytes;
      if (count * size <= 4) {
        bytes = table.mid(at + 8, 4);
      } else {
        if (!device.seek(Read(table, at + 8, 4, big))) return false;
        bytes = device.read(count * size);
        if (bytes.size() < count * size) return false;
      }
      for (qint64 k = 0; k < count; ++k) out.push_back(Read(bytes, k * size, size, big));
      return true;
    }
    return false;
  };
  for (const auto& [offsets_tag, counts_tag] : {std::pair{273u, 279u}, std::pair{324u, 325u}}) {
    std::vector<qint64> offsets, counts;
    if (!values(offsets_tag, offsets) || !values(counts_tag, counts)) continue;
    if (offsets.size() != counts.size()) continue;
    for (std::size_t i = 0; i < offsets.size(); ++i)
      if (offsets[i] + counts[i] > file_size) return false;
  }
  return true;
}

}  // namespace

bool PixelDataComplete(QIODevice& device) {
  if (!device.seek(0)) return true;
  const QByteArray magic = device.peek(6);
  const qint64 file_size = device.size();
  bool complete = true;
  if (magic.startsWith("BM")) {
    complete = BmpComplete(device, file_size);
  } else if (magic.startsWith("GIF87a") || magic.startsWith("GIF89a")) {
    complete = GifComplete(device);
  } else if (magic.startsWith(QByteArrayView("II*\0", 4)) || magic.startsWith(QByteArrayView("MM\0*", 4))) {
    complete = TiffComplete(device, file_size);
  }
  device.seek(0);
  return complete;
}
