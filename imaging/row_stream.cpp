// The shared half of the streaming decoders: the thread, the rows done so far and their colours.
#include "imaging/row_stream.h"

#include <pthread.h>

#include <algorithm>

#include "base/parallel_rows.h"
#include "imaging/colour_profile.h"
#include "imaging/image_buffer.h"
#include "imaging/jpeg_stream.h"
#include "imaging/webp_stream.h"

std::unique_ptr<RowStream> RowStream::Start(const QString& path, int held_rows, bool own_thread) {
  if (std::unique_ptr<RowStream> jpeg = JpegStream::Start(path, held_rows, own_thread)) return jpeg;
  if (!own_thread) return nullptr;
  return WebpStream::Start(path);
}

RowStream::RowStream() = default;

RowStream::~RowStream() { StopAndJoin(); }

void RowStream::StopAndJoin() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool RowStream::Prepare(QSize size, std::unique_ptr<SrgbRowConverter> converter, int held_rows) {
  size_ = size;
  const int rows = held_rows > 0 ? std::min(held_rows, size.height()) : size.height();
  image_ = NewImage(size.width(), rows, QImage::Format_RGB32);
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
    if (status == LoadStatus::Ok) Publish(size_.height());
    End(status);
  });
}

void RowStream::End(LoadStatus status) {
  {
    const std::lock_guard lock(mutex_);
    ended_ = true;
    status_ = status;
    if (status == LoadStatus::Ok) rows_done_ = size_.height();
  }
  changed_.notify_all();
}

int RowStream::DecodeRows(int) { return -1; }

LoadStatus RowStream::Conclude(int, bool) { return LoadStatus::Undecodable; }

int RowStream::RowsToWrite(int done) const {
  const int height = size_.height(), held = image_.height();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stop_ || held == height || released_ + held > done; });
  if (stop_) return 0;
  return held == height ? height - done : released_ + held - done;
}

void RowStream::Release(int row) {
  {
    const std::lock_guard lock(mutex_);
    if (row <= released_) return;
    released_ = row;
  }
  changed_.notify_all();
}

bool RowStream::DecodeHere(int rows, bool past_releases) const {
  const std::lock_guard decoding(decode_mutex_);
  // The decoder's state is the stream's own; only its caller moves it on, one at a time.
  auto* self = const_cast<RowStream*>(this);
  const int height = size_.height(), held = image_.height();
  for (;;) {
    int released = 0;
    {
      const std::lock_guard lock(mutex_);
      if (ended_ || rows_done_ >= rows) return true;
      released = released_;
    }
    const int count = past_releases || held == height ? height - decoded_ : released + held - decoded_;
    // The rows asked for lie beyond the rows that may be written over: the caller never releases
    // what it has read.
    if (count <= 0) return false;
    decoded_ = self->DecodeRows(count);
    if (decoded_ >= 0) self->Publish(decoded_);
    if (decoded_ < 0 || decoded_ == height) self->End(self->Conclude(decoded_, false));
  }
}

void RowStream::Publish(int rows) {
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
  rows = std::min(rows, size_.height());
  if (!thread_.joinable() && !DecodeHere(rows, false)) return false;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return rows_done_ >= rows || ended_; });
    if (rows_done_ < rows || status_ != LoadStatus::Ok) return false;
  }
  ConvertRows(rows);
  return true;
}

LoadStatus RowStream::Finish() const {
  if (!thread_.joinable()) DecodeHere(size_.height(), true);
  LoadStatus status = LoadStatus::Ok;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ended_; });
    status = status_;
  }
  if (status == LoadStatus::Ok) ConvertRows(size_.height());
  return status;
}

void RowStream::ConvertRows(int rows) const {
  if (!converter_) return;
  const std::lock_guard converting(convert_mutex_);
  int from = 0;
  {
    // Rows released may already hold rows further down (see Start): they are never read again.
    const std::lock_guard lock(mutex_);
    from = std::max(rows_converted_, released_);
    rows = std::min(rows, rows_done_);
  }
  if (from >= rows) return;
  const int width = image_.width();
  // A few rows at a time on the caller; the rest of a whole photo on every core.
  ParallelRows(rows - from, width, [&](int first, int end) {
    for (int y = from + first; y < from + end; ++y) converter_->Convert(RowBits(y), width);
  });
  rows_converted_ = rows;
}
