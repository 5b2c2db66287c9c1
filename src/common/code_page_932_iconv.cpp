#include "common/code_page_932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace patapata::code_page_932 {

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

}  // namespace

std::string decode(std::string_view bytes) {
  return convert(bytes, "UTF-8", "CP932", "\xEF\xBF\xBD", 1);
}

std::string encodeCharacter(std::string_view character) {
  return convert(character, "CP932", "UTF-8", {}, character.size());
}

}  // namespace patapata::code_page_932
