// Decoding a JPEG row by row with libjpeg on a thread of its own.
#include "imaging/jpeg_stream.h"

#include <pthread.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "imaging/colour_profile.h"
#include "imaging/image_buffer.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_header.h"

struct JpegStream::Decoder {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  std::jmp_buf jump{};
  bool created = false;
  // The verdict, as the whole decode's: a fatal error fails the decode whatever came before it; a
  // first warning saying the data ends early fails it as cut; other warnings pass.
  bool warned = false;
  bool failed = false;
  bool ended_early = false;  // the first warning says the data ends before the picture
  std::array<JSAMPROW, 16> rows{};
};

namespace {

JpegStream::Decoder* DecoderOf(j_common_ptr cinfo) {
  return static_cast<JpegStream::Decoder*>(cinfo->client_data);
}

bool SaysEndedEarly(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX] = {};
  cinfo->err->format_message(cinfo, text);
  return std::strstr(text, "Premature end of JPEG file") != nullptr ||
         std::strstr(text, "premature end of data segment") != nullptr;
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  JpegStream::Decoder* d = DecoderOf(cinfo);
  d->failed = true;
  std::longjmp(d->jump, 1);
}

// The first warning is the one a whole decode judges: data that ends early fails, other warnings
// (stray bytes between markers and the like, common in camera files) pass.
void OnMessage(j_common_ptr cinfo, int level) {
  JpegStream::Decoder* d = DecoderOf(cinfo);
  if (level >= 0 || d->warned) return;
  d->warned = true;
  d->ended_early = SaysEndedEarly(cinfo);
}

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kQtColorSpace = JCS_EXT_BGRX;
#else
constexpr J_COLOR_SPACE kQtColorSpace = JCS_EXT_XRGB;
#endif

// Runs the libjpeg calls that may fail: setjmp sits in this frame, which holds no object with a
// destructor, so the jump back on an error skips nothing. Reads the header and, when the frame
// suits, sets the output up; false when it does not suit or fails.
bool ReadHeader(JpegStream::Decoder& d, const unsigned char* data, std::size_t size) {
  d.cinfo.err = jpeg_std_error(&d.errors);
  d.errors.error_exit = OnError;
  d.errors.emit_message = OnMessage;
  d.cinfo.client_data = &d;
  if (setjmp(d.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&d.cinfo, TRUE) != JPEG_HEADER_OK) return false;
  // A progressive file is decoded whole before its first row exists; CMYK takes another decoder.
  if (d.cinfo.progressive_mode || jpeg_has_multiple_scans(&d.cinfo)) return false;
  if (d.cinfo.jpeg_color_space != JCS_YCbCr && d.cinfo.jpeg_color_space != JCS_GRAYSCALE &&
      d.cinfo.jpeg_color_space != JCS_RGB)
    return false;
  // TurboJPEG's settings for a full-size decode into Qt's layout: the library's defaults otherwise.
  d.cinfo.out_color_space = kQtColorSpace;
  return true;
}

// Decodes the next rows (at most count) into image rows from bits on, held_rows of them used
// cyclically; the number now done, or -1 on failure.
int ReadRows(JpegStream::Decoder& d, uchar* bits, qsizetype stride, int held_rows, int count) {
  if (setjmp(d.jump)) return -1;
  const int done = static_cast<int>(d.cinfo.output_scanline);
  count = std::min({count, static_cast<int>(d.rows.size()), static_cast<int>(d.cinfo.output_height) - done});
  for (int i = 0; i < count; ++i)
    d.rows[static_cast<std::size_t>(i)] = bits + ((done + i) % held_rows) * stride;
  int read = done;
  while (read < done + count)
    read += static_cast<int>(jpeg_read_scanlines(&d.cinfo, d.rows.data() + (read - done),
                                                 static_cast<JDIMENSION>(done + count - read)));
  return read;
}

bool StartDecode(JpegStream::Decoder& d) {
  if (setjmp(d.jump)) return false;
  jpeg_start_decompress(&d.cinfo);
  return true;
}

// Reads on to the end marker; a failure is recorded in d.
void FinishDecode(JpegStream::Decoder& d) {
  if (setjmp(d.jump)) return;
  jpeg_finish_decompress(&d.cinfo);
}

}  // namespace

std::unique_ptr<JpegStream> JpegStream::Start(const QString& path, int held_rows, bool own_thread) {
  if (IsNonRegularFile(path)) return nullptr;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !LooksLikeJpeg(file.peek(3))) return nullptr;
  JpegHeader header;
  if (!ReadJpegHeader(file, &header) || RotateFlipForOrientation(header.orientation) != RotateFlipType::None)
    return nullptr;
  // Colours converted from a profile are converted on the whole picture by LoadImage.
  if (!header.icc_profile.isEmpty() && !IsSrgbProfile(header.icc_profile)) return nullptr;
  const QSize size = header.stored_size;
  if (size.isEmpty() || qint64{size.width()} * size.height() > kMaxImagePixels) return nullptr;
  const qint64 file_size = file.size();
  // As LoadImage reads a file: at most a gigabyte (a photo within the ceiling is far smaller).
  if (file_size <= 0 || file_size > (qint64{1} << 30)) return nullptr;
  std::unique_ptr<JpegStream> stream(new JpegStream);
  stream->size_ = static_cast<std::size_t>(file_size);
  stream->bytes_ = AllocateBytes(stream->size_);
  if (!stream->bytes_ || !file.seek(0) ||
      file.read(reinterpret_cast<char*>(stream->bytes_.get()), file_size) != file_size)
    return nullptr;
  {
    JpegDecoder frame(QByteArrayView(stream->bytes_.get(), file_size));
    if (!frame.HeaderOk() || frame.IsCmyk() || frame.StoredSize() != size || !frame.LongEnoughForItsSize())
      return nullptr;
  }
  stream->decoder_ = std::make_unique<Decoder>();
  if (!ReadHeader(*stream->decoder_, stream->bytes_.get(), stream->size_) ||
      static_cast<int>(stream->decoder_->cinfo.image_width) != size.width() ||
      static_cast<int>(stream->decoder_->cinfo.image_height) != size.height())
    return nullptr;
  stream->size_px_ = size;
  const int rows = held_rows > 0 ? std::min(held_rows, size.height()) : size.height();
  stream->image_ = NewImage(size.width(), rows, QImage::Format_RGB32);
  if (stream->image_.isNull()) return nullptr;
  stream->bits_ = stream->image_.bits();
  if (!own_thread) return stream;  // decoded by WaitForRows and Finish on their callers
  // The one stage outside the work pool (base/work_pool.h): it decodes at its own pace while the
  // caller draws the rows above.
  stream->thread_ = std::thread([s = stream.get()] {
    pthread_setname_np(pthread_self(), "lumisto-decode");
    s->Run();
  });
  return stream;
}

JpegStream::~JpegStream() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (decoder_ && decoder_->created) jpeg_destroy_decompress(&decoder_->cinfo);
}

void JpegStream::Run() {
  Decoder& d = *decoder_;
  decoding_ = true;
  const qsizetype stride = image_.bytesPerLine();
  const int height = size_px_.height();
  const int held = image_.height();
  // The rows are written top to bottom; another core takes their page faults first.
  const FaultInAhead ahead(image_);
  int done = 0;
  bool stopped = !StartDecode(d);
  while (!stopped && done < height) {
    int count = 0;
    {
      // Rows are written only over rows released.
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || held == height || released_ + held > done; });
      stopped = stop_;
      count = held == height ? height - done : released_ + held - done;
    }
    if (stopped) break;
    done = ReadRows(d, bits_, stride, held, count);
    if (done < 0) break;
    Publish(done);
  }
  Conclude(done, stopped);
}

void JpegStream::Conclude(int done, bool stopped) const {
  Decoder& d = *decoder_;
  const int height = size_px_.height();
  if (done == height) FinishDecode(d);
  // As the whole decode judges its result: both paths give one verdict for one file.
  LoadStatus status = LoadStatus::Ok;
  if (stopped || d.failed) {
    status = LoadStatus::Undecodable;
  } else if (d.ended_early) {
    status = LoadStatus::Truncated;
  }
  {
    const std::lock_guard lock(mutex_);
    ended_ = true;
    status_ = status;
    if (status == LoadStatus::Ok) rows_done_ = height;
  }
  changed_.notify_all();
}

void JpegStream::Publish(int rows) const {
  {
    const std::lock_guard lock(mutex_);
    rows_done_ = rows;
  }
  changed_.notify_all();
}

void JpegStream::Release(int row) {
  {
    const std::lock_guard lock(mutex_);
    if (row <= released_) return;
    released_ = row;
  }
  changed_.notify_all();
}

bool JpegStream::DecodeHere(int rows, bool past_releases) const {
  const std::lock_guard decoding(decode_mutex_);
  const int height = size_px_.height();
  const int held = image_.height();
  for (;;) {
    int released = 0;
    {
      const std::lock_guard lock(mutex_);
      if (ended_ || rows_done_ >= rows) return true;
      released = released_;
    }
    if (!decoding_) {
      decoding_ = true;
      if (!StartDecode(*decoder_)) {
        Conclude(0, true);
        continue;
      }
    }
    const int count = past_releases || held == height ? height - decoded_ : released + held - decoded_;
    // The rows asked for lie beyond the rows that may be written over: the caller never releases
    // what it has read.
    if (count <= 0) return false;
    decoded_ = ReadRows(*decoder_, bits_, image_.bytesPerLine(), held, std::min(count, 16));
    if (decoded_ < 0 || decoded_ == height) {
      Conclude(decoded_, false);
    } else {
      Publish(decoded_);
    }
  }
}

bool JpegStream::WaitForRows(int rows) const {
  rows = std::min(rows, size_px_.height());
  if (!thread_.joinable() && !DecodeHere(rows, false)) return false;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return rows_done_ >= rows || ended_; });
  return rows_done_ >= rows && status_ == LoadStatus::Ok;
}

LoadStatus JpegStream::Finish() const {
  if (!thread_.joinable()) DecodeHere(size_px_.height(), true);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return ended_; });
  return status_;
}
