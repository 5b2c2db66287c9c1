#include "player/file_intake.h"

#include "character/character_reader.h"
#include "character/viewer_state.h"
#include "common/errors.h"
#include "common/file_age.h"
#include "common/messages.h"
#include "surfaces/direct_draw_surface.h"

namespace patapata {

void WMDropFiles(ViewerState& state, Controls& controls, const std::string& path) {
  state.CharFileName = path;
  controls.setEnabled(ControlId::reload, true);
  controls.setEnabled(ControlId::CGreload, true);
  controls.setEnabled(ControlId::buttonck, true);
  fileload(state, controls, path);
}

void reloadClick(ViewerState& state, Controls& controls) {
  fileload(state, controls, state.CharFileName);
}

void CGreloadClick(ViewerState& state) {
  if (!state.CGSurface) {
    // Without a view there is no surface to load into; say so rather than lose the stamp.
    throw EDirectDrawSurfaceError(
        formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
  }
  TDirectDrawSurface& sheet = *state.CGSurface;
  state.CGFileAge = fileAge(state.CGFileName);
  sheet.LoadImageFile(state.CGFileName);
  sheet.SetSourceKey(sheet.PixelValue(sheet.Width() - 1, sheet.Height() - 1));
}

void autocgloadClick(Controls& controls) {
  controls.setChecked(ControlId::autocgload, !controls.isChecked(ControlId::autocgload));
}

void pollSheet(ViewerState& state, const Controls& controls) {
  if (!controls.isChecked(ControlId::autocgload) || state.CGFileName.empty()) return;
  if (fileAge(state.CGFileName) == state.CGFileAge) return;
  CGreloadClick(state);
}

}  // namespace patapata
