// Decoding a still WebP row by row with libwebp's incremental decoder on a thread of its own.
#include "imaging/webp_stream.h"

#include <webp/decode.h>

#include <QFile>
#include <algorithm>

#include "imaging/colour_profile.h"
#include "imaging/decoded_picture.h"
#include "imaging/webp_codec.h"

std::unique_ptr<WebpStream> WebpStream::Start(const QString& path) {
  if (IsNonRegularFile(path)) return nullptr;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || !LooksLikeWebp(file.peek(12))) return nullptr;
  const qint64 file_size = file.size();
  if (file_size <= 0 || file_size > kMaxCodecFileBytes) return nullptr;
  std::unique_ptr<WebpStream> stream(new WebpStream);
  stream->size_ = static_cast<std::size_t>(file_size);
  stream->bytes_ = AllocateBytes(stream->size_);
  if (!stream->bytes_ || file.read(reinterpret_cast<char*>(stream->bytes_.get()), file_size) != file_size)
    return nullptr;
  const QByteArrayView data(stream->bytes_.get(), file_size);
  // The incremental decoder finishes a picture whose file is cut after its last pixel data; the
  // whole decode calls that file cut, so one shorter than its RIFF size is left to it.
  const unsigned char* riff = stream->bytes_.get();
  const quint64 riff_size =
      quint64{riff[4]} | quint64{riff[5]} << 8 | quint64{riff[6]} << 16 | quint64{riff[7]} << 24;
  if (riff_size + 8 > stream->size_) return nullptr;
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(stream->bytes_.get(), stream->size_, &features) != VP8_STATUS_OK ||
      features.has_animation || features.has_alpha || AbovePixelCeiling(features.width, features.height))
    return nullptr;
  std::unique_ptr<SrgbRowConverter> converter;
  const QByteArray profile = WebpIccProfile(data);
  if (!profile.isEmpty() && !IsSrgbProfile(profile)) {
    converter = SrgbRowConverter::Make(profile);
    if (!converter) return nullptr;
  }
  if (!stream->Prepare(QSize(features.width, features.height), std::move(converter))) return nullptr;
  stream->Launch();
  return stream;
}

WebpStream::~WebpStream() { StopAndJoin(); }

LoadStatus WebpStream::Decode() {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return LoadStatus::Undecodable;
  // Straight into the image's rows, as DecodeWebp decodes: B, G, R, A bytes are an ARGB32 word.
  config.output.colorspace = MODE_BGRA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = Bits();
  config.output.u.RGBA.stride = static_cast<int>(Image().bytesPerLine());
  config.output.u.RGBA.size = static_cast<size_t>(Image().sizeInBytes());
  config.options.use_threads = 1;
  const std::unique_ptr<WebPIDecoder, void (*)(WebPIDecoder*)> decoder(WebPIDecode(nullptr, 0, &config),
                                                                       WebPIDelete);
  if (!decoder) return LoadStatus::Undecodable;
  // The file is handed over a slice at a time, so the rows come out as they are done.
  const std::size_t step = std::max<std::size_t>(size_ / 64, 16 * 1024);
  VP8StatusCode status = VP8_STATUS_SUSPENDED;
  for (std::size_t given = 0; given < size_ && status == VP8_STATUS_SUSPENDED;) {
    if (Stopping()) return LoadStatus::Undecodable;
    given = std::min(size_, given + step);
    status = WebPIUpdate(decoder.get(), bytes_.get(), given);
    int last_y = 0;
    if (WebPIDecGetRGB(decoder.get(), &last_y, nullptr, nullptr, nullptr) != nullptr && last_y > 0)
      Publish(std::min(last_y, Image().height()));
  }
  if (status == VP8_STATUS_OK) return LoadStatus::Ok;
  // A broken file gets the whole decode's verdict: the incremental decoder can name the same fault
  // otherwise (a bitstream error where the whole decode finds a chunk ending too soon), and the
  // message must not depend on which way the photo was read. Only broken files are read twice, and
  // rows this decoder could not finish are never passed off as a whole picture.
  const LoadStatus whole =
      DecodeWebp(QByteArrayView(bytes_.get(), static_cast<qsizetype>(size_)), std::nullopt).status;
  return whole == LoadStatus::Ok ? LoadStatus::Undecodable : whole;
}
