// Byte buffers of ordinary pages.
#include "imaging/byte_buffer.h"

#include <cstdlib>

void ByteBufferFree::operator()(unsigned char* bytes) const { std::free(bytes); }

ByteBuffer AllocateBytes(std::size_t size) {
  if (size == 0) return nullptr;
  return ByteBuffer(static_cast<unsigned char*>(std::malloc(size)));
}
