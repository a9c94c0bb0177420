// JPEG XL encoding through libjxl, on its thread runner.
#include "imaging/jxl_writer.h"

#include <jxl/encode.h>
#include <jxl/thread_parallel_runner.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Effort 7 (libjxl's default) for lossy files; lossless photos at that effort take many times
// longer for a few per cent, so effort 3 there.
constexpr int kLossyEffort = 7;
constexpr int kLosslessEffort = 3;

struct EncoderDestroy {
  void operator()(JxlEncoder* encoder) const { JxlEncoderDestroy(encoder); }
};
struct RunnerDestroy {
  void operator()(void* runner) const { JxlThreadParallelRunnerDestroy(runner); }
};

}  // namespace

float JxlDistanceForQuality(int quality) {
  const double q = std::clamp(quality, 1, 99);
  if (q >= 30) return static_cast<float>(0.1 + (100 - q) * 0.09);
  return static_cast<float>(6.4 + std::pow(2.5, (30 - q) / 5.0) / 6.25);
}

QByteArray EncodeJxl(const QImage& image, int quality, const QByteArray& exif_tiff,
                     const QByteArray& xmp_packet) {
  if (image.isNull()) return {};
  const bool alpha = image.hasAlphaChannel();
  const bool lossless = quality >= 100;
  const QImage rgb = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (rgb.isNull()) return {};
  const std::unique_ptr<JxlEncoder, EncoderDestroy> encoder(JxlEncoderCreate(nullptr));
  const std::unique_ptr<void, RunnerDestroy> runner(
      JxlThreadParallelRunnerCreate(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads()));
  if (!encoder || !runner ||
      JxlEncoderSetParallelRunner(encoder.get(), JxlThreadParallelRunner, runner.get()) != JXL_ENC_SUCCESS)
    return {};
  JxlBasicInfo info;
  JxlEncoderInitBasicInfo(&info);
  info.xsize = static_cast<uint32_t>(rgb.width());
  info.ysize = static_cast<uint32_t>(rgb.height());
  info.bits_per_sample = 8;
  info.num_color_channels = 3;
  info.alpha_bits = alpha ? 8 : 0;
  info.num_extra_channels = alpha ? 1 : 0;
  info.uses_original_profile = lossless ? JXL_TRUE : JXL_FALSE;
  const bool boxes = !exif_tiff.isEmpty() || !xmp_packet.isEmpty();
  if (boxes && JxlEncoderUseBoxes(encoder.get()) != JXL_ENC_SUCCESS) return {};
  if (JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS) return {};
  JxlColorEncoding srgb;
  JxlColorEncodingSetToSRGB(&srgb, JXL_FALSE);
  if (JxlEncoderSetColorEncoding(encoder.get(), &srgb) != JXL_ENC_SUCCESS) return {};
  JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr);
  if (settings == nullptr) return {};
  JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT,
                                   lossless ? kLosslessEffort : kLossyEffort);
  if (lossless) {
    if (JxlEncoderSetFrameLossless(settings, JXL_TRUE) != JXL_ENC_SUCCESS) return {};
  } else if (JxlEncoderSetFrameDistance(settings, JxlDistanceForQuality(quality)) != JXL_ENC_SUCCESS) {
    return {};
  }
  // Rows of RGB888 are padded to 4 bytes: the encoder is told the alignment.
  const JxlPixelFormat format = {alpha ? 4u : 3u, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 4};
  const size_t bytes = static_cast<size_t>(rgb.bytesPerLine()) * static_cast<size_t>(rgb.height());
  if (JxlEncoderAddImageFrame(settings, &format, rgb.constBits(), bytes) != JXL_ENC_SUCCESS) return {};
  if (boxes) {
    // An "Exif" box starts with the offset of the TIFF header within it: 0.
    if (!exif_tiff.isEmpty()) {
      const QByteArray box = QByteArray(4, '\0') + exif_tiff;
      if (JxlEncoderAddBox(encoder.get(), "Exif", reinterpret_cast<const uint8_t*>(box.constData()),
                           static_cast<size_t>(box.size()), JXL_FALSE) != JXL_ENC_SUCCESS)
        return {};
    }
    if (!xmp_packet.isEmpty() &&
        JxlEncoderAddBox(encoder.get(), "xml ", reinterpret_cast<const uint8_t*>(xmp_packet.constData()),
                         static_cast<size_t>(xmp_packet.size()), JXL_FALSE) != JXL_ENC_SUCCESS)
      return {};
  }
  JxlEncoderCloseInput(encoder.get());
  QByteArray out(qsizetype{1} << 16, Qt::Uninitialized);
  size_t used = 0;
  for (;;) {
    auto* next = reinterpret_cast<uint8_t*>(out.data()) + used;
    size_t avail = static_cast<size_t>(out.size()) - used;
    const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder.get(), &next, &avail);
    used = static_cast<size_t>(next - reinterpret_cast<uint8_t*>(out.data()));
    if (status == JXL_ENC_SUCCESS) break;
    if (status != JXL_ENC_NEED_MORE_OUTPUT) return {};
    out.resize(out.size() * 2);
  }
  out.resize(static_cast<qsizetype>(used));
  return out;
}
