// JPEG through libjpeg-turbo's TurboJPEG API: decoding into Qt's 32-bit layout at full or reduced scale,
// and encoding.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <memory>

class QIODevice;

// One JPEG held in memory (the caller keeps the bytes alive): its frame header is read on
// construction, and the pixels decoded on request at 1, 1/2, 1/4 or 1/8 scale.
class JpegDecoder {
 public:
  explicit JpegDecoder(QByteArrayView data);
  ~JpegDecoder();
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  // False when the data holds no readable frame header.
  bool HeaderOk() const { return stored_size_.isValid(); }
  // The coded size, before any EXIF orientation.
  QSize StoredSize() const { return stored_size_; }
  // CMYK and YCCK frames cannot be decoded to RGB by TurboJPEG.
  bool IsCmyk() const { return cmyk_; }

  // The smallest scaled size, among the scales 1, 1/2, 1/4 and 1/8, that is at least at_least on
  // both axes (in coded orientation); the full size when no scale reaches it.
  QSize ScaledSize(QSize at_least) const;
  // The size of the 1/8 scale.
  QSize EighthSize() const;

  // False when the data is too short to hold the picture its header declares (Decode then fails
  // with EndedEarly).
  bool LongEnoughForItsSize() { return !TooShortForItsSize(); }

  // Decodes at a size ScaledSize returned into Format_RGB32 (opaque). A null image when the data is
  // damaged or cut short, or the memory cannot be had.
  QImage Decode(QSize scaled_size);
  // Decodes a CMYK or YCCK frame at full size into its ink values, four bytes a pixel (C, M, Y, K as
  // stored: Adobe's files store them inverted), rows of width * 4 bytes. Empty when the frame is not
  // CMYK, the data is damaged or cut short (EndedEarly then says so), or the memory cannot be had.
  QByteArray DecodeCmyk();
  // After a failed Decode: whether the data ended (or could not hold the picture) before the
  // picture its header declares.
  bool EndedEarly() const { return ended_early_; }
  // Runs through all the data at the smallest scale, any colour model: false when it ends early or
  // is damaged. For the CMYK frames that another decoder turns into pixels.
  bool DataComplete();

 private:
  // Checks the size bound and the decoder's warnings; sets ended_early_.
  bool TooShortForItsSize();
  bool Judge(int status);
  bool ended_early_ = false;
  struct HandleCloser {
    void operator()(void* handle) const;
  };
  QByteArrayView data_;
  std::unique_ptr<void, HandleCloser> handle_;  // the TurboJPEG decompressor
  QSize stored_size_;
  bool cmyk_ = false;
};

// Writes image as a baseline JPEG with 4:2:0 chroma at quality 1..100 to out. Transparent pixels are
// flattened onto black. False when encoding or writing fails.
bool EncodeJpeg(const QImage& image, int quality, QIODevice& out);

// Writes a baseline JPEG with 4:2:0 chroma a band of rows at a time: byte for byte the file
// EncodeJpeg writes for the whole picture, so the top of a picture can be encoded while its bottom
// is still being drawn. Writes to out as its buffer fills.
class JpegRowWriter {
 public:
  JpegRowWriter(QIODevice& out, int width, int height, int quality);
  ~JpegRowWriter();
  JpegRowWriter(const JpegRowWriter&) = delete;
  JpegRowWriter& operator=(const JpegRowWriter&) = delete;

  // The next count rows, top to bottom, of 32-bit pixels (Format_RGB32, or premultiplied ARGB,
  // which is written as if over black), width wide, stride bytes apart. False once anything failed.
  bool WriteRows(const uchar* first_row, qsizetype stride, int count);
  // Ends the file once every row was written; false when it could not be completed.
  bool Finish();

  struct State;  // libjpeg's side, opaque here (public only for libjpeg's callbacks)

 private:
  std::unique_ptr<State> state_;
};
