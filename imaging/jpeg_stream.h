// A JPEG photo decoded at full size on a thread of its own, top to bottom, while its finished rows
// are already being used.
#pragma once

#include <QImage>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "imaging/byte_buffer.h"
#include "imaging/image_io.h"

class JpegStream {
 public:
  // Starts decoding the photo at path when it is a sequential (not progressive) JPEG in YCbCr or
  // grey, stored upright (no EXIF turn), within the pixel ceiling and long enough for its size.
  // Null for anything else, which LoadImage then decodes whole and judges. The pixels are those
  // LoadImage gives for the file, to the bit. held_rows, when positive and less than the photo's
  // height, is how many rows the decoder keeps: it fills them over and over (row y at scan line y
  // modulo held_rows) and writes a row only once the row held_rows above it is released.
  // own_thread false: no thread is started; WaitForRows and Finish decode what they wait for on
  // their caller (a render on a work-pool thread keeps to that thread).
  static std::unique_ptr<JpegStream> Start(const QString& path, int held_rows = 0, bool own_thread = true);
  // Stops the decoder early when it is still running and waits for it.
  ~JpegStream();
  JpegStream(const JpegStream&) = delete;
  JpegStream& operator=(const JpegStream&) = delete;

  // The full-size picture (Format_RGB32), rows filled from the top, or the rows it holds of it
  // (see Start). Read a row only once WaitForRows said it is there, and before it is released;
  // never write to it.
  const QImage& Image() const { return image_; }
  // The photo's size.
  QSize Size() const { return size_px_; }
  // Whether it holds fewer rows than the photo has.
  bool HoldsPart() const { return image_.height() < size_px_.height(); }
  // Waits until the first rows rows (clamped to the height) are decoded: true once they are, false
  // as soon as the decoder failed.
  bool WaitForRows(int rows) const;
  // Says rows above row are read no more: the decoder may write over them.
  void Release(int row);
  // Waits for the decoder to end: Ok, or Truncated or Undecodable as LoadImage reports the file.
  LoadStatus Finish() const;

  struct Decoder;  // libjpeg's side (public only for its callbacks)

 private:
  JpegStream() = default;
  void Run();
  // Ends the decode after done rows (or a failure: done < 0, or stopped) and records the verdict.
  void Conclude(int done, bool stopped) const;
  void Publish(int rows) const;
  // Without a thread of its own: decodes on the caller until rows rows are there (past_releases:
  // over rows not yet released too, nothing being read any more). False when the rows cannot come
  // without writing over rows not released.
  bool DecodeHere(int rows, bool past_releases) const;

  ByteBuffer bytes_;
  std::size_t size_ = 0;
  QImage image_;
  QSize size_px_;
  uchar* bits_ = nullptr;  // taken before the image is shared, so nothing detaches it
  std::unique_ptr<Decoder> decoder_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable std::mutex decode_mutex_;  // one caller decodes at a time (no thread of its own)
  mutable bool decoding_ = false;    // libjpeg's decompression has started
  mutable int decoded_ = 0;          // rows decoded (no thread of its own)
  mutable int rows_done_ = 0;
  int released_ = 0;  // the rows above this one are read no more
  mutable bool ended_ = false;
  mutable LoadStatus status_ = LoadStatus::Ok;
  bool stop_ = false;
  std::thread thread_;
};
