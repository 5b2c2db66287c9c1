#pragma once

#include "common/file_age.h"
#include "surfaces/geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace patapata {

class TDirectDrawSurface;

inline constexpr int32_t kStateCount = 31;   ///< rows 0..30
inline constexpr int32_t kFrameSlots = 256;  ///< columns 0..255; frames are 1..255
inline constexpr int32_t kCelCount = 256;    ///< cels 0..255; files define 1..255
inline constexpr int32_t CheckState = 30;    ///< the pattern-check state
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
  std::array<TRect, kCelCount> CelRects{};
  std::array<int32_t, kCelCount> CelX{};
  std::array<int32_t, kCelCount> CelY{};
  std::array<int32_t, kCelCount> CelW{};
  std::array<int32_t, kCelCount> CelH{};
  SequenceTable PatternSeq{};
  SequenceTable LayerSeq{};
  SequenceTable LayerDestSeq{};
  std::array<uint8_t, kStateCount> LayerOn{};  ///< the layer is drawn only when it is 1
  int32_t FrameInterval = 0;                   ///< milliseconds
  bool CharLoaded = false;
  std::string CGFileName;  ///< path of the sprite sheet, bytes as the file system takes them
  FileAge CGFileAge{};     ///< zero until the first sheet load

  // The player.
  int32_t AnimState = 0;
  int32_t AnimFrame = 0;
  int32_t ReturnState = 0;
  std::string ReturnCaption;  ///< UTF-8

  // Start-up and the frame loop.
  int32_t StartupLoadPending = 0;  ///< 50 while the command-line file waits to be loaded
  std::string StartupFileName;     ///< the first command-line argument
  uint32_t LastFrameTime = 0;      ///< milliseconds, 32-bit wrapping clock

  // File intake.
  std::string CharFileName;  ///< the last dropped character file

  // The pattern check tool.
  int32_t PatternCaretPos = 0;
  int32_t LayerCaretPos = 0;
  int32_t LayerDestCaretPos = 0;

  /// The sprite sheet; exists while the view's surfaces exist.
  std::unique_ptr<TDirectDrawSurface> CGSurface;
};

}  // namespace patapata
