#pragma once

#include "common/message.h"

#include <QString>

#include <string_view>

// The window shows texts that the core composes in its own words: the system's messages, the
// state captions, the defaults of its labels. Here they meet Qt's translation system; the core's
// tables are their one source.
namespace patapata::translated {

/// A caption of the core (a state caption, a label's default), in the window's language.
QString coreText(std::string_view utf8);

/// A state button's caption from the state table, in the window's language.
QString buttonText(std::string_view utf8);

/// One of the system's messages, in the window's language, with what was put into it.
QString message(const Message& message);

}  // namespace patapata::translated
