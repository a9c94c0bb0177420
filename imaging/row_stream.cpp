// The shared half of the streaming decoders: the thread, the rows done so far and their colours.
#include "imaging/row_stream.h"

#include <pthread.h>

#include "imaging/colour_profile.h"
#include "imaging/image_buffer.h"
#include "imaging/jpeg_stream.h"
#include "imaging/webp_stream.h"

std::unique_ptr<RowStream> RowStream::Start(const QString& path) {
  if (std::unique_ptr<RowStream> jpeg = JpegStream::Start(path)) return jpeg;
  return WebpStream::Start(path);
}

RowStream::RowStream() = default;

RowStream::~RowStream() { StopAndJoin(); }

void RowStream::StopAndJoin() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  if (thread_.joinable()) thread_.join();
}

bool RowStream::Prepare(QSize size, std::unique_ptr<SrgbRowConverter> converter) {
  image_ = NewImage(size.width(), size.height(), QImage::Format_RGB32);
  if (image_.isNull()) return false;
  bits_ = image_.bits();
  converter_ = std::move(converter);
  return true;
}

void RowStream::Launch() {
  // The one stage outside the work pool (base/work_pool.h): it decodes at its own pace while the
  // caller draws the rows above.
  thread_ = std::thread([this] {
    pthread_setname_np(pthread_self(), "lumisto-decode");
    LoadStatus status = LoadStatus::Undecodable;
    {
      // The rows are written top to bottom; another core takes their page faults first.
      const FaultInAhead ahead(image_);
      status = Decode();
    }
    if (status == LoadStatus::Ok) Publish(image_.height());
    {
      const std::lock_guard lock(mutex_);
      ended_ = true;
      status_ = status;
    }
    changed_.notify_all();
  });
}

void RowStream::Publish(int rows) {
  if (converter_) {
    const qsizetype stride = image_.bytesPerLine();
    for (; rows_converted_ < rows; ++rows_converted_)
      converter_->Convert(bits_ + rows_converted_ * stride, image_.width());
  }
  {
    const std::lock_guard lock(mutex_);
    rows_done_ = rows;
  }
  changed_.notify_all();
}

bool RowStream::Stopping() const {
  const std::lock_guard lock(mutex_);
  return stop_;
}

bool RowStream::WaitForRows(int rows) const {
  rows = std::min(rows, image_.height());
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return rows_done_ >= rows || ended_; });
  return rows_done_ >= rows && status_ == LoadStatus::Ok;
}

LoadStatus RowStream::Finish() const {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return ended_; });
  return status_;
}
