#include "common/code_page_932.h"

#include <gtest/gtest.h>

namespace patapata::code_page_932 {
namespace {

// The same table in both builds: the desktop's iconv and the browser build's TextDecoder must
// agree on Windows' extensions, on what is no character, and on ASCII.
TEST(CodePage932, DecodesAsWindowsDoes) {
  const struct {
    const char* name;
    std::string_view bytes;
    std::string_view utf8;
  } cases[] = {
      // Node's decoder swaps these control codes; the file's bytes must stay as they are.
      {"ASCII control codes", "\x1A\x1C\x7F", "\x1A\x1C\x7F"},
      {"backslash and tilde stay ASCII", "\\~", "\\~"},
      {"half-width katakana", "\xB1\xDF", "ｱﾟ"},
      {"NEC's row 13", "\x87\x40", "①"},
      {"IBM's extensions", "\xFA\x40", "ⅰ"},
      {"NEC's selection of IBM's extensions", "\xEE\xEF", "ⅰ"},
      {"the user-defined area", "\xF0\x40", "\xEE\x80\x80"},
      {"fullwidth forms where JIS has others", "\x81\x5F\x81\x60\x81\x7C", "＼～－"},
      // A text's lead bytes are looked up each in its own row, whatever their order.
      {"several lead bytes in one text", "\xFC\x4B\x82\xA0\x88\x9F\xB1", "黑あ亜ｱ"},
      {"the first and last lead and trail bytes", "\x81\x40\x81\xFC\xFC\x40", "\u3000◯髜"},
      // One replacement per byte at which nothing decodes, then the next byte.
      {"bytes that start nothing", "\x80\xA0\xFD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"a lead byte before ASCII", "\x81\x39",
       "\xEF\xBF\xBD"
       "9"},
      {"an unassigned cell", "\x85\x40", "\xEF\xBF\xBD@"},
      {"a lead byte at the end", "a\x83", "a\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decode(c.bytes), c.utf8);
  }
}

TEST(CodePage932, EncodesAsWindowsDoes) {
  const struct {
    const char* name;
    std::string_view utf8;
    std::string_view bytes;
  } cases[] = {
      // Of a character's two or three sequences, the one Windows writes.
      {"IBM's extensions before NEC's selection", "ⅰ", "\xFA\x40"},
      {"NEC's row 13 before IBM's", "Ⅰ", "\x87\x54"},
      {"JIS row 2 before NEC's row 13 and IBM's", "∵", "\x81\xE6"},
      {"JIS row 2 before IBM's", "￢", "\x81\xCA"},
      {"half-width katakana", "ｱ", "\xB1"},
      {"the user-defined area", "\xEE\x80\x80", "\xF0\x40"},
      // Characters whose JIS X 0208 cell code page 932 reads as another code point.
      {"yen sign", "¥", "\\"},
      {"em dash", "—", "\x81\x5C"},
      {"wave dash", "〜", "\x81\x60"},
      {"fullwidth tilde", "～", "\x81\x60"},
      {"no form: kept", "é", "é"},
      {"no form outside the BMP: kept", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"a tag character: dropped", "\xF3\xA0\x81\x81", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(encodeCharacter(c.utf8), c.bytes);
  }
}

}  // namespace
}  // namespace patapata::code_page_932
