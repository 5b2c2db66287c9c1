#pragma once

#include <string>

namespace patapata {

struct ViewerState;
class Controls;

/// A character file dropped on the window (the first of the dropped files, its whole path):
/// records it as the reloadable file and enables the reload buttons and the pattern check before
/// it is loaded,
/// so they stand whatever the load does. The reader's errors propagate.
void openDroppedFile(ViewerState& viewer, Controls& controls, const std::string& path);

/// The reload button: loads the recorded character file again.
void reloadCharacter(ViewerState& viewer, Controls& controls);

/// The sheet reload button: takes the sheet file's stamp, loads it into the sheet and takes
/// the colour key from its bottom-right pixel. The stamp is stored before the load, so a
/// failed load is not retried by the poll until the file changes again. Throws
/// SurfaceError, touching nothing, while the view has no sheet surface.
void reloadSheet(ViewerState& viewer);

/// The menu item "自動ＣＧ再読込み": toggles its own check mark.
void toggleAutoSheetReload(Controls& controls);

/// The reload poll of each tick: with automatic reload on and a sheet named, reloads the
/// sheet as reloadSheet does when its stamp (modification time and size) differs from
/// sheetStamp.
void pollSheet(ViewerState& viewer, const Controls& controls);

}  // namespace patapata
