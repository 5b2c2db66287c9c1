#pragma once

#include <cstddef>

namespace patapata::testing {

/// Watches the allocations made through the global operator new while it lives. The
/// operator is replaced in allocation_watch.cpp, so a test program that links it sees every
/// allocation of the code under test without hooks in the product. One watch at a time.
class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;

  /// Allocations since the watch began.
  long count() const;
  /// The largest single allocation since the watch began, in bytes.
  std::size_t largest() const;
};

}  // namespace patapata::testing
