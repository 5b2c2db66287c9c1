#include "player/file_intake.h"

#include "character/character_lint.h"
#include "character/character_reader.h"
#include "character/frame_interval.h"
#include "character/viewer_state.h"
#include "common/controls.h"
#include "common/errors.h"
#include "common/memory_controls.h"
#include "common/messages.h"
#include "surfaces/surface.h"

#include <memory>

namespace patapata {

namespace {

// Loads with the check looking on, so that the window can show what it found.
void loadChecked(ViewerState& viewer, Controls& controls, const std::string& path) {
  viewer.display.warnings.clear();
  CharacterLint lint;
  loadCharacterFile(viewer, controls, path, &lint);
  lint.finish(viewer);
  viewer.display.warnings = lint.warnings();
}

void takeColourKey(Surface& sheet) {
  sheet.setSourceKey(sheet.pixelValue(sheet.width() - 1, sheet.height() - 1));
}

// A picture cut short: its file is still being written.
bool isSaveInProgress(const Exception& e) {
  return dynamic_cast<const ReadError*>(&e) != nullptr && e.message() == messages::kStreamReadError;
}

// Removed, or emptied to be written again: the save has not finished.
bool isMidSave(const FileStamp& stamp) {
  return stamp.isMissing() || stamp.size == 0;
}

void reportFailure(ViewerState& viewer, const std::string& file, const Exception& e) {
  viewer.display.reloadFailure =
      ReloadFailure{file, e.location() ? e.location()->line : 0, e.message()};
}

bool hasEntries(const ViewerState& viewer, int32_t state) {
  if (state < 0 || state >= kStateCount) return false;
  for (int32_t frame = 1; frame < kFrameSlots; ++frame) {
    if (viewer.pattern[state][frame] != kEmptyCel || viewer.layer[state][frame] != kEmptyCel) {
      return true;
    }
  }
  return false;
}

// Takes over what a completed load into `fresh` read, as a load into `viewer` would have left
// it; the player goes on where it is.
void adoptCharacter(ViewerState& viewer, ViewerState& fresh, Controls& controls,
                    const std::string& intervalText) {
  viewer.celRects = fresh.celRects;
  viewer.celX = fresh.celX;
  viewer.celY = fresh.celY;
  viewer.celW = fresh.celW;
  viewer.celH = fresh.celH;
  viewer.pattern = fresh.pattern;
  viewer.layer = fresh.layer;
  viewer.layerDest = fresh.layerDest;
  viewer.layerOn = fresh.layerOn;
  viewer.characterLoaded = true;
  viewer.characterStamp = fresh.characterStamp;
  viewer.display.characterName = fresh.display.characterName;
  viewer.display.stateButtonEnabled = fresh.display.stateButtonEnabled;
  viewer.display.warnings = fresh.display.warnings;
  // A file that names no sheet keeps the one on screen, as a load does.
  if (!fresh.sheetPath.empty()) {
    viewer.sheet = std::move(fresh.sheet);
    viewer.sheetPath = fresh.sheetPath;
    viewer.sheetStamp = fresh.sheetStamp;
  }
  viewer.frameIntervalMs = fresh.frameIntervalMs;
  controls.setText(Edit::Interval, intervalText);
  if (!hasEntries(viewer, viewer.state)) {
    viewer.state = 1;
    viewer.display.stateCaption = "状態";
  }
  viewer.display.reloadFailure.reset();
}

void pollCharacter(ViewerState& viewer, Controls& controls, uint32_t nowMs,
                   const StampSource& stampOf) {
  if (viewer.characterPath.empty() || !viewer.sheet || viewer.sheet->context() == nullptr) return;
  const FileStamp before = stampOf(viewer.characterPath);
  if (!viewer.characterWatch.settled(before, viewer.characterStamp, nowMs)) return;
  if (isMidSave(before)) {
    viewer.characterWatch.refuse(before);
    return;
  }
  // Read into a state of its own, so that a failing load changes nothing on screen. It starts
  // from the cel shapes earlier loads left, which a load keeps.
  auto fresh = std::make_unique<ViewerState>();
  fresh->celX = viewer.celX;
  fresh->celY = viewer.celY;
  fresh->celW = viewer.celW;
  fresh->celH = viewer.celH;
  fresh->display.characterName = viewer.display.characterName;
  fresh->sheet = std::make_unique<Surface>(viewer.sheet->context());
  MemoryControls freshControls;
  freshControls.setText(Edit::Interval, controls.text(Edit::Interval));
  freshControls.onTextChanged = [&](Edit edit) {
    if (edit == Edit::Interval) applyIntervalText(*fresh, freshControls);
  };
  try {
    loadChecked(*fresh, freshControls, viewer.characterPath);
  } catch (const Exception& e) {
    viewer.characterWatch.refuse(before);
    if (!isSaveInProgress(e)) reportFailure(viewer, viewer.characterPath, e);
    return;
  }
  freshControls.onTextChanged = nullptr;
  const FileStamp after = stampOf(viewer.characterPath);
  if (after != before) {
    viewer.characterWatch.restart(after, nowMs);
    return;
  }
  adoptCharacter(viewer, *fresh, controls, freshControls.text(Edit::Interval));
  viewer.characterStamp = before;
}

void pollSheet(ViewerState& viewer, uint32_t nowMs, const StampSource& stampOf) {
  if (viewer.sheetPath.empty() || !viewer.sheet || viewer.sheet->context() == nullptr) return;
  const FileStamp before = stampOf(viewer.sheetPath);
  if (!viewer.sheetWatch.settled(before, viewer.sheetStamp, nowMs)) return;
  if (isMidSave(before)) {
    viewer.sheetWatch.refuse(before);
    return;
  }
  // A fresh surface, so that a failing read keeps the picture on screen.
  auto fresh = std::make_unique<Surface>(viewer.sheet->context());
  try {
    fresh->loadImageFile(viewer.sheetPath);
  } catch (const Exception& e) {
    viewer.sheetWatch.refuse(before);
    if (!isSaveInProgress(e)) reportFailure(viewer, viewer.sheetPath, e);
    return;
  }
  const FileStamp after = stampOf(viewer.sheetPath);
  if (after != before) {
    viewer.sheetWatch.restart(after, nowMs);
    return;
  }
  takeColourKey(*fresh);
  viewer.sheet = std::move(fresh);
  viewer.sheetStamp = before;
  viewer.display.reloadFailure.reset();
}

}  // namespace

void openCharacterFile(ViewerState& viewer, Controls& controls, const std::string& path) {
  viewer.characterPath = path;
  viewer.display.reloadEnabled = true;
  viewer.display.patternCheckEnabled = true;
  loadChecked(viewer, controls, path);
}

void reloadCharacter(ViewerState& viewer, Controls& controls) {
  loadChecked(viewer, controls, viewer.characterPath);
}

void reloadSheet(ViewerState& viewer) {
  if (!viewer.sheet) {
    // Without a view there is no surface to load into; say so rather than lose the stamp.
    throw SurfaceError(formatMessage(messages::kNotCreated, messages::kSurfaceInterface));
  }
  Surface& sheet = *viewer.sheet;
  viewer.sheetStamp = fileStamp(viewer.sheetPath);
  sheet.loadImageFile(viewer.sheetPath);
  takeColourKey(sheet);
  viewer.display.reloadFailure.reset();
}

void toggleAutoSheetReload(Controls& controls) {
  controls.setChecked(Switch::AutoSheetReload, !controls.isChecked(Switch::AutoSheetReload));
}

void toggleAutoCharacterReload(Controls& controls) {
  controls.setChecked(Switch::AutoCharacterReload,
                      !controls.isChecked(Switch::AutoCharacterReload));
}

void pollWatchedFiles(ViewerState& viewer, Controls& controls, uint32_t nowMs,
                      const StampSource& stampOf) {
  // The character file first: its reload reads the sheet too.
  if (controls.isChecked(Switch::AutoCharacterReload)) {
    pollCharacter(viewer, controls, nowMs, stampOf);
  }
  if (controls.isChecked(Switch::AutoSheetReload)) pollSheet(viewer, nowMs, stampOf);
}

}  // namespace patapata
