#pragma once

#include <array>
#include <cstdint>

namespace patapata {

/// Rows 0..30 of the sequence tables, one per state.
inline constexpr int32_t kStateCount = 31;
/// The pattern-check state: the row the typed sequences are played from.
inline constexpr int32_t kCheckState = 30;

/// True for a row of the sequence tables.
constexpr bool isState(int32_t state) {
  return state >= 0 && state < kStateCount;
}

/// How a state ends its sequence.
enum class StateKind {
  Base,          ///< loops for ever
  OneShot,       ///< returns to the remembered base state unless its loop switch is on
  PatternCheck,  ///< returns like a one-shot, under the pattern check's loop switch
};

/// Where the pattern check returns to when it is started from a base state.
enum class CheckReturn {
  Here,     ///< to this state
  Earlier,  ///< to whatever was remembered before
};

/// A state that a button selects. The button's caption and the state caption shown while the
/// state plays are separate texts and differ in places. The table is their one source: the
/// window translates them in the contexts "StateButton" and "Core".
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
  CheckReturn checkReturn = CheckReturn::Earlier;
};

/// The state caption before any state button was pressed, and after every load.
inline constexpr const char* kNoStateCaption = "状態";

/// Every state a button selects. Rows 0, 9, 13, 14 and 17..29 have none: they loop, and only
/// a return to a never-remembered state or caret tracking plays them.
// A state in two lines, kept so by hand.
// clang-format off
inline constexpr std::array<StateInfo, 14> kStates{{
    {.state = 1, .buttonCaption = "通常１", .caption = "通常１", .english = "normal 1",
     .kind = StateKind::Base, .enablingRows = {1, 9}, .checkReturn = CheckReturn::Here},
    {.state = 2, .buttonCaption = "通常２", .caption = "通常2", .english = "normal 2",
     .kind = StateKind::Base, .enablingRows = {2, -1}, .checkReturn = CheckReturn::Here},
    {.state = 15, .buttonCaption = "勝ち", .caption = "勝ち", .english = "win",
     .kind = StateKind::Base, .enablingRows = {15, -1}, .checkReturn = CheckReturn::Here},
    {.state = 16, .buttonCaption = "負け", .caption = "負け", .english = "lose",
     .kind = StateKind::Base, .enablingRows = {16, -1}, .checkReturn = CheckReturn::Here},
    {.state = 5, .buttonCaption = "立ち", .caption = "立ち", .english = "standing",
     .kind = StateKind::Base, .enablingRows = {5, -1}, .checkReturn = CheckReturn::Here},
    {.state = 3, .buttonCaption = "おじゃま", .caption = "おじゃま", .english = "nuisance",
     .kind = StateKind::Base, .enablingRows = {3, -1}},
    {.state = 6, .buttonCaption = "喜び１", .caption = "喜び１", .english = "joy 1",
     .kind = StateKind::OneShot, .enablingRows = {6, -1}},
    {.state = 7, .buttonCaption = "喜び２", .caption = "喜び２", .english = "joy 2",
     .kind = StateKind::OneShot, .enablingRows = {7, -1}},
    {.state = 8, .buttonCaption = "喜び３", .caption = "喜び３", .english = "joy 3",
     .kind = StateKind::OneShot, .enablingRows = {8, -1}},
    {.state = 10, .buttonCaption = "ﾀﾞﾒｰｼﾞ１", .caption = "ダメージ１", .english = "damage 1",
     .kind = StateKind::OneShot, .enablingRows = {10, -1}},
    {.state = 11, .buttonCaption = "ﾀﾞﾒｰｼﾞ２", .caption = "ダメージ２", .english = "damage 2",
     .kind = StateKind::OneShot, .enablingRows = {11, -1}},
    {.state = 12, .buttonCaption = "ﾀﾞﾒｰｼﾞ３", .caption = "ダメージ３", .english = "damage 3",
     .kind = StateKind::OneShot, .enablingRows = {12, -1}},
    {.state = 4, .buttonCaption = "ミス", .caption = "ミス", .english = "miss",
     .kind = StateKind::OneShot, .enablingRows = {4, -1}},
    {.state = kCheckState, .buttonCaption = "ﾊﾟﾀｰﾝﾁｪｯｸ", .caption = "ﾁｪｯｸﾊﾟﾀｰﾝ",
     .english = "pattern check", .kind = StateKind::PatternCheck, .enablingRows = {-1, -1}},
}};
// clang-format on

/// The table row of a state, or null for a state no button selects.
const StateInfo* stateInfo(int32_t state);

/// The state whose button a "#PATERN" or "#LAYER" row enables, or -1 when it enables none.
int32_t buttonEnabledByRow(int32_t row);

}  // namespace patapata
