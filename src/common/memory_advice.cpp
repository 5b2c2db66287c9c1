#include "common/memory_advice.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace patapata {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
namespace {

// The huge page size of x86-64 and of most arm64 kernels.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace
#endif

void adviseHugePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (bytes < 2 * kHugePage) return;
  // Only whole huge pages inside the range may be advised; the ends keep small pages.
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
  if (last <= first) return;
  // A refusal (an old kernel, huge pages switched off) only leaves the small pages.
  (void)madvise(static_cast<char*>(data) + (first - begin), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace patapata
