// AVIF encoding through libheif.
#include "imaging/avif_writer.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

namespace {

heif_error Append(heif_context*, const void* data, size_t size, void* userdata) {
  static_cast<QByteArray*>(userdata)->append(static_cast<const char*>(data), static_cast<qsizetype>(size));
  return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

}  // namespace

QByteArray EncodeAvif(const QImage& image, int quality, const QByteArray& exif_tiff,
                      const QByteArray& xmp_packet) {
  if (image.isNull()) return {};
  const bool alpha = image.hasAlphaChannel();
  // Straight alpha, R, G, B(, A) bytes.
  const QImage rgb = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (rgb.isNull()) return {};
  heif_image* raw = nullptr;
  if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &raw)
          .code != heif_error_Ok)
    return {};
  const std::unique_ptr<heif_image, void (*)(const heif_image*)> picture(raw, heif_image_release);
  if (heif_image_add_plane(picture.get(), heif_channel_interleaved, rgb.width(), rgb.height(), 8).code !=
      heif_error_Ok)
    return {};
  int stride = 0;
  uint8_t* plane = heif_image_get_plane(picture.get(), heif_channel_interleaved, &stride);
  if (plane == nullptr) return {};
  const size_t row_bytes = static_cast<size_t>(rgb.width()) * (alpha ? 4 : 3);
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(plane + qsizetype{y} * stride, rgb.constScanLine(y), row_bytes);
  // sRGB as a colour description (primaries, transfer, matrix, range) rather than an ICC profile:
  // libheif writes one of the two, and without the description readers guess how the pixels were
  // turned into luma and chroma, libheif and libavif differently (full range read as limited).
  const std::unique_ptr<heif_color_profile_nclx, void (*)(heif_color_profile_nclx*)> nclx(
      heif_nclx_color_profile_alloc(), heif_nclx_color_profile_free);
  if (!nclx) return {};
  nclx->color_primaries = heif_color_primaries_ITU_R_BT_709_5;
  nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
  nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
  nclx->full_range_flag = 1;
  heif_image_set_nclx_color_profile(picture.get(), nclx.get());

  const std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                       heif_context_free);
  if (!context) return {};
  heif_encoder* encoder_raw = nullptr;
  if (heif_context_get_encoder_for_format(context.get(), heif_compression_AV1, &encoder_raw).code !=
      heif_error_Ok)
    return {};
  const std::unique_ptr<heif_encoder, void (*)(heif_encoder*)> encoder(encoder_raw, heif_encoder_release);
  heif_encoder_set_lossy_quality(encoder.get(), std::clamp(quality, 1, 100));
  heif_encoder_set_parameter_integer(encoder.get(), "speed", kAvifEncoderSpeed);
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  heif_encoder_set_parameter_integer(encoder.get(), "threads", cores);
  heif_image_handle* handle = nullptr;
  if (heif_context_encode_image(context.get(), picture.get(), encoder.get(), nullptr, &handle).code !=
      heif_error_Ok)
    return {};
  const std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> handle_owner(
      handle, heif_image_handle_release);
  if (!exif_tiff.isEmpty() && heif_context_add_exif_metadata(context.get(), handle, exif_tiff.constData(),
                                                             static_cast<int>(exif_tiff.size()))
                                      .code != heif_error_Ok)
    return {};
  if (!xmp_packet.isEmpty() && heif_context_add_XMP_metadata(context.get(), handle, xmp_packet.constData(),
                                                             static_cast<int>(xmp_packet.size()))
                                       .code != heif_error_Ok)
    return {};
  QByteArray bytes;
  heif_writer writer = {1, Append};
  if (heif_context_write(context.get(), &writer, &bytes).code != heif_error_Ok) return {};
  return bytes;
}
