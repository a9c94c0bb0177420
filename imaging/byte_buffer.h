// Large byte buffers (whole JPEG files, encoder output, palette indices).
#pragma once

#include <cstddef>
#include <memory>

struct ByteBufferFree {
  void operator()(unsigned char* bytes) const;
};
using ByteBuffer = std::unique_ptr<unsigned char[], ByteBufferFree>;

// Uninitialised bytes of ordinary pages; null when size is 0 or the memory cannot be had. (Pages
// advised for transparent huge pages were measured slower to touch for the first time in a
// one-shot render, see image_buffer.cpp.)
ByteBuffer AllocateBytes(std::size_t size);
