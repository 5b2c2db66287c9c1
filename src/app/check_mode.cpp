#include "app/batch_modes.h"

#include "app/batch_error.h"
#include "character/character_lint.h"
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "export/headless_session.h"
#include "player/character_source.h"
#include "surfaces/sheet_picture.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

namespace patapata::app {
using exporting::HeadlessSession;

namespace {

struct CheckResult {
  std::string file;
  bool complete = false;
  std::optional<std::string> error;
  std::optional<std::string> hint;  ///< the error's second line
  std::string stopFile;             ///< where a stopped load stopped: the file, and the line in it
  int32_t stopLine = 0;
};

// Slots 1..255 of a row without the trailing empty entries.
std::vector<int32_t> usedSlots(const SequenceRow& row) {
  std::size_t end = row.size();
  while (end > 1 && row[end - 1] == kEmptyCel) --end;
  return std::vector<int32_t>(row.begin() + 1, row.begin() + static_cast<std::ptrdiff_t>(end));
}

// What the check lists of a state: anything a line put into its rows, even only the switch.
bool stateHasContent(const Character& character, int32_t s) {
  return character.layerOn[s] || !usedSlots(character.pattern[s]).empty() ||
         !usedSlots(character.layer[s]).empty() || !usedSlots(character.layerDest[s]).empty();
}

const SheetPicture* picture(const Character& character) {
  const SheetPicture* sheet = character.sheet.picture.get();
  return sheet != nullptr && sheet->width() > 0 && sheet->height() > 0 ? sheet : nullptr;
}

// The states whose buttons the load enabled, in ascending order.
std::vector<int32_t> enabledButtons(const Character& character) {
  std::vector<int32_t> out;
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (character.enablesButton(s)) out.push_back(s);
  }
  return out;
}

nlohmann::ordered_json toJson(const CheckResult& result, const HeadlessSession& session,
                              const CharacterLint& lint) {
  const Character& character = session.character();
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  j["file"] = encoding::toDisplayText(result.file);
  j["complete"] = result.complete;
  j["error"] =
      result.error ? nlohmann::ordered_json(*result.error) : nlohmann::ordered_json(nullptr);
  if (result.error) {
    j["error_file"] = encoding::toDisplayText(result.stopFile);
    j["error_line"] = result.stopLine;
    if (result.hint) j["error_hint"] = *result.hint;
  }
  j["name"] =
      character.name ? nlohmann::ordered_json(*character.name) : nlohmann::ordered_json(nullptr);
  j["frame_interval"] = character.frameIntervalMs;
  if (const SheetPicture* sheet = picture(character)) {
    j["sheet"] = {{"path", encoding::toDisplayText(character.sheet.path)},
                  {"width", sheet->width()},
                  {"height", sheet->height()},
                  {"key", sheet->key()}};
  } else {
    j["sheet"] = nullptr;
  }
  nlohmann::ordered_json cels = nlohmann::ordered_json::object();
  for (const auto& [cel, line] : lint.definedCels()) {
    const CelRect& r = character.cels[cel];
    cels[std::to_string(cel)] = {r.x, r.y, r.width, r.height};
  }
  j["cels"] = cels;
  nlohmann::ordered_json states = nlohmann::ordered_json::object();
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (!stateHasContent(character, s)) continue;
    states[std::to_string(s)] = {{"pattern", usedSlots(character.pattern[s])},
                                 {"layer", usedSlots(character.layer[s])},
                                 {"dest", usedSlots(character.layerDest[s])},
                                 {"layer_on", character.layerOn[s]}};
  }
  j["states"] = states;
  nlohmann::ordered_json buttons = nlohmann::ordered_json::array();
  for (int32_t s : enabledButtons(character)) buttons.push_back(s);
  j["buttons"] = buttons;
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const LintWarning& w : lint.warnings()) {
    warnings.push_back({{"line", w.line}, {"message", messageText(w.message)}});
  }
  j["warnings"] = warnings;
  return j;
}

std::string sequenceText(const std::vector<int32_t>& slots) {
  std::string out;
  for (int32_t v : slots) {
    if (!out.empty()) out += ' ';
    out += v == kEmptyCel ? std::string("-") : std::to_string(v);
  }
  return out;
}

void printText(std::ostream& out, const CheckResult& result, const HeadlessSession& session,
               const CharacterLint& lint) {
  const Character& character = session.character();
  out << "file: " << encoding::toDisplayText(result.file) << '\n';
  out << "name: " << character.name.value_or("(none)") << '\n';
  out << "frame interval: " << character.frameIntervalMs << " ms\n";
  if (const SheetPicture* sheet = picture(character)) {
    char key[16];
    std::snprintf(key, sizeof key, "0x%08X", sheet->key());
    out << "sheet: " << encoding::toDisplayText(character.sheet.path) << " (" << sheet->width()
        << " x " << sheet->height() << ", key " << key << ")\n";
  } else {
    out << "sheet: (none)\n";
  }
  out << "cels: " << lint.definedCels().size() << '\n';
  for (const auto& [cel, line] : lint.definedCels()) {
    const CelRect& r = character.cels[cel];
    out << "  " << cel << ": x " << r.x << ", y " << r.y << ", w " << r.width << ", h " << r.height
        << "  (line " << line << ")\n";
  }
  out << "states:\n";
  bool anyState = false;
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (!stateHasContent(character, s)) continue;
    anyState = true;
    out << "  " << s << ": pattern [" << sequenceText(usedSlots(character.pattern[s])) << "]";
    if (character.layerOn[s] || !usedSlots(character.layer[s]).empty() ||
        !usedSlots(character.layerDest[s]).empty()) {
      out << ", layer [" << sequenceText(usedSlots(character.layer[s])) << "], dest ["
          << sequenceText(usedSlots(character.layerDest[s])) << "]"
          << (character.layerOn[s] ? "" : ", layer off");
    }
    out << '\n';
  }
  if (!anyState) out << "  (none)\n";
  out << "buttons:";
  const auto buttons = enabledButtons(character);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    out << (i == 0 ? " state " : ", state ") << buttons[i] << ' '
        << stateInfo(buttons[i])->buttonCaption;
  }
  out << (buttons.empty() ? " (none)\n" : "\n");
  out << "warnings: " << lint.warnings().size() << '\n';
  for (const LintWarning& w : lint.warnings()) {
    // Line 0 stands for the file as a whole: something it lacks.
    if (w.line > 0) {
      out << "  line " << w.line << ": " << messageText(w.message) << '\n';
    } else {
      out << "  file: " << messageText(w.message) << '\n';
    }
  }
  if (result.complete) {
    out << "result: the load completed\n";
  } else {
    out << "result: the load stopped at line " << result.stopLine << '\n';
  }
}

}  // namespace

int runCheckMode(const CheckOptions& options) {
  // The check reads the lines of a character file; an Aseprite JSON has none until imported.
  if (isAsepriteJson(options.file)) {
    throw BatchError(encoding::toDisplayText(options.file) +
                     " is an Aseprite sheet's JSON, not a character file: --import-aseprite " +
                     "turns it into one (--render and --export play it as it is)");
  }
  CheckResult result;
  result.file = options.file;
  CharacterLint lint;
  HeadlessSession session;
  try {
    session.load(options.file, &lint);
    result.complete = true;
  } catch (const Error& e) {
    result.error = e.what();
    if (e.hint()) result.hint = messageText(*e.hint());
    // The reader can refuse a file before its first line (a UTF-16 text): the error knows.
    result.stopFile = e.location() ? e.location()->file : options.file;
    result.stopLine = e.location() ? e.location()->line : lint.lastLine();
  } catch (const std::exception& e) {
    result.error = e.what();
    result.stopFile = options.file;
    result.stopLine = lint.lastLine();
  }
  lint.finish(session.character(), result.complete);

  if (options.json) {
    std::cout << toJson(result, session, lint)
                     .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
  } else {
    printText(std::cout, result, session, lint);
  }
  if (!result.complete) {
    // Line 0: the file was refused as a whole, before any of its lines.
    std::cerr << "patapata: " << encoding::toDisplayText(result.stopFile);
    if (result.stopLine > 0) std::cerr << ", line " << result.stopLine;
    std::cerr << ": " << errorBoxText(*result.error) << '\n';
    if (result.hint) std::cerr << "patapata: " << errorBoxText(*result.hint) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace patapata::app
