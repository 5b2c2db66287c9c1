#include "player/file_intake.h"

#include "character/character_reader.h"
#include "character/viewer_state.h"
#include "common/errors.h"
#include "common/file_stamp.h"
#include "common/messages.h"
#include "surfaces/surface.h"

namespace patapata {

void openDroppedFile(ViewerState& viewer, Controls& controls, const std::string& path) {
  viewer.characterPath = path;
  controls.setEnabled(ControlId::reloadButton, true);
  controls.setEnabled(ControlId::sheetReloadButton, true);
  controls.setEnabled(ControlId::patternCheckButton, true);
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
  controls.setChecked(ControlId::autoSheetReload, !controls.isChecked(ControlId::autoSheetReload));
}

void pollSheet(ViewerState& viewer, const Controls& controls) {
  if (!controls.isChecked(ControlId::autoSheetReload) || viewer.sheetPath.empty()) return;
  if (fileStamp(viewer.sheetPath) == viewer.sheetStamp) return;
  reloadSheet(viewer);
}

}  // namespace patapata
