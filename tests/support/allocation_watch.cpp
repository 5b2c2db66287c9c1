#include "support/allocation_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> gWatching{false};
std::atomic<long> gCount{0};
std::atomic<std::size_t> gLargest{0};

void* allocate(std::size_t size) noexcept {
  if (gWatching.load(std::memory_order_relaxed)) {
    gCount.fetch_add(1, std::memory_order_relaxed);
    std::size_t seen = gLargest.load(std::memory_order_relaxed);
    while (size > seen && !gLargest.compare_exchange_weak(seen, size)) {
    }
  }
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace patapata::testing {

AllocationWatch::AllocationWatch() {
  gCount = 0;
  gLargest = 0;
  gWatching = true;
}

AllocationWatch::~AllocationWatch() {
  gWatching = false;
}

long AllocationWatch::count() const {
  return gCount.load();
}

std::size_t AllocationWatch::largest() const {
  return gLargest.load();
}

}  // namespace patapata::testing
