#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

/// Everything the system says, by identity. Each has one text, in the table of message.cpp:
/// the errors in Japanese, as the system has always said them, the character file check's
/// warnings in English. The batch modes print those texts; the window translates them.
enum class MessageId : uint8_t {
  // Errors.
  NotANumber,
  CannotOpenFile,
  FileTooLarge,
  UnicodeText,
  LibraryMissing,
  CannotInitializeDisplay,
  NeedsDirectX6,
  UnknownExtension,
  InvalidBitmap,
  StreamReadError,
  InvalidDib,
  InvalidBitCount,
  InvalidPixelFormat,
  CannotCreateSurface,
  CannotCreatePrimarySurface,
  SurfaceNotCreated,
  CannotDrawOnCanvas,
  FormNotFound,
  // What the check finds in a character file: legal, but probably a mistake.
  ByteOrderMark,
  IndentedLine,
  MisspeltKeyword,
  NameCutAtBlank,
  IntervalNotPositive,
  NumberingBlanks,
  NumberingNot16,
  SheetNameMissing,
  SheetNameBlank,
  SecondSheet,
  ThreeDigitsHexHint,
  ThreeDigitsHexHintNoValues,
  ThreeDigitsTooLarge,
  ThreeDigitsTooLargeNoValues,
  ManyDigitsHexHint,
  ManyDigitsHexHintNoValues,
  ManyDigitsTooLarge,
  ManyDigitsTooLargeNoValues,
  BlankAfterHash,
  CelNumberOutOfRange,
  HexCelNumberBeforeNumbering,
  NoCelLine,
  HexCelZero,
  HexCelNumberOneDigit,
  HexCelNumberWidth,
  CelDefinedAgain,
  StateOutOfTables,
  StateThirty,
  StateLightsOtherButton,
  StateZero,
  StateWithoutButton,
  PatternWithoutSequence,
  LayerWithoutSequence,
  PatternSplit,
  PatternSplitJoined,
  LayerDestinationEmpty,
  LayerWithoutDestination,
  LayerSequencesSplit,
  DestinationShorterOneEntryOneFrame,
  DestinationShorterOneEntryFrames,
  DestinationShorterOneFrame,
  DestinationShorterFrames,
  DestinationLongerOneEntry,
  DestinationLongerOneUnused,
  DestinationLongerUnused,
  SecondRowReplaces,
  SecondRowPartlyPattern,
  SecondRowPartlyLayer,
  PatternOddLength,
  LayerOddLength,
  DestinationOddLength,
  PatternTooLong,
  LayerTooLong,
  DestinationTooLong,
  CelUndefined,
  CelOutsideSheet,
  LayerShorterOneEntryOneFrame,
  LayerShorterOneEntryFrames,
  LayerShorterOneFrame,
  LayerShorterFrames,
  LayerLongerOneFrame,
  LayerLongerFrames,
  NoSheetLine,
};

/// A message as the system says it: what (the identifier) and what is put into its text, in
/// the order of the text's %1, %2, ... Arguments are UTF-8 text, ready to be shown.
struct Message {
  MessageId id;
  std::vector<std::string> arguments;

  friend bool operator==(const Message&, const Message&) = default;
};

/// The translation context of the message's text: "Messages" for errors, "Lint" for warnings.
const char* messageContext(MessageId id);
/// The message's own text, with %1, %2, ... where its arguments go.
const char* messageSource(MessageId id);
/// The message's text with its arguments put in, in the system's own words.
std::string messageText(const Message& message);

/// Puts `arguments` into `pattern` at %1 .. %9, in one pass: an argument's own "%1" stays as
/// it is.
std::string fillArguments(std::string_view pattern, const std::vector<std::string>& arguments);

}  // namespace patapata
