#pragma once

#include "character/character.h"
#include "character/character_reader.h"
#include "common/message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

/// Something legal in a character file that is probably a mistake.
struct LintWarning {
  int32_t line = 0;  ///< counted from 1; 0 for something missing from the whole file
  Message message;   ///< what was found, what the reader did with it
  int32_t cel = 0;   ///< the cel whose rectangle is not drawn, for the sheet view; 0 for none

  friend bool operator==(const LintWarning&, const LintWarning&) = default;
};

/// Listens to a load for what the file does that its author probably did not mean: indented or
/// misspelt keywords; cel lines the reader drops or cuts (cel 0, hexadecimal numbers before
/// "#DATA 16", three decimal digits), a cel defined twice; states outside the tables or
/// without a button, a second row for a state, sequences split by blanks, of odd length, too
/// long, or with cels nobody defined; layers without destinations or of another length than
/// their pattern; a "#DATA" other than 16, a non-positive "#ANIME", names cut at a blank, a
/// second "#CHARBMP" or none at all, cels outside the sheet, a UTF-8 byte-order mark.
/// Only the lines the load reached are looked at.
///
/// Use: pass it to the reader as its observer, then call finish() once with the character the
/// load made, whether or not the load completed, then read warnings(). One lint per load.
class CharacterLint : public ReaderObserver {
 public:
  void lineRead(int32_t number, const grammar::Line& line) override;
  void entryStored(Sequence sequence, int32_t state, int32_t slot, std::string_view written,
                   int32_t cel) override;
  void celStored(int32_t cel) override;
  void lineDone(int32_t number, const grammar::Line& line) override;

  /// The checks that need the whole load, on the character it made; call once after it.
  /// `loadCompleted` false (the load stopped at an error) leaves out what the unread rest of
  /// the file might have given: the missing "#CHARBMP".
  void finish(const Character& character, bool loadCompleted = true);

  /// In line order.
  const std::vector<LintWarning>& warnings() const { return warnings_; }
  /// The cels the load's cel lines stored, each with the last line that stored it.
  const std::map<int32_t, int32_t>& definedCels() const { return definedCels_; }
  /// The last line the load started on: the failing line of a stopped load.
  int32_t lastLine() const { return lastLine_; }

 private:
  struct CelReference {
    int32_t line;
    int32_t cel;
    bool destination;  ///< a place in the view, not a part of the sheet
  };
  /// The entries stored so far for one state by "#PATERN" lines (pattern) or "#LAYER" lines
  /// (layer, destination), as written, and the line that stored them last.
  struct StoredRow {
    int32_t line = 0;
    std::array<std::vector<std::string>, 2> entries;
  };

  /// A file of a million faulty lines gets this many warnings and a count of the rest.
  static constexpr std::size_t kMostWarnings = 1000;
  void add(LintWarning warning);
  void warn(MessageId id, std::vector<std::string> arguments = {});
  void checkKeywordLine(const grammar::Line& line);
  void checkCelLine(const grammar::Line& line);
  void warnCelNumberDigits(const grammar::Line& line, int32_t cel);
  void checkSequenceLine(const grammar::Line& line);
  void checkState(int32_t state);
  void checkLayerSequences(std::string_view layer, std::string_view after);
  void checkSequence(Sequence sequence, std::string_view text);
  void checkRepeatedRow(const grammar::Line& line);
  void checkLayerLengths(const Character& character);

  std::vector<LintWarning> warnings_;
  std::map<int32_t, int32_t> definedCels_;
  std::vector<CelReference> references_;
  std::array<StoredRow, kStateCount> patternRows_{};
  std::array<StoredRow, kStateCount> layerRows_{};
  /// Entries the current line stored, per sequence.
  std::array<int32_t, 3> storedByLine_{};
  int32_t lastLine_ = 0;
  /// Warnings past the most listed, counted instead of kept.
  int64_t unlisted_ = 0;
  int32_t sheetLine_ = 0;          ///< the first "#CHARBMP" line, 0 while none was read
  std::string sheetName_;          ///< the name the last "#CHARBMP" line gave
  bool definesSomething_ = false;  ///< a cel, "#PATERN" or "#LAYER" line was read
};

/// The edit distance between two texts (insertions, deletions and replacements of bytes).
int32_t editDistance(std::string_view a, std::string_view b);

}  // namespace patapata
