// A photo decoded at full size on a thread of its own, top to bottom, while its finished rows are
// already being used; the rows are turned into sRGB as they are waited for when the photo has a
// profile.
#pragma once

#include <QImage>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "imaging/image_io.h"

class SrgbRowConverter;

class RowStream {
 public:
  // Starts decoding the photo at path when a streaming decoder takes it (a sequential JPEG, a still
  // WebP without alpha; drawn as stored, within the pixel ceiling). Null for anything else, which
  // LoadImage then decodes whole and judges. The pixels are those LoadImage gives, to the bit.
  // held_rows, when positive and less than the photo's height, is how many rows a JPEG decoder
  // keeps: it fills them over and over (row y at scan line y modulo held_rows) and writes a row only
  // once the row held_rows above it is released. own_thread false: no thread is started (only a JPEG
  // is taken then); WaitForRows and Finish decode what they wait for on their caller, so a render on
  // a work-pool thread keeps to that thread.
  static std::unique_ptr<RowStream> Start(const QString& path, int held_rows = 0, bool own_thread = true);
  // Stops the decoder early when it is still running and waits for it (the subclass's destructor
  // calls StopAndJoin before its own members go).
  virtual ~RowStream();
  RowStream(const RowStream&) = delete;
  RowStream& operator=(const RowStream&) = delete;

  // The full-size picture (Format_RGB32), rows filled from the top, or the rows it holds of it
  // (see Start). Read a row only once WaitForRows said it is there, and before it is released;
  // never write to it.
  const QImage& Image() const { return image_; }
  // The photo's size.
  QSize Size() const { return size_; }
  // Whether it holds fewer rows than the photo has.
  bool HoldsPart() const { return image_.height() < size_.height(); }
  // Waits until the first rows rows (clamped to the height) are decoded: true once they are, false
  // as soon as the decoder failed.
  bool WaitForRows(int rows) const;
  // Says rows above row are read no more: the decoder may write over them.
  void Release(int row);
  // Waits for the decoder to end: Ok, or Truncated or Undecodable as LoadImage reports the file.
  LoadStatus Finish() const;

 protected:
  RowStream();
  // Takes the picture the decoder fills (Format_RGB32), held_rows of its rows or all (see Start),
  // and the conversion of its rows into sRGB (null: they are sRGB). False when the image cannot be
  // had.
  bool Prepare(QSize size, std::unique_ptr<SrgbRowConverter> converter, int held_rows = 0);
  uchar* Bits() const { return bits_; }
  // Where the decoder writes row y.
  uchar* RowBits(int y) const { return bits_ + (y % image_.height()) * image_.bytesPerLine(); }
  // Starts Decode on the stream's thread.
  void Launch();
  // The decoder, on the stream's thread: fills the rows top to bottom, calls Publish as rows are
  // done and returns the verdict. Rows from done on may be written only as RowsToWrite allows.
  virtual LoadStatus Decode() = 0;
  // A decoder that can run on the stream's caller: decodes the next rows, at most count, and
  // returns how many are done now, or -1 when it failed; Conclude then reads on to the end and
  // gives the verdict (done rows decoded; stopped: given up). Not called for other decoders.
  virtual int DecodeRows(int count);
  virtual LoadStatus Conclude(int done, bool stopped);
  // How many rows from done on the decoder may write now: waits until the rows they take the place
  // of are released; 0 once the stream is being dropped.
  int RowsToWrite(int done) const;
  // The first rows rows are decoded.
  void Publish(int rows);
  // True once the stream is being dropped: the decoder should stop.
  bool Stopping() const;
  void StopAndJoin();

 private:
  // Without a thread of its own: decodes on the caller until rows rows are there (past_releases:
  // over rows not yet released too, nothing being read any more). False when the rows cannot come
  // without writing over rows not released.
  bool DecodeHere(int rows, bool past_releases) const;
  void End(LoadStatus status);

  QImage image_;
  QSize size_;
  uchar* bits_ = nullptr;  // taken before the image is shared, so nothing detaches it
  std::unique_ptr<SrgbRowConverter> converter_;
  // The rows are turned into sRGB by whoever waits for them, not by the decoder, so the decoder
  // keeps to decoding while the conversion runs beside it.
  void ConvertRows(int rows) const;
  mutable std::mutex convert_mutex_;  // one caller converts at a time
  mutable int rows_converted_ = 0;    // under convert_mutex_
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable std::mutex decode_mutex_;  // one caller decodes at a time (no thread of its own)
  mutable int decoded_ = 0;          // rows the caller's decode has done
  int rows_done_ = 0;
  int released_ = 0;  // the rows above this one are read no more
  bool ended_ = false;
  LoadStatus status_ = LoadStatus::Ok;
  bool stop_ = false;
  std::thread thread_;
};
