// Huge-page backed image buffers.
#include "compose/image_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

constexpr std::size_t kHugeThreshold = std::size_t{1} << 20;

struct Mapping {
  void* base;
  std::size_t length;
};

void ReleaseMapping(void* info) {
  auto* mapping = static_cast<Mapping*>(info);
  munmap(mapping->base, mapping->length);
  delete mapping;
}

}  // namespace

QImage NewImage(int width, int height, QImage::Format format) {
  if (width <= 0 || height <= 0) return QImage();
  const int depth = QImage::toPixelFormat(format).bitsPerPixel();
  const std::size_t stride = ((static_cast<std::size_t>(width) * depth + 31) / 32) * 4;
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  if (bytes < kHugeThreshold || stride > static_cast<std::size_t>(INT32_MAX)) {
    QImage image(width, height, format);
    if (!image.isNull()) image.fill(0);
    return image;
  }
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return QImage();
  madvise(base, bytes, MADV_HUGEPAGE);
  auto* mapping = new Mapping{base, bytes};
  return QImage(static_cast<uchar*>(base), width, height, static_cast<qsizetype>(stride), format, ReleaseMapping,
                mapping);
}
