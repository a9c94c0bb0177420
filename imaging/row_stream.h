// A photo decoded at full size on a thread of its own, top to bottom, while its finished rows are
// already being used; the rows are turned into sRGB as they come when the photo has a profile.
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
  static std::unique_ptr<RowStream> Start(const QString& path);
  // Stops the decoder early when it is still running and waits for it (the subclass's destructor
  // calls StopAndJoin before its own members go).
  virtual ~RowStream();
  RowStream(const RowStream&) = delete;
  RowStream& operator=(const RowStream&) = delete;

  // The full-size picture (Format_RGB32), rows filled from the top. Read a row only once
  // WaitForRows said it is there; never write to it.
  const QImage& Image() const { return image_; }
  // Waits until the first rows rows (clamped to the height) are decoded: true once they are, false
  // as soon as the decoder failed.
  bool WaitForRows(int rows) const;
  // Waits for the decoder to end: Ok, or Truncated or Undecodable as LoadImage reports the file.
  LoadStatus Finish() const;

 protected:
  RowStream();
  // Takes the picture the decoder fills (Format_RGB32) and the conversion of its rows into sRGB
  // (null: they are sRGB). False when the image cannot be had.
  bool Prepare(QSize size, std::unique_ptr<SrgbRowConverter> converter);
  uchar* Bits() const { return bits_; }
  // Starts Decode on the stream's thread.
  void Launch();
  // The decoder, on the stream's thread: fills the rows top to bottom, calls Publish as rows are
  // done and returns the verdict.
  virtual LoadStatus Decode() = 0;
  // The first rows rows are decoded (converted here first when they need it).
  void Publish(int rows);
  // True once the stream is being dropped: the decoder should stop.
  bool Stopping() const;
  void StopAndJoin();

 private:
  QImage image_;
  uchar* bits_ = nullptr;  // taken before the image is shared, so nothing detaches it
  std::unique_ptr<SrgbRowConverter> converter_;
  int rows_converted_ = 0;  // decoder thread only
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int rows_done_ = 0;
  bool ended_ = false;
  LoadStatus status_ = LoadStatus::Ok;
  bool stop_ = false;
  std::thread thread_;
};
