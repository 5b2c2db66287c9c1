#pragma once

#include "character/character.h"
#include "player/display_state.h"
#include "player/file_watches.h"
#include "player/pattern_check.h"
#include "player/player.h"

namespace patapata {

/// What the application holds for the viewer, each part a type of its own: the character on
/// screen, the player playing it, the watches on its files, the pattern check's carets and what
/// the window shows besides. The handlers take the parts they change.
struct Viewer {
  Character character;
  Player player;
  FileWatches files;
  PatternCheckCarets carets;
  DisplayState display;
  /// A load of a character file has completed; until then no frame is drawn.
  bool characterLoaded = false;
};

}  // namespace patapata
