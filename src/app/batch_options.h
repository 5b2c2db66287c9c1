#pragma once

#include "character/aseprite_import.h"
#include "character/sheet_slicing.h"
#include "export/state_export.h"
#include "surfaces/pixel_format.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What each batch mode was asked to do, as its command line gave it (batch_command_line.h reads
// and checks them). Absent options are empty: each mode knows its defaults.
namespace patapata::app {

/// `--check FILE.chp [--json]`.
struct CheckOptions {
  std::string file;
  bool json = false;  ///< one JSON object instead of the text summary
};

/// `--render FILE.chp [--state N] [--ticks K] [--out PREFIX] [--depth 32|16]`.
struct RenderOptions {
  std::string file;
  std::optional<int32_t> state;
  std::optional<int32_t> ticks;
  std::optional<std::string> outPrefix;
  PixelFormat format = PixelFormat::xrgb8888();
  bool strict = false;  ///< the check's warnings stop the mode
};

// What --export writes, and how, are the export's own terms.
using exporting::Animation;
using exporting::Dither;
using exporting::Output;

/// `--export FILE.chp [--state N | --all] -o OUT [--scale K] [--depth 32|16] [--dither ..]
/// [--format gif|webp]`.
struct ExportOptions {
  std::string file;
  std::optional<int32_t> state;
  bool all = false;
  std::string out;
  Output output = Output::Gif;
  std::optional<Animation> format;
  std::optional<Dither> dither;
  std::optional<int32_t> scale;
  std::optional<PixelFormat> depth;
  bool strict = false;  ///< the check's warnings stop the mode
};

/// `--import-aseprite SHEET.json [-o FILE.chp] [--interval MS] [--state TAG=N]...
/// [--merge-duplicates]`.
struct ImportOptions {
  std::string file;
  std::optional<std::string> out;  ///< standard output without it
  std::optional<int32_t> intervalMs;
  std::vector<TagMapping> mappings;
  bool mergeDuplicates = false;  ///< frames whose pixels are alike share a cel
};

/// How `--slice` cuts the sheet.
enum class SliceBy {
  Grid,     ///< --grid: cells of one size
  Count,    ///< --count: columns × rows
  Content,  ///< --auto: around what is drawn
};

/// `--slice SHEET (--grid WxH[+X+Y][,SX,SY] | --count CxR | --auto [--gap N] [--min N])
/// [--first N] [--hex] [--json]`.
struct SliceOptions {
  std::string sheet;
  std::optional<SliceBy> by;
  sheet_slicing::CellGrid grid;
  int32_t columns = 0;
  int32_t rows = 0;
  std::optional<int32_t> gap;
  std::optional<int32_t> minSize;
  std::optional<int32_t> first;  ///< 1 without it
  bool hex = false;
  bool json = false;
};

}  // namespace patapata::app
