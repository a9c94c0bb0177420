// WebP encoding through libwebp, the profile added by its muxer.
#include "imaging/webp_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

#include "imaging/colour_profile.h"

namespace {

// Lossless effort: level 2 of libwebp's 0..9 presets packs a photo within a few per cent of the
// default level 6 in a fraction of its time.
constexpr int kLosslessLevel = 2;

}  // namespace

QByteArray EncodeWebp(const QImage& image, int quality) {
  if (image.isNull() || image.width() > WEBP_MAX_DIMENSION || image.height() > WEBP_MAX_DIMENSION) return {};
  WebPConfig config;
  if (!WebPConfigInit(&config)) return {};
  if (quality >= 100) {
    if (!WebPConfigLosslessPreset(&config, kLosslessLevel)) return {};
  } else {
    config.quality = static_cast<float>(std::clamp(quality, 1, 100));
  }
  config.thread_level = 1;
  WebPPicture picture;
  if (!WebPPictureInit(&picture)) return {};
  picture.use_argb = config.lossless;
  picture.width = image.width();
  picture.height = image.height();
  // Straight alpha in B, G, R, A byte order, as libwebp imports it.
  const QImage straight =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  const int stride = static_cast<int>(straight.bytesPerLine());
  const bool imported = image.hasAlphaChannel()
                            ? WebPPictureImportBGRA(&picture, straight.constBits(), stride)
                            : WebPPictureImportBGRX(&picture, straight.constBits(), stride);
  if (!imported) return {};
  const std::unique_ptr<WebPPicture, void (*)(WebPPicture*)> owner(&picture, WebPPictureFree);
  WebPMemoryWriter writer;
  WebPMemoryWriterInit(&writer);
  const std::unique_ptr<WebPMemoryWriter, void (*)(WebPMemoryWriter*)> writer_owner(&writer,
                                                                                    WebPMemoryWriterClear);
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &writer;
  if (!WebPEncode(&config, &picture)) return {};
  // The bare bitstream, wrapped with the sRGB profile.
  const QByteArray& profile = SrgbProfile();
  const WebPData bitstream = {writer.mem, writer.size};
  const WebPData icc = {reinterpret_cast<const uint8_t*>(profile.constData()),
                        static_cast<size_t>(profile.size())};
  const std::unique_ptr<WebPMux, void (*)(WebPMux*)> mux(WebPMuxNew(), WebPMuxDelete);
  if (!mux || WebPMuxSetImage(mux.get(), &bitstream, 0) != WEBP_MUX_OK ||
      WebPMuxSetChunk(mux.get(), "ICCP", &icc, 0) != WEBP_MUX_OK)
    return {};
  WebPData assembled;
  WebPDataInit(&assembled);
  if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK) return {};
  QByteArray bytes(reinterpret_cast<const char*>(assembled.bytes), static_cast<qsizetype>(assembled.size));
  WebPDataClear(&assembled);
  return bytes;
}
