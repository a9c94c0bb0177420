// JPEG XL decoding through libjxl, on its thread runner.
#include "imaging/jxl_codec.h"

#include <jxl/decode.h>
#include <jxl/thread_parallel_runner.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/image_buffer.h"

namespace {

struct DecoderDestroy {
  void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};
struct RunnerDestroy {
  void operator()(void* runner) const { JxlThreadParallelRunnerDestroy(runner); }
};

QSize Upright(const JxlBasicInfo& info) {
  // Orientations 5 to 8 turn the picture a quarter.
  const bool swaps = info.orientation >= JXL_ORIENT_TRANSPOSE;
  return swaps ? QSize(int(info.ysize), int(info.xsize)) : QSize(int(info.xsize), int(info.ysize));
}

bool IsSrgbEncoding(const JxlColorEncoding& c) {
  return c.color_space == JXL_COLOR_SPACE_RGB && c.white_point == JXL_WHITE_POINT_D65 &&
         c.primaries == JXL_PRIMARIES_SRGB && c.transfer_function == JXL_TRANSFER_FUNCTION_SRGB;
}

// The profile of the decoded pixels; empty when they are sRGB (or grey in sRGB's curve).
QByteArray DataProfile(const JxlDecoder* decoder) {
  JxlColorEncoding encoding;
  if (JxlDecoderGetColorAsEncodedProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &encoding) ==
          JXL_DEC_SUCCESS &&
      (IsSrgbEncoding(encoding) || encoding.color_space == JXL_COLOR_SPACE_GRAY))
    return QByteArray();
  size_t size = 0;
  if (JxlDecoderGetICCProfileSize(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) !=
          JXL_DEC_SUCCESS ||
      size == 0 || size > (size_t{1} << 28))
    return QByteArray();
  QByteArray profile(static_cast<qsizetype>(size), '\0');
  if (JxlDecoderGetColorAsICCProfile(decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                     reinterpret_cast<uint8_t*>(profile.data()), size) != JXL_DEC_SUCCESS)
    return QByteArray();
  return profile;
}

// Where libjxl's decoded rows go: straight into the image's ARGB32 words, by whichever runner
// thread finished them, so no pass over the whole picture follows the decode.
// For an eighth-size picture, the middle pixel of each 8 x 8 block (the last row or column of the
// picture for blocks cut by its edge) is kept.
struct RowTarget {
  uchar* bits = nullptr;
  qsizetype stride = 0;
  int eighth = 0;                // 0: full size; 8: an eighth
  size_t width = 0, height = 0;  // the full picture's
};

constexpr size_t kEighth = 8;

quint32 Argb(const uint8_t* rgba) {
  return quint32{rgba[3]} << 24 | quint32{rgba[0]} << 16 | quint32{rgba[1]} << 8 | rgba[2];
}

size_t BlockMiddle(size_t block, size_t size) { return std::min(block * kEighth + kEighth / 2, size - 1); }

void WriteRow(void* opaque, size_t x, size_t y, size_t num_pixels, const void* pixels) {
  const auto* target = static_cast<const RowTarget*>(opaque);
  const auto* in = static_cast<const uint8_t*>(pixels);  // R, G, B, A bytes
  if (target->eighth == 0) {
    auto* out = reinterpret_cast<quint32*>(target->bits + qsizetype(y) * target->stride) + x;
    for (size_t i = 0; i < num_pixels; ++i, in += 4) out[i] = Argb(in);
    return;
  }
  const size_t row = y / kEighth;
  if (BlockMiddle(row, target->height) != y) return;
  auto* out = reinterpret_cast<quint32*>(target->bits + qsizetype(row) * target->stride);
  const size_t columns = (target->width + kEighth - 1) / kEighth;
  for (size_t column = x / kEighth; column < columns; ++column) {
    const size_t middle = BlockMiddle(column, target->width);
    if (middle >= x + num_pixels) break;
    if (middle >= x) out[column] = Argb(in + (middle - x) * 4);
  }
}

}  // namespace

bool LooksLikeJxl(QByteArrayView first_bytes) {
  const JxlSignature signature = JxlSignatureCheck(reinterpret_cast<const uint8_t*>(first_bytes.data()),
                                                   static_cast<size_t>(first_bytes.size()));
  return signature == JXL_SIG_CODESTREAM || signature == JXL_SIG_CONTAINER;
}

QSize JxlSize(QByteArrayView data) {
  const std::unique_ptr<JxlDecoder, DecoderDestroy> decoder(JxlDecoderCreate(nullptr));
  if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO) != JXL_DEC_SUCCESS)
    return QSize();
  JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.data()),
                     static_cast<size_t>(data.size()));
  // The input is never closed: a decoder that asks for more than the whole file has met its end.
  if (JxlDecoderProcessInput(decoder.get()) != JXL_DEC_BASIC_INFO) return QSize();
  JxlBasicInfo info;
  if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS) return QSize();
  return Upright(info);
}

DecodedPicture DecodeJxl(QByteArrayView data, std::optional<QSize> at_least) {
  const std::unique_ptr<JxlDecoder, DecoderDestroy> decoder(JxlDecoderCreate(nullptr));
  if (!decoder) return FailedPicture(LoadStatus::Undecodable);
  const std::unique_ptr<void, RunnerDestroy> runner(
      JxlThreadParallelRunnerCreate(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads()));
  if (!runner ||
      JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get()) != JXL_DEC_SUCCESS ||
      JxlDecoderSubscribeEvents(decoder.get(),
                                JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE |
                                    (at_least ? JXL_DEC_FRAME_PROGRESSION : 0)) != JXL_DEC_SUCCESS)
    return FailedPicture(LoadStatus::Undecodable);
  // Straight alpha, as the colour conversion and Qt's ARGB32 take it.
  JxlDecoderSetUnpremultiplyAlpha(decoder.get(), JXL_TRUE);
  JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.data()),
                     static_cast<size_t>(data.size()));
  const JxlPixelFormat format = {4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  DecodedPicture result;
  bool alpha = false;
  bool own_colours = false;  // the pixels are stored in the photo's own colours, not in XYB
  QImage image;
  RowTarget target;
  for (;;) {
    const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
    switch (status) {
      case JXL_DEC_BASIC_INFO: {
        JxlBasicInfo info;
        if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS)
          return FailedPicture(LoadStatus::Undecodable);
        result.full_size = Upright(info);
        if (AbovePixelCeiling(info.xsize, info.ysize))
          return FailedPicture(LoadStatus::TooLarge, result.full_size);
        alpha = info.alpha_bits > 0;
        own_colours = info.uses_original_profile != 0;
        break;
      }
      case JXL_DEC_COLOR_ENCODING:
        result.icc_profile = DataProfile(decoder.get());
        if (!result.icc_profile.isEmpty() && !own_colours) {
          // A lossy file stores XYB, which libjxl turns into sRGB by itself, on its threads and on
          // the way out: no second pass through Little CMS.
          JxlColorEncoding srgb = {};
          srgb.color_space = JXL_COLOR_SPACE_RGB;
          srgb.white_point = JXL_WHITE_POINT_D65;
          srgb.primaries = JXL_PRIMARIES_SRGB;
          srgb.transfer_function = JXL_TRANSFER_FUNCTION_SRGB;
          srgb.rendering_intent = JXL_RENDERING_INTENT_RELATIVE;
          if (JxlDecoderSetPreferredColorProfile(decoder.get(), &srgb) == JXL_DEC_SUCCESS)
            result.icc_profile = DataProfile(decoder.get());
        }
        break;
      case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
        const QSize full = result.full_size;
        const QSize eighth((full.width() + 7) / 8, (full.height() + 7) / 8);
        const bool reduced =
            at_least && eighth.width() >= at_least->width() && eighth.height() >= at_least->height();
        const QSize size = reduced ? eighth : full;
        image = NewImage(size.width(), size.height(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (image.isNull()) return FailedPicture(LoadStatus::TooLarge, result.full_size);
        target.bits = image.bits();
        target.stride = image.bytesPerLine();
        target.eighth = reduced ? int(kEighth) : 0;
        target.width = size_t(full.width());
        target.height = size_t(full.height());
        if (JxlDecoderSetImageOutCallback(decoder.get(), &format, WriteRow, &target) != JXL_DEC_SUCCESS)
          return FailedPicture(LoadStatus::Undecodable, result.full_size);
        break;
      }
      case JXL_DEC_FRAME_PROGRESSION:
        // The DC is there: an eighth-size picture needs nothing more.
        if (target.eighth == 0 || image.isNull()) break;
        if (JxlDecoderFlushImage(decoder.get()) != JXL_DEC_SUCCESS) break;
        result.image = std::move(image);
        result.status = LoadStatus::Ok;
        return result;
      case JXL_DEC_FULL_IMAGE:
        // The first frame is the picture (an animation gives its first frame).
        if (image.isNull()) return FailedPicture(LoadStatus::Undecodable, result.full_size);
        result.image = std::move(image);
        result.status = LoadStatus::Ok;
        return result;
      case JXL_DEC_NEED_MORE_INPUT:
        return FailedPicture(LoadStatus::Truncated, result.full_size);
      case JXL_DEC_SUCCESS:
      case JXL_DEC_ERROR:
      default:
        return FailedPicture(LoadStatus::Undecodable, result.full_size);
    }
  }
}
