// Walking a PNG's chunk headers.
#include "imaging/png_chunks.h"

#include <QByteArray>
#include <cstdint>

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";

std::uint32_t BigEndian32(const char* bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<std::uint8_t>(bytes[i]);
  return value;
}

PngChunks Walk(QIODevice& device) {
  if (device.read(8) != QByteArray(kSignature, 8)) return PngChunks::Fine;
  const qint64 file_size = device.size();
  qint64 at = 8, ancillary = 0;
  for (;;) {
    if (!device.seek(at)) return PngChunks::Fine;
    const QByteArray header = device.read(8);
    if (header.size() < 8) return PngChunks::Fine;  // no end chunk: the reader says what is wrong
    const qint64 length = BigEndian32(header.constData());
    const QByteArray type = header.mid(4, 4);
    if (type == "IEND") return PngChunks::Fine;
    // A lower-case first letter marks a chunk a decoder may do without.
    const bool is_ancillary = (static_cast<std::uint8_t>(type[0]) & 0x20) != 0;
    if (is_ancillary) {
      ancillary += length;
      if (length > kMaxPngAncillaryBytes || ancillary > kMaxPngAncillaryTotal) return PngChunks::TooLarge;
    }
    // Readers take a chunk's data whole before its checksum; only the image data is streamed.
    const qint64 end = at + 8 + length + 4;
    if (end > file_size) return type == "IDAT" ? PngChunks::Fine : PngChunks::Cut;
    at = end;
  }
}

}  // namespace

PngChunks CheckPngChunks(QIODevice& device) {
  if (!device.seek(0)) return PngChunks::Fine;
  const PngChunks result = Walk(device);
  device.seek(0);
  return result;
}
