#pragma once

#include "common/errors.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The Aseprite importer's warnings and errors, kept as an identifier and its arguments so that
// a front end can show them in another language; the English text is one table below.
namespace patapata {

enum class AsepriteMessageId : uint8_t {
  // Errors.
  JsonUnreadable,
  JsonTooLarge,
  JsonMalformed,
  NotASheetDescription,
  MissingKey,
  NotAnObject,
  NotAnArray,
  NotAString,
  NotAWholeNumber,
  NotANumber,
  NotABoolean,
  FramesNotObjectOrArray,
  NoFrames,
  OutOfRange,
  EmptyImageName,
  SheetNameHasBlank,
  SheetNameHasControl,
  SheetNotRelative,
  TrimmedFrame,
  RotatedFrame,
  TooManyCels,
  TagEndsBeforeStart,
  UnknownDirection,
  BadRepeat,
  BadMapping,
  BadInterval,
  // Warnings.
  UnknownTag,
  DuplicateState,
  MappingUnused,
  NoStates,
  DurationRounded,
  SequenceCut,
  FrameLargerThanView,
  SheetMissing,
  SheetExtension,
  NameBlanksReplaced,
};

/// A warning or error: what it is and the texts that fill its %1, %2, ... in order.
struct AsepriteMessage {
  AsepriteMessageId id;
  std::vector<std::string> args;

  friend bool operator==(const AsepriteMessage&, const AsepriteMessage&) = default;
};

struct AsepriteMessageText {
  AsepriteMessageId id;
  const char* english;  ///< %1, %2, ... stand for the arguments
};

/// Every message in English, in the order of the identifiers.
inline constexpr std::array<AsepriteMessageText, 36> kAsepriteMessages{{
    {AsepriteMessageId::JsonUnreadable, "The JSON file '%1' cannot be read"},
    {AsepriteMessageId::JsonTooLarge,
     "The JSON file '%1' is larger than %2 bytes, too large for a sprite-sheet description"},
    {AsepriteMessageId::JsonMalformed, "The text is not valid JSON: %1"},
    {AsepriteMessageId::NotASheetDescription,
     "The JSON text should be an object holding frames and meta, not %1"},
    {AsepriteMessageId::MissingKey, "%1 is missing"},
    {AsepriteMessageId::NotAnObject, "%1 should be an object {...}, not %2"},
    {AsepriteMessageId::NotAnArray, "%1 should be an array [...], not %2"},
    {AsepriteMessageId::NotAString, "%1 should be a string, not %2"},
    {AsepriteMessageId::NotAWholeNumber, "%1 should be a whole number, not %2"},
    {AsepriteMessageId::NotANumber, "%1 should be a number, not %2"},
    {AsepriteMessageId::NotABoolean, "%1 should be true or false, not %2"},
    {AsepriteMessageId::FramesNotObjectOrArray,
     "frames should be an object keyed by file name or an array of frames, not %1"},
    {AsepriteMessageId::NoFrames, "frames holds no frame"},
    {AsepriteMessageId::OutOfRange, "%1 is %2, but must lie between %3 and %4"},
    {AsepriteMessageId::EmptyImageName, "%1, the sheet picture's file name, is empty"},
    {AsepriteMessageId::SheetNameHasBlank,
     "The sheet's path '%1' holds a blank, where a character file's sheet name ends; rename the "
     "picture or its folder"},
    {AsepriteMessageId::SheetNameHasControl,
     "The sheet's path '%1' holds a control character; rename the picture"},
    {AsepriteMessageId::SheetNotRelative,
     "The sheet '%1' cannot be named relative to the folder '%2', where the character file goes"},
    {AsepriteMessageId::TrimmedFrame,
     "%1 is trimmed (spriteSourceSize is not the whole sourceSize); export the sheet untrimmed, "
     "since a pattern cel is drawn at the view's top-left corner"},
    {AsepriteMessageId::RotatedFrame,
     "%1 is rotated; export the sheet without rotation, since cels are copied as they lie"},
    {AsepriteMessageId::TooManyCels,
     "The sheet has %1 different frame rectangles, but a character file holds at most %2 (cels 2 "
     "to 255; cel 1 is the view's background)"},
    {AsepriteMessageId::TagEndsBeforeStart, "%1 is %2, before the tag's first frame %3"},
    {AsepriteMessageId::UnknownDirection,
     "%1 is %2, not forward, reverse, pingpong or pingpong_reverse"},
    {AsepriteMessageId::BadRepeat, "%1 is %2, not a count of repetitions"},
    {AsepriteMessageId::BadMapping,
     "The mapping '%1' is not TAG=STATE with a state number 0 to 30 or a state's name"},
    {AsepriteMessageId::BadInterval, "The frame interval %1 ms must lie between %2 and %3"},
    {AsepriteMessageId::UnknownTag,
     "The tag '%1' names no state and is left out (map it with TAG=STATE)"},
    {AsepriteMessageId::DuplicateState,
     "The tag '%1' gives state %2, which the tag '%3' already gives; the first is kept"},
    {AsepriteMessageId::MappingUnused, "No tag is named '%1'; the mapping '%1=%2' is not used"},
    {AsepriteMessageId::NoStates, "No tag gives a state, so the character plays nothing"},
    {AsepriteMessageId::DurationRounded, "%1 lasts %2 ms but plays as %3 ms (%4 × %5 ms)"},
    {AsepriteMessageId::SequenceCut, "State %1 has %2 frames; only the first %3 are kept"},
    {AsepriteMessageId::FrameLargerThanView,
     "%1 is %2 × %3 pixels, larger than the view's %4 × %5; the rest is not shown"},
    {AsepriteMessageId::SheetMissing, "The sheet '%1' does not exist (yet)"},
    {AsepriteMessageId::SheetExtension,
     "The sheet '%1' is not a .png, .bmp or .dib picture, which the viewer reads; convert it"},
    {AsepriteMessageId::NameBlanksReplaced,
     "The character name '%1' holds blanks, where a character file's name ends; it is "
     "written as '%2'"},
}};

/// The English pattern of a message.
std::string_view asepriteMessagePattern(AsepriteMessageId id);

/// A pattern with %1 .. %9 replaced by the arguments ("%%" gives "%"); a placeholder without
/// its argument is kept as it is.
std::string fillPlaceholders(std::string_view pattern, const std::vector<std::string>& args);

/// The English text of a message.
std::string formatAsepriteMessage(const AsepriteMessage& message);

/// Why an Aseprite sheet cannot be imported. `what()` is the English text.
class AsepriteImportError : public Exception {
 public:
  explicit AsepriteImportError(AsepriteMessage message)
      : Exception(formatAsepriteMessage(message)), detail_(std::move(message)) {}
  const AsepriteMessage& detail() const noexcept { return detail_; }

 private:
  AsepriteMessage detail_;
};

}  // namespace patapata
