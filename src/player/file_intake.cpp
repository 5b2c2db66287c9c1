#include "player/file_intake.h"

#include "character/character_reader.h"
#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/errors.h"
#include "common/file_stamp.h"
#include "common/messages.h"
#include "surfaces/surface.h"

namespace patapata {

void openDroppedFile(ViewerState& viewer, Controls& controls, const std::string& path) {
  viewer.characterPath = path;
  viewer.display.reloadEnabled = true;
  viewer.display.patternCheckEnabled = true;
  loadCharacterFile(viewer, controls, path);
}

void reloadCharacter(ViewerState& viewer, Controls& controls) {
  loadCharacterFile(viewer, controls, viewer.characterPath);
}

void reloadSheet(ViewerState& viewer) {
  if (!viewer.sheet) {
    // Without a view there is no surface to load into; say so rather than lose the stamp.
    throw SurfaceError(formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
  }
  Surface& sheet = *viewer.sheet;
  viewer.sheetStamp = fileStamp(viewer.sheetPath);
  sheet.loadImageFile(viewer.sheetPath);
  sheet.setSourceKey(sheet.pixelValue(sheet.width() - 1, sheet.height() - 1));
}

void toggleAutoSheetReload(Controls& controls) {
  controls.setChecked(Switch::AutoSheetReload, !controls.isChecked(Switch::AutoSheetReload));
}

void pollSheet(ViewerState& viewer, const Controls& controls) {
  if (!controls.isChecked(Switch::AutoSheetReload) || viewer.sheetPath.empty()) return;
  if (fileStamp(viewer.sheetPath) == viewer.sheetStamp) return;
  reloadSheet(viewer);
}

}  // namespace patapata
