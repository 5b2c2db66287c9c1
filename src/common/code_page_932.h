#pragma once

#include <string>
#include <string_view>

// Code page 932, Windows' Shift-JIS, as the platform converts it: the C library's iconv on the
// desktop, the page's TextDecoder in the browser (code_page_932_web.cpp), with the same
// results.
namespace patapata::code_page_932 {

/// UTF-8 of code page 932 bytes; each byte at which no character decodes becomes U+FFFD, and
/// decoding goes on at the next byte.
std::string decode(std::string_view bytes);

/// The code page 932 bytes of the one UTF-8 character `character` (of two bytes or more); its
/// own bytes when the code page has no form for it. Empty for a character the converter drops
/// (the tag characters U+E0000 to U+E007F).
std::string encodeCharacter(std::string_view character);

}  // namespace patapata::code_page_932
