#pragma once

#include <QString>

#include <string_view>

// The window shows texts that the core composes in Japanese: the system's messages, the state
// captions, the defaults of its labels. Here they meet Qt's translation system.
namespace patapata::translated {

/// A text the core shows as it is (a caption, a default label), in the window's language; any
/// other text (a character's name, say) as it stands. UTF-8 in.
QString coreText(std::string_view utf8);

/// A state button's caption from the state table, in the window's language.
QString buttonText(std::string_view utf8);

/// One of the system's messages, in the window's language: the message's pattern is found and
/// translated, and what was put into it (a path, a number, a name) is kept. A message that
/// matches no pattern is shown as it stands.
QString message(std::string_view utf8);

/// Every text `coreText`, `buttonText` and `message` know, as their translation context and source
/// text: checked against the core's tables by the tests.
struct Source {
  const char* context;
  const char* text;
};
const Source* sourcesBegin();
const Source* sourcesEnd();

}  // namespace patapata::translated
