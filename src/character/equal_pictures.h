#pragma once

#include "character/character.h"
#include "surfaces/pixel_view.h"

#include <cstddef>
#include <span>
#include <vector>

namespace patapata {

/// For each of `rects`, the index of the first rectangle in the list that shows the same pixels
/// of `sheet`, its own index when none before it does: the frames that look alike, for a sheet
/// exported without merging duplicates. Only rectangles of one size that lie wholly inside the
/// picture are compared; any other keeps its own index. Pixels are compared as the viewer holds
/// them, so two that the display format makes equal are equal.
std::vector<std::size_t> firstEqualPictures(const PixelView& sheet, std::span<const CelRect> rects);

}  // namespace patapata
