// A JPEG photo decoded at full size with libjpeg on a thread of its own, top to bottom, while its
// finished rows are already being used.
#pragma once

#include <QString>
#include <memory>

#include "imaging/byte_buffer.h"
#include "imaging/row_stream.h"

class JpegStream : public RowStream {
 public:
  // Starts decoding the photo at path when it is a sequential (not progressive) JPEG in YCbCr or
  // grey, stored upright (no EXIF turn), within the pixel ceiling and long enough for its size, and
  // either in sRGB or with a profile Little CMS takes. Null for anything else, which LoadImage then
  // decodes whole and judges. The pixels are those LoadImage gives for the file, to the bit.
  // held_rows and own_thread as RowStream::Start takes them.
  static std::unique_ptr<JpegStream> Start(const QString& path, int held_rows = 0, bool own_thread = true);
  ~JpegStream() override;

  struct Decoder;  // libjpeg's side (public only for its callbacks)

 private:
  JpegStream() = default;
  LoadStatus Decode() override;
  int DecodeRows(int count) override;
  LoadStatus Conclude(int done, bool stopped) override;

  ByteBuffer bytes_;
  std::size_t size_ = 0;
  std::unique_ptr<Decoder> decoder_;
  bool started_ = false;  // libjpeg's decompression has begun
};
