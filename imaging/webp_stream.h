// A still WebP photo decoded at full size with libwebp's incremental decoder on a thread of its own,
// top to bottom, while its finished rows are already being used.
#pragma once

#include <QString>
#include <memory>

#include "imaging/byte_buffer.h"
#include "imaging/row_stream.h"

class WebpStream : public RowStream {
 public:
  // Starts decoding the photo at path when it is a still WebP (lossy or lossless) without alpha,
  // within the pixel ceiling, in sRGB or with a profile Little CMS takes. Null for anything else,
  // which LoadImage then decodes whole and judges. The pixels are those LoadImage gives, to the bit.
  static std::unique_ptr<WebpStream> Start(const QString& path);
  ~WebpStream() override;

 private:
  WebpStream() = default;
  LoadStatus Decode() override;

  ByteBuffer bytes_;
  std::size_t size_ = 0;
};
