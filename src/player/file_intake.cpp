#include "player/file_intake.h"

#include "common/controls.h"
#include "common/errors.h"
#include "player/animation.h"
#include "player/character_source.h"
#include "player/viewer.h"

#include <utility>

namespace patapata {

namespace {

// A picture or a JSON text cut short: its file is still being written.
bool isSaveInProgress(const Error& e) {
  return e.id() == MessageId::StreamReadError || e.id() == MessageId::PictureCutShort ||
         e.id() == MessageId::AsepriteJsonCutShort;
}

// Removed, or emptied to be written again: the save has not finished.
bool isMidSave(const FileStamp& stamp) {
  return stamp.isMissing() || stamp.size == 0;
}

void reportFailure(DisplayState& display, const std::string& file, const Error& e) {
  display.reloadFailure =
      ReloadFailure{file, e.location() ? e.location()->line : 0, e.message(), e.hint()};
}

// Takes over what a load made: the character, and the name it gave (a file without one keeps
// the name shown).
void adopt(Viewer& viewer, Character character) {
  if (character.name) viewer.display.characterName = *character.name;
  viewer.character = std::move(character);
}

// A load the author asked for: what it read replaces the character even when it stopped, as
// the lines before the error have done their part. A file that is no character file at all
// changes nothing.
void loadByHand(Viewer& viewer, const SheetLoader& loadSheet, const std::string& path) {
  SourceLoad source = loadCharacterSource(path, loadSheet, viewer.character.sheet);
  CharacterLoad& load = source.load;
  if (load.notCharacterFile) throw *load.error;
  viewer.files.characterPath = path;
  viewer.files.characterStamp = load.stamp;
  viewer.display.warnings.clear();
  viewer.display.reloadEnabled = true;
  viewer.display.patternCheckEnabled = true;
  adopt(viewer, std::move(load.character));
  resetForLoad(viewer.player);
  if (!load.completed()) throw *load.error;
  viewer.display.warnings = std::move(source.warnings);
  viewer.characterLoaded = true;
  viewer.display.reloadFailure.reset();
}

bool pollCharacter(Viewer& viewer, const SheetLoader& loadSheet, uint32_t nowMs,
                   const StampSource& stampOf) {
  const std::string& path = viewer.files.characterPath;
  if (path.empty()) return false;
  const FileStamp before = stampOf(path);
  if (!viewer.files.character.settled(before, viewer.files.characterStamp, nowMs)) return false;
  if (isMidSave(before)) {
    viewer.files.character.refuse(before);
    return false;
  }
  // Read into a character of its own, so that a failing load changes nothing on screen.
  SourceLoad source = loadCharacterSource(path, loadSheet, viewer.character.sheet);
  CharacterLoad& load = source.load;
  if (!load.completed()) {
    viewer.files.character.refuse(before);
    if (!isSaveInProgress(*load.error)) reportFailure(viewer.display, path, *load.error);
    return false;
  }
  const FileStamp after = stampOf(path);
  if (after != before) {
    viewer.files.character.restart(after, nowMs);
    return false;
  }
  adopt(viewer, std::move(load.character));
  viewer.characterLoaded = true;
  viewer.files.characterStamp = before;
  viewer.display.warnings = std::move(source.warnings);
  // The player goes on where it is while its state still has something to show.
  if (!viewer.character.hasEntries(viewer.player.state)) resetForLoad(viewer.player);
  viewer.display.reloadFailure.reset();
  return true;
}

bool pollSheet(Viewer& viewer, const SheetLoader& loadSheet, uint32_t nowMs,
               const StampSource& stampOf) {
  CharacterSheet& sheet = viewer.character.sheet;
  if (sheet.path.empty()) return false;
  const FileStamp before = stampOf(sheet.path);
  if (!viewer.files.sheet.settled(before, sheet.stamp, nowMs)) return false;
  if (isMidSave(before)) {
    viewer.files.sheet.refuse(before);
    return false;
  }
  // Read aside, so that a failing read keeps the picture on screen.
  std::shared_ptr<const SheetPicture> picture;
  try {
    picture = loadSheet(sheet.path);
  } catch (const Error& e) {
    viewer.files.sheet.refuse(before);
    if (!isSaveInProgress(e)) reportFailure(viewer.display, sheet.path, e);
    return false;
  }
  const FileStamp after = stampOf(sheet.path);
  if (after != before) {
    viewer.files.sheet.restart(after, nowMs);
    return false;
  }
  sheet.picture = std::move(picture);
  sheet.stamp = before;
  viewer.display.reloadFailure.reset();
  // The load found the sheet empty, in the middle of its save; now it is there.
  std::erase_if(viewer.display.warnings,
                [](const LintWarning& w) { return w.message.id == MessageId::SheetEmpty; });
  return true;
}

}  // namespace

void openCharacterFile(Viewer& viewer, const SheetLoader& loadSheet, const std::string& path) {
  loadByHand(viewer, loadSheet, path);
}

void reloadCharacter(Viewer& viewer, const SheetLoader& loadSheet) {
  // A copy: the load records the path it read.
  loadByHand(viewer, loadSheet, std::string(viewer.files.characterPath));
}

void reloadSheet(Viewer& viewer, const SheetLoader& loadSheet) {
  // Without a display there is nothing to read into; say so rather than lose the stamp.
  if (!loadSheet) throw Error(MessageId::SurfaceNotCreated);
  CharacterSheet& sheet = viewer.character.sheet;
  sheet.stamp = fileStamp(sheet.path);
  sheet.picture = loadSheet(sheet.path);
  viewer.display.reloadFailure.reset();
}

void toggleAutoSheetReload(Controls& controls) {
  controls.setChecked(Switch::AutoSheetReload, !controls.isChecked(Switch::AutoSheetReload));
}

void toggleAutoCharacterReload(Controls& controls) {
  controls.setChecked(Switch::AutoCharacterReload,
                      !controls.isChecked(Switch::AutoCharacterReload));
}

PollResult pollWatchedFiles(Viewer& viewer, const SheetLoader& loadSheet, const Controls& controls,
                            uint32_t nowMs, const StampSource& stampOf) {
  if (!loadSheet) return PollResult::Nothing;
  // The character file first: its reload reads the sheet too.
  const bool character = controls.isChecked(Switch::AutoCharacterReload) &&
                         pollCharacter(viewer, loadSheet, nowMs, stampOf);
  const bool sheet =
      controls.isChecked(Switch::AutoSheetReload) && pollSheet(viewer, loadSheet, nowMs, stampOf);
  if (character) return PollResult::Character;
  return sheet ? PollResult::Sheet : PollResult::Nothing;
}

}  // namespace patapata
