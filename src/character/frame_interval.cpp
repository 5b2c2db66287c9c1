#include "character/frame_interval.h"

#include "character/character.h"
#include "common/int_conversion.h"

namespace patapata {

void applyIntervalText(Character& character, std::string_view text) {
  const int32_t value = parseIntOr(text, 0);
  if (value > 0) character.frameIntervalMs = value;
}

}  // namespace patapata
