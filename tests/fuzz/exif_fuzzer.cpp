// Fuzzes the JPEG marker walk and the EXIF orientation reader.
#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "imaging/jpeg_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  ExifOrientation(QByteArrayView(bytes));
  QBuffer buffer;
  buffer.setData(bytes);
  if (buffer.open(QIODevice::ReadOnly)) {
    JpegHeader header;
    ReadJpegHeader(buffer, &header);
  }
  return 0;
}
