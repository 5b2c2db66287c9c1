#include "app/batch_modes.h"

#include <iostream>

#ifndef PATAPATA_VERSION
#define PATAPATA_VERSION "0.0.0"
#endif

namespace patapata::app {

namespace {

constexpr const char* kHelp =
    R"(patapata - watch a 2D game character's sprite sheet move

usage:
  patapata [FILE.chp]
      Open the viewer window, loading FILE.chp when given.
      PATAPATA_DISPLAY_BITS=16 shows the colours as a 16-bit (5-6-5) display would.
  patapata --check FILE.chp [--json]
      Read the character file without a window; print a summary and warnings for
      likely mistakes (or one JSON object). Exit 0 when the file was read to its end,
      1 when it stopped on an error, 2 on a usage error.
  patapata --render FILE.chp [--state N] [--ticks K] [--out PREFIX] [--depth 32|16]
      Play state N (as its button would) for K frames without a window; print one JSON
      object per frame and, with --out, write PREFIX-0001.png, PREFIX-0002.png, ...
  patapata --export FILE.chp [--state N] -o OUT.gif|OUT.webp|OUT.png [--scale K]
                   [--depth 32|16] [--dither none|ordered|fs]
      Write one pass of state N as a looping animated GIF or lossless animated WebP at
      the file's frame interval, or as a horizontal PNG strip; --scale 1-8 enlarges
      without smoothing. A GIF with more than 256 colours gets one palette for all its
      frames; --dither says how missing colours are mixed (default none).
  patapata --export FILE.chp --all -o SHEET.png|DIR/ [--format gif|webp] [--scale K] ...
      Every state that has entries: one PNG with a row per state (number, caption,
      then its frames), or into folder DIR one animation per state, named
      NAME-STATE-MEANING.gif (or .webp), e.g. hiyoko-6-joy1.gif.
  patapata --help | --version

exit status: 0 done, 1 the character file could not be read or the export failed
(the message says which), 2 usage error.
)";

}  // namespace

std::optional<int> runCommandLine(std::span<const std::string> args) {
  if (args.empty()) return std::nullopt;
  const std::string& first = args[0];
  const auto rest = args.subspan(1);
  if (first == "--check") return runCheckMode(rest);
  if (first == "--render") return runRenderMode(rest);
  if (first == "--export") return runExportMode(rest);
  if (first == "--help" || first == "-h") {
    std::cout << kHelp;
    return 0;
  }
  if (first == "--version") {
    std::cout << "patapata " << PATAPATA_VERSION << '\n';
    return 0;
  }
  if (first.starts_with("-") && first.size() > 1) {
    std::cerr << "patapata: unknown option " << first << "\n\n" << kHelp;
    return 2;
  }
  return std::nullopt;  // a character file for the window
}

}  // namespace patapata::app
