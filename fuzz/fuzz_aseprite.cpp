// Any bytes as Aseprite's sprite-sheet JSON. The importer writes a character file or raises
// its own error; either way the text is UTF-8, and the file holds nothing the reader could
// take for more than the importer meant: every line is a note or a keyword line, cel numbers
// are 02..FF and no sequence is longer than 255 frames.
#include "character/aseprite_import.h"
#include "common/encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool isHexPair(std::string_view s) {
  return s.size() == 2 && s.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

void checkCharacterText(const std::string& text) {
  check(patapata::encoding::isValidUtf8(text));
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    check(!line.empty() && (line[0] == '#' || line[0] == ';'));
    check(line.find('\r') == std::string::npos);
    if (line.rfind("#PATERN ", 0) == 0) {
      const std::string_view pairs = std::string_view(line).substr(11);
      check(line[10] == ' ' && !pairs.empty() && pairs.size() % 2 == 0 && pairs.size() <= 510);
      for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const std::string_view cel = pairs.substr(i, 2);
        check(isHexPair(cel) && cel != "00" && cel != "01");
      }
    } else if (line[0] == '#' && line.size() > 3 && line[3] == ' ' && line.rfind("#DATA", 0) != 0) {
      const std::string_view cel = std::string_view(line).substr(1, 2);
      check(isHexPair(cel) && cel != "00" && cel != "01");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace patapata;
  AsepriteOptions options;
  options.jsonFile = "/fuzz/sheets/sheet.json";
  options.outputFolder = "/fuzz/characters";
  options.mappings = {{"blink", 7}, {"joy 1", 30}};
  options.fileExists = [](const std::filesystem::path&) { return false; };
  // Half the inputs merge frames by a made-up likeness, which may point anywhere.
  if (size % 2 == 1) {
    options.samePictures = [](const std::filesystem::path&, std::span<const CelRect> rects) {
      std::vector<std::size_t> same(rects.size());
      for (std::size_t i = 0; i < rects.size(); ++i) {
        same[i] = static_cast<std::size_t>(rects[i].x + rects[i].y) % (i + 2);
      }
      return same;
    };
  }
  try {
    const AsepriteImport result =
        importAseprite(std::string_view(reinterpret_cast<const char*>(data), size), options);
    checkCharacterText(result.characterText);
    for (const Message& w : result.warnings) {
      check(encoding::isValidUtf8(messageText(w)));
    }
  } catch (const Error& e) {
    check(!e.text().empty() && encoding::isValidUtf8(e.text()));
  }
  return 0;
}
