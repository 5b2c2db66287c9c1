#pragma once

#include <cstdint>

namespace patapata {

/// A rectangle with exclusive right and bottom edges.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int64_t width() const { return int64_t{Right} - Left; }
  int64_t height() const { return int64_t{Bottom} - Top; }
  bool isEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

}  // namespace patapata
