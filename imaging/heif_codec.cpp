// HEIF and AVIF decoding through libheif.
#include "imaging/heif_codec.h"

#include <libheif/heif.h>

#include <QIODevice>
#include <cstring>
#include <memory>

#include "imaging/colour_profile.h"

namespace {

struct ContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
  void operator()(heif_image* image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<heif_image, ImageRelease>;

LoadStatus StatusOf(const heif_error& error) {
  if (error.subcode == heif_suberror_End_of_data) return LoadStatus::Truncated;
  if (error.subcode == heif_suberror_Security_limit_exceeded) return LoadStatus::TooLarge;
  return LoadStatus::Undecodable;
}

// The file read into a context, or the verdict why not. The context keeps pointers into data.
struct Opened {
  Context context;
  Handle primary;
  LoadStatus status = LoadStatus::Undecodable;
};

// The primary image of the file libheif has just read into the context (read: how the reading went).
void TakePrimary(Opened& opened, heif_error read) {
  if (read.code != heif_error_Ok) {
    opened.status = StatusOf(read);
    return;
  }
  heif_image_handle* handle = nullptr;
  const heif_error error = heif_context_get_primary_image_handle(opened.context.get(), &handle);
  opened.primary.reset(handle);
  opened.status = error.code == heif_error_Ok ? LoadStatus::Ok : StatusOf(error);
}

Opened Open(QByteArrayView data) {
  Opened opened;
  opened.context.reset(heif_context_alloc());
  if (!opened.context) return opened;
  // libheif's own ceiling is a side of 32768; ours is the pixel count, checked on the handle.
  TakePrimary(opened, heif_context_read_from_memory_without_copy(opened.context.get(), data.data(),
                                                                 static_cast<size_t>(data.size()), nullptr));
  return opened;
}

QSize HandleSize(const heif_image_handle* handle) {
  return QSize(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
}

ToneCurve CurveFor(heif_transfer_characteristics transfer, bool* known) {
  *known = true;
  switch (transfer) {
    case heif_transfer_characteristic_ITU_R_BT_709_5:
    case heif_transfer_characteristic_ITU_R_BT_601_6:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_10bit:
    case heif_transfer_characteristic_ITU_R_BT_2020_2_12bit:
      return ToneCurve::Bt709;
    case heif_transfer_characteristic_linear:
      return ToneCurve::Linear;
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_M:
      return ToneCurve::Gamma22;
    case heif_transfer_characteristic_ITU_R_BT_470_6_System_B_G:
      return ToneCurve::Gamma28;
    case heif_transfer_characteristic_IEC_61966_2_1:
    case heif_transfer_characteristic_unspecified:
      return ToneCurve::Srgb;
    default:
      // Curves for high dynamic range (PQ, HLG) and the rare others are read as sRGB's.
      *known = false;
      return ToneCurve::Srgb;
  }
}

// The profile the pixels are in: the embedded one, or one made from the colour description when
// that is not plain sRGB; empty for sRGB.
QByteArray ProfileOf(const heif_image_handle* handle) {
  const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
  if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > (size_t{1} << 28)) return QByteArray();
    QByteArray profile(static_cast<qsizetype>(size), '\0');
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
      return QByteArray();
    return profile;
  }
  heif_color_profile_nclx* nclx = nullptr;
  // libheif hands over the description it made even when it then reports unknown primaries: owned
  // before the verdict is looked at.
  const heif_error described = heif_image_handle_get_nclx_color_profile(handle, &nclx);
  const std::unique_ptr<heif_color_profile_nclx, void (*)(heif_color_profile_nclx*)> owner(
      nclx, heif_nclx_color_profile_free);
  if (described.code != heif_error_Ok || nclx == nullptr) return QByteArray();
  bool known = true;
  const ToneCurve curve = CurveFor(nclx->transfer_characteristics, &known);
  RgbPrimaries primaries;
  if (nclx->color_primaries != heif_color_primaries_unspecified) {
    primaries = {nclx->color_primary_red_x,   nclx->color_primary_red_y,  nclx->color_primary_green_x,
                 nclx->color_primary_green_y, nclx->color_primary_blue_x, nclx->color_primary_blue_y,
                 nclx->color_primary_white_x, nclx->color_primary_white_y};
  }
  if (IsSrgbPrimaries(primaries) && curve == ToneCurve::Srgb) return QByteArray();
  return MakeRgbProfile(primaries, curve);
}

// Interleaved RGB(A) planes of 8 bits, or of 9..16 bits in little-endian words, into Qt's ARGB32
// words; deep values are reduced with rounding (v * 255 / max, to the nearest).
QImage ToQImage(const heif_image* image, bool alpha, int bits) {
  const int width = heif_image_get_width(image, heif_channel_interleaved);
  const int height = heif_image_get_height(image, heif_channel_interleaved);
  int stride = 0;
  const uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
  if (plane == nullptr || width <= 0 || height <= 0) return QImage();
  QImage result(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (result.isNull()) return result;
  const int channels = alpha ? 4 : 3;
  const uint32_t max = (1u << bits) - 1;
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
    const uint8_t* row = plane + qsizetype{y} * stride;
    if (bits <= 8) {
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = row + x * channels;
        out[x] = qRgba(p[0], p[1], p[2], alpha ? p[3] : 255);
      }
    } else {
      const auto reduce = [max](const uint8_t* p) {
        const uint32_t v = std::min<uint32_t>(max, uint32_t(p[0]) | (uint32_t(p[1]) << 8));
        return static_cast<int>((v * 255 + max / 2) / max);
      };
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = row + qsizetype{x} * channels * 2;
        out[x] = qRgba(reduce(p), reduce(p + 2), reduce(p + 4), alpha ? reduce(p + 6) : 255);
      }
    }
  }
  return result;
}

// Decodes one image item (the primary or a thumbnail) into 8-bit ARGB32.
DecodedPicture DecodeHandle(const heif_image_handle* handle, QSize full_size) {
  const QSize size = HandleSize(handle);
  if (AbovePixelCeiling(size.width(), size.height())) return FailedPicture(LoadStatus::TooLarge, full_size);
  const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
  const int luma_bits = heif_image_handle_get_luma_bits_per_pixel(handle);
  const bool deep = luma_bits > 8;
  const heif_chroma chroma =
      deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
           : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
  heif_image* raw = nullptr;
  const heif_error error = heif_decode_image(handle, &raw, heif_colorspace_RGB, chroma, nullptr);
  const Image image(raw);
  if (error.code != heif_error_Ok || !image) {
    // A cut file often reads whole up to the image data: the decoder then finds too little of it.
    const LoadStatus status =
        error.code == heif_error_Decoder_plugin_error ? LoadStatus::Truncated : StatusOf(error);
    return FailedPicture(status, full_size);
  }
  const int bits = deep ? heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) : 8;
  QImage pixels = ToQImage(image.get(), alpha, bits < 9 || bits > 16 ? 8 : bits);
  if (pixels.isNull()) return FailedPicture(LoadStatus::Undecodable, full_size);
  DecodedPicture result;
  result.image = std::move(pixels);
  result.status = LoadStatus::Ok;
  result.full_size = full_size;
  result.icc_profile = ProfileOf(handle);
  return result;
}

}  // namespace

bool LooksLikeHeif(QByteArrayView first_bytes) {
  if (first_bytes.size() < 12 || std::memcmp(first_bytes.data() + 4, "ftyp", 4) != 0) return false;
  const heif_filetype_result type = heif_check_filetype(reinterpret_cast<const uint8_t*>(first_bytes.data()),
                                                        static_cast<int>(first_bytes.size()));
  return type == heif_filetype_yes_supported || type == heif_filetype_maybe;
}

QSize HeifSize(QByteArrayView data) {
  const Opened opened = Open(data);
  if (opened.status != LoadStatus::Ok) return QSize();
  return HandleSize(opened.primary.get());
}

DecodedPicture DecodeHeif(QByteArrayView data) {
  const Opened opened = Open(data);
  if (opened.status != LoadStatus::Ok) return FailedPicture(opened.status);
  const QSize size = HandleSize(opened.primary.get());
  return DecodeHandle(opened.primary.get(), size);
}

namespace {

// libheif reading a file through a device: only the boxes it parses and the items it decodes are
// read, never the whole picture's data.
int64_t DevicePosition(void* device) { return static_cast<QIODevice*>(device)->pos(); }
int DeviceRead(void* data, size_t size, void* device) {
  auto* d = static_cast<QIODevice*>(device);
  return d->read(static_cast<char*>(data), qint64(size)) == qint64(size) ? 0 : -1;
}
int DeviceSeek(int64_t position, void* device) {
  return static_cast<QIODevice*>(device)->seek(position) ? 0 : -1;
}
heif_reader_grow_status DeviceSize(int64_t target_size, void* device) {
  return target_size <= static_cast<QIODevice*>(device)->size() ? heif_reader_grow_status_size_reached
                                                                : heif_reader_grow_status_size_beyond_eof;
}
constexpr heif_reader kDeviceReader = {1, DevicePosition, DeviceRead, DeviceSeek, DeviceSize};

Opened OpenDevice(QIODevice& device) {
  Opened opened;
  opened.context.reset(heif_context_alloc());
  if (!opened.context || !device.seek(0)) return opened;
  TakePrimary(opened, heif_context_read_from_reader(opened.context.get(), &kDeviceReader, &device, nullptr));
  return opened;
}

DecodedPicture ThumbnailOf(const Opened& opened) {
  if (opened.status != LoadStatus::Ok) return FailedPicture(opened.status);
  const QSize size = HandleSize(opened.primary.get());
  heif_item_id id = 0;
  if (heif_image_handle_get_list_of_thumbnail_IDs(opened.primary.get(), &id, 1) < 1)
    return FailedPicture(LoadStatus::Missing, size);
  heif_image_handle* raw = nullptr;
  if (heif_image_handle_get_thumbnail(opened.primary.get(), id, &raw).code != heif_error_Ok)
    return FailedPicture(LoadStatus::Undecodable, size);
  const Handle thumbnail(raw);
  DecodedPicture result = DecodeHandle(thumbnail.get(), size);
  // A thumbnail far larger than it should be is no thumbnail to take.
  if (result.status == LoadStatus::TooLarge) return FailedPicture(LoadStatus::Undecodable, size);
  return result;
}

}  // namespace

DecodedPicture DecodeHeifThumbnail(QByteArrayView data) { return ThumbnailOf(Open(data)); }

DecodedPicture DecodeHeifThumbnail(QIODevice& device) { return ThumbnailOf(OpenDevice(device)); }

QSize HeifSize(QIODevice& device) {
  const Opened opened = OpenDevice(device);
  if (opened.status != LoadStatus::Ok) return QSize();
  return HandleSize(opened.primary.get());
}
