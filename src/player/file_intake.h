#pragma once

#include "common/controls.h"

#include <string>

namespace patapata {

struct ViewerState;

/// A character file dropped on the window (the first of the dropped files, its whole path):
/// records it as CharFileName and enables reload, CGreload and buttonck before it is loaded,
/// so they stand whatever the load does. The reader's errors propagate.
void WMDropFiles(ViewerState& state, Controls& controls, const std::string& path);

/// The reload button: loads CharFileName again.
void reloadClick(ViewerState& state, Controls& controls);

/// The CG reload button: takes the sheet's stamp, loads CGFileName into CGSurface and takes
/// the colour key from its bottom-right pixel. The stamp is stored before the load, so a
/// failed load is not retried by the poll until the file changes again. Throws
/// EDirectDrawSurfaceError, touching nothing, while the view has no sheet surface.
void CGreloadClick(ViewerState& state);

/// The menu item "自動ＣＧ再読込み": toggles its own check mark.
void autocgloadClick(Controls& controls);

/// The reload poll of each tick: with automatic reload on and a sheet named, reloads the
/// sheet as CGreloadClick does when its stamp (modification time and size) differs from
/// CGFileAge.
void pollSheet(ViewerState& state, const Controls& controls);

}  // namespace patapata
