#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace patapata {

/// Memory for pixels, owned: a surface's buffer or a picture decoded into a display format.
/// Large buffers are asked of the system in huge pages where it has them, so that filling one
/// costs one page fault per 2 MiB instead of one per 4 KiB.
class PixelBuffer {
 public:
  PixelBuffer() = default;

  /// `bytes` of zeros. Throws std::bad_alloc when the memory cannot be had.
  static PixelBuffer zeroed(std::size_t bytes);
  /// `bytes` whose content is unspecified, for memory that is written whole at once. Throws
  /// std::bad_alloc when the memory cannot be had.
  static PixelBuffer forOverwrite(std::size_t bytes);

  uint8_t* data() { return bytes_.get(); }
  const uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  struct Free {
    void operator()(uint8_t* p) const;
  };
  static PixelBuffer allocate(std::size_t bytes, bool zero);

  std::unique_ptr<uint8_t, Free> bytes_;
  std::size_t size_ = 0;
};

}  // namespace patapata
