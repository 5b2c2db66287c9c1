#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

/// Everything the system says, by identity: the errors, what the check finds in a character
/// file that is legal but probably a mistake, and what the importer of other tools' sheets says.
/// Each has one text, listed in message_texts.inc.
enum class MessageId : uint8_t {
#define PATAPATA_ERROR(id, text) id,
#define PATAPATA_LINT(id, text) id,
#define PATAPATA_IMPORT(id, text) id,
#include "common/message_texts.inc"
#undef PATAPATA_ERROR
#undef PATAPATA_LINT
#undef PATAPATA_IMPORT
};

/// A message as the system says it: what (the identifier) and what is put into its text, in
/// the order of the text's %1, %2, ... Arguments are UTF-8 text, ready to be shown.
struct Message {
  MessageId id;
  std::vector<std::string> arguments;

  friend bool operator==(const Message&, const Message&) = default;
};

/// The translation context of the message's text: "Messages" for errors, "Lint" for the check's
/// warnings, "Import" for the importer's errors and warnings.
const char* messageContext(MessageId id);
/// The message's own text, with %1, %2, ... where its arguments go.
const char* messageSource(MessageId id);
/// The message's text with its arguments put in, in the system's own words.
std::string messageText(const Message& message);

/// Puts `arguments` into `pattern` at %1 .. %9, in one pass: an argument's own "%1" stays as
/// it is.
std::string fillArguments(std::string_view pattern, const std::vector<std::string>& arguments);

}  // namespace patapata
