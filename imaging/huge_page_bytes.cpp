// Huge-page backed byte buffers.
#include "imaging/huge_page_bytes.h"

#include <sys/mman.h>

#include <cstdlib>
#include <limits>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below a few huge pages the ordinary allocator is as good and wastes nothing on rounding.
constexpr std::size_t kHugePageThreshold = std::size_t{4} << 20;

}  // namespace

void HugePageFree::operator()(unsigned char* bytes) const { std::free(bytes); }

HugePageBytes AllocateBytes(std::size_t size) {
  if (size == 0) return nullptr;
  if (size < kHugePageThreshold) return HugePageBytes(static_cast<unsigned char*>(std::malloc(size)));
  if (size > std::numeric_limits<std::size_t>::max() - kHugePage) return nullptr;
  // aligned_alloc wants a multiple of the alignment; the aligned start lets every 2 MiB of the block
  // become one huge page.
  const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
  void* block = std::aligned_alloc(kHugePage, rounded);
  if (block != nullptr) madvise(block, rounded, MADV_HUGEPAGE);  // advice only: failure is harmless
  return HugePageBytes(static_cast<unsigned char*>(block));
}
