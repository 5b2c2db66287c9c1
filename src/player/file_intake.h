#pragma once

#include "character/character_reader.h"
#include "common/file_stamp.h"

#include <cstdint>
#include <functional>
#include <string>

namespace patapata {

struct Viewer;
class Controls;

/// A character file the author opened: dropped on the window, chosen in the file dialog or
/// the recent files, or given on the command line (its whole path). Records it as the file
/// the reload button reads, and enables the reload buttons and the pattern check, whatever the
/// load does. The load replaces the character with what it read, also when it stopped; then it
/// throws its Error. What the check finds in the file goes to `display.warnings`. A file that
/// is no character file (a picture, or not text) throws its refusal and changes nothing. An
/// Aseprite sheet's JSON plays as the character file it makes (character_source.h), its import
/// warnings in `display.warnings`; it is watched and reloaded as a character file is.
void openCharacterFile(Viewer& viewer, const SheetLoader& loadSheet, const std::string& path);

/// The reload button: loads the recorded character file again.
void reloadCharacter(Viewer& viewer, const SheetLoader& loadSheet);

/// The sheet reload button: takes the sheet file's stamp, then reads the picture, whose colour
/// key is its bottom-right pixel. The stamp is stored before the read, so a failed one is not
/// retried by the poll until the file changes again. Throws Error, touching nothing, while
/// there is no loader (no display).
void reloadSheet(Viewer& viewer, const SheetLoader& loadSheet);

/// The settings items "自動ＣＧ再読込み" and "自動キャラ再読込み": each toggles its own check mark.
void toggleAutoSheetReload(Controls& controls);
void toggleAutoCharacterReload(Controls& controls);

/// A file's stamp; tests give a fake.
using StampSource = std::function<FileStamp(const std::string& path)>;

/// What a poll swapped in.
enum class PollResult {
  Nothing,
  Sheet,      ///< a new picture of the sheet
  Character,  ///< a new character (and with it, maybe, a new sheet)
};

/// The poll of each tick: one stamp of each watched file (the sheet, and the character file)
/// whose automatic reload is switched on in `controls`. A change is read once the file's stamp
/// has held still for the settle time, into a character of its own, and swapped in only when
/// the read completed and the file did not change meanwhile (else it is read again once
/// settled). An empty file, or a picture cut short, counts as a save in progress and is waited
/// out. A failure keeps the last good picture and tables and says what failed in
/// `display.reloadFailure`; it never throws for the file's sake. A character reload keeps the
/// playing state and its caption when that state still has entries; otherwise it falls back
/// as a load does. Nothing is polled while there is no loader.
PollResult pollWatchedFiles(Viewer& viewer, const SheetLoader& loadSheet, const Controls& controls,
                            uint32_t nowMs, const StampSource& stampOf = fileStamp);

}  // namespace patapata
