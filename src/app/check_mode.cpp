#include "app/batch_modes.h"

#include "app/headless_session.h"
#include "character/character_lint.h"
#include "character/state_table.h"
#include "character/viewer_state.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "surfaces/surface.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

namespace patapata::app {

namespace {

struct CheckResult {
  std::string file;
  bool complete = false;
  std::optional<std::string> error;
  int32_t stopLine = 0;  ///< where a stopped load stopped
};

// Slots 1..255 of a row without the trailing empty entries.
std::vector<int32_t> usedSlots(const SequenceRow& row) {
  std::size_t end = row.size();
  while (end > 1 && row[end - 1] == kEmptyCel) --end;
  return std::vector<int32_t>(row.begin() + 1, row.begin() + static_cast<std::ptrdiff_t>(end));
}

bool stateHasContent(const ViewerState& viewer, int32_t s) {
  return viewer.layerOn[s] != 0 || !usedSlots(viewer.pattern[s]).empty() ||
         !usedSlots(viewer.layer[s]).empty() || !usedSlots(viewer.layerDest[s]).empty();
}

bool hasPicture(const ViewerState& viewer) {
  return viewer.sheet && viewer.sheet->width() > 0 && viewer.sheet->height() > 0;
}

uint32_t sheetKey(const ViewerState& viewer) {
  return viewer.sheet->sourceKey();
}

// The states whose buttons the load enabled, in ascending order.
std::vector<int32_t> enabledButtons(const DisplayState& display) {
  std::vector<int32_t> out;
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (display.stateButtonEnabled[s]) out.push_back(s);
  }
  return out;
}

nlohmann::ordered_json toJson(const CheckResult& result, const HeadlessSession& session,
                              const CharacterLint& lint) {
  const ViewerState& viewer = session.viewer();
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  j["file"] = encoding::toDisplayText(result.file);
  j["complete"] = result.complete;
  j["error"] =
      result.error ? nlohmann::ordered_json(*result.error) : nlohmann::ordered_json(nullptr);
  j["name"] = lint.nameRead() ? nlohmann::ordered_json(viewer.display.characterName)
                              : nlohmann::ordered_json(nullptr);
  j["frame_interval"] = viewer.frameIntervalMs;
  if (hasPicture(viewer)) {
    j["sheet"] = {{"path", encoding::toDisplayText(viewer.sheetPath)},
                  {"width", viewer.sheet->width()},
                  {"height", viewer.sheet->height()},
                  {"key", sheetKey(viewer)}};
  } else {
    j["sheet"] = nullptr;
  }
  nlohmann::ordered_json cels = nlohmann::ordered_json::object();
  for (const auto& [cel, line] : lint.definedCels()) {
    cels[std::to_string(cel)] = {viewer.celX[cel], viewer.celY[cel], viewer.celW[cel],
                                 viewer.celH[cel]};
  }
  j["cels"] = cels;
  nlohmann::ordered_json states = nlohmann::ordered_json::object();
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (!stateHasContent(viewer, s)) continue;
    states[std::to_string(s)] = {{"pattern", usedSlots(viewer.pattern[s])},
                                 {"layer", usedSlots(viewer.layer[s])},
                                 {"dest", usedSlots(viewer.layerDest[s])},
                                 {"layer_on", viewer.layerOn[s] != 0}};
  }
  j["states"] = states;
  nlohmann::ordered_json buttons = nlohmann::ordered_json::array();
  for (int32_t s : enabledButtons(viewer.display)) buttons.push_back(s);
  j["buttons"] = buttons;
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const LintWarning& w : lint.warnings()) {
    warnings.push_back({{"line", w.line}, {"message", w.message}});
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
  const ViewerState& viewer = session.viewer();
  out << "file: " << encoding::toDisplayText(result.file) << '\n';
  out << "name: " << (lint.nameRead() ? viewer.display.characterName : std::string("(none)"))
      << '\n';
  out << "frame interval: " << viewer.frameIntervalMs << " ms\n";
  if (hasPicture(viewer)) {
    char key[16];
    std::snprintf(key, sizeof key, "0x%08X", sheetKey(viewer));
    out << "sheet: " << encoding::toDisplayText(viewer.sheetPath) << " (" << viewer.sheet->width()
        << " x " << viewer.sheet->height() << ", key " << key << ")\n";
  } else {
    out << "sheet: (none)\n";
  }
  out << "cels: " << lint.definedCels().size() << '\n';
  for (const auto& [cel, line] : lint.definedCels()) {
    out << "  " << cel << ": x " << viewer.celX[cel] << ", y " << viewer.celY[cel] << ", w "
        << viewer.celW[cel] << ", h " << viewer.celH[cel] << "  (line " << line << ")\n";
  }
  out << "states:\n";
  bool anyState = false;
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (!stateHasContent(viewer, s)) continue;
    anyState = true;
    out << "  " << s << ": pattern [" << sequenceText(usedSlots(viewer.pattern[s])) << "]";
    if (viewer.layerOn[s] != 0 || !usedSlots(viewer.layer[s]).empty() ||
        !usedSlots(viewer.layerDest[s]).empty()) {
      out << ", layer [" << sequenceText(usedSlots(viewer.layer[s])) << "], dest ["
          << sequenceText(usedSlots(viewer.layerDest[s])) << "]"
          << (viewer.layerOn[s] != 0 ? "" : ", layer off");
    }
    out << '\n';
  }
  if (!anyState) out << "  (none)\n";
  out << "buttons:";
  const auto buttons = enabledButtons(viewer.display);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    out << (i == 0 ? " state " : ", state ") << buttons[i] << ' '
        << stateInfo(buttons[i])->buttonCaption;
  }
  out << (buttons.empty() ? " (none)\n" : "\n");
  out << "warnings: " << lint.warnings().size() << '\n';
  for (const LintWarning& w : lint.warnings()) {
    // Line 0 stands for the file as a whole: something it lacks.
    if (w.line > 0) {
      out << "  line " << w.line << ": " << w.message << '\n';
    } else {
      out << "  file: " << w.message << '\n';
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
  CheckResult result;
  result.file = options.file;
  CharacterLint lint;
  std::optional<HeadlessSession> session;
  try {
    session.emplace();
    session->load(options.file, &lint);
    result.complete = true;
  } catch (const Exception& e) {
    result.error = e.message();
    // The reader can refuse a file before its first line (a UTF-16 text): the error knows.
    result.stopLine = e.location() ? e.location()->line : lint.lastLine();
  } catch (const std::exception& e) {
    result.error = e.what();
    result.stopLine = lint.lastLine();
  }
  if (!session) {
    std::cerr << "patapata: " << errorBoxText(*result.error) << '\n';
    return 1;
  }
  lint.finish(session->viewer(), result.complete);

  if (options.json) {
    std::cout << toJson(result, *session, lint)
                     .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
  } else {
    printText(std::cout, result, *session, lint);
  }
  if (!result.complete) {
    std::cerr << "patapata: line " << result.stopLine << ": " << errorBoxText(*result.error)
              << '\n';
    return 1;
  }
  return 0;
}

}  // namespace patapata::app
