#include "surfaces/pixel_buffer.h"

#include "common/memory_advice.h"

#include <cstdlib>
#include <new>

namespace patapata {

void PixelBuffer::Free::operator()(uint8_t* p) const {
  std::free(p);
}

PixelBuffer PixelBuffer::allocate(std::size_t bytes, bool zero) {
  PixelBuffer buffer;
  if (bytes == 0) return buffer;
  // calloc of a large block maps fresh pages, which are zero already, instead of clearing
  // them; the pages are then touched for the first time by whoever writes the pixels.
  void* p = zero ? std::calloc(bytes, 1) : std::malloc(bytes);
  if (p == nullptr) throw std::bad_alloc();
  buffer.bytes_.reset(static_cast<uint8_t*>(p));
  buffer.size_ = bytes;
  adviseHugePages(p, bytes);
  return buffer;
}

PixelBuffer PixelBuffer::zeroed(std::size_t bytes) {
  return allocate(bytes, true);
}

PixelBuffer PixelBuffer::forOverwrite(std::size_t bytes) {
  return allocate(bytes, false);
}

}  // namespace patapata
