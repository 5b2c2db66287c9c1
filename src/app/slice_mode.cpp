#include "app/batch_error.h"
#include "app/batch_modes.h"
#include "character/sheet_slicing.h"
#include "common/encoding.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <string>

namespace patapata::app {

namespace {

using sheet_slicing::CelBase;

sheet_slicing::Slices slice(const SliceOptions& options, const SheetPicture& sheet) {
  switch (options.by.value_or(SliceBy::Grid)) {
    case SliceBy::Grid:
      return sheet_slicing::sliceBySize(sheet.width(), sheet.height(), options.grid);
    case SliceBy::Count:
      return sheet_slicing::sliceByCount(sheet.width(), sheet.height(), options.columns,
                                         options.rows);
    case SliceBy::Content: {
      const int32_t least = options.minSize.value_or(1);
      return sheet_slicing::sliceByContent(
          sheet.view(), sheet.key(),
          {.gap = options.gap.value_or(0), .minWidth = least, .minHeight = least});
    }
  }
  return {};
}

}  // namespace

int runSliceMode(const SliceOptions& options) {
  platform::SurfaceService service;
  const std::shared_ptr<const SheetPicture> sheet = SheetPicture::load(service, options.sheet);
  const sheet_slicing::Slices slices = slice(options, *sheet);
  const std::string shown = encoding::toDisplayText(options.sheet);
  if (slices.tooMany) {
    throw BatchError("the slicing of " + shown +
                     " gives too many cels to tell apart: larger cells, or a larger --gap and "
                     "--min");
  }
  if (slices.rects.empty()) {
    throw BatchError("the slicing finds no cels in " + shown + " (" +
                     std::to_string(sheet->width()) + " x " + std::to_string(sheet->height()) +
                     " pixels)");
  }
  const CelBase base = options.hex ? CelBase::Hexadecimal : CelBase::Decimal;
  const sheet_slicing::CelNumbers numbers =
      sheet_slicing::numberCels(slices.rects.size(), options.first.value_or(1), base);
  if (options.json) {
    nlohmann::ordered_json cels = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < slices.rects.size(); ++i) {
      const Rect& r = slices.rects[i];
      cels.push_back(
          {{"cel", i < numbers.numbers.size() ? nlohmann::ordered_json(numbers.numbers[i])
                                              : nlohmann::ordered_json(nullptr)},
           {"x", r.left},
           {"y", r.top},
           {"width", r.width()},
           {"height", r.height()}});
    }
    const nlohmann::ordered_json report = {
        {"sheet", shown},      {"width", sheet->width()},       {"height", sheet->height()},
        {"key", sheet->key()}, {"base", options.hex ? 16 : 10}, {"cels", cels}};
    std::cout << report.dump(2) << '\n';
  } else {
    for (std::size_t i = 0; i < numbers.numbers.size(); ++i) {
      std::cout << *sheet_slicing::celLine(numbers.numbers[i], slices.rects[i], base) << '\n';
    }
  }
  if (numbers.unnumbered > 0) {
    std::cerr << "patapata: " << numbers.unnumbered << " of the " << slices.rects.size()
              << " cels get no number: cel numbers end at " << sheet_slicing::lastCel(base)
              << (options.hex ? "" : " (--hex numbers up to 255)") << '\n';
  }
  return 0;
}

}  // namespace patapata::app
