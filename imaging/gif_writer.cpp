// GIF writer over libimagequant and giflib.
#include "imaging/gif_writer.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <QIODevice>
#include <QImage>
#include <algorithm>
#include <memory>

#include "base/output_file.h"
#include "imaging/byte_buffer.h"

namespace {

constexpr int kMaxGifSide = 65535;
constexpr int kMaxColors = 256;
// On a 24-megapixel photo libimagequant's default speed 4 quantized in 1.5 s, speed 8 in 0.9 s, to
// the same remapping quality within a point; small pictures (style thumbnails) keep the careful one.
constexpr qint64 kLargePicturePixels = 4'000'000;
constexpr int kCarefulSpeed = 4;
constexpr int kFastSpeed = 8;

struct LiqDeleter {
  void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
  void operator()(liq_image* image) const { liq_image_destroy(image); }
  void operator()(liq_result* result) const { liq_result_destroy(result); }
};

// Hands libimagequant one row at a time, unpremultiplied, with alpha made all-or-nothing (GIF has
// one transparent colour), so no RGBA copy of the whole picture is needed.
void ReadRow(liq_color row_out[], int row, int width, void* user_info) {
  const auto* image = static_cast<const QImage*>(user_info);
  const auto* pixels = reinterpret_cast<const QRgb*>(image->constScanLine(row));
  const bool premultiplied = image->format() == QImage::Format_ARGB32_Premultiplied;
  // RGB32's top byte is meant to be 0xFF, but pictures wrapped around foreign memory may hold anything.
  const bool opaque = image->format() == QImage::Format_RGB32;
  for (int x = 0; x < width; ++x) {
    const QRgb pixel = pixels[x];
    const int alpha = opaque ? 255 : qAlpha(pixel);
    if (alpha < 128) {
      row_out[x] = liq_color{0, 0, 0, 0};
      continue;
    }
    const QRgb straight = premultiplied && alpha < 255 ? qUnpremultiply(pixel) : pixel;
    row_out[x] =
        liq_color{static_cast<unsigned char>(qRed(straight)), static_cast<unsigned char>(qGreen(straight)),
                  static_cast<unsigned char>(qBlue(straight)), 255};
  }
}

int WriteToDevice(GifFileType* gif, const GifByteType* bytes, int size) {
  auto* device = static_cast<QIODevice*>(gif->UserData);
  return WriteAll(*device, reinterpret_cast<const char*>(bytes), size) ? size : 0;
}

// giflib wants a power-of-two palette of at least two entries.
int ColorMapSize(int count) {
  int size = 2;
  while (size < count) size *= 2;
  return size;
}

bool WriteIndexed(QIODevice& out, int width, int height, const liq_palette& palette, unsigned char* indices) {
  int transparent = -1;
  for (unsigned i = 0; i < palette.count; ++i) {
    if (palette.entries[i].a < 128 &&
        (transparent < 0 || palette.entries[i].a < palette.entries[transparent].a)) {
      transparent = static_cast<int>(i);
    }
  }
  ColorMapObject* map = GifMakeMapObject(ColorMapSize(static_cast<int>(palette.count)), nullptr);
  if (map == nullptr) return false;
  std::fill(map->Colors, map->Colors + map->ColorCount, GifColorType{0, 0, 0});
  for (unsigned i = 0; i < palette.count; ++i) {
    map->Colors[i] = GifColorType{palette.entries[i].r, palette.entries[i].g, palette.entries[i].b};
  }
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToDevice, &error);
  if (gif == nullptr) {
    GifFreeMapObject(map);
    return false;
  }
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);  // the screen descriptor keeps its own copy
  if (ok && transparent >= 0) {
    const GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_OK;
  }
  ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
  for (int row = 0; ok && row < height; ++row) {
    ok = EGifPutLine(gif, indices + qsizetype{row} * width, width) == GIF_OK;
  }
  // Closing writes the trailer and frees gif whatever happened before.
  return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

}  // namespace

bool WriteGif(const QImage& image, QIODevice& out) {
  if (image.isNull() || image.width() > kMaxGifSide || image.height() > kMaxGifSide) return false;
  QImage source = image;
  if (source.format() != QImage::Format_ARGB32_Premultiplied && source.format() != QImage::Format_ARGB32 &&
      source.format() != QImage::Format_RGB32) {
    source = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (source.isNull()) return false;
  }
  const int width = source.width();
  const int height = source.height();
  std::unique_ptr<liq_attr, LiqDeleter> attr(liq_attr_create());
  if (!attr) return false;
  liq_set_max_colors(attr.get(), kMaxColors);
  liq_set_speed(attr.get(), qint64{width} * height > kLargePicturePixels ? kFastSpeed : kCarefulSpeed);
  std::unique_ptr<liq_image, LiqDeleter> picture(
      liq_image_create_custom(attr.get(), ReadRow, &source, width, height, 0));
  if (!picture) return false;
  liq_result* raw_result = nullptr;
  if (liq_image_quantize(picture.get(), attr.get(), &raw_result) != LIQ_OK) return false;
  std::unique_ptr<liq_result, LiqDeleter> result(raw_result);
  liq_set_dithering_level(result.get(), 1.0f);
  const std::size_t pixel_count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  ByteBuffer indices = AllocateBytes(pixel_count);
  if (!indices ||
      liq_write_remapped_image(result.get(), picture.get(), indices.get(), pixel_count) != LIQ_OK) {
    return false;
  }
  // The palette is final only after remapping, which refines it.
  const liq_palette* palette = liq_get_palette(result.get());
  return palette != nullptr && WriteIndexed(out, width, height, *palette, indices.get());
}
