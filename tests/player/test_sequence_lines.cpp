#include "player/sequence_lines.h"

#include "common/memory_controls.h"
#include "player/animation.h"
#include "player/player.h"

#include <gtest/gtest.h>

#include <string>

namespace patapata {
namespace {

// Caught: a state written with one digit, which the file reads as another state; a #LAYER
// line without its destination, or one written for a pattern alone.
TEST(SequenceLines, AreTheLinesAFileNeeds) {
  const struct {
    int32_t state;
    const char* pattern;
    const char* layer;
    const char* destination;
    const char* lines;
  } cases[] = {
      {6, "030203", "", "", "#PATERN 06 030203\n"},
      {1, "0102", "04", "05", "#PATERN 01 0102\n#LAYER 01 04 05\n"},
      {12, "01", "", "0A", "#PATERN 12 01\n#LAYER 12  0A\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    EXPECT_EQ(sequenceLines(c.state, c.pattern, c.layer, c.destination), c.lines);
  }
}

// Caught: the lines numbered with the check's own state, or with a one-shot that returns.
TEST(SequenceLines, TheStateIsTheOneTheCheckReturnsTo) {
  Player player;
  selectState(player, 2);
  EXPECT_EQ(checkReturnState(player), 2);
  selectState(player, 6);  // a one-shot returns to 2, and so does the check
  EXPECT_EQ(checkReturnState(player), 2);
  selectState(player, 30);
  EXPECT_EQ(checkReturnState(player), 2);
}

// Caught: entries repeated that were not single, or to a count other than the pattern's.
TEST(SequenceLines, ASingleLayerOrDestinationEntryIsRepeatedForEveryFrame) {
  const struct {
    const char* pattern;
    const char* layer;
    const char* destination;
    const char* layerAfter;
    const char* destinationAfter;
  } cases[] = {
      {"01020304", "05", "06", "05050505", "06060606"},
      {"010203", "0506", "07", "0506", "070707"},
      {"01", "05", "", "05", ""},
      {"", "05", "06", "05", "06"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    MemoryControls controls;
    controls.setText(Edit::Pattern, c.pattern);
    controls.setText(Edit::Layer, c.layer);
    controls.setText(Edit::Destination, c.destination);
    repeatLayerForEveryFrame(controls);
    EXPECT_EQ(controls.text(Edit::Layer), c.layerAfter);
    EXPECT_EQ(controls.text(Edit::Destination), c.destinationAfter);
  }
}

}  // namespace
}  // namespace patapata
