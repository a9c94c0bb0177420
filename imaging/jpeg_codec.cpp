// TurboJPEG decoding and encoding, and libjpeg's row-by-row encoding.
#include "imaging/jpeg_codec.h"

#include <turbojpeg.h>

#include <QIODevice>
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "base/output_file.h"
#include "imaging/byte_buffer.h"
#include "imaging/image_buffer.h"

namespace {

// The byte order of Qt's 32-bit formats (0xAARRGGBB words) in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr TJPF kQtPixelFormat = TJPF_BGRX;
#else
constexpr TJPF kQtPixelFormat = TJPF_XRGB;
#endif

// Libjpeg's warning for data that ends inside the image (the rest is filled with grey); a cut-off
// download must not pass for a photo. Other warnings (stray bytes between markers and the like) are
// common in camera files that otherwise decode well.
// A scan that meets a marker before its data is complete is a cut file as well.
constexpr std::array<const char*, 2> kEndedEarlyWarnings = {"Premature end of JPEG file",
                                                            "premature end of data segment"};

// libjpeg's message texts, indexed by message code; the library exports the table it reports from.
extern "C" const char* const jpeg_std_message_table[];

// libjpeg's message codes by name, in code order, read from its own header (the texts stay in the
// library): the codes that begin JWRN_ are its warnings.
constexpr const char* kJpegMessageCodes[] = {
#define JMESSAGE(code, string) #code,
#include <jerror.h>
};

// Whether text is what the printf format gives with some values: each conversion ("%u", "%02x")
// stands for one or more characters.
bool FitsFormat(const char* format, const char* text) {
  while (*format != '\0') {
    if (format[0] == '%' && format[1] == '%') {
      if (*text != '%') return false;
      format += 2;
      ++text;
      continue;
    }
    if (*format == '%') {
      ++format;
      while (*format != '\0' && std::strchr("-+ #0123456789.lhz", *format) != nullptr) ++format;
      if (*format == '\0') return false;
      ++format;
      for (const char* rest = text + 1; rest <= text + std::strlen(text); ++rest)
        if (FitsFormat(format, rest)) return true;
      return false;
    }
    if (*format != *text) return false;
    ++format;
    ++text;
  }
  return *text == '\0';
}

// Whether message is one of libjpeg's warnings. TurboJPEG reports a fatal error that follows a
// warning as a warning, with the fatal error's text: the text decides.
bool IsJpegWarning(const char* message) {
  for (std::size_t code = 0; code < std::size(kJpegMessageCodes); ++code) {
    const char* text = jpeg_std_message_table[code];
    if (text == nullptr) return false;  // the table ends before the header's last code
    if (std::strncmp(kJpegMessageCodes[code], "JWRN_", 5) == 0 && FitsFormat(text, message)) return true;
  }
  return false;
}

// The frame marker's second byte (0xC0..0xCF), or 0 when the walk does not reach one.
int FrameMarker(QByteArrayView data) {
  qsizetype at = 2;
  while (at + 4 <= data.size()) {
    if (static_cast<std::uint8_t>(data[at]) != 0xFF) return 0;
    const auto marker = static_cast<std::uint8_t>(data[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) return marker;
    at += 2 + (static_cast<std::uint8_t>(data[at + 2]) << 8 | static_cast<std::uint8_t>(data[at + 3]));
  }
  return 0;
}

// The reduced scales that libjpeg-turbo decodes with its fast scaled inverse DCTs.
constexpr std::array<int, 4> kScaleDenominators = {8, 4, 2, 1};

int Scaled(int dimension, int denominator) { return (dimension + denominator - 1) / denominator; }

// TurboJPEG handles are closed by whoever holds them, however the holder is left.
struct TurboJpegHandle {
  tjhandle handle;
  explicit TurboJpegHandle(tjhandle h) : handle(h) {}
  ~TurboJpegHandle() {
    if (handle != nullptr) tjDestroy(handle);
  }
  TurboJpegHandle(const TurboJpegHandle&) = delete;
  TurboJpegHandle& operator=(const TurboJpegHandle&) = delete;
};

}  // namespace

void JpegDecoder::HandleCloser::operator()(void* handle) const { tjDestroy(handle); }

JpegDecoder::JpegDecoder(QByteArrayView data) : data_(data), handle_(tjInitDecompress()) {
  if (handle_ == nullptr || data.isEmpty()) return;
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle_.get(), reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<unsigned long>(data.size()), &width, &height, &subsampling,
                          &colorspace) != 0 ||
      width <= 0 || height <= 0) {
    return;
  }
  stored_size_ = QSize(width, height);
  cmyk_ = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
}

JpegDecoder::~JpegDecoder() = default;

QSize JpegDecoder::ScaledSize(QSize at_least) const {
  for (int denominator : kScaleDenominators) {
    const QSize scaled(Scaled(stored_size_.width(), denominator), Scaled(stored_size_.height(), denominator));
    if (scaled.width() >= at_least.width() && scaled.height() >= at_least.height()) return scaled;
  }
  return stored_size_;
}

QSize JpegDecoder::EighthSize() const {
  return QSize(Scaled(stored_size_.width(), 8), Scaled(stored_size_.height(), 8));
}

QImage JpegDecoder::Decode(QSize scaled_size) {
  if (!HeaderOk() || cmyk_ || TooShortForItsSize()) return QImage();
  QImage image = NewImage(scaled_size.width(), scaled_size.height(), QImage::Format_RGB32);
  if (image.isNull()) return QImage();
  // The decoder writes the rows top to bottom; another core takes their page faults first.
  const FaultInAhead ahead(image);
  // Asking for exactly a scaled size makes TurboJPEG pick that scale. LIMITSCANS refuses progressive
  // files with thousands of scans, which would take minutes on a crafted file.
  const int status = tjDecompress2(handle_.get(), reinterpret_cast<const unsigned char*>(data_.data()),
                                   static_cast<unsigned long>(data_.size()), image.bits(), image.width(),
                                   static_cast<int>(image.bytesPerLine()), image.height(), kQtPixelFormat,
                                   TJFLAG_LIMITSCANS);
  if (!Judge(status)) return QImage();
  return image;
}

QByteArray JpegDecoder::DecodeCmyk() {
  if (!HeaderOk() || !cmyk_ || TooShortForItsSize()) return QByteArray();
  const qsizetype stride = qsizetype{stored_size_.width()} * 4;
  QByteArray ink;
  try {
    ink = QByteArray(stride * stored_size_.height(), Qt::Uninitialized);
  } catch (const std::bad_alloc&) {
    return QByteArray();
  }
  const int status = tjDecompress2(
      handle_.get(), reinterpret_cast<const unsigned char*>(data_.data()),
      static_cast<unsigned long>(data_.size()), reinterpret_cast<unsigned char*>(ink.data()),
      stored_size_.width(), static_cast<int>(stride), stored_size_.height(), TJPF_CMYK, TJFLAG_LIMITSCANS);
  if (!Judge(status)) return QByteArray();
  return ink;
}

bool JpegDecoder::Judge(int status) {
  if (status == 0) return true;
  if (tjGetErrorCode(handle_.get()) != TJERR_WARNING) return false;
  const char* message = tjGetErrorStr2(handle_.get());
  // A fatal error after a warning stopped the decode midway, whatever the warning said.
  if (message == nullptr || !IsJpegWarning(message)) return false;
  for (const char* warning : kEndedEarlyWarnings) {
    if (std::strstr(message, warning) != nullptr) {
      ended_early_ = true;
      return false;
    }
  }
  return true;
}

bool JpegDecoder::TooShortForItsSize() {
  // Huffman-coded data spends at least one bit on every 8 x 8 block of every component, and a
  // component is sampled at no less than a quarter of the picture's resolution on either axis:
  // at least a bit for each 32 x 32 pixels. Arithmetic-coded data can be far smaller.
  const int marker = FrameMarker(data_);
  if (marker == 0 || marker >= 0xC9) return false;
  const qint64 pixels = qint64{stored_size_.width()} * stored_size_.height();
  if (data_.size() * 8 * 1024 >= pixels) return false;
  ended_early_ = true;
  return true;
}

bool JpegDecoder::DataComplete() {
  if (!HeaderOk() || TooShortForItsSize()) return false;
  const QSize smallest(Scaled(stored_size_.width(), 8), Scaled(stored_size_.height(), 8));
  std::vector<unsigned char> pixels(static_cast<std::size_t>(smallest.width()) * smallest.height() * 4);
  const int status = tjDecompress2(handle_.get(), reinterpret_cast<const unsigned char*>(data_.data()),
                                   static_cast<unsigned long>(data_.size()), pixels.data(), smallest.width(),
                                   smallest.width() * 4, smallest.height(), cmyk_ ? TJPF_CMYK : TJPF_RGBX,
                                   TJFLAG_LIMITSCANS);
  return Judge(status);
}

bool EncodeJpeg(const QImage& image, int quality, QIODevice& out) {
  if (image.isNull()) return false;
  // Premultiplied and opaque 32-bit pixels go in as they are: read as BGRX, a premultiplied pixel is
  // that pixel over black. Other formats are converted once, to premultiplied where they carry alpha
  // (Qt's own conversion to RGB32 would drop alpha and keep the hidden colours).
  QImage converted;
  const QImage* source = &image;
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) {
    converted = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    if (converted.isNull()) return false;
    source = &converted;
  }
  const TurboJpegHandle compressor(tjInitCompress());
  const tjhandle handle = compressor.handle;
  if (handle == nullptr) return false;
  const unsigned long capacity = tjBufSize(source->width(), source->height(), TJSAMP_420);
  ByteBuffer buffer = capacity == static_cast<unsigned long>(-1) ? nullptr : AllocateBytes(capacity);
  unsigned char* jpeg = buffer.get();
  unsigned long jpeg_size = capacity;
  // The islow DCT, as cjpeg uses by default: TurboJPEG's faster default loses visible accuracy at the
  // high qualities photos are written with.
  const bool encoded =
      jpeg != nullptr &&
      tjCompress2(handle, source->constBits(), source->width(), static_cast<int>(source->bytesPerLine()),
                  source->height(), kQtPixelFormat, &jpeg, &jpeg_size, TJSAMP_420,
                  std::clamp(quality, 1, 100), TJFLAG_NOREALLOC | TJFLAG_ACCURATEDCT) == 0;
  return encoded && WriteAll(out, reinterpret_cast<const char*>(jpeg), static_cast<qint64>(jpeg_size));
}

// The row writer drives libjpeg itself: TurboJPEG compresses only whole pictures. The settings are
// the ones tjCompress2 applies (defaults, quality with baseline tables, the islow DCT, YCbCr with
// 2 x 2 luma sampling), which is what makes the two files identical.
struct JpegRowWriter::State {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  jpeg_destination_mgr destination{};
  std::jmp_buf jump{};
  QIODevice* out = nullptr;
  std::vector<JOCTET> buffer;
  std::array<JSAMPROW, 64> rows{};
  bool created = false;
  bool failed = false;
  bool finished = false;
};

namespace {

constexpr std::size_t kJpegOutputChunk = std::size_t{1} << 18;

JpegRowWriter::State* StateOf(j_common_ptr cinfo) {
  return static_cast<JpegRowWriter::State*>(cinfo->client_data);
}

// libjpeg must not return from its error exit: back to the setjmp of the call that failed.
[[noreturn]] void OnJpegError(j_common_ptr cinfo) { std::longjmp(StateOf(cinfo)->jump, 1); }
void OnJpegMessage(j_common_ptr) {}  // warnings are not for the terminal

void OnInitDestination(j_compress_ptr cinfo) {
  JpegRowWriter::State* state = StateOf(reinterpret_cast<j_common_ptr>(cinfo));
  cinfo->dest->next_output_byte = state->buffer.data();
  cinfo->dest->free_in_buffer = state->buffer.size();
}

boolean OnBufferFull(j_compress_ptr cinfo) {
  JpegRowWriter::State* state = StateOf(reinterpret_cast<j_common_ptr>(cinfo));
  const auto size = static_cast<qint64>(state->buffer.size());
  if (!WriteAll(*state->out, reinterpret_cast<const char*>(state->buffer.data()), size))
    std::longjmp(state->jump, 1);
  OnInitDestination(cinfo);
  return TRUE;
}

void OnTermDestination(j_compress_ptr cinfo) {
  JpegRowWriter::State* state = StateOf(reinterpret_cast<j_common_ptr>(cinfo));
  const auto size = static_cast<qint64>(state->buffer.size() - cinfo->dest->free_in_buffer);
  if (!WriteAll(*state->out, reinterpret_cast<const char*>(state->buffer.data()), size))
    std::longjmp(state->jump, 1);
}

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kQtColorSpace = JCS_EXT_BGRX;
#else
constexpr J_COLOR_SPACE kQtColorSpace = JCS_EXT_XRGB;
#endif

}  // namespace

// Every call into libjpeg below sits right after a setjmp in a frame that holds no object with a
// destructor, so the jump back on an error skips nothing.
JpegRowWriter::JpegRowWriter(QIODevice& out, int width, int height, int quality)
    : state_(std::make_unique<State>()) {
  State* const s = state_.get();
  s->out = &out;
  s->buffer.resize(kJpegOutputChunk);
  if (width <= 0 || height <= 0) {
    s->failed = true;
    return;
  }
  s->cinfo.err = jpeg_std_error(&s->errors);
  s->errors.error_exit = OnJpegError;
  s->errors.output_message = OnJpegMessage;
  s->cinfo.client_data = s;
  if (setjmp(s->jump)) {
    s->failed = true;
    return;
  }
  jpeg_create_compress(&s->cinfo);
  s->created = true;
  s->destination.init_destination = OnInitDestination;
  s->destination.empty_output_buffer = OnBufferFull;
  s->destination.term_destination = OnTermDestination;
  s->cinfo.dest = &s->destination;
  s->cinfo.image_width = static_cast<JDIMENSION>(width);
  s->cinfo.image_height = static_cast<JDIMENSION>(height);
  s->cinfo.in_color_space = kQtColorSpace;
  s->cinfo.input_components = 4;
  jpeg_set_defaults(&s->cinfo);
  jpeg_set_quality(&s->cinfo, std::clamp(quality, 1, 100), TRUE);
  s->cinfo.dct_method = JDCT_ISLOW;
  jpeg_set_colorspace(&s->cinfo, JCS_YCbCr);
  s->cinfo.comp_info[0].h_samp_factor = 2;
  s->cinfo.comp_info[0].v_samp_factor = 2;
  for (int c = 1; c < 3; ++c) {
    s->cinfo.comp_info[c].h_samp_factor = 1;
    s->cinfo.comp_info[c].v_samp_factor = 1;
  }
  jpeg_start_compress(&s->cinfo, TRUE);
}

JpegRowWriter::~JpegRowWriter() {
  if (state_->created) jpeg_destroy_compress(&state_->cinfo);
}

bool JpegRowWriter::WriteRows(const uchar* first_row, qsizetype stride, int count) {
  State* const s = state_.get();
  if (s->failed || s->finished) return false;
  if (count <= 0) return true;
  if (count > static_cast<int>(s->cinfo.image_height - s->cinfo.next_scanline)) {
    s->failed = true;
    return false;
  }
  if (setjmp(s->jump)) {
    s->failed = true;
    return false;
  }
  for (int done = 0; done < count;) {
    const int chunk = std::min(count - done, static_cast<int>(s->rows.size()));
    for (int i = 0; i < chunk; ++i) s->rows[i] = const_cast<JSAMPROW>(first_row + (done + i) * stride);
    done += static_cast<int>(jpeg_write_scanlines(&s->cinfo, s->rows.data(), static_cast<JDIMENSION>(chunk)));
  }
  return true;
}

bool JpegRowWriter::Finish() {
  State* const s = state_.get();
  if (s->failed || s->finished || s->cinfo.next_scanline != s->cinfo.image_height) return false;
  if (setjmp(s->jump)) {
    s->failed = true;
    return false;
  }
  jpeg_finish_compress(&s->cinfo);
  s->finished = true;
  return true;
}
