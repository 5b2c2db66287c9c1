#pragma once

#include <string>
#include <string_view>

// Conversion of file text for display. Files hold byte strings, written on Windows in
// Shift-JIS or on newer systems in UTF-8.
namespace patapata::encoding {

/// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

/// UTF-8 for display: valid UTF-8 is kept as it is, anything else is decoded as Shift-JIS
/// (code page 932); bytes that decode to nothing become U+FFFD.
std::string toDisplayText(std::string_view bytes);

/// Shift-JIS bytes of UTF-8 text, for text typed by the user that the viewer measures in
/// bytes; characters code page 932 lacks are kept as their UTF-8 bytes.
std::string toShiftJis(std::string_view utf8);

/// Appends the UTF-8 bytes of the code point `code`, which must be a scalar value.
void appendUtf8(std::string& out, char32_t code);

}  // namespace patapata::encoding
