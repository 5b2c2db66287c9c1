#include "common/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace patapata::encoding {

namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle openConverter(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  // iconv_open reports failure as the handle (iconv_t)-1, which is no pointer to compare.
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;  // NOLINT(performance-no-int-to-ptr)
  return IconvHandle(cd);
}

// Converts one character at a time where a character fails, so one bad byte costs one
// replacement and not the rest of the text.
std::string convert(std::string_view in, const char* to, const char* from,
                    std::string_view replacement, std::size_t skipOnError) {
  IconvHandle cd = openConverter(to, from);
  if (!cd) return std::string(in);
  std::string out;
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char buffer[256];
  while (srcLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t rc = iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      const std::size_t skip = std::min(skipOnError, srcLeft);
      if (replacement.empty()) {
        out.append(src, skip);
      } else {
        out.append(replacement);
      }
      src += skip;
      srcLeft -= skip;
      iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

std::size_t utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t n = utf8SequenceLength(lead);
    if (n == 0 || i + n > bytes.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    if (n >= 3) {
      const auto second = static_cast<unsigned char>(bytes[i + 1]);
      if (lead == 0xE0 && second < 0xA0) return false;  // overlong
      if (lead == 0xED && second > 0x9F) return false;  // surrogates
      if (lead == 0xF0 && second < 0x90) return false;  // overlong
      if (lead == 0xF4 && second > 0x8F) return false;  // past U+10FFFF
    }
    i += n;
  }
  return true;
}

std::string toDisplayText(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  return convert(bytes, "UTF-8", "CP932", "\xEF\xBF\xBD", 1);
}

std::string toShiftJis(std::string_view utf8) {
  if (!isValidUtf8(utf8)) return std::string(utf8);
  std::string out;
  std::size_t i = 0;
  // Per character, so that a character without a Shift-JIS form keeps its own bytes.
  while (i < utf8.size()) {
    const std::size_t n = utf8SequenceLength(static_cast<unsigned char>(utf8[i]));
    const std::string_view ch = utf8.substr(i, n);
    if (n == 1) {
      out += ch;
    } else {
      const std::string converted = convert(ch, "CP932", "UTF-8", {}, n);
      out += converted.empty() ? std::string(ch) : converted;
    }
    i += n;
  }
  return out;
}

}  // namespace patapata::encoding
