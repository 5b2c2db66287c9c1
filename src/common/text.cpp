#include "common/text.h"

namespace patapata::text {

namespace {
bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

std::string_view trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string_view token(std::string_view s) {
  const std::size_t end = s.find_first_of(" \t");
  return end == std::string_view::npos ? s : s.substr(0, end);
}

std::string_view afterToken(std::string_view s) {
  const std::size_t end = s.find_first_of(" \t");
  return end == std::string_view::npos ? std::string_view{} : s.substr(end + 1);
}

std::string_view copy(std::string_view s, int64_t index, int64_t count) {
  if (index < 1) index = 1;
  if (count <= 0 || index > static_cast<int64_t>(s.size())) return {};
  const auto start = static_cast<std::size_t>(index - 1);
  return s.substr(start, static_cast<std::size_t>(count));
}

std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool startsWithKeyword(std::string_view s, std::string_view keyword) {
  if (s.size() < keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    char c = s[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

std::string numberRuns(std::span<const int32_t> ascending, std::string_view dash) {
  std::string out;
  for (std::size_t i = 0; i < ascending.size();) {
    std::size_t j = i;
    while (j + 1 < ascending.size() && ascending[j + 1] == ascending[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += std::to_string(ascending[i]);
    if (j > i + 1) out += std::string(dash) + std::to_string(ascending[j]);
    if (j == i + 1) out += ", " + std::to_string(ascending[j]);
    i = j + 1;
  }
  return out;
}

}  // namespace patapata::text
