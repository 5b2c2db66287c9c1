#include "app/batch_error.h"
#include "app/batch_modes.h"
#include "app/warning_report.h"
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "export/headless_session.h"
#include "export/state_export.h"

#include <iostream>
#include <string>

namespace patapata::app {
namespace {

std::string stateName(int32_t state) {
  const StateInfo* info = stateInfo(state);
  return "state " + std::to_string(state) +
         (info != nullptr ? std::string(" (") + info->caption + ", " + info->english + ")" : "");
}

// Reading and exporting fail for different reasons; the message says which.
std::vector<LintWarning> loadCharacter(exporting::HeadlessSession& session,
                                       const std::string& file) {
  try {
    return session.loadAndCheck(file);
  } catch (const Error& e) {
    const std::string shown = encoding::toDisplayText(file);
    if (e.location() && e.location()->line > 0) {
      throw BatchError("the character file " + shown + " stopped at line " +
                       std::to_string(e.location()->line) + ": " + e.what());
    }
    throw BatchError("cannot read the character file " + shown + ": " + e.what());
  }
}

exporting::ExportJob jobOf(const ExportOptions& options) {
  return exporting::ExportJob{.output = options.output,
                              .state = options.state,
                              .out = options.out,
                              .name = exporting::characterName(options.file),
                              .format = options.format.value_or(exporting::Animation::Gif),
                              .dither = options.dither,
                              .scale = options.scale.value_or(1)};
}

}  // namespace

int runExportMode(const ExportOptions& options) {
  exporting::HeadlessSession session(options.depth.value_or(PixelFormat::xrgb8888()));
  const std::vector<LintWarning> warnings = loadCharacter(session, options.file);
  printWarnings(std::cerr, options.file, warnings);
  refuseWarningsWhenStrict(options.strict, warnings);
  const Character& character = session.character();
  if (!options.all) {
    const int32_t state = options.state.value_or(session.viewer().player.state);
    if (!character.hasEntries(state)) {
      throw BatchError(stateName(state) + " has no entries in " +
                       encoding::toDisplayText(options.file) + ": there is nothing to export");
    }
  } else if (exporting::statesWithEntries(character).empty()) {
    throw BatchError(encoding::toDisplayText(options.file) +
                     " gives no state that a button plays any entries: there is nothing to export");
  }
  const exporting::ExportJob job = jobOf(options);
  if (const std::vector<std::string> open = exporting::sourcesAmong(
          exporting::exportDestinations(character, job), options.file, character);
      !open.empty()) {
    throw BatchError(encoding::toDisplayText(open.front()) +
                     " is the character file or its sheet, which an export does not write "
                     "over: name another output");
  }
  // Naming the output on the command line is the author's agreement to replace it.
  exporting::runExport(session, job, Replace::Allowed, {},
                       [](const std::string& path) { std::cout << path << '\n'; });
  return 0;
}

}  // namespace patapata::app
