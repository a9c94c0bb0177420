// Decoding a JPEG row by row with libjpeg on a thread of its own.
#include "imaging/jpeg_stream.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>

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

// Decodes the next rows, at most count, into the stream's rows; the number now done, or -1 on
// failure.
int ReadRows(JpegStream::Decoder& d, const std::function<uchar*(int)>& row_bits, int count) {
  if (setjmp(d.jump)) return -1;
  const int done = static_cast<int>(d.cinfo.output_scanline);
  count = std::min({count, static_cast<int>(d.rows.size()), static_cast<int>(d.cinfo.output_height) - done});
  for (int i = 0; i < count; ++i) d.rows[static_cast<std::size_t>(i)] = row_bits(done + i);
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
  // Colours from a profile are converted row by row as they come; a profile Little CMS refuses is
  // left to LoadImage, which says so.
  std::unique_ptr<SrgbRowConverter> converter;
  if (!header.icc_profile.isEmpty() && !IsSrgbProfile(header.icc_profile)) {
    converter = SrgbRowConverter::Make(header.icc_profile);
    if (!converter) return nullptr;
  }
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
  if (!stream->Prepare(size, std::move(converter), held_rows)) return nullptr;
  if (own_thread) stream->Launch();
  return stream;
}

JpegStream::~JpegStream() {
  StopAndJoin();
  if (decoder_ && decoder_->created) jpeg_destroy_decompress(&decoder_->cinfo);
}

LoadStatus JpegStream::Decode() {
  const int height = Size().height();
  int done = 0;
  bool stopped = false;
  while (done < height) {
    const int count = RowsToWrite(done);
    stopped = count == 0;
    if (stopped) break;
    done = DecodeRows(count);
    if (done < 0) break;
    Publish(done);
  }
  return Conclude(done, stopped);
}

int JpegStream::DecodeRows(int count) {
  Decoder& d = *decoder_;
  if (!started_) {
    started_ = true;
    if (!StartDecode(d)) return -1;
  }
  return ReadRows(
      d, [this](int y) { return RowBits(y); }, count);
}

LoadStatus JpegStream::Conclude(int done, bool stopped) {
  Decoder& d = *decoder_;
  if (done == Size().height()) FinishDecode(d);
  // As the whole decode judges its result: both paths give one verdict for one file.
  if (stopped || d.failed) return LoadStatus::Undecodable;
  if (d.ended_early) return LoadStatus::Truncated;
  return LoadStatus::Ok;
}
