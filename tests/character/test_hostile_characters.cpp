#include "character/character_reader.h"

#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "support/allocation_watch.h"
#include "support/reader_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// Hostile character files, made at test time because they are large: huge files, very long
// lines, binary junk, and deep repetition of the sequence lines. Each loads to a defined
// result or fails with the program's own error, without a fault and without allocating far
// more than the file's own size.

namespace patapata {
namespace {

using testing::ReaderHarness;
using testing::TempDir;
using testing::writeBytes;
using testing::writeTestSheet;

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

/// Repeats `line` until the text reaches at least `bytes` bytes.
std::string repeatTo(const std::string& line, std::size_t bytes) {
  std::string out;
  out.reserve(bytes + line.size());
  while (out.size() < bytes) out += line;
  return out;
}

std::string pairs(int count, int first) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < count; ++i) {
    const int v = (first + i) % 255 + 1;
    out += hex[v >> 4];
    out += hex[v & 15];
  }
  return out;
}

std::string junk(std::size_t bytes, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string out(bytes, '\0');
  for (char& c : out) c = static_cast<char>(rng() & 0xFF);
  return out;
}

struct Outcome {
  bool loads = true;
  std::optional<MessageId> error;  ///< the message when it fails; none: any of the system's
  std::string messageStart;        ///< a prefix of the message when it fails
  std::function<void(const Viewer&)> check;  ///< after a load
};

struct HostileCharacter {
  const char* name;
  std::function<std::string()> bytes;
  Outcome outcome;
};

Outcome loads(std::function<void(const Viewer&)> check) {
  return Outcome{true, std::nullopt, {}, std::move(check)};
}

Outcome fails(MessageId id, std::string messageStart) {
  return Outcome{false, id, std::move(messageStart), nullptr};
}

bool rowEmpty(const SequenceRow& row) {
  return std::all_of(row.begin(), row.end(), [](int32_t v) { return v == kEmptyCel; });
}

bool nothingDefined(const Viewer& v) {
  const Character& s = v.character;
  for (const SequenceTable* table : {&s.pattern, &s.layer, &s.layerDest}) {
    for (const SequenceRow& row : *table) {
      if (!rowEmpty(row)) return false;
    }
  }
  return std::all_of(s.cels.begin(), s.cels.end(), [](const CelRect& r) { return r == CelRect{}; });
}

void expectTablesWithinBounds(const Character& s) {
  for (const SequenceTable* table : {&s.pattern, &s.layer, &s.layerDest}) {
    for (const SequenceRow& row : *table) {
      EXPECT_EQ(row[0], kEmptyCel);
      for (const int32_t v : row) {
        ASSERT_GE(v, kEmptyCel);
        ASSERT_LT(v, kCelCount);
      }
    }
  }
  EXPECT_EQ(s.cels[0], CelRect{});
}

std::vector<HostileCharacter> hostileCharacters() {
  return {
      {"20 MB of cel, pattern and layer lines",
       [] {
         std::string block;
         for (int cel = 1; cel <= 255; ++cel) {
           block += "#" + std::to_string(cel) + " 1 2 3 4\r\n";
         }
         block += "#PATERN 05 " + pairs(255, 0) + "\r\n#LAYER 06 " + pairs(255, 1) + " " +
                  pairs(255, 2) + "\r\n";
         return repeatTo(block, 20 * kMegabyte) + "#7 10 20 30 40\r\n#PATERN 05 FF\r\n";
       },
       loads([](const Viewer& s) {
         EXPECT_EQ(s.character.cels[7].rect(), (Rect{10, 20, 40, 60}));
         EXPECT_EQ(s.character.cels[99].rect(), (Rect{1, 2, 4, 6}));
         // A cel number has two digits at most: "#109 1 2 3 4" is cel 10 at x 9, and the last
         // line for cel 25 is "#255 1 2 3 4".
         EXPECT_EQ(s.character.cels[10].rect(), (Rect{9, 1, 11, 4}));
         EXPECT_EQ(s.character.cels[25].rect(), (Rect{5, 1, 7, 4}));
         EXPECT_EQ(s.character.cels[100], CelRect{});
         EXPECT_EQ(s.character.pattern[5][1], 255);
         EXPECT_EQ(s.character.pattern[5][2], 2);
         EXPECT_EQ(s.character.pattern[5][255], 255);
         EXPECT_EQ(s.character.layer[6][255], 1);
         EXPECT_EQ(s.character.layerDest[6][1], 3);
         EXPECT_EQ(s.character.layerOn[6], 1);
         EXPECT_TRUE(s.character.enablesButton(5));
         EXPECT_TRUE(s.character.enablesButton(6));
       })},
      {"20 MB of line ends", [] { return repeatTo("\r\n\n\r", 20 * kMegabyte); },
       loads([](const Viewer& s) { EXPECT_TRUE(nothingDefined(s)); })},
      {"8 MB of lines holding only #", [] { return repeatTo("#\n", 8 * kMegabyte); },
       loads([](const Viewer& s) { EXPECT_TRUE(nothingDefined(s)); })},
      {"a NUL before 20 MB of lines",
       [] {
         return "#PATERN 01 01\r\n" + std::string(1, '\0') +
                repeatTo("#PATERN 02 02\n", 20 * kMegabyte);
       },
       fails(MessageId::BinaryNotCharacter, "hostile.chp はテキストではない")},
      {"one 20 MB pattern line: only its first 1024 bytes are read",
       [] { return "#PATERN 01 " + repeatTo("0A", 20 * kMegabyte); }, loads([](const Viewer& s) {
         for (int k = 1; k < kFrameSlots; ++k) ASSERT_EQ(s.character.pattern[1][k], 10) << k;
       })},
      {"one 8 MB layer line without a blank",
       [] { return "#LAYER 02 " + repeatTo("0B", 8 * kMegabyte); }, loads([](const Viewer& s) {
         EXPECT_EQ(s.character.layer[2][255], 11);
         EXPECT_TRUE(rowEmpty(s.character.layerDest[2]));
         EXPECT_EQ(s.character.layerOn[2], 1);
       })},
      {"a 20 MB number in a cel line names only what the reader saw",
       [] { return "#1 0 0 1 " + repeatTo("9", 20 * kMegabyte) + "\r\n"; },
       fails(MessageId::NotANumber, "'999")},
      {"an 8 MB name",
       [] { return "#CHARNAME " + repeatTo("\x83\x65", 8 * kMegabyte) + "\r\n#PATERN 01 01"; },
       loads([](const Viewer& s) {
         EXPECT_EQ(s.character.pattern[1][1], 1);
         // 1023 bytes of the name are seen: 511 katakana "テ" of three UTF-8 bytes each, and
         // a lone lead byte shown as U+FFFD.
         ASSERT_TRUE(s.display.characterName);
         EXPECT_EQ(s.display.characterName->size(), 512u * 3);
         EXPECT_EQ(s.display.characterName->substr(0, 6), "テテ");
       })},
      {"deep #PATERN repetition over every state",
       [] {
         std::string out;
         for (int i = 0; out.size() < 8 * kMegabyte; ++i) {
           const int state = i % 31;
           out += "#PATERN " + std::string(state < 10 ? "0" : "") + std::to_string(state) + " " +
                  pairs(255, i) + "\n";
         }
         return out;
       },
       loads([](const Viewer& s) {
         for (int state = 0; state < kStateCount; ++state) {
           SCOPED_TRACE(state);
           EXPECT_NE(s.character.pattern[state][255], kEmptyCel);
         }
         for (const StateInfo& info : kStates) {
           EXPECT_EQ(s.character.enablesButton(info.state), info.kind != StateKind::PatternCheck);
         }
       })},
      {"deep #LAYER repetition with growing and shrinking sequences",
       [] {
         std::string out;
         for (int i = 0; out.size() < 8 * kMegabyte; ++i) {
           out += "#LAYER 30 " + pairs(i % 256, 7) + " " + pairs(255 - i % 256, 9) + "\r";
         }
         return out + "#LAYER 30 01 02\r";
       },
       loads([](const Viewer& s) {
         EXPECT_EQ(s.character.layer[30][1], 1);
         EXPECT_EQ(s.character.layerDest[30][1], 2);
         EXPECT_NE(s.character.layer[30][255], kEmptyCel);
         EXPECT_EQ(s.character.layerOn[30], 1);
       })},
      {"deep #CHARBMP repetition",
       [] { return repeatTo("#CHARBMP s.bmp\n", 64 * 1024) + "#1 0 0 3 2\n#PATERN 01 01\n"; },
       loads([](const Viewer& s) {
         ASSERT_TRUE(s.character.sheet.picture);
         EXPECT_EQ(s.character.sheet.picture->width(), 8);
         EXPECT_EQ(s.character.sheet.picture->key(), 0x00123456u);
       })},
      {"a bad pair after 20 MB of good lines",
       [] { return repeatTo("#PATERN 03 0102\r\n", 20 * kMegabyte) + "#PATERN 03 01ZZ\r\n"; },
       fails(MessageId::NotANumber, "'$ZZ' は数値ではありません")},
      {"8 MB of binary junk", [] { return junk(8 * kMegabyte, 1); }, Outcome{}},
      {"binary junk between keywords",
       [] {
         std::string out;
         for (uint32_t i = 0; out.size() < 8 * kMegabyte; ++i) {
           out += "#PATERN 0" + std::to_string(i % 10) + " " + junk(i % 700, i) + "\n";
         }
         return out;
       },
       Outcome{}},
  };
}

TEST(HostileCharacters, LoadOrFailCleanly) {
  TempDir dir;
  writeTestSheet(dir.file("s.bmp"));
  for (const HostileCharacter& c : hostileCharacters()) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("hostile.chp");
    writeBytes(path, c.bytes());
    ReaderHarness h;
    try {
      h.load(path);
      ASSERT_TRUE(c.outcome.loads || !c.outcome.error) << "loaded";
      EXPECT_TRUE(h.viewer.characterLoaded);
      if (c.outcome.check) c.outcome.check(h.viewer);
    } catch (const Error& e) {
      ASSERT_FALSE(c.outcome.loads && c.outcome.error) << "raised " << e.text();
      EXPECT_FALSE(h.viewer.characterLoaded);
      EXPECT_TRUE(encoding::isValidUtf8(e.text()));
      // A message quotes at most the 1024 bytes of a value the reader looks at.
      EXPECT_LT(e.text().size(), 4096u);
      if (c.outcome.error) {
        EXPECT_EQ(e.id(), *c.outcome.error) << e.text().substr(0, 120);
        EXPECT_EQ(e.text().rfind(c.outcome.messageStart, 0), 0u) << e.text().substr(0, 80);
      }
    }
    expectTablesWithinBounds(h.viewer.character);
  }
}

TEST(HostileCharacters, AFileOverTheSizeLimitIsRefusedUnread) {
  TempDir dir;
  const std::string path = dir.file("huge.chp");
  writeBytes(path, "#PATERN 01 01\n");
  // Sparse: the file system holds no data for it, and the reader must not read it either.
  std::filesystem::resize_file(path, static_cast<uintmax_t>(kMaxCharacterFileBytes) + 1);
  ReaderHarness h;
  std::size_t largest = 0;
  {
    const testing::AllocationWatch watch;
    try {
      h.load(path);
      ADD_FAILURE() << "loaded";
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), path + " を読み込めません");
    }
    largest = watch.largest();
  }
  EXPECT_LT(largest, kMegabyte);
  EXPECT_TRUE(rowEmpty(h.viewer.character.pattern[1]));
  EXPECT_EQ(h.viewer.character.frameIntervalMs, 100);
}

// Regression: the reader kept a list of every line of the file, 16 bytes per line, so a file
// of nothing but line ends cost sixteen times its size (a gigabyte for a file at the size
// limit). Lines are now interpreted as they are found.
TEST(HostileCharacters, LineEndsCostNoMoreThanTheFileItself) {
  TempDir dir;
  const std::string path = dir.file("lines.chp");
  constexpr std::size_t kBytes = 8 * kMegabyte;
  writeBytes(path, repeatTo("\n", kBytes));
  ReaderHarness h;
  std::size_t largest = 0;
  {
    const testing::AllocationWatch watch;
    h.load(path);
    largest = watch.largest();
  }
  // Reading the file may hold it twice while its buffer grows; nothing else comes close. The
  // file's own buffer is seen, so the watch does see the reader's allocations.
  EXPECT_GE(largest, kBytes);
  EXPECT_LE(largest, 2 * kBytes + kMegabyte);
  EXPECT_TRUE(h.viewer.characterLoaded);
}

}  // namespace
}  // namespace patapata
