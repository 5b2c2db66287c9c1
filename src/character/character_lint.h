#pragma once

#include "character/character_reader.h"
#include "character/state_table.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

struct ViewerState;

/// Something legal in a character file that is probably a mistake.
struct LintWarning {
  int32_t line = 0;     ///< counted from 1; 0 for something missing from the whole file
  std::string message;  ///< UTF-8, in English: what was found, what the reader did with it

  friend bool operator==(const LintWarning&, const LintWarning&) = default;
};

/// Watches a load for what the file does that its author probably did not mean: indented or
/// misspelt keywords; cel lines the reader drops or cuts (cel 0, hexadecimal numbers before
/// "#DATA 16", three decimal digits), a cel defined twice; states outside the tables or
/// without a button, a second row for a state, sequences split by blanks, of odd length, too
/// long, or with cels nobody defined; layers without destinations or of another length than
/// their pattern; a "#DATA" other than 16, a non-positive "#ANIME", names cut at a blank, a
/// second "#CHARBMP" or none at all, cels outside the sheet, a UTF-8 byte-order mark.
/// Only the lines the load reached are looked at.
///
/// Use: pass it to loadCharacterFile as the observer, then call finish() once with the state
/// the load left, whether or not the load completed, then read warnings(). One lint per load.
class CharacterLint : public ReaderObserver {
 public:
  void lineStarted(int32_t number, std::string_view line) override;
  void celDefined(int32_t cel) override;

  /// The checks that need the whole load, on the state the load left; call once after it.
  /// `loadCompleted` false (the load stopped at an error) leaves out what the unread rest of
  /// the file might have given: the missing "#CHARBMP".
  void finish(const ViewerState& viewer, bool loadCompleted = true);

  /// In line order.
  const std::vector<LintWarning>& warnings() const { return warnings_; }
  /// The cels the load's cel lines stored, each with the last line that stored it.
  const std::map<int32_t, int32_t>& definedCels() const { return definedCels_; }
  /// The last line the load started on: the failing line of a stopped load.
  int32_t lastLine() const { return lastLine_; }
  /// A "#CHARNAME" line was read.
  bool nameRead() const { return nameRead_; }

 private:
  struct CelReference {
    int32_t line;
    int32_t cel;
    bool destination;  ///< a place in the view, not a part of the sheet
  };
  /// The entries a "#PATERN" or "#LAYER" row of one state holds so far, as written.
  struct RowText {
    int32_t line = 0;  ///< the line that wrote the row last; 0 while none has
    std::array<std::string, 2> entries;
  };

  void warn(std::string message);
  void checkKeywordLine(std::string_view line);
  void checkCelLine(std::string_view line);
  void checkSequenceLine(std::string_view keyword, std::string_view rest, bool layer);
  void checkState(int32_t state);
  void checkLayerSequences(std::string_view layer, std::string_view after);
  void checkRepeatedRow(std::string_view keyword, int32_t state, RowText& row,
                        const std::array<std::string_view, 2>& entries, bool layer);
  void checkSequence(std::string_view what, std::string_view sequence, bool destination);
  void checkLayerLengths(const ViewerState& viewer);

  std::vector<LintWarning> warnings_;
  std::map<int32_t, int32_t> definedCels_;
  std::vector<CelReference> references_;
  std::array<RowText, kStateCount> patternRows_{};
  std::array<RowText, kStateCount> layerRows_{};
  int32_t lastLine_ = 0;
  int32_t sheetLine_ = 0;  ///< the first "#CHARBMP" line, 0 while none was read
  std::string sheetName_;  ///< the name the last "#CHARBMP" line gave
  bool nameRead_ = false;
  bool hexCelNumbers_ = false;
  bool definesSomething_ = false;  ///< a cel, "#PATERN" or "#LAYER" line was read
};

/// The edit distance between two texts (insertions, deletions and replacements of bytes).
int32_t editDistance(std::string_view a, std::string_view b);

}  // namespace patapata
