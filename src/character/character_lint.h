#pragma once

#include "character/character_reader.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace patapata {

struct ViewerState;

/// Something legal in a character file that is probably a mistake.
struct LintWarning {
  int32_t line = 0;     ///< counted from 1
  std::string message;  ///< UTF-8

  friend bool operator==(const LintWarning&, const LintWarning&) = default;
};

/// Watches a load for the batch check: what the file does that its author probably did not
/// mean (indented or misspelt keywords, states and sequences that do not fit the tables,
/// odd-length sequences, cels nobody defined or outside the sheet, a "#DATA" other than 16).
/// Only the lines the load reached are looked at.
class CharacterLint : public ReaderObserver {
 public:
  void lineStarted(int32_t number, std::string_view line) override;
  void celDefined(int32_t cel) override;

  /// The checks that need the whole load, on the state the load left; call once after it.
  void finish(const ViewerState& viewer);

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

  void warn(std::string message);
  void checkSequenceLine(std::string_view keyword, std::string_view rest, bool layer);
  void checkSequence(std::string_view what, std::string_view sequence, bool destination);

  std::vector<LintWarning> warnings_;
  std::map<int32_t, int32_t> definedCels_;
  std::vector<CelReference> references_;
  int32_t lastLine_ = 0;
  bool nameRead_ = false;
};

/// The edit distance between two texts (insertions, deletions and replacements of bytes).
int32_t editDistance(std::string_view a, std::string_view b);

}  // namespace patapata
