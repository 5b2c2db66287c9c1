#pragma once

namespace patapata {

/// How a copy treats the source's key.
enum class CopyMode {
  opaque,  ///< every pixel is copied
  keyed,   ///< pixels holding the source's key are skipped
};

/// Which way the pixels of a row are walked.
enum class RowWalk {
  leftToRight,
  rightToLeft,
};

}  // namespace patapata
