// Image buffers of ordinary anonymous pages, and faulting them in ahead of their writer.
#include "imaging/image_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "base/work_pool.h"

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it with EINVAL
#endif

// Measured for a 96 MB frame (6000 x 4000 ARGB) touched for the first time in a fresh process on
// this machine: ordinary pages 30-34 ms; pages advised for transparent huge pages 135-220 ms
// (about 4.5 ms only when a process had just freed huge pages), so huge pages cost a one-shot
// render over 100 ms a frame. Populating ordinary pages in advance costs the same 30 ms, which is
// why FaultInAhead does it on another core.

namespace {

constexpr std::size_t kLargeImage = std::size_t{1} << 20;

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
  if (bytes < kLargeImage || stride > static_cast<std::size_t>(INT32_MAX)) {
    QImage image(width, height, format);
    if (!image.isNull()) image.fill(0);
    return image;
  }
  // Fresh anonymous memory reads as zeros: no fill needed.
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return QImage();
  auto* mapping = new Mapping{base, bytes};
  return QImage(static_cast<uchar*>(base), width, height, static_cast<qsizetype>(stride), format,
                ReleaseMapping, mapping);
}

FaultInAhead::FaultInAhead(const QImage& image) {
  const std::size_t bytes = static_cast<std::size_t>(image.sizeInBytes());
  if (image.isNull() || bytes < 8 * kLargeImage) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(image.constBits());
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + bytes) / page * page;
  if (first >= end || !SharedWorkPool().HasIdleThread()) return;
  task_ = std::make_unique<TaskGroup>();
  task_->Run([this, first, end] {
    // Chunks of a few megabytes: far enough ahead of the writer, small enough to stop soon.
    constexpr std::uintptr_t kChunk = std::uintptr_t{4} << 20;
    for (std::uintptr_t at = first; at < end && !stop_.load(std::memory_order_relaxed); at += kChunk) {
      if (madvise(reinterpret_cast<void*>(at), std::min(kChunk, end - at), MADV_POPULATE_WRITE) != 0) return;
    }
  });
}

FaultInAhead::~FaultInAhead() {
  stop_.store(true, std::memory_order_relaxed);
  if (task_) task_->Wait();
}
