#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

namespace patapata {

/// Asks the system to back `bytes` of memory at `data`, not yet touched, with huge pages where
/// it can; a hint that changes no content. Small ranges are left alone. Large pictures and the
/// files they come from are written once, whole: a page fault per 2 MiB instead of one per
/// 4 KiB is most of what their first writing costs.
void adviseHugePages(void* data, std::size_t bytes);

/// An allocator for buffers that are written whole right after they grow: new elements are not
/// zeroed first, and large blocks get huge pages.
template <typename T>
struct OverwriteAllocator {
  static_assert(std::is_trivially_default_constructible_v<T>);
  using value_type = T;

  OverwriteAllocator() = default;
  template <typename U>
  explicit OverwriteAllocator(const OverwriteAllocator<U>& /*other*/) {}

  T* allocate(std::size_t n) {
    T* p = std::allocator<T>().allocate(n);
    adviseHugePages(p, n * sizeof(T));
    return p;
  }
  void deallocate(T* p, std::size_t n) { std::allocator<T>().deallocate(p, n); }

  /// Default-initialises: for these types, leaves the memory as it is.
  template <typename U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const OverwriteAllocator<U>& /*other*/) const {
    return true;
  }
};

}  // namespace patapata
