#include "app/batch_modes.h"

#include "app/batch_command_line.h"
#include "character/state_table.h"
#include "common/text.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifndef PATAPATA_VERSION
#define PATAPATA_VERSION "0.0.0"
#endif

namespace patapata::app {

namespace {

constexpr const char* kHelpStart =
    R"(patapata - watch a 2D game character's sprite sheet move

usage:
  patapata [FILE.chp]
      Open the viewer window, loading FILE.chp when given, or playing an Aseprite
      sheet's SHEET.json as the character file --import-aseprite would write.
      PATAPATA_DISPLAY_BITS=16 shows the colours as a 16-bit (5-6-5) display would.

)";

constexpr const char* kHelpModesEnd = R"(  patapata --help | --version

)";

constexpr const char* kHelpEnd = R"(
exit status: 0 done, 1 the character file could not be read or the export failed
(the message says which), 2 usage error.
)";

const char* kindText(StateKind kind) {
  return kind == StateKind::Base ? "loops" : "plays once";
}

std::string padded(std::string text, std::size_t width) {
  text.resize(std::max(width, text.size()), ' ');
  return text;
}

// The states of the window's buttons, from the state table, by number: what --state takes
// and what --check's warnings name.
std::string statesHelp() {
  std::vector<const StateInfo*> states;
  std::size_t width = 0;
  for (const StateInfo& info : kStates) {
    states.push_back(&info);
    width = std::max(width, std::string(info.english).size());
  }
  std::sort(states.begin(), states.end(),
            [](const StateInfo* a, const StateInfo* b) { return a->state < b->state; });

  std::string out = "states (N of --state; the window's buttons, with their captions):\n";
  for (const StateInfo* info : states) {
    const std::string number = std::to_string(info->state);
    out += std::string(4 - std::min<std::size_t>(number.size(), 4), ' ') + number + "  " +
           padded(info->english, width) + "  " + padded(kindText(info->kind), 10) + "  " +
           info->buttonCaption + '\n';
  }
  std::vector<int32_t> withoutButton;
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (stateInfo(s) == nullptr) withoutButton.push_back(s);
  }
  out += "  No button plays states " + text::numberRuns(withoutButton, "-") + ".\n";
  for (int32_t s : withoutButton) {
    const int32_t lit = buttonEnabledByRow(s);
    if (lit >= 0) {
      out += "  A row for state " + std::to_string(s) + " lights up the button of state " +
             std::to_string(lit) + ".\n";
    }
  }
  out += "  State " + std::to_string(kCheckState) +
         " plays the sequences typed in the window; --render and --export play\n"
         "  the file's row " +
         std::to_string(kCheckState) + ".\n";
  return out;
}

std::string help() {
  return kHelpStart + batchModesHelp() + kHelpModesEnd + statesHelp() + kHelpEnd;
}

std::optional<int> runModes(std::span<const std::string> args) {
  const std::string& first = args[0];
  if (const auto status = runBatchMode(args)) return status;
  if (first == "--help" || first == "-h") {
    std::cout << help();
    return 0;
  }
  if (first == "--version") {
    std::cout << "patapata " << PATAPATA_VERSION << '\n';
    return 0;
  }
  if (first.starts_with("-") && first.size() > 1) {
    std::cerr << "patapata: unknown option " << first << "\n\n" << help();
    return 2;
  }
  return std::nullopt;  // a character file for the window
}

}  // namespace

std::optional<int> runCommandLine(std::span<const std::string> args) {
  if (args.empty()) return std::nullopt;
  const std::optional<int> status = runModes(args);
  // What a mode prints is often all it makes (`--import-aseprite x.json > x.chp`): a write that
  // failed, on a full disk or a closed output, must not end in success.
  if (status == 0) {
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
      std::cerr << "patapata: cannot write to standard output\n";
      return 1;
    }
  }
  return status;
}

}  // namespace patapata::app
