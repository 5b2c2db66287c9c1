#pragma once

#include "character/character.h"

#include <QCoreApplication>

#include <cstdint>

// Where every control of the main window sits, in logical pixels of the client area.
namespace patapata::layout {

/// The client area below the menu bar.
inline constexpr int kClientWidth = 226;
inline constexpr int kClientHeight = 409;

/// Where the pattern check tool begins, below the view and the interval edit.
inline constexpr int kPatternToolTop = 296;

/// The pixel height of the window's font, which every control uses unless it says otherwise.
inline constexpr int kFontHeight = 12;

struct Box {
  int x;
  int y;
  int width;
  int height;
};

/// The controls that take part in the keyboard focus order.
enum class Control {
  StateButton,
  IntervalEdit,
  PatternEdit,
  PatternCheckButton,
  PatternLoopBox,
  ReloadButton,
  CopyPatternButton,
  SheetReloadButton,
  OneShotLoopBox,
  View,
  LayerEdit,
  DestinationEdit,
};

struct Placement {
  Control control;
  int32_t state;  ///< the state a state button selects; 0 for the other controls
  Box box;
};

/// The focusable controls in their tab order, which is also their order of creation (a later
/// control lies above an earlier one where they touch). The state buttons take their
/// captions from the state table.
inline constexpr Placement kTabOrder[] = {
    {Control::StateButton, 1, {0, 48, 49, 25}},
    {Control::StateButton, 2, {48, 48, 49, 25}},
    {Control::StateButton, 15, {0, 72, 49, 25}},
    {Control::StateButton, 16, {48, 72, 49, 25}},
    {Control::StateButton, 5, {0, 96, 49, 25}},
    {Control::StateButton, 6, {0, 136, 49, 25}},
    {Control::StateButton, 7, {48, 136, 49, 25}},
    {Control::StateButton, 8, {0, 160, 49, 25}},
    {Control::StateButton, 10, {48, 160, 49, 25}},
    {Control::StateButton, 11, {0, 184, 49, 25}},
    {Control::StateButton, 12, {48, 184, 49, 25}},
    {Control::StateButton, 4, {0, 208, 49, 25}},
    {Control::IntervalEdit, 0, {64, 272, 33, 20}},
    {Control::PatternEdit, 0, {0, 316, 177, 20}},
    {Control::PatternCheckButton, 0, {0, 296, 75, 17}},
    {Control::PatternLoopBox, 0, {80, 296, 57, 17}},
    {Control::ReloadButton, 0, {0, 0, 97, 17}},
    {Control::CopyPatternButton, 0, {144, 296, 80, 17}},
    {Control::SheetReloadButton, 0, {0, 16, 97, 17}},
    {Control::OneShotLoopBox, 0, {50, 213, 49, 17}},
    {Control::View, 0, {104, 0, kViewWidth, kViewHeight}},
    {Control::StateButton, 3, {48, 96, 49, 25}},
    {Control::LayerEdit, 0, {0, 352, 177, 20}},
    {Control::DestinationEdit, 0, {0, 388, 177, 20}},
};

/// The labels: they take no focus and size themselves to their text.
enum class Label {
  StateCaption,
  Interval,
  CharacterName,
  Layer,
  Destination,
  PatternCounter,
  LayerCounter,
  DestinationCounter,
};

struct LabelPlacement {
  Label label;
  const char* objectName;
  const char* caption;  ///< UTF-8; null for a label the core's display state fills
  int x;
  int y;
  int fontHeight;
};

inline constexpr LabelPlacement kLabels[] = {
    {Label::StateCaption, "stateCaption", nullptr, 104, 272, 21},
    {Label::Interval, "intervalLabel", QT_TRANSLATE_NOOP("MainWindow", "Anime"), 0, 274, 16},
    {Label::CharacterName, "characterName", nullptr, 0, 248, 16},
    {Label::Layer, "layerLabel", QT_TRANSLATE_NOOP("MainWindow", "レイヤ"), 0, 338, kFontHeight},
    {Label::Destination, "destinationLabel", QT_TRANSLATE_NOOP("MainWindow", "転送先"), 0, 374,
     kFontHeight},
    {Label::PatternCounter, "patternCounter", nullptr, 182, 320, kFontHeight},
    {Label::LayerCounter, "layerCounter", nullptr, 182, 356, kFontHeight},
    {Label::DestinationCounter, "destinationCounter", nullptr, 182, 392, kFontHeight},
};

}  // namespace patapata::layout
