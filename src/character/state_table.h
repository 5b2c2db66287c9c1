#pragma once

#include <array>
#include <cstdint>

namespace patapata {

/// Rows 0..30 of the sequence tables, one per state.
inline constexpr int32_t kStateCount = 31;
/// The pattern-check state: the row the typed sequences are played from.
inline constexpr int32_t kCheckState = 30;

/// How a state ends its sequence.
enum class StateKind {
  Base,          ///< loops for ever
  OneShot,       ///< returns to the remembered base state unless its loop switch is on
  PatternCheck,  ///< returns like a one-shot, under the pattern check's loop switch
};

/// A state that a button selects. The button's caption and the state caption shown while the
/// state plays are separate texts and differ in places.
struct StateInfo {
  int32_t state;
  const char* buttonCaption;  ///< UTF-8
  const char* caption;        ///< UTF-8, the state caption
  const char* english;        ///< what the state means, in English
  StateKind kind;
  /// The character-file rows whose entries enable the button, -1 for none. Row 9 has no
  /// button of its own and lights up the first one; the pattern-check button is enabled by
  /// opening a file instead.
  std::array<int32_t, 2> enablingRows;
  /// A base state the pattern check returns to when started from it (every one but 3).
  bool patternCheckReturnsHere;
};

/// Every state a button selects. Rows 0, 9, 13, 14 and 17..29 have none: they loop, and only
/// a return to a never-remembered state or caret tracking plays them.
inline constexpr std::array<StateInfo, 14> kStates{{
    {1, "通常１", "通常１", "normal 1", StateKind::Base, {1, 9}, true},
    {2, "通常２", "通常2", "normal 2", StateKind::Base, {2, -1}, true},
    {15, "勝ち", "勝ち", "win", StateKind::Base, {15, -1}, true},
    {16, "負け", "負け", "lose", StateKind::Base, {16, -1}, true},
    {5, "立ち", "立ち", "standing", StateKind::Base, {5, -1}, true},
    {3, "おじゃま", "おじゃま", "nuisance", StateKind::Base, {3, -1}, false},
    {6, "喜び１", "喜び１", "joy 1", StateKind::OneShot, {6, -1}, false},
    {7, "喜び２", "喜び２", "joy 2", StateKind::OneShot, {7, -1}, false},
    {8, "喜び３", "喜び３", "joy 3", StateKind::OneShot, {8, -1}, false},
    {10, "ﾀﾞﾒｰｼﾞ１", "ダメージ１", "damage 1", StateKind::OneShot, {10, -1}, false},
    {11, "ﾀﾞﾒｰｼﾞ２", "ダメージ２", "damage 2", StateKind::OneShot, {11, -1}, false},
    {12, "ﾀﾞﾒｰｼﾞ３", "ダメージ３", "damage 3", StateKind::OneShot, {12, -1}, false},
    {4, "ミス", "ミス", "miss", StateKind::OneShot, {4, -1}, false},
    {kCheckState,
     "ﾊﾟﾀｰﾝﾁｪｯｸ",
     "ﾁｪｯｸﾊﾟﾀｰﾝ",
     "pattern check",
     StateKind::PatternCheck,
     {-1, -1},
     false},
}};

/// The table row of a state, or null for a state no button selects.
const StateInfo* stateInfo(int32_t state);

/// The state whose button a "#PATERN" or "#LAYER" row enables, or -1 when it enables none.
int32_t buttonEnabledByRow(int32_t row);

}  // namespace patapata
