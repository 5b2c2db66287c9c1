#include "app/batch_command_line.h"

#include "app/batch_error.h"
#include "app/batch_modes.h"
#include "app/batch_options.h"
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/new_file.h"
#include "export/export_error.h"
#include "export/palette_reduction.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <regex>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

namespace patapata::app {
namespace {

/// A command line the mode cannot run; exit status 2.
class UsageError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Values. Each takes an option's text and gives its value, or throws UsageError saying what
// the option takes.

/// More ticks than this is not a render anyone waits for; it also bounds the report's size.
constexpr int32_t kMaxTicks = 100000;

/// A plain decimal integer, the whole text; nothing otherwise.
std::optional<int32_t> decimal(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

int32_t numberFrom(const std::string& text, int32_t low, int32_t high, const std::string& error) {
  const auto value = decimal(text);
  if (!value || *value < low || *value > high) throw UsageError(error);
  return *value;
}

std::string notEmpty(const std::string& text, const char* error) {
  if (text.empty()) throw UsageError(error);
  return text;
}

/// A state some button selects.
int32_t buttonState(const std::string& text) {
  const auto state = decimal(text);
  const std::string shown = encoding::toDisplayText(text);
  if (!state) throw UsageError("--state " + shown + " is not a number");
  if (stateInfo(*state) == nullptr) throw UsageError("no button selects state " + shown);
  return *state;
}

PixelFormat depth(const std::string& text) {
  if (text == "32") return PixelFormat::xrgb8888();
  if (text == "16") return PixelFormat::rgb565();
  throw UsageError("--depth takes 32 or 16");
}

Dither dither(const std::string& text) {
  if (text == "none") return Dither::None;
  if (text == "ordered") return Dither::Ordered;
  if (text == "fs") return Dither::FloydSteinberg;
  throw UsageError("--dither takes none, ordered or fs");
}

Animation animation(const std::string& text) {
  if (text == "gif") return Animation::Gif;
  if (text == "webp") return Animation::Webp;
  throw UsageError("--format takes gif or webp");
}

/// The largest size, offset, spacing, count or gap the slicing options take: beyond any sheet.
constexpr int32_t kMaxSlicing = 65536;

/// The numbers of `text` when it matches `pattern` whole: one for each group, 0 for a group
/// that did not take part; nothing when it does not match or a number exceeds kMaxSlicing.
std::optional<std::vector<int32_t>> numbersOf(const std::string& text, const std::regex& pattern) {
  std::smatch match;
  if (!std::regex_match(text, match, pattern)) return std::nullopt;
  std::vector<int32_t> numbers;
  for (std::size_t i = 1; i < match.size(); ++i) {
    if (!match[i].matched) {
      numbers.push_back(0);
      continue;
    }
    const auto value = decimal(match[i].str());
    if (!value || *value > kMaxSlicing) return std::nullopt;
    numbers.push_back(*value);
  }
  return numbers;
}

/// "WxH[+X+Y][,SX,SY]": cells of W × H from (X, Y), SX and SY pixels apart.
sheet_slicing::CellGrid grid(const std::string& text) {
  static const std::regex kGrid(
      R"(([0-9]+)[xX]([0-9]+)(?:\+([0-9]+)\+([0-9]+))?(?:,([0-9]+),([0-9]+))?)");
  const auto n = numbersOf(text, kGrid);
  if (!n || (*n)[0] < 1 || (*n)[1] < 1) {
    throw UsageError(
        "--grid takes WxH[+X+Y][,SX,SY]: a cell size, then maybe the first cell's "
        "place and the spacing, e.g. 121x271 or 32x32+4+4,2,2");
  }
  return {(*n)[0], (*n)[1], (*n)[2], (*n)[3], (*n)[4], (*n)[5]};
}

// The table. A mode is its name (the first argument), what --help says it does, the file it
// works on and its options, each option a row; a new option is a new row, a new mode a new
// entry in kModes.

/// How often an option may be given.
enum class Take {
  Once,      ///< a second time is a usage error
  Repeated,  ///< each value is stored in turn
};

/// A number option's member, the range it takes and what a value outside says.
template <typename Options>
struct NumberIn {
  std::optional<int32_t> Options::*member = nullptr;
  int32_t low = 0;
  int32_t high = 0;
  std::string_view error = {};
};

/// One option of a mode: how it is written, what help says of it and how its value is kept
/// (a flag, a number, or by `store`).
template <typename Options>
struct OptionRow {
  std::string_view names = {};    ///< as CLI11 takes them, "-o,--out"; messages name the first
  std::string_view value = {};    ///< what help calls its value ("N", "32|16"); empty for a flag
  std::string_view help = {};     ///< what it does, for --help and the usage
  bool Options::*flag = nullptr;  ///< a flag: set when given
  NumberIn<Options> number = {};
  /// Otherwise: checks one value (for a flag, none) and stores it; throws UsageError.
  void (*store)(Options& options, const std::string& value) = nullptr;
  Take take = Take::Once;
  std::string_view missing = {};   ///< when set, the option must be given: the error without it
  std::string_view excludes = {};  ///< options it cannot be given with, comma-separated
};

/// What follows the mode's name: the file the mode works on.
template <typename Options>
struct Operand {
  std::string_view name;  ///< in help, "FILE.chp"
  std::string_view noun;  ///< in messages, "character file"
  void (*store)(Options& options, const std::string& value);
};

/// A batch mode: what it is called, what it does, what it takes, and its body.
template <typename Options>
struct Mode {
  std::string_view name;     ///< the first argument, "--render"
  std::string_view summary;  ///< what it does and prints, for --help
  std::span<const OptionRow<Options>> options;
  int (*run)(const Options& options);
  /// The rules that tie options together, once all are read; throws UsageError. May be null.
  void (*finish)(Options& options) = nullptr;
  /// A character file, unless the mode says otherwise.
  Operand<Options> operand = {"FILE.chp", "character file",
                              [](Options& o, const std::string& v) { o.file = v; }};
};

template <typename Options>
constexpr OptionRow<Options> kStateOption{
    .names = "--state",
    .value = "N",
    .help = "the state to play, by number in the states list (default 1)",
    .store = [](Options& o, const std::string& v) { o.state = buttonState(v); }};

template <typename Options>
constexpr OptionRow<Options> kStrictOption{
    .names = "--strict",
    .help =
        "when the check warns about the file (the warnings go to standard error either "
        "way), write nothing and exit 1",
    .flag = &Options::strict};

constexpr std::string_view kDepthHelp = "draw in 32-bit colour, or in 16-bit 5-6-5 (default 32)";

constexpr OptionRow<CheckOptions> kCheckOptions[] = {
    {.names = "--json", .help = "print the same as one JSON object", .flag = &CheckOptions::json},
};

constexpr OptionRow<RenderOptions> kRenderOptions[] = {
    kStateOption<RenderOptions>,
    {.names = "--ticks",
     .value = "K",
     .help = "frames to play, 1 to 100000 (default one pass of the state)",
     .number = {&RenderOptions::ticks, 1, kMaxTicks, "--ticks takes a number from 1 to 100000"}},
    {.names = "--out",
     .value = "PREFIX",
     .help = "also write the frames as PREFIX-0001.png, PREFIX-0002.png, ...",
     .store =
         [](RenderOptions& o, const std::string& v) {
           o.outPrefix = notEmpty(v, "--out needs a file name prefix");
         }},
    {.names = "--depth",
     .value = "32|16",
     .help = kDepthHelp,
     .store = [](RenderOptions& o, const std::string& v) { o.format = depth(v); }},
    kStrictOption<RenderOptions>,
};

constexpr OptionRow<ExportOptions> kExportOptions[] = {
    kStateOption<ExportOptions>,
    {.names = "--all",
     .help = "every state that has entries, at once",
     .flag = &ExportOptions::all,
     .excludes = "--state"},
    {.names = "-o,--out",
     .value = "OUT",
     .help = "OUT.gif, OUT.webp or OUT.png; with --all, SHEET.png or a folder DIR/",
     .store = [](ExportOptions& o,
                 const std::string& v) { o.out = notEmpty(v, "-o needs a file name"); },
     .missing = "no output given (-o OUT.gif, OUT.webp or OUT.png)"},
    {.names = "--scale",
     .value = "K",
     .help = "enlarge 1 to 8 times, without smoothing (default 1)",
     .number = {&ExportOptions::scale, 1, 8, "--scale takes 1 to 8"}},
    {.names = "--depth",
     .value = "32|16",
     .help = kDepthHelp,
     .store = [](ExportOptions& o, const std::string& v) { o.depth = depth(v); }},
    {.names = "--dither",
     .value = "none|ordered|fs",
     .help = "a GIF with more than 256 colours gets one palette for all its frames: how the "
             "colours it lacks are mixed (default none)",
     .store = [](ExportOptions& o, const std::string& v) { o.dither = dither(v); }},
    {.names = "--format",
     .value = "gif|webp",
     .help = "the animations' format with --all -o DIR/ (default gif)",
     .store = [](ExportOptions& o, const std::string& v) { o.format = animation(v); }},
    kStrictOption<ExportOptions>,
};

constexpr OptionRow<ImportOptions> kImportOptions[] = {
    {.names = "-o,--out",
     .value = "FILE.chp",
     .help = "write the character file there, in place of any file of that name, instead of "
             "on standard output (whose #CHARBMP suits a file beside the JSON)",
     .store = [](ImportOptions& o,
                 const std::string& v) { o.out = notEmpty(v, "-o needs a file name"); }},
    {.names = "--interval",
     .value = "MS",
     .help = "milliseconds per frame, 1 to 3600000 (default the greatest common divisor of the "
             "tagged frames' durations, at least 10)",
     .number = {&ImportOptions::intervalMs, 1, kMaxAsepriteMs,
                "--interval takes a number of milliseconds from 1 to 3600000"}},
    {.names = "--state",
     .value = "TAG=N",
     .help = "play the tag named TAG as state N, a number 0 to 30 or a state's name, whatever "
             "its own name gives",
     .store =
         [](ImportOptions& o, const std::string& v) {
           try {
             o.mappings.push_back(parseTagMapping(v));
           } catch (const Error& e) {
             throw UsageError(e.what());
           }
           const std::string& tag = o.mappings.back().tag;
           if (std::count_if(o.mappings.begin(), o.mappings.end(),
                             [&tag](const TagMapping& m) { return m.tag == tag; }) > 1) {
             throw UsageError("--state " + encoding::toDisplayText(tag) + "= given twice");
           }
         },
     .take = Take::Repeated},
    {.names = "--merge-duplicates",
     .help = "frames whose pixels are alike share one cel, though the sheet gives each a "
             "rectangle of its own",
     .flag = &ImportOptions::mergeDuplicates},
};

constexpr OptionRow<SliceOptions> kSliceOptions[] = {
    {.names = "--grid",
     .value = "WxH[+X+Y][,SX,SY]",
     .help = "cells of W x H pixels, the first at X, Y (default 0, 0), SX and SY pixels apart "
             "(default 0); cells that stick out of the sheet are left out",
     .store =
         [](SliceOptions& o, const std::string& v) {
           o.by = SliceBy::Grid;
           o.grid = grid(v);
         },
     .excludes = "--count,--auto"},
    {.names = "--count",
     .value = "CxR",
     .help = "the sheet divided into C columns and R rows of equal cells",
     .store =
         [](SliceOptions& o, const std::string& v) {
           static const std::regex kCount("([0-9]+)[xX]([0-9]+)");
           const auto n = numbersOf(v, kCount);
           if (!n || (*n)[0] < 1 || (*n)[1] < 1) {
             throw UsageError("--count takes CxR, columns and rows, e.g. 6x4");
           }
           o.by = SliceBy::Count;
           o.columns = (*n)[0];
           o.rows = (*n)[1];
         },
     .excludes = "--auto"},
    {.names = "--auto",
     .help = "a cel around each piece drawn in other colours than the transparent one",
     .store = [](SliceOptions& o, const std::string&) { o.by = SliceBy::Content; }},
    {.names = "--gap",
     .value = "N",
     .help = "with --auto: pieces at most N pixels apart make one cel (default 0: touching)",
     .number = {&SliceOptions::gap, 0, kMaxSlicing, "--gap takes a number of pixels, 0 or more"}},
    {.names = "--min",
     .value = "N",
     .help = "with --auto: leave out cels narrower or lower than N pixels (default 1)",
     .number = {&SliceOptions::minSize, 1, kMaxSlicing,
                "--min takes a number of pixels, 1 or more"}},
    {.names = "--first",
     .value = "N",
     .help = "the first cel's number (default 1); the cels are numbered in reading order",
     .number = {&SliceOptions::first, 1, 255, "--first takes a cel number from 1 to 255"}},
    {.names = "--hex",
     .help = "cel numbers as two hexadecimal digits, as after #DATA 16 (up to 255; else "
             "decimal, up to 99)",
     .flag = &SliceOptions::hex},
    {.names = "--json",
     .help = "print the rectangles as one JSON object instead",
     .flag = &SliceOptions::json},
};

// One way to slice must be given; --gap and --min belong to it when it is --auto.
void finishSlice(SliceOptions& options) {
  if (!options.by) throw UsageError("no slicing given (--grid WxH, --count CxR or --auto)");
  if ((options.gap || options.minSize) && options.by != SliceBy::Content) {
    throw UsageError("--gap and --min are for --auto");
  }
  if (!options.hex &&
      options.first.value_or(1) > sheet_slicing::lastCel(sheet_slicing::CelBase::Decimal)) {
    throw UsageError("--first above 99 needs --hex: decimal cel numbers end at 99");
  }
}

bool endsWithIgnoringCase(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

bool isDirectory(const std::string& path) {
  std::error_code error;
  return path.ends_with('/') || std::filesystem::is_directory(path, error);
}

Output outputFor(const std::string& out, bool all) {
  if (isDirectory(out)) {
    if (!all) throw UsageError("-o names a folder: add --all to write one animation per state");
    return Output::Directory;
  }
  if (endsWithIgnoringCase(out, ".png")) return all ? Output::Sheet : Output::PngStrip;
  const bool gif = endsWithIgnoringCase(out, ".gif");
  if (!gif && !endsWithIgnoringCase(out, ".webp")) {
    throw UsageError("-o names a .gif, .webp or .png file, or with --all a folder (DIR/)");
  }
  if (all) {
    throw UsageError(
        "--all writes one PNG sheet (-o SHEET.png) or one animation per state "
        "(-o DIR/)");
  }
  return gif ? Output::Gif : Output::Webp;
}

// The output's kind comes from -o's name and --all; --format and --dither must suit it.
void finishExport(ExportOptions& options) {
  options.output = outputFor(options.out, options.all);
  if (options.format && options.output != Output::Directory) {
    throw UsageError("--format is for --all -o DIR/; a file's extension gives its format");
  }
  const bool gif =
      options.output == Output::Gif || (options.output == Output::Directory &&
                                        options.format.value_or(Animation::Gif) == Animation::Gif);
  if (options.dither && !gif) throw UsageError("--dither is for GIF output only");
}

#define PATAPATA_MODE_SUMMARY(name, text) constexpr std::string_view name = text;
#include "app/batch_mode_summaries.inc"
#undef PATAPATA_MODE_SUMMARY

constexpr Mode<CheckOptions> kCheck{
    .name = "--check", .summary = kCheckSummary, .options = kCheckOptions, .run = runCheckMode};

constexpr Mode<RenderOptions> kRender{
    .name = "--render", .summary = kRenderSummary, .options = kRenderOptions, .run = runRenderMode};

constexpr Mode<ExportOptions> kExport{.name = "--export",
                                      .summary = kExportSummary,
                                      .options = kExportOptions,
                                      .run = runExportMode,
                                      .finish = finishExport};

constexpr Mode<ImportOptions> kImport{
    .name = "--import-aseprite",
    .summary = kImportSummary,
    .options = kImportOptions,
    .run = runImportMode,
    .operand = {"SHEET.json", "JSON file",
                [](ImportOptions& o, const std::string& v) { o.file = v; }}};

constexpr Mode<SliceOptions> kSlice{
    .name = "--slice",
    .summary = kSliceSummary,
    .options = kSliceOptions,
    .run = runSliceMode,
    .finish = finishSlice,
    .operand = {"SHEET", "sheet", [](SliceOptions& o, const std::string& v) { o.sheet = v; }}};

// Reading a command line.

template <typename Options>
constexpr std::string_view firstNameOf(const OptionRow<Options>& row) {
  return row.names.substr(0, row.names.find(','));
}

template <typename Options>
std::string firstName(const OptionRow<Options>& row) {
  return std::string(firstNameOf(row));
}

/// Whether every name in the rows' `excludes` is the first name of one of the rows.
template <typename Options>
constexpr bool exclusionsNameRows(std::span<const OptionRow<Options>> rows) {
  for (const OptionRow<Options>& row : rows) {
    for (std::string_view rest = row.excludes; !rest.empty();) {
      const std::string_view name = rest.substr(0, rest.find(','));
      rest.remove_prefix(std::min(name.size() + 1, rest.size()));
      if (std::none_of(rows.begin(), rows.end(),
                       [name](const OptionRow<Options>& r) { return firstNameOf(r) == name; })) {
        return false;
      }
    }
  }
  return true;
}

std::vector<std::string> listed(std::string_view names) {
  std::vector<std::string> out;
  while (!names.empty()) {
    const std::size_t comma = std::min(names.find(','), names.size());
    out.emplace_back(names.substr(0, comma));
    names.remove_prefix(std::min(comma + 1, names.size()));
  }
  return out;
}

// CLI11 finds the options and their values (including --name=value, -oVALUE, and -- before a
// file whose name starts with a dash); the rows check and keep them.
template <typename Options>
Options parse(const Mode<Options>& mode, std::span<const std::string> args) {
  Options options;
  CLI::App app;
  app.set_help_flag();  // --help is a mode of its own, never an option of one
  app.allow_extras();   // unknown options are reported below, in the modes' words
  CLI::Option* operand = app.add_option(std::string(mode.operand.name),
                                        [&options, &mode](const CLI::results_t& values) {
                                          mode.operand.store(options, values.front());
                                          return true;
                                        });
  // CLI11 calls these once it has read every argument; a UsageError thrown in them passes
  // through parse() as it is.
  for (const OptionRow<Options>& row : mode.options) {
    CLI::Option* option =
        app.add_option(std::string(row.names), [&options, &row](const CLI::results_t& values) {
          for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0 && row.take == Take::Once) throw UsageError(firstName(row) + " given twice");
            // CLI11 gives a flag "true", or what followed an = after it.
            if (row.value.empty() && values[i] != "true") {
              throw UsageError(firstName(row) + " takes no value");
            }
            if (row.flag != nullptr) {
              options.*row.flag = true;
            } else if (row.number.member != nullptr) {
              options.*row.number.member = numberFrom(values[i], row.number.low, row.number.high,
                                                      std::string(row.number.error));
            } else {
              row.store(options, row.value.empty() ? std::string() : values[i]);
            }
          }
          return true;
        });
    option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    if (row.value.empty()) option->expected(0);
  }

  std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
  try {
    app.parse(reversed);
  } catch (const CLI::ArgumentMismatch&) {
    // CLI11 runs short of values only when the option that wants one is the last argument.
    const std::string& last = args.back();
    throw UsageError(last.substr(0, last.find('=')) + " needs a value");
  } catch (const CLI::ParseError& e) {
    throw UsageError(e.what());
  }

  // CLI11 keeps the "--" that ends the options among what it did not take.
  std::vector<std::string> extras = app.remaining();
  std::erase(extras, "--");
  for (const std::string& extra : extras) {
    if (extra.size() > 1 && extra.starts_with('-')) {
      throw UsageError("unknown option " + encoding::toDisplayText(extra));
    }
  }
  const std::string noun(mode.operand.noun);
  if (!extras.empty()) throw UsageError("one " + noun + " only");
  if (operand->count() == 0) throw UsageError("no " + noun + " given");
  const auto given = [&app](const std::string& name) { return app.get_option(name)->count() > 0; };
  for (const OptionRow<Options>& row : mode.options) {
    if (!row.missing.empty() && !given(firstName(row))) throw UsageError(std::string(row.missing));
  }
  for (const OptionRow<Options>& row : mode.options) {
    for (const std::string& other : listed(row.excludes)) {
      if (given(firstName(row)) && given(other)) {
        throw UsageError(firstName(row) + " and " + other + " exclude each other");
      }
    }
  }
  if (mode.finish != nullptr) mode.finish(options);
  return options;
}

// Help, from the same rows.

/// Help's lines are at most this many columns.
constexpr std::size_t kWidth = 88;
/// Where an option's description starts, after the option's indent.
constexpr std::size_t kDescriptionColumn = 20;

/// `units` (words, or a synopsis' items) as lines of at most kWidth columns: the first goes on
/// from column `start`, the others start at column `indent`.
std::string flowed(const std::vector<std::string>& units, std::size_t start, std::size_t indent) {
  std::string out;
  std::size_t column = start;
  bool lineEmpty = true;
  for (const std::string& unit : units) {
    if (!lineEmpty && column + 1 + unit.size() > kWidth) {
      out += '\n' + std::string(indent, ' ');
      column = indent;
      lineEmpty = true;
    }
    if (!lineEmpty) {
      out += ' ';
      ++column;
    }
    out += unit;
    column += unit.size();
    lineEmpty = false;
  }
  return out + '\n';
}

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    if (end > start) out.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

template <typename Options>
bool excludesEachOther(const OptionRow<Options>& a, const OptionRow<Options>& b) {
  const auto excludes = [](const OptionRow<Options>& row, const std::string& name) {
    const auto list = listed(row.excludes);
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  return excludes(a, firstName(b)) || excludes(b, firstName(a));
}

/// `lead` then "patapata --export FILE.chp [--state N | --all] -o OUT ...", with optional
/// options that exclude each other in one bracket.
template <typename Options>
std::string synopsis(const Mode<Options>& mode, const std::string& lead) {
  const std::string head = "patapata " + std::string(mode.name);
  std::vector<std::string> units{head, std::string(mode.operand.name)};
  const OptionRow<Options>* previous = nullptr;
  for (const OptionRow<Options>& row : mode.options) {
    std::string text = firstName(row);
    if (!row.value.empty()) text += " " + std::string(row.value);
    const bool optional = row.missing.empty();
    if (optional && previous != nullptr && previous->missing.empty() &&
        excludesEachOther(*previous, row)) {
      units.back().insert(units.back().size() - 1, " | " + text);
    } else {
      units.push_back(optional ? "[" + text + "]" : text);
    }
    if (row.take == Take::Repeated) units.back() += "...";
    previous = &row;
  }
  return lead + flowed(units, lead.size(), lead.size() + head.size() + 1);
}

/// The mode's options with what they mean, each at column `indent`.
template <typename Options>
std::string optionList(const Mode<Options>& mode, std::size_t indent) {
  std::string out;
  const std::size_t column = indent + kDescriptionColumn;
  for (const OptionRow<Options>& row : mode.options) {
    std::string left;
    for (const std::string& name : listed(row.names)) left += (left.empty() ? "" : ", ") + name;
    if (!row.value.empty()) left += " " + std::string(row.value);
    std::vector<std::string> text = words(row.help);
    for (const OptionRow<Options>& other : mode.options) {
      if (&other != &row && excludesEachOther(row, other)) {
        text.back() += ";";
        text.insert(text.end(), {"not", "with", firstName(other)});
      }
    }
    out += std::string(indent, ' ') + left;
    if (indent + left.size() + 2 > column) {
      out += '\n' + std::string(column, ' ');
    } else {
      out += std::string(column - indent - left.size(), ' ');
    }
    out += flowed(text, column, column);
  }
  return out;
}

template <typename Options>
std::string modeHelp(const Mode<Options>& mode) {
  return synopsis(mode, "  ") + std::string(6, ' ') + flowed(words(mode.summary), 6, 6) +
         optionList(mode, 6);
}

template <typename Options>
int runMode(const Mode<Options>& mode, std::span<const std::string> args) {
  Options options;
  try {
    options = parse(mode, args);
  } catch (const UsageError& e) {
    std::cerr << "patapata " << mode.name << ": " << e.what() << '\n'
              << synopsis(mode, "usage: ") << optionList(mode, 2)
              << "patapata --help describes every mode and lists the states.\n";
    return 2;
  }
  try {
    return mode.run(options);
  } catch (const std::exception& e) {
    // The system's own errors are sentences, ended as in the window's boxes.
    const bool ours = dynamic_cast<const Error*>(&e) != nullptr ||
                      dynamic_cast<const BatchError*>(&e) != nullptr ||
                      dynamic_cast<const exporting::ExportError*>(&e) != nullptr ||
                      dynamic_cast<const FileWriteError*>(&e) != nullptr;
    std::cerr << "patapata: " << (ours ? errorBoxText(e.what()) : std::string(e.what())) << '\n';
    return 1;
  }
}

/// A mode whatever its options: what the first argument is matched with, and its parts.
struct BatchMode {
  std::string_view name;
  int (*run)(std::span<const std::string> args);
  std::string (*help)();
};

template <const auto& kMode>
constexpr BatchMode batchMode() {
  static_assert(exclusionsNameRows(kMode.options), "an option excludes one the mode lacks");
  return {kMode.name, [](std::span<const std::string> args) { return runMode(kMode, args); },
          [] { return modeHelp(kMode); }};
}

constexpr BatchMode kModes[] = {batchMode<kCheck>(), batchMode<kRender>(), batchMode<kExport>(),
                                batchMode<kImport>(), batchMode<kSlice>()};

}  // namespace

std::optional<int> runBatchMode(std::span<const std::string> args) {
  if (args.empty()) return std::nullopt;
  for (const BatchMode& mode : kModes) {
    if (args[0] == mode.name) return mode.run(args.subspan(1));
  }
  return std::nullopt;
}

std::string batchModesHelp() {
  std::string out;
  for (const BatchMode& mode : kModes) out += mode.help() + '\n';
  return out;
}

}  // namespace patapata::app
