#include "common/message.h"

#include "common/translatable.h"

#include <cstddef>
#include <iterator>

namespace patapata {

namespace {

struct MessageText {
  MessageId id;
  const char* context;
  const char* text;
};

constexpr const char* kErrors = "Messages";
constexpr const char* kLint = "Lint";

// In the order of MessageId; a check below keeps it so.
constexpr MessageText kTexts[] = {
    {MessageId::NotANumber, kErrors, TRANSLATABLE("Messages", "'%1' は数値ではありません")},
    {MessageId::CannotOpenFile, kErrors, TRANSLATABLE("Messages", "ファイル %1 は開けません")},
    {MessageId::FileTooLarge, kErrors, TRANSLATABLE("Messages", "%1 を読み込めません")},
    {MessageId::UnicodeText, kErrors,
     TRANSLATABLE("Messages",
                  "%1 のテキストは読めません。Shift-JIS か UTF-8 で保存し直してください")},
    {MessageId::LibraryMissing, kErrors, TRANSLATABLE("Messages", "DDraw.dll を読み込めません")},
    {MessageId::CannotInitializeDisplay, kErrors,
     TRANSLATABLE("Messages", "DirectDraw を初期化できません")},
    {MessageId::NeedsDirectX6, kErrors, TRANSLATABLE("Messages", "DirectX 6 以降が必要です")},
    {MessageId::UnknownExtension, kErrors,
     TRANSLATABLE("Messages", "拡張子 .%1 の画像形式は処理できません")},
    {MessageId::InvalidBitmap, kErrors, TRANSLATABLE("Messages", "ビットマップイメージが不正です")},
    {MessageId::StreamReadError, kErrors,
     TRANSLATABLE("Messages", "ストリームからの読み込みエラー")},
    {MessageId::InvalidDib, kErrors, TRANSLATABLE("Messages", "不正な DIB です")},
    {MessageId::InvalidBitCount, kErrors, TRANSLATABLE("Messages", "不正なビット数です (%1)")},
    {MessageId::InvalidPixelFormat, kErrors,
     TRANSLATABLE("Messages", "不正なピクセルフォーマットです")},
    {MessageId::CannotCreateSurface, kErrors,
     TRANSLATABLE("Messages", "サーフェース を作成できません")},
    {MessageId::CannotCreatePrimarySurface, kErrors,
     TRANSLATABLE("Messages", "プライマリサーフェース を作成できません")},
    {MessageId::SurfaceNotCreated, kErrors,
     TRANSLATABLE("Messages", "IDirectDrawSurface は作成されていません")},
    {MessageId::CannotDrawOnCanvas, kErrors,
     TRANSLATABLE("Messages", "Canvas に対する描画ができません")},
    {MessageId::FormNotFound, kErrors, TRANSLATABLE("Messages", "フォームが見つかりません")},

    {MessageId::ByteOrderMark, kLint,
     TRANSLATABLE("Lint",
                  "the file begins with a UTF-8 byte-order mark, so its first line, '%1', does "
                  "not begin with '#' and is ignored (save the file as UTF-8 without a BOM)")},
    {MessageId::IndentedLine, kLint,
     TRANSLATABLE("Lint",
                  "the line is indented, so it is ignored: '%1' (a keyword or cel line must "
                  "begin at the first character)")},
    {MessageId::MisspeltKeyword, kLint,
     TRANSLATABLE("Lint", "'%1' is no keyword, so the line is ignored (%2?)")},
    {MessageId::NameCutAtBlank, kLint,
     TRANSLATABLE("Lint",
                  "the name is cut at the first blank: '%1' is shown, '%2' is left out (a "
                  "full-width space keeps the name whole)")},
    {MessageId::IntervalNotPositive, kLint,
     TRANSLATABLE("Lint",
                  "the frame interval %1 is not positive: the viewer then draws frames as fast "
                  "as it can and keeps a processor busy (#ANIME gives the milliseconds per "
                  "frame, e.g. #ANIME 100)")},
    {MessageId::NumberingBlanks, kLint,
     TRANSLATABLE("Lint", "#DATA 16 has no effect: at most two blanks may stand before the 16")},
    {MessageId::NumberingNot16, kLint,
     TRANSLATABLE("Lint", "#DATA '%1' has no effect: only 16 switches cel numbers to hexadecimal")},
    {MessageId::SheetNameMissing, kLint,
     TRANSLATABLE("Lint",
                  "#CHARBMP names no picture (write the sheet's file name after it, e.g. "
                  "#CHARBMP chara.bmp)")},
    {MessageId::SheetNameBlank, kLint,
     TRANSLATABLE("Lint",
                  "the sheet name '%1' has a blank: the reader looks for '%2' only (rename the "
                  "picture without blanks, and this line with it)")},
    {MessageId::SecondSheet, kLint,
     TRANSLATABLE("Lint",
                  "a second #CHARBMP (the first is on line %1): the viewer keeps one sheet, so "
                  "'%2' replaces '%3' for every cel")},
    {MessageId::ThreeDigitsHexHint, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has three digits, but only two are read: the line "
                  "defines cel %2 at x %3, y %4, width %5, height %6 (numbers above 99 need a "
                  "'#DATA 16' line first; from there on every cel number is two hexadecimal "
                  "digits, %1 being %7)")},
    {MessageId::ThreeDigitsHexHintNoValues, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has three digits, but only two are read: the line "
                  "defines cel %2 (numbers above 99 need a '#DATA 16' line first; from there "
                  "on every cel number is two hexadecimal digits, %1 being %3)")},
    {MessageId::ThreeDigitsTooLarge, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has three digits, but only two are read: the line "
                  "defines cel %2 at x %3, y %4, width %5, height %6 (cels go up to 255)")},
    {MessageId::ThreeDigitsTooLargeNoValues, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has three digits, but only two are read: the line "
                  "defines cel %2 (cels go up to 255)")},
    {MessageId::ManyDigitsHexHint, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has %2 digits, but only two are read: the line defines "
                  "cel %3 at x %4, y %5, width %6, height %7 (numbers above 99 need a '#DATA "
                  "16' line first; from there on every cel number is two hexadecimal digits, "
                  "%1 being %8)")},
    {MessageId::ManyDigitsHexHintNoValues, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has %2 digits, but only two are read: the line defines "
                  "cel %3 (numbers above 99 need a '#DATA 16' line first; from there on every "
                  "cel number is two hexadecimal digits, %1 being %4)")},
    {MessageId::ManyDigitsTooLarge, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has %2 digits, but only two are read: the line defines "
                  "cel %3 at x %4, y %5, width %6, height %7 (cels go up to 255)")},
    {MessageId::ManyDigitsTooLargeNoValues, kLint,
     TRANSLATABLE("Lint",
                  "the cel number '%1' has %2 digits, but only two are read: the line defines "
                  "cel %3 (cels go up to 255)")},
    {MessageId::BlankAfterHash, kLint,
     TRANSLATABLE("Lint",
                  "a blank stands between '#' and the cel number, so the line is ignored "
                  "(write the number right after the '#')")},
    {MessageId::CelNumberOutOfRange, kLint,
     TRANSLATABLE("Lint",
                  "cel %1 cannot be stored, so the line is ignored (cels are numbered 1 to 255)")},
    {MessageId::HexCelNumberBeforeNumbering, kLint,
     TRANSLATABLE("Lint",
                  "'%1' is no decimal cel number, so the line is ignored (hexadecimal cel "
                  "numbers need a '#DATA 16' line before them)")},
    {MessageId::NoCelLine, kLint,
     TRANSLATABLE("Lint",
                  "'%1' is no cel line, so it is ignored (after the '#' come the cel number, "
                  "then x, y, width and height, each after a blank)")},
    {MessageId::HexCelZero, kLint,
     TRANSLATABLE("Lint",
                  "cel 00 cannot be stored, so the line is ignored (cels are numbered 01 to FF)")},
    {MessageId::HexCelNumberOneDigit, kLint,
     TRANSLATABLE("Lint",
                  "after #DATA 16 a cel number is two hexadecimal digits, so '%1' is ignored "
                  "with its line (write #0%1)")},
    {MessageId::HexCelNumberWidth, kLint,
     TRANSLATABLE("Lint",
                  "after #DATA 16 a cel number is two hexadecimal digits, so '%1' is ignored "
                  "with its line (cels are numbered 01 to FF)")},
    {MessageId::CelDefinedAgain, kLint,
     TRANSLATABLE("Lint",
                  "cel %1 is defined again (the first is on line %2): this line replaces it")},
    {MessageId::StateOutOfTables, kLint,
     TRANSLATABLE("Lint", "%1 of state %2, which lies outside 0..30: the line is ignored")},
    {MessageId::StateThirty, kLint,
     TRANSLATABLE("Lint",
                  "no button plays state 30 from the file: the pattern check button (%1) plays "
                  "the sequences typed in the window instead (only --render and --export play "
                  "this row)")},
    {MessageId::StateLightsOtherButton, kLint,
     TRANSLATABLE("Lint",
                  "no button plays state %1: this row lights up the %2 button, but that button "
                  "plays state %3 (its row is #PATERN %4)")},
    {MessageId::StateZero, kLint,
     TRANSLATABLE("Lint",
                  "no button plays state 0: the viewer falls back to it only when a state ends "
                  "with no base state to return to (the states with buttons are %1)")},
    {MessageId::StateWithoutButton, kLint,
     TRANSLATABLE("Lint",
                  "no button plays state %1, so the window does not show this row (the states "
                  "with buttons are %2)")},
    {MessageId::PatternWithoutSequence, kLint,
     TRANSLATABLE("Lint",
                  "#PATERN of state %1 has no sequence, so the state shows cel 1 alone (the "
                  "cels follow the state number, two hexadecimal digits each)")},
    {MessageId::LayerWithoutSequence, kLint,
     TRANSLATABLE("Lint",
                  "#LAYER of state %1 has no sequence, so no layer is drawn (the cels follow "
                  "the state number, two hexadecimal digits each)")},
    {MessageId::PatternSplit, kLint,
     TRANSLATABLE("Lint",
                  "blanks split the pattern sequence: only '%1' is read, '%2' is ignored (write "
                  "the entries without blanks)")},
    {MessageId::PatternSplitJoined, kLint,
     TRANSLATABLE("Lint",
                  "blanks split the pattern sequence: only '%1' is read, '%2' is ignored (write "
                  "the entries without blanks: %3)")},
    {MessageId::LayerDestinationEmpty, kLint,
     TRANSLATABLE("Lint",
                  "two blanks stand between the layer and the destination sequence, so the "
                  "destination is read as empty and the layer is never drawn (separate them by "
                  "one blank)")},
    {MessageId::LayerWithoutDestination, kLint,
     TRANSLATABLE("Lint",
                  "the layer has no destination sequence, so it is never drawn (after the "
                  "layer sequence and one blank come the cels whose places the layer cels go "
                  "to)")},
    {MessageId::LayerSequencesSplit, kLint,
     TRANSLATABLE("Lint",
                  "blanks split the sequences: the layer is read as '%1' and the destination "
                  "as '%2', '%3' is ignored (one blank between the layer and the destination "
                  "sequence, none inside them)")},
    {MessageId::DestinationShorterOneEntryOneFrame, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is shorter than the layer, 1 entry against %1: "
                  "frame %2 has no destination, so its layer cel is not drawn")},
    {MessageId::DestinationShorterOneEntryFrames, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is shorter than the layer, 1 entry against %1: "
                  "frames %2–%3 have no destination, so their layer cels are not drawn")},
    {MessageId::DestinationShorterOneFrame, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is shorter than the layer, %1 entries against %2: "
                  "frame %3 has no destination, so its layer cel is not drawn")},
    {MessageId::DestinationShorterFrames, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is shorter than the layer, %1 entries against %2: "
                  "frames %3–%4 have no destination, so their layer cels are not drawn")},
    {MessageId::DestinationLongerOneEntry, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is longer than the layer, 1 entry against %1: its "
                  "last entry is never used")},
    {MessageId::DestinationLongerOneUnused, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is longer than the layer, %1 entries against %2: "
                  "its last entry is never used")},
    {MessageId::DestinationLongerUnused, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence is longer than the layer, %1 entries against %2: "
                  "its last %3 are never used")},
    {MessageId::SecondRowReplaces, kLint,
     TRANSLATABLE("Lint",
                  "a second %1 for state %2 (the first is on line %3) replaces the first (keep "
                  "one line per state)")},
    {MessageId::SecondRowPartlyPattern, kLint,
     TRANSLATABLE("Lint",
                  "a second %1 for state %2 (the first is on line %3) is shorter and replaces "
                  "only the start of it: state %2 plays %4 (keep one line per state)")},
    {MessageId::SecondRowPartlyLayer, kLint,
     TRANSLATABLE("Lint",
                  "a second %1 for state %2 (the first is on line %3) is shorter and replaces "
                  "only the start of it: the layer plays %4, the destination %5 (keep one line "
                  "per state)")},
    {MessageId::PatternOddLength, kLint,
     TRANSLATABLE("Lint",
                  "the pattern sequence has an odd length (%1 characters): its last character "
                  "'%2' is ignored")},
    {MessageId::LayerOddLength, kLint,
     TRANSLATABLE("Lint",
                  "the layer sequence has an odd length (%1 characters): its last character "
                  "'%2' is ignored")},
    {MessageId::DestinationOddLength, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence has an odd length (%1 characters): its last "
                  "character '%2' is ignored")},
    {MessageId::PatternTooLong, kLint,
     TRANSLATABLE("Lint", "the pattern sequence has %1 entries: only the first 255 are stored")},
    {MessageId::LayerTooLong, kLint,
     TRANSLATABLE("Lint", "the layer sequence has %1 entries: only the first 255 are stored")},
    {MessageId::DestinationTooLong, kLint,
     TRANSLATABLE("Lint",
                  "the destination sequence has %1 entries: only the first 255 are stored")},
    {MessageId::CelUndefined, kLint,
     TRANSLATABLE("Lint", "cel %1 is used, but no cel line defines it")},
    {MessageId::CelOutsideSheet, kLint,
     TRANSLATABLE("Lint", "cel %1 (%2, %3, %4 × %5) does not lie within the sheet (%6 × %7)")},
    {MessageId::LayerShorterOneEntryOneFrame, kLint,
     TRANSLATABLE("Lint",
                  "the layer of state %1 is shorter than its pattern, 1 entry against %2: "
                  "frame %3 shows no layer cel (give both as many entries)")},
    {MessageId::LayerShorterOneEntryFrames, kLint,
     TRANSLATABLE("Lint",
                  "the layer of state %1 is shorter than its pattern, 1 entry against %2: "
                  "frames %3–%4 show no layer cel (give both as many entries)")},
    {MessageId::LayerShorterOneFrame, kLint,
     TRANSLATABLE("Lint",
                  "the layer of state %1 is shorter than its pattern, %2 entries against %3: "
                  "frame %4 shows no layer cel (give both as many entries)")},
    {MessageId::LayerShorterFrames, kLint,
     TRANSLATABLE("Lint",
                  "the layer of state %1 is shorter than its pattern, %2 entries against %3: "
                  "frames %4–%5 show no layer cel (give both as many entries)")},
    {MessageId::LayerLongerOneFrame, kLint,
     TRANSLATABLE("Lint",
                  "the layer of state %1 is longer than its pattern, %2 entries against %3: "
                  "the state plays %2 frames, and frame %4 shows no pattern cel (give both as "
                  "many entries)")},
    {MessageId::LayerLongerFrames, kLint,
     TRANSLATABLE("Lint",
                  "the layer of state %1 is longer than its pattern, %2 entries against %3: "
                  "the state plays %2 frames, and frames %4–%5 show no pattern cel (give both "
                  "as many entries)")},
    {MessageId::NoSheetLine, kLint,
     TRANSLATABLE("Lint",
                  "no #CHARBMP line names the sprite sheet, so the cels have no picture and the "
                  "view stays black, or keeps the sheet of the file shown before (add a line "
                  "such as #CHARBMP chara.bmp)")},
};

constexpr bool inIdOrder() {
  for (std::size_t i = 0; i < std::size(kTexts); ++i) {
    if (static_cast<std::size_t>(kTexts[i].id) != i) return false;
  }
  return static_cast<std::size_t>(MessageId::NoSheetLine) + 1 == std::size(kTexts);
}
static_assert(inIdOrder(), "kTexts lists every MessageId once, in order");

const MessageText& entry(MessageId id) {
  return kTexts[static_cast<std::size_t>(id)];
}

}  // namespace

const char* messageContext(MessageId id) {
  return entry(id).context;
}

const char* messageSource(MessageId id) {
  return entry(id).text;
}

std::string fillArguments(std::string_view pattern, const std::vector<std::string>& arguments) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
      if (index < arguments.size()) {
        out += arguments[index];
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::string messageText(const Message& message) {
  return fillArguments(messageSource(message.id), message.arguments);
}

}  // namespace patapata
