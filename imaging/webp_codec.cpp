// WebP decoding through libwebp (and its demuxer for animations and the ICC chunk).
#include "imaging/webp_codec.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

const uint8_t* Bytes(QByteArrayView data) { return reinterpret_cast<const uint8_t*>(data.data()); }

}  // namespace

QByteArray WebpIccProfile(QByteArrayView data) {
  WebPData webp = {Bytes(data), static_cast<size_t>(data.size())};
  WebPDemuxer* demux = WebPDemux(&webp);
  if (demux == nullptr) return QByteArray();
  QByteArray profile;
  if (WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG) {
    WebPChunkIterator chunk;
    if (WebPDemuxGetChunk(demux, "ICCP", 1, &chunk)) {
      profile = QByteArray(reinterpret_cast<const char*>(chunk.chunk.bytes), qsizetype(chunk.chunk.size));
      WebPDemuxReleaseChunkIterator(&chunk);
    }
  }
  WebPDemuxDelete(demux);
  return profile;
}

namespace {

// A reduced size with the picture's proportions, at least at_least on both sides and at least an
// eighth of the picture (like the smallest JPEG scale); the full size when no reduction reaches it.
QSize ReducedSize(QSize full, QSize at_least) {
  const double scale =
      std::max({double(at_least.width()) / full.width(), double(at_least.height()) / full.height(), 0.125});
  if (scale >= 1.0) return full;
  return QSize(std::max(1, int(std::ceil(full.width() * scale))),
               std::max(1, int(std::ceil(full.height() * scale))));
}

DecodedPicture FirstFrame(QByteArrayView data, QSize canvas, bool alpha) {
  WebPData webp = {Bytes(data), static_cast<size_t>(data.size())};
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) return FailedPicture(LoadStatus::Undecodable, canvas);
  options.color_mode = MODE_BGRA;
  options.use_threads = 0;
  std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&webp, &options),
                                                                       WebPAnimDecoderDelete);
  // The demuxer refuses a file whose frames run past its end.
  if (!decoder) return FailedPicture(LoadStatus::Truncated, canvas);
  uint8_t* pixels = nullptr;
  int timestamp = 0;
  if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp) || pixels == nullptr)
    return FailedPicture(LoadStatus::Undecodable, canvas);
  QImage image(canvas, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return FailedPicture(LoadStatus::TooLarge, canvas);
  const qsizetype row_bytes = qsizetype{canvas.width()} * 4;
  for (int y = 0; y < canvas.height(); ++y)
    std::memcpy(image.scanLine(y), pixels + y * row_bytes, size_t(row_bytes));
  DecodedPicture result;
  result.image = std::move(image);
  result.status = LoadStatus::Ok;
  result.full_size = canvas;
  return result;
}

}  // namespace

bool LooksLikeWebp(QByteArrayView first_bytes) {
  return first_bytes.size() >= 12 && std::memcmp(first_bytes.data(), "RIFF", 4) == 0 &&
         std::memcmp(first_bytes.data() + 8, "WEBP", 4) == 0;
}

QSize WebpSize(QByteArrayView data) {
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(Bytes(data), static_cast<size_t>(data.size()), &features) != VP8_STATUS_OK)
    return QSize();
  return QSize(features.width, features.height);
}

DecodedPicture DecodeWebp(QByteArrayView data, std::optional<QSize> at_least) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return FailedPicture(LoadStatus::Undecodable);
  const VP8StatusCode header = WebPGetFeatures(Bytes(data), static_cast<size_t>(data.size()), &config.input);
  if (header == VP8_STATUS_NOT_ENOUGH_DATA) return FailedPicture(LoadStatus::Truncated);
  if (header != VP8_STATUS_OK) return FailedPicture(LoadStatus::Undecodable);
  const QSize full(config.input.width, config.input.height);
  if (AbovePixelCeiling(full.width(), full.height())) return FailedPicture(LoadStatus::TooLarge, full);
  const bool alpha = config.input.has_alpha != 0;
  DecodedPicture result;
  if (config.input.has_animation) {
    result = FirstFrame(data, full, alpha);
  } else {
    const QSize size = at_least ? ReducedSize(full, *at_least) : full;
    QImage image(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return FailedPicture(LoadStatus::TooLarge, full);
    // Decoded straight into the image's rows: B, G, R, A bytes are a little-endian ARGB32 word.
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.bits();
    config.output.u.RGBA.stride = static_cast<int>(image.bytesPerLine());
    config.output.u.RGBA.size = static_cast<size_t>(image.sizeInBytes());
    // Lossy pictures are filtered on a second thread while the next rows are parsed.
    config.options.use_threads = 1;
    if (size != full) {
      config.options.use_scaling = 1;
      config.options.scaled_width = size.width();
      config.options.scaled_height = size.height();
    }
    const VP8StatusCode status = WebPDecode(Bytes(data), static_cast<size_t>(data.size()), &config);
    WebPFreeDecBuffer(&config.output);
    if (status == VP8_STATUS_NOT_ENOUGH_DATA) return FailedPicture(LoadStatus::Truncated, full);
    if (status != VP8_STATUS_OK) return FailedPicture(LoadStatus::Undecodable, full);
    result.image = std::move(image);
    result.status = LoadStatus::Ok;
    result.full_size = full;
  }
  if (result.status == LoadStatus::Ok) result.icc_profile = WebpIccProfile(data);
  return result;
}
