#pragma once

#include "common/file_stamp.h"
#include "surfaces/geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

class Surface;

inline constexpr int32_t kStateCount = 31;   ///< rows 0..30
inline constexpr int32_t kFrameSlots = 256;  ///< columns 0..255; frames are 1..255
inline constexpr int32_t kCelCount = 256;    ///< cels 0..255; files define 1..255
inline constexpr int32_t kCheckState = 30;   ///< the pattern-check state
inline constexpr int32_t kEmptyCel = -1;     ///< an empty slot of a sequence

using SequenceRow = std::array<int32_t, kFrameSlots>;
using SequenceTable = std::array<SequenceRow, kStateCount>;

/// All of the viewer's program state: the loaded character, the player, the file names and
/// stamps. One object, owned by the application; the names are the system's own.
struct ViewerState {
  ViewerState();
  ~ViewerState();
  ViewerState(const ViewerState&) = delete;
  ViewerState& operator=(const ViewerState&) = delete;

  // The loaded character. Everything starts at zero (not -1); the first load resets it.
  std::array<Rect, kCelCount> celRects{};
  std::array<int32_t, kCelCount> celX{};
  std::array<int32_t, kCelCount> celY{};
  std::array<int32_t, kCelCount> celW{};
  std::array<int32_t, kCelCount> celH{};
  SequenceTable pattern{};
  SequenceTable layer{};
  SequenceTable layerDest{};
  std::array<uint8_t, kStateCount> layerOn{};  ///< the layer is drawn only when it is 1
  int32_t frameIntervalMs = 0;                 ///< milliseconds
  bool characterLoaded = false;
  std::string sheetPath;   ///< path of the sprite sheet, bytes as the file system takes them
  FileStamp sheetStamp{};  ///< zero until the first sheet load

  // The player.
  int32_t state = 0;
  int32_t frame = 0;
  int32_t returnState = 0;
  std::string returnCaption;  ///< UTF-8

  // Start-up and the frame loop.
  int32_t startupLoadPending = 0;  ///< 50 while the command-line file waits to be loaded
  std::string startupPath;         ///< the first command-line argument
  uint32_t lastFrameMs = 0;        ///< milliseconds, 32-bit wrapping clock

  // File intake.
  std::string characterPath;  ///< the last dropped character file

  // The pattern check tool.
  int32_t patternCaret = 0;
  int32_t layerCaret = 0;
  int32_t destinationCaret = 0;

  /// The sprite sheet; exists while the view's surfaces exist.
  std::unique_ptr<Surface> sheet;
};

}  // namespace patapata
