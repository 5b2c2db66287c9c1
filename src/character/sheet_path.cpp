#include "character/sheet_path.h"

#include "common/encoding.h"
#include "common/text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace patapata {

namespace {

namespace fs = std::filesystem;

bool exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::path(path), ec) && !ec;
}

// Changes each single byte of a sheet name with `change`. In a Shift-JIS name the byte after
// a lead byte belongs to a double-byte character and may look like a letter or a "\" (5C), so
// it is kept; a UTF-8 name has no ASCII bytes inside its characters and is changed throughout.
template <typename Change>
std::string changeSingleBytes(std::string_view name, Change change) {
  const bool shiftJis = !encoding::isValidUtf8(name);
  std::string out(name);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (shiftJis && text::isShiftJisLeadByte(b)) {
      ++i;
      continue;
    }
    out[i] = static_cast<char>(change(b));
  }
  return out;
}

// Folds a–z for comparison.
std::string foldCase(std::string_view name) {
  return changeSingleBytes(name, [](unsigned char b) {
    return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 'a' + 'A') : b;
  });
}

// The entry of `folder` whose name equals `name` without regard to case, or empty.
std::string findIgnoringCase(const std::string& folder, std::string_view name) {
  const std::string wanted = foldCase(name);
  std::vector<std::string> matches;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
  if (ec) return {};
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::string entry = it->path().filename().string();
    if (foldCase(entry) == wanted) matches.push_back(std::move(entry));
  }
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string characterDirectory(std::string_view characterFile) {
  const std::size_t slash = characterFile.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(characterFile.substr(0, slash + 1));
}

std::string sheetNameAsPath(std::string_view sheetName) {
  return changeSingleBytes(
      sheetName, [](unsigned char b) { return b == '\\' ? static_cast<unsigned char>('/') : b; });
}

std::string composeSheetPath(std::string_view characterFile, std::string_view sheetName) {
  return characterDirectory(characterFile) + sheetNameAsPath(sheetName);
}

std::string matchPathIgnoringCase(const std::string& path) {
  if (path.empty() || exists(path)) return path;
  std::string matched;
  std::size_t start = 0;
  if (path.front() == '/') {
    matched = "/";
    start = 1;
  }
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view component = std::string_view(path).substr(start, end - start);
    const bool last = end == path.size();
    // Empty, "." and ".." components, and those that exist as written, are kept.
    if (component.empty() || component == "." || component == ".." ||
        exists(matched + std::string(component))) {
      matched += component;
    } else {
      const std::string found = findIgnoringCase(matched, component);
      if (found.empty()) return path;
      matched += found;
    }
    if (last) break;
    matched += '/';
    start = end + 1;
  }
  return exists(matched) ? matched : path;
}

std::string resolveSheetPath(std::string_view characterFile, std::string_view sheetName) {
  std::string path = matchPathIgnoringCase(composeSheetPath(characterFile, sheetName));
  if (exists(path) || encoding::isValidUtf8(sheetName)) return path;
  // A name written in Shift-JIS, on a disk that stores names in UTF-8. The separators are
  // found in the Shift-JIS bytes, where a trail byte may look like "\".
  const std::string utf8Name = encoding::toDisplayText(sheetNameAsPath(sheetName));
  std::string converted = matchPathIgnoringCase(characterDirectory(characterFile) + utf8Name);
  return exists(converted) ? converted : path;
}

}  // namespace patapata
