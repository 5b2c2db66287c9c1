#pragma once

#include "character/display_state.h"
#include "character/state_table.h"
#include "common/file_stamp.h"
#include "common/settle_watch.h"
#include "surfaces/geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

class Surface;

inline constexpr int32_t kFrameSlots = 256;  ///< columns 0..255; frames are 1..255
inline constexpr int32_t kCelCount = 256;    ///< cels 0..255; files define 1..255
inline constexpr int32_t kEmptyCel = -1;     ///< an empty slot of a sequence
/// `startupLoadPending` while the command-line file waits for the first tick that can draw.
inline constexpr int32_t kStartupLoadMark = 50;

using SequenceRow = std::array<int32_t, kFrameSlots>;
using SequenceTable = std::array<SequenceRow, kStateCount>;

/// All of the viewer's program state: the loaded character, the player, the file names and
/// stamps, and what the window shows of them. One object, owned by the application.
struct ViewerState {
  ViewerState();
  ~ViewerState();
  ViewerState(const ViewerState&) = delete;
  ViewerState& operator=(const ViewerState&) = delete;

  // The loaded character. Everything starts at zero (not -1); the first load resets it.
  /// Where each cel lies on the sheet, for the copies at the view's origin. A load empties
  /// them all before it reads the file.
  std::array<Rect, kCelCount> celRects{};
  /// The same cels as x, y, width and height, for layer cels and their destinations. A load
  /// keeps what earlier loads wrote for cels its file does not define.
  std::array<int32_t, kCelCount> celX{};
  std::array<int32_t, kCelCount> celY{};
  std::array<int32_t, kCelCount> celW{};
  std::array<int32_t, kCelCount> celH{};
  /// Per state and frame: the cel drawn at the view's origin, the layer cel, and the cel
  /// whose place in the view the layer cel goes to.
  SequenceTable pattern{};
  SequenceTable layer{};
  SequenceTable layerDest{};
  std::array<uint8_t, kStateCount> layerOn{};  ///< the layer is drawn only when it is 1
  int32_t frameIntervalMs = 0;
  bool characterLoaded = false;
  std::string sheetPath;   ///< bytes as the file system takes them
  FileStamp sheetStamp{};  ///< zero until the first sheet load

  // The player.
  int32_t state = 0;
  int32_t frame = 0;
  int32_t returnState = 0;
  std::string returnCaption;  ///< UTF-8

  // Start-up and the frame loop.
  int32_t startupLoadPending = 0;  ///< kStartupLoadMark, or 0
  std::string startupPath;         ///< the first command-line argument
  uint32_t lastFrameMs = 0;        ///< 32-bit wrapping clock

  // File intake and the automatic reloads.
  std::string characterPath;   ///< the file opened last, which the reload button reads again
  FileStamp characterStamp{};  ///< the stamp of the character file as last loaded
  SettleWatch sheetWatch;
  SettleWatch characterWatch;

  // The pattern check tool: the caret positions last seen, in bytes.
  int32_t patternCaret = 0;
  int32_t layerCaret = 0;
  int32_t destinationCaret = 0;

  DisplayState display;

  /// The sprite sheet; exists while the view's surfaces exist.
  std::unique_ptr<Surface> sheet;
};

}  // namespace patapata
