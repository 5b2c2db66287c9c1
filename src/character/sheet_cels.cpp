#include "character/sheet_cels.h"

#include "character/character_reader.h"

#include <memory>
#include <set>

namespace patapata::sheet_cels {

namespace {

// Listens to a load for the cels its cel lines store.
class CelLineRecorder : public ReaderObserver {
 public:
  void lineRead(int32_t, const grammar::Line&) override {}
  void entryStored(Sequence, int32_t, int32_t, std::string_view, int32_t) override {}
  void celStored(int32_t cel) override { cels_.insert(cel); }
  void lineDone(int32_t, const grammar::Line&) override {}

  std::vector<int32_t> cels() const { return {cels_.begin(), cels_.end()}; }

 private:
  std::set<int32_t> cels_;
};

}  // namespace

int32_t celToPick(const std::array<CelRect, kCelCount>& cels, int32_t x, int32_t y) {
  int32_t picked = kEmptyCel;
  int64_t pickedArea = 0;
  for (int32_t cel = 1; cel < kCelCount; ++cel) {
    const CelRect& r = cels[static_cast<std::size_t>(cel)];
    if (x < r.x || x >= r.right() || y < r.y || y >= r.bottom()) continue;
    const int64_t area = int64_t{r.width} * r.height;
    if (picked == kEmptyCel || area < pickedArea) {
      picked = cel;
      pickedArea = area;
    }
  }
  return picked;
}

std::bitset<kCelCount> warnedCels(std::span<const LintWarning> warnings) {
  std::bitset<kCelCount> warned;
  for (const LintWarning& warning : warnings) {
    if (warning.cel >= 1 && warning.cel < kCelCount)
      warned.set(static_cast<std::size_t>(warning.cel));
  }
  return warned;
}

std::optional<std::vector<int32_t>> celLinesOf(const std::string& path) {
  CelLineRecorder recorder;
  const SheetLoader noPicture = [](const std::string&) {
    return std::shared_ptr<const SheetPicture>();
  };
  const CharacterLoad load = loadCharacterFile(path, noPicture, CharacterSheet{}, &recorder);
  if (load.notCharacterFile ||
      (load.error && load.error->location() && load.error->location()->line == 0)) {
    return std::nullopt;
  }
  return recorder.cels();
}

}  // namespace patapata::sheet_cels
