// Large byte buffers (whole JPEG files, encoder output, palette indices) backed by huge pages.
#pragma once

#include <cstddef>
#include <memory>

struct HugePageFree {
  void operator()(unsigned char* bytes) const;
};
using HugePageBytes = std::unique_ptr<unsigned char[], HugePageFree>;

// Uninitialised bytes; null when size is 0 or the memory cannot be had. Blocks of a few megabytes
// and more are advised for transparent huge pages: a fresh buffer otherwise costs one page fault per
// 4 KiB, which for a 20 MB file is as slow as reading it.
HugePageBytes AllocateBytes(std::size_t size);
