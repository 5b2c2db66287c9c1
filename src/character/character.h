#pragma once

#include "character/state_table.h"
#include "common/file_stamp.h"
#include "surfaces/geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace patapata {

class SheetPicture;

/// The view every frame of a character is drawn in, in pixels.
inline constexpr int32_t kViewWidth = 121;
inline constexpr int32_t kViewHeight = 271;

inline constexpr int32_t kFrameSlots = 256;  ///< columns 0..255; frames are 1..255
inline constexpr int32_t kCelCount = 256;    ///< cels 0..255; files define 1..255
inline constexpr int32_t kEmptyCel = -1;     ///< an empty slot of a sequence

using SequenceRow = std::array<int32_t, kFrameSlots>;
using SequenceTable = std::array<SequenceRow, kStateCount>;

/// True for a column of the sequence tables.
constexpr bool isFrameSlot(int32_t frame) {
  return frame >= 0 && frame < kFrameSlots;
}

/// True for a cel number the tables have a rectangle for.
constexpr bool isCel(int32_t cel) {
  return cel >= 0 && cel < kCelCount;
}

/// A cel's place on the sheet as its line gives it: any 32-bit values, so its right and bottom
/// edges may lie beyond 32 bits.
struct CelRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  int64_t right() const { return int64_t{x} + width; }
  int64_t bottom() const { return int64_t{y} + height; }
  /// The drawing layer's rectangle; nothing when an edge lies beyond 32 bits, where no surface
  /// reaches.
  std::optional<Rect> rect() const;

  friend bool operator==(const CelRect&, const CelRect&) = default;
};

/// The three sequences a state's frames are drawn from.
enum class Sequence {
  Pattern,      ///< the cel drawn at the view's origin
  Layer,        ///< the layer cel
  Destination,  ///< the cel whose place in the view the layer cel goes to
};

/// The sheet a character's cels are cut from: the file, its stamp when it was read, and the
/// picture, which characters share.
struct CharacterSheet {
  std::string path;   ///< bytes as the file system takes them; empty until one is read
  FileStamp stamp{};  ///< zero until the first sheet is read
  std::shared_ptr<const SheetPicture> picture;
};

/// Everything a character file and its sheet define: the cels, the three sequence tables and
/// the layer switches, the frame interval, the name and the sheet. A value: a load makes a new
/// one, a reload is an assignment, and several players may play one.
struct Character {
  Character();

  /// Where each cel lies on the sheet; a cel no line defined is the empty rectangle.
  std::array<CelRect, kCelCount> cels{};
  /// Per state and frame: the pattern cel, the layer cel and the layer's destination cel.
  SequenceTable pattern;
  SequenceTable layer;
  SequenceTable layerDest;
  /// The layer is drawn only for the states a "#LAYER" line named.
  std::array<bool, kStateCount> layerOn{};
  /// The states a "#PATERN" or "#LAYER" line named, whose buttons light up.
  std::array<bool, kStateCount> stateNamed{};
  /// Milliseconds per frame; the interval edit changes it while the character plays.
  int32_t frameIntervalMs = 100;
  /// The name a "#CHARNAME" line gave, UTF-8; none when the file has no such line.
  std::optional<std::string> name;
  /// Cel lines after a "#DATA 16" line number cels in hexadecimal.
  bool hexCelNumbers = false;
  CharacterSheet sheet;

  /// The entry of `sequence` at `state` and `frame`; kEmptyCel outside the tables.
  int32_t entry(Sequence sequence, int32_t state, int32_t frame) const;
  /// True when the pattern or the layer names a cel at some frame of `state`.
  bool hasEntries(int32_t state) const;
  /// True when `frame` of `state` has neither a pattern nor a layer entry, where a sequence
  /// ends; always outside the tables.
  bool endsAt(int32_t state, int32_t frame) const;
  /// The frames `state` shows before its sequence first ends, counted from frame 1 (at least
  /// 1, at most 255).
  int32_t sequenceLength(int32_t state) const;
  /// True when the layer of `state` is drawn.
  bool isLayerOn(int32_t state) const { return isState(state) && layerOn[state]; }
  /// The rectangle of `cel`; the empty one for a number outside the table.
  CelRect cel(int32_t cel) const { return isCel(cel) ? cels[cel] : CelRect{}; }
  /// True when the file lights up the button that selects `state`.
  bool enablesButton(int32_t state) const;

 private:
  const SequenceTable& table(Sequence sequence) const;
};

}  // namespace patapata
