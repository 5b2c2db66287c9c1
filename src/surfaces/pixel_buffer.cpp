// The one place where pixel memory meets the operating system: huge-page advice on Linux.
#include "surfaces/pixel_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace patapata {

namespace {

// The huge page size of x86-64 and of most arm64 kernels.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void adviseHugePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (bytes < 2 * kHugePage) return;
  // Only whole huge pages inside the range may be advised; the ends keep small pages.
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
  if (last <= first) return;
  // A refusal (an old kernel, huge pages switched off) only leaves the small pages.
  (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

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
