#include "character/character_reader.h"

#include "character/state_table.h"
#include "common/errors.h"
#include "common/file_stamp.h"
#include "player/viewer.h"
#include "support/reader_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace patapata {
namespace {

using namespace std::string_literals;

using testing::ReaderHarness;
using testing::slots;
using testing::TempDir;
using testing::writeBytes;
using testing::writeTestSheet;

// The states whose buttons are enabled, in ascending order.
std::vector<int32_t> enabledStateButtons(const Viewer& viewer) {
  std::vector<int32_t> out;
  for (int32_t s = 0; s < kStateCount; ++s) {
    if (viewer.character.enablesButton(s)) out.push_back(s);
  }
  return out;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

// Opens `path` and gives the error's message, or "" when the load completed.
std::string loadMessage(ReaderHarness& h, const std::string& path) {
  try {
    h.load(path);
  } catch (const Error& e) {
    return e.text();
  }
  return {};
}

bool rowEmpty(const SequenceRow& row) {
  return std::all_of(row.begin(), row.end(), [](int32_t v) { return v == kEmptyCel; });
}

// --- Line splitting ------------------------------------------------------------------------

TEST(SplitLines, BreaksAtEveryLineEndAndStopsAtNul) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases{
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc\r\n", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\r", {"a", ""}},
      {"\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"ab\0cd\nef"s, {"ab"}},
      {"\0abc"s, {}},
      {"x\r\n\0\r\ny"s, {"x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    const auto lines = splitLines(c.bytes);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), c.lines);
  }
}

// --- A load starts from nothing --------------------------------------------------------------

// A load makes a new character: nothing of the one before survives but its sheet, which a file
// without a "#CHARBMP" line keeps. The player goes to state 1; the rest of the viewer stays.
TEST(Fileload, ALoadStartsFromNothingButTheSheet) {
  TempDir dir;
  writeTestSheet(dir.file("chara.bmp"));
  writeBytes(dir.file("a.chp"), joinLines({"#CHARNAME old", "#ANIME 50", "#CHARBMP chara.bmp",
                                           "#7 1 2 3 4", "#LAYER 03 0707 0707"}));
  writeBytes(dir.file("empty.chp"), "");
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("a.chp")), "");
  Viewer& viewer = h.viewer;
  const FileStamp sheetStamp = viewer.character.sheet.stamp;
  viewer.player = Player{
      .state = 6, .frame = 4, .caption = "喜び１", .returnState = 2, .returnCaption = "通常２"};

  ASSERT_EQ(loadMessage(h, dir.file("empty.chp")), "");

  EXPECT_EQ(viewer.player.caption, "状態");
  EXPECT_EQ(viewer.player.state, 1);
  EXPECT_TRUE(enabledStateButtons(viewer).empty());
  for (const CelRect& r : viewer.character.cels) EXPECT_EQ(r, CelRect{});
  for (const auto* table :
       {&viewer.character.pattern, &viewer.character.layer, &viewer.character.layerDest}) {
    for (const SequenceRow& row : *table) EXPECT_TRUE(rowEmpty(row));
  }
  for (bool on : viewer.character.layerOn) EXPECT_FALSE(on);
  EXPECT_EQ(viewer.character.frameIntervalMs, 100);

  EXPECT_TRUE(viewer.characterLoaded);
  EXPECT_EQ(viewer.character.sheet.path, dir.file("chara.bmp"));
  EXPECT_EQ(viewer.character.sheet.stamp, sheetStamp);
  EXPECT_EQ(viewer.character.sheet.picture->width(), 8);
  EXPECT_EQ(viewer.player.frame, 4);
  EXPECT_EQ(viewer.player.returnState, 2);
  EXPECT_EQ(viewer.player.returnCaption, "通常２");
  EXPECT_EQ(viewer.display.characterName, "old");
}

// --- The worked example ----------------------------------------------------------------------

TEST(Fileload, WorkedExampleGivesExactlyTheListedTables) {
  TempDir dir;
  writeTestSheet(dir.file("chara.bmp"));
  // Shift-JIS, as written on Windows: テスト 仮
  writeBytes(dir.file("test.chp"), joinLines({
                                       "#CHARNAME \x83\x65\x83\x58\x83\x67 \x89\xBC",
                                       "#ANIME 120",
                                       "#CHARBMP chara.bmp",
                                       "#1 0 0 121 271",
                                       "#2 121 0 64 48",
                                       "#3 185 0 64 48",
                                       "#4 121 48 32 32",
                                       "#5 10 200 0 0",
                                       "#PATERN 01 0203",
                                       "#PATERN 06 0203020A0",
                                       "#LAYER 06 0404 0505",
                                       "#patern 01 03",
                                   }));
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("test.chp")), "");
  const Viewer& s = h.viewer;

  EXPECT_EQ(h.viewer.display.characterName, "テスト");
  EXPECT_EQ(s.character.frameIntervalMs, 120);
  EXPECT_EQ(h.viewer.player.caption, "状態");

  EXPECT_EQ(s.character.sheet.path, dir.file("chara.bmp"));
  EXPECT_EQ(s.character.sheet.stamp, fileStamp(dir.file("chara.bmp")));
  EXPECT_FALSE(s.character.sheet.stamp.isMissing());
  ASSERT_TRUE(s.character.sheet.picture);
  EXPECT_EQ(s.character.sheet.picture->width(), 8);
  EXPECT_EQ(s.character.sheet.picture->height(), 6);

  const std::vector<Rect> rects{{0, 0, 0, 0},      {0, 0, 121, 271},   {121, 0, 185, 48},
                                {185, 0, 249, 48}, {121, 48, 153, 80}, {10, 200, 10, 200}};
  for (int i = 0; i < kCelCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.character.cels[i].rect(), i < 6 ? rects[i] : Rect{});
  }
  const std::vector<CelRect> written{
      {0, 0, 121, 271}, {121, 0, 64, 48}, {185, 0, 64, 48}, {121, 48, 32, 32}, {10, 200, 0, 0}};
  EXPECT_EQ(std::vector<CelRect>(s.character.cels.begin() + 1, s.character.cels.begin() + 6),
            written);

  auto expectRow = [](const SequenceRow& row, std::vector<int32_t> leading) {
    leading.insert(leading.begin(), kEmptyCel);  // index 0 is never written
    leading.resize(kFrameSlots, kEmptyCel);
    EXPECT_EQ(std::vector<int32_t>(row.begin(), row.end()), leading);
  };
  for (int st = 0; st < kStateCount; ++st) {
    SCOPED_TRACE(st);
    expectRow(s.character.pattern[st], st == 1   ? std::vector<int32_t>{3, 3}
                                       : st == 6 ? std::vector<int32_t>{2, 3, 2, 10}
                                                 : std::vector<int32_t>{});
    expectRow(s.character.layer[st], st == 6 ? std::vector<int32_t>{4, 4} : std::vector<int32_t>{});
    expectRow(s.character.layerDest[st],
              st == 6 ? std::vector<int32_t>{5, 5} : std::vector<int32_t>{});
    EXPECT_EQ(s.character.layerOn[st], st == 6 ? 1 : 0);
  }
  EXPECT_EQ(enabledStateButtons(h.viewer), (std::vector<int32_t>{1, 6}));
  EXPECT_TRUE(s.characterLoaded);
  EXPECT_EQ(s.player.state, 1);
  EXPECT_EQ(s.character.sheet.picture->key(), 0x00123456u);
}

TEST(Fileload, ColourKeyIsTheRawValueInA16BitDisplay) {
  TempDir dir;
  writeTestSheet(dir.file("chara.bmp"));
  writeBytes(dir.file("c.chp"), "#CHARBMP chara.bmp\n");
  platform::SurfaceService service(PixelFormat::rgb565());
  const CharacterLoad load = loadCharacterFile(
      dir.file("c.chp"), [&](const std::string& path) { return SheetPicture::load(service, path); },
      CharacterSheet{});
  ASSERT_TRUE(load.completed());
  EXPECT_EQ(load.character.sheet.picture->key(), PixelFormat::rgb565().fromRgb(0x123456));
}

// --- Single lines --------------------------------------------------------------------------

struct LineCase {
  const char* name;
  std::vector<std::string> lines;
  std::string error;  // "" when the load completes
  std::function<void(const Viewer&)> check;
};

void expectCel(const Viewer& s, int cel, int32_t x, int32_t y, int32_t w, int32_t h) {
  EXPECT_EQ(s.character.cels[cel].rect(), (Rect{x, y, x + w, y + h})) << "cel " << cel;
  EXPECT_EQ(s.character.cels[cel].x, x) << "cel " << cel;
  EXPECT_EQ(s.character.cels[cel].y, y) << "cel " << cel;
  EXPECT_EQ(s.character.cels[cel].width, w) << "cel " << cel;
  EXPECT_EQ(s.character.cels[cel].height, h) << "cel " << cel;
}

void expectNoCel(const Viewer& s) {
  for (int i = 0; i < kCelCount; ++i) {
    EXPECT_EQ(s.character.cels[i], CelRect{}) << "cel " << i;
    EXPECT_EQ(s.character.cels[i].x, 0) << "cel " << i;
  }
}

void expectNoButton(const Viewer& s) {
  EXPECT_TRUE(enabledStateButtons(s).empty());
}

void expectButtons(const Viewer& s, std::vector<int32_t> states) {
  EXPECT_EQ(enabledStateButtons(s), states);
}

void expectInterval(const Viewer& s, int32_t v) {
  EXPECT_EQ(s.character.frameIntervalMs, v);
}

std::string spaces(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

const std::vector<LineCase>& lineCases() {
  using S = const Viewer&;
  static const std::vector<LineCase> cases{
      {"indented keyword", {"  #ANIME 250"}, "", [](S s) { expectInterval(s, 100); }},
      {"indented cel", {"\t#1 1 2 3 4"}, "", [](S s) { expectNoCel(s); }},
      {"mixed case, no blank", {"#Anime250"}, "", [](S s) { expectInterval(s, 250); }},
      {"misspelt keyword", {"#ANIM 250"}, "", [](S s) { expectInterval(s, 100); }},
      {"interval zero", {"#ANIME 0"}, "", [](S s) { expectInterval(s, 0); }},
      {"negative interval", {"#ANIME -5"}, "", [](S s) { expectInterval(s, -5); }},
      {"hexadecimal interval",
       {"#ANIME $20"},
       "",
       [](S s) { EXPECT_EQ(s.character.frameIntervalMs, 32); }},
      {"last interval wins", {"#ANIME 250", "#ANIME 40"}, "", [](S s) { expectInterval(s, 40); }},
      {"bad interval",
       {"#ANIME abc"},
       "'abc' は数値ではありません",
       [](S s) { expectInterval(s, 100); }},
      {"interval at the window's end",
       {"#ANIME" + spaces(1021) + "250"},
       "",
       [](S s) { expectInterval(s, 250); }},
      {"interval cut by the window",
       {"#ANIME" + spaces(1022) + "250"},
       "",
       [](S s) { expectInterval(s, 25); }},
      {"interval beyond the window",
       {"#ANIME" + spaces(1024) + "250"},
       "'' は数値ではありません",
       [](S s) { expectInterval(s, 100); }},
      {"empty name", {"#CHARNAME"}, "", [](S s) { EXPECT_EQ(s.display.characterName, ""); }},
      {"name without blank",
       {"#charnameBob the cat"},
       "",
       [](S s) { EXPECT_EQ(s.display.characterName, "Bob"); }},
      {"name after a tab",
       {"#CHARNAME\tBob\tcat"},
       "",
       [](S s) { EXPECT_EQ(s.display.characterName, "Bob"); }},
      {"name with a full-width space",
       {"#CHARNAME \x83\x65\x81\x40\x83\x67 x"},
       "",
       [](S s) { EXPECT_EQ(s.display.characterName, "テ\u3000ト"); }},
      {"three-digit cel", {"#100 1 2 3 4"}, "", [](S s) { expectCel(s, 10, 0, 1, 2, 3); }},
      {"one-digit cel", {"#1 10 20 30 40"}, "", [](S s) { expectCel(s, 1, 10, 20, 30, 40); }},
      {"blank before cel number and a note",
       {"# 7 1 2 3 4 note"},
       "",
       [](S s) { expectCel(s, 7, 1, 2, 3, 4); }},
      {"many blanks and tabs between numbers",
       {"#8   1 \t 2  3\t4"},
       "",
       [](S s) { expectCel(s, 8, 1, 2, 3, 4); }},
      {"negative and hexadecimal numbers",
       {"#9 -5 $10 0x2 -1"},
       "",
       [](S s) { expectCel(s, 9, -5, 16, 2, -1); }},
      {"cel 0", {"#0 1 2 3 4"}, "", [](S s) { expectNoCel(s); }},
      {"cel -1", {"#-1 1 2 3 4"}, "", [](S s) { expectNoCel(s); }},
      {"a note", {"#note"}, "", [](S s) { expectNoCel(s); }},
      {"hexadecimal cel number read as decimal",
       {"#0A 5 5 20 20"},
       "",
       [](S s) { expectNoCel(s); }},
      {"#DATA 16", {"#DATA 16", "#0A 5 5 20 20"}, "", [](S s) { expectCel(s, 10, 5, 5, 20, 20); }},
      {"#DATA16", {"#DATA16", "#0A 5 5 20 20"}, "", [](S s) { expectCel(s, 10, 5, 5, 20, 20); }},
      {"#data, two blanks, 16",
       {"#data  16", "#0a 5 5 20 20"},
       "",
       [](S s) { expectCel(s, 10, 5, 5, 20, 20); }},
      {"#DATA, three blanks, 16",
       {"#DATA   16", "#0A 5 5 20 20", "#10 1 1 1 1"},
       "",
       [](S s) {
         EXPECT_EQ(s.character.cels[10].x, 1);
         EXPECT_EQ(s.character.cels[16].x, 0);
       }},
      {"#DATA 8", {"#DATA 8", "#10 1 1 1 1"}, "", [](S s) { expectCel(s, 10, 1, 1, 1, 1); }},
      {"#DATA 160", {"#DATA 160", "#10 1 1 1 1"}, "", [](S s) { expectCel(s, 10, 1, 1, 1, 1); }},
      {"cel lines above #DATA stay decimal",
       {"#10 1 1 1 1", "#DATA 16", "#10 2 2 2 2"},
       "",
       [](S s) {
         expectCel(s, 10, 1, 1, 1, 1);
         expectCel(s, 16, 2, 2, 2, 2);
       }},
      {"cel FF", {"#DATA 16", "#FF 0 0 1 1"}, "", [](S s) { expectCel(s, 255, 0, 0, 1, 1); }},
      {"cel 00 in hexadecimal", {"#DATA 16", "#00 0 0 1 1"}, "", [](S s) { expectNoCel(s); }},
      {"one hexadecimal digit", {"#DATA 16", "#A 1 2 3 4"}, "", [](S s) { expectNoCel(s); }},
      {"three digits after #DATA 16",
       {"#DATA 16", "#100 1 2 3 4"},
       "",
       [](S s) { expectNoCel(s); }},
      {"keywords after #DATA 16 define no cel",
       {"#DATA 16", "#ANIME 30", "#LAYER 01 01 01"},
       "",
       [](S s) { expectNoCel(s); }},
      {"bad hexadecimal cel",
       {"#DATA 16", "#ZZ 1 2 3 4"},
       "'$ZZ' は数値ではありません",
       [](S s) { expectNoCel(s); }},
      {"cel with three numbers",
       {"#1 5 6 7 8", "#1 0 0 10"},
       "'' は数値ではありません",
       [](S s) { expectCel(s, 1, 5, 6, 7, 8); }},
      {"two bad numbers name the last",
       {"#1 a 2 3 d"},
       "'d' は数値ではありません",
       [](S s) { expectNoCel(s); }},
      {"bad x", {"#1 a 2 3 4"}, "'a' は数値ではありません", [](S s) { expectNoCel(s); }},
      {"later cel line replaces",
       {"#3 1 1 1 1", "#3 2 2 2 2"},
       "",
       [](S s) { expectCel(s, 3, 2, 2, 2, 2); }},
      {"pair count 0",
       {"#PATERN 01 0"},
       "",
       [](S s) {
         EXPECT_TRUE(rowEmpty(s.character.pattern[1]));
         expectButtons(s, {1});
       }},
      {"state 9 enables the button of state 1",
       {"#PATERN 09 02"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[9], 2), (std::vector<int32_t>{2, -1}));
         expectButtons(s, {1});
       }},
      {"one-digit state and a blank",
       {"#PATERN 1 0203"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[1], 3), (std::vector<int32_t>{2, 3, -1}));
       }},
      {"state is always two characters",
       {"#PATERN 10203"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[10], 2), (std::vector<int32_t>{32, -1}));
         expectButtons(s, {10});
       }},
      {"pairs in either case",
       {"#PATERN 15 0aFf"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[15], 3), (std::vector<int32_t>{10, 255, -1}));
         expectButtons(s, {15});
       }},
      {"only the first token",
       {"#PATERN 02 0102 0304"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[2], 3), (std::vector<int32_t>{1, 2, -1}));
       }},
      {"later line overwrites its indices only",
       {"#PATERN 01 030405", "#PATERN 01 0102"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[1], 4), (std::vector<int32_t>{1, 2, 5, -1}));
       }},
      {"bad pair stops before the button",
       {"#PATERN 01 0G03"},
       "'$0G' は数値ではありません",
       [](S s) {
         EXPECT_TRUE(rowEmpty(s.character.pattern[1]));
         expectNoButton(s);
       }},
      {"pairs before a bad one stay",
       {"#PATERN 04 0102ZZ03"},
       "'$ZZ' は数値ではありません",
       [](S s) {
         EXPECT_EQ(slots(s.character.pattern[4], 3), (std::vector<int32_t>{1, 2, -1}));
         expectNoButton(s);
       }},
      {"bad state", {"#PATERN xx 01"}, "'xx' は数値ではありません", [](S s) { expectNoButton(s); }},
      {"layer, two blanks before the destination",
       {"#LAYER 02 0101  0202"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.layer[2], 3), (std::vector<int32_t>{1, 1, -1}));
         EXPECT_TRUE(rowEmpty(s.character.layerDest[2]));
         EXPECT_TRUE(rowEmpty(s.character.pattern[2]));
         expectButtons(s, {2});
         EXPECT_EQ(s.character.layerOn[2], 1);
       }},
      {"layer separated by tabs",
       {"#LAYER 03\t0101\t0202"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.layer[3], 3), (std::vector<int32_t>{1, 1, -1}));
         EXPECT_EQ(slots(s.character.layerDest[3], 3), (std::vector<int32_t>{2, 2, -1}));
         expectButtons(s, {3});
       }},
      {"layer of a state without a button",
       {"#LAYER 20 0101 0202"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.layer[20], 3), (std::vector<int32_t>{1, 1, -1}));
         EXPECT_EQ(slots(s.character.layerDest[20], 3), (std::vector<int32_t>{2, 2, -1}));
         EXPECT_EQ(s.character.layerOn[20], 1);
         expectNoButton(s);
       }},
      {"layer without pairs still turns the layer on",
       {"#LAYER 05"},
       "",
       [](S s) {
         EXPECT_EQ(s.character.layerOn[5], 1);
         EXPECT_TRUE(rowEmpty(s.character.layer[5]));
         expectButtons(s, {5});
       }},
      {"layer sequences of different lengths",
       {"#LAYER 07 010203 09 0A"},
       "",
       [](S s) {
         EXPECT_EQ(slots(s.character.layer[7], 4), (std::vector<int32_t>{1, 2, 3, -1}));
         EXPECT_EQ(slots(s.character.layerDest[7], 2), (std::vector<int32_t>{9, -1}));
       }},
      {"bad destination pair keeps the layer",
       {"#LAYER 06 0404 05ZZ"},
       "'$ZZ' は数値ではありません",
       [](S s) {
         EXPECT_EQ(slots(s.character.layer[6], 3), (std::vector<int32_t>{4, 4, -1}));
         EXPECT_EQ(slots(s.character.layerDest[6], 2), (std::vector<int32_t>{5, -1}));
         EXPECT_EQ(s.character.layerOn[6], 0);
         expectNoButton(s);
       }},
      {"lines after a failing one are not read",
       {"#ANIME x", "#PATERN 01 01"},
       "'x' は数値ではありません",
       [](S s) {
         EXPECT_TRUE(rowEmpty(s.character.pattern[1]));
         expectNoButton(s);
       }},
      {"unknown lines",
       {"", "   ", "note", "%ANIME 5", "\x83\x65"},
       "",
       [](S s) {
         expectNoCel(s);
         expectInterval(s, 100);
       }},
  };
  return cases;
}

TEST(Fileload, SingleLines) {
  for (const LineCase& c : lineCases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    writeBytes(dir.file("c.chp"), joinLines(c.lines));
    ReaderHarness h;
    const std::string error = loadMessage(h, dir.file("c.chp"));
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(h.viewer.characterLoaded, c.error.empty());
    c.check(h.viewer);
    for (int st = 0; st < kStateCount; ++st) {
      EXPECT_EQ(h.viewer.character.pattern[st][0], kEmptyCel);
      EXPECT_EQ(h.viewer.character.layer[st][0], kEmptyCel);
      EXPECT_EQ(h.viewer.character.layerDest[st][0], kEmptyCel);
    }
  }
}

// --- States outside the tables, long sequences, no sheet surface -----------------------------

TEST(Fileload, StatesOutsideTheTablesWriteNothing) {
  for (const std::string line :
       {"#PATERN 99 0102", "#PATERN -1 0102", "#PATERN 31 0102", "#LAYER 31 0101 0202",
        "#LAYER -9 0101 0202", "#LAYER 99 0101 0202"}) {
    SCOPED_TRACE(line);
    TempDir dir;
    writeBytes(dir.file("c.chp"), line + "\n");
    ReaderHarness h;
    EXPECT_EQ(loadMessage(h, dir.file("c.chp")), "");
    for (const auto* table :
         {&h.viewer.character.pattern, &h.viewer.character.layer, &h.viewer.character.layerDest}) {
      for (const SequenceRow& row : *table) EXPECT_TRUE(rowEmpty(row));
    }
    for (uint8_t on : h.viewer.character.layerOn) EXPECT_EQ(on, 0);
    expectNoButton(h.viewer);
    EXPECT_TRUE(h.viewer.characterLoaded);
  }
}

TEST(Fileload, StateOutsideTheTablesStillStopsAtABadPair) {
  TempDir dir;
  writeBytes(dir.file("c.chp"), "#PATERN 50 01ZZ\n");
  ReaderHarness h;
  EXPECT_EQ(loadMessage(h, dir.file("c.chp")), "'$ZZ' は数値ではありません");
}

std::string pairs(int count, int first = 1) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < count; ++i) {
    const int v = (first + i) % 256;
    out += hex[v / 16];
    out += hex[v % 16];
  }
  return out;
}

TEST(Fileload, EntriesPastSlot255AreNotStored) {
  TempDir dir;
  // 300 pairs fit in the value window; the layer line's destination is cut by the window's
  // end after 419 characters, 209 pairs.
  writeBytes(dir.file("c.chp"), joinLines({"#PATERN 30 " + pairs(300),
                                           "#LAYER 29 " + pairs(300) + " " + pairs(300, 7)}));
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("c.chp")), "");
  for (int k = 1; k < kFrameSlots; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(h.viewer.character.pattern[30][k], k % 256);
    EXPECT_EQ(h.viewer.character.layer[29][k], k % 256);
  }
  for (int k = 1; k < kFrameSlots; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(h.viewer.character.layerDest[29][k], k <= 209 ? (k + 6) % 256 : kEmptyCel);
  }
  EXPECT_EQ(h.viewer.character.pattern[30][0], kEmptyCel);
  EXPECT_TRUE(rowEmpty(h.viewer.character.pattern[29]));
  EXPECT_EQ(h.viewer.character.layerOn[29], 1);
}

TEST(Fileload, WithoutASheetSurfaceTheTablesFillAndCharbmpFails) {
  TempDir dir;
  writeTestSheet(dir.file("chara.bmp"));
  writeBytes(dir.file("a.chp"), joinLines({"#1 1 2 3 4", "#PATERN 01 01"}));
  writeBytes(dir.file("b.chp"), joinLines({"#1 1 2 3 4", "#CHARBMP chara.bmp", "#2 1 1 1 1"}));
  ReaderHarness h(false);
  EXPECT_EQ(loadMessage(h, dir.file("a.chp")), "");
  EXPECT_TRUE(h.viewer.characterLoaded);
  EXPECT_EQ(h.viewer.character.pattern[1][1], 1);

  h.viewer.characterLoaded = false;
  EXPECT_EQ(loadMessage(h, dir.file("b.chp")), "IDirectDrawSurface は作成されていません");
  expectCel(h.viewer, 1, 1, 2, 3, 4);
  EXPECT_EQ(h.viewer.character.cels[2].x, 0);
  EXPECT_FALSE(h.viewer.characterLoaded);
  EXPECT_EQ(h.viewer.character.sheet.path, "");
}

// --- Whole files ---------------------------------------------------------------------------

TEST(Fileload, EmptyFileLoads) {
  TempDir dir;
  writeBytes(dir.file("e.chp"), "");
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("e.chp")), "");
  for (const auto* table :
       {&h.viewer.character.pattern, &h.viewer.character.layer, &h.viewer.character.layerDest}) {
    for (const SequenceRow& row : *table) EXPECT_TRUE(rowEmpty(row));
  }
  expectNoButton(h.viewer);
  EXPECT_TRUE(h.viewer.characterLoaded);
  EXPECT_FALSE(h.viewer.character.sheet.picture);
}

TEST(Fileload, MissingSheetStopsAtItsLine) {
  TempDir dir;
  writeTestSheet(dir.file("good.bmp"));
  writeBytes(dir.file("good.chp"), "#CHARBMP good.bmp\n");
  writeBytes(dir.file("bad.chp"),
             joinLines({"#1 1 2 3 4", "#PATERN 01 01", "#CHARBMP missing.bmp", "#2 5 5 5 5"}));
  for (const bool loadedBefore : {false, true}) {
    SCOPED_TRACE(loadedBefore);
    ReaderHarness h;
    if (loadedBefore) {
      ASSERT_EQ(loadMessage(h, dir.file("good.chp")), "");
    }
    const std::string previousName = h.viewer.character.sheet.path;
    const FileStamp previousAge = h.viewer.character.sheet.stamp;
    EXPECT_EQ(loadMessage(h, dir.file("bad.chp")),
              "ファイル " + dir.file("missing.bmp") + " は開けません");
    EXPECT_EQ(h.viewer.character.sheet.path, previousName);
    EXPECT_EQ(h.viewer.character.sheet.stamp, previousAge);
    EXPECT_EQ(h.viewer.characterLoaded, loadedBefore);
    expectCel(h.viewer, 1, 1, 2, 3, 4);
    EXPECT_EQ(h.viewer.character.cels[2].x, 0);
    EXPECT_EQ(h.viewer.character.pattern[1][1], 1);
    expectButtons(h.viewer, {1});
    // The earlier sheet stays, and its key is not taken again.
    const auto& picture = h.viewer.character.sheet.picture;
    EXPECT_EQ(picture ? picture->width() : 0, loadedBefore ? 8 : 0);
  }
}

TEST(Fileload, BrokenSheetStopsWithTheDecodersMessage) {
  TempDir dir;
  writeBytes(dir.file("bad.bmp"), "BMnot a bitmap");
  writeBytes(dir.file("bad.gif"), "GIF89a");
  for (const std::string name : {"bad.bmp", "bad.gif"}) {
    SCOPED_TRACE(name);
    writeBytes(dir.file("c.chp"), "#CHARBMP " + name + "\n");
    ReaderHarness h;
    EXPECT_NE(loadMessage(h, dir.file("c.chp")), "");
    EXPECT_EQ(h.viewer.character.sheet.path, "");
    EXPECT_FALSE(h.viewer.characterLoaded);
  }
}

// A cel the new file does not define is empty, whatever an earlier file gave it: a layer naming
// it draws nothing in the window, as --render of the file alone draws nothing.
TEST(Fileload, ALoadStartsFromNoCelsWhateverAnEarlierFileDefined) {
  TempDir dir;
  writeBytes(dir.file("a.chp"),
             joinLines({"#ANIME 120", "#5 1 2 3 4", "#PATERN 01 05", "#LAYER 06 01 02"}));
  writeBytes(dir.file("b.chp"), joinLines({"#6 9 9 9 9", "#PATERN 02 06", "#LAYER 02 05 05"}));
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("a.chp")), "");
  expectInterval(h.viewer, 120);
  ASSERT_EQ(loadMessage(h, dir.file("b.chp")), "");
  EXPECT_EQ(h.viewer.character.cels[5], CelRect{});
  expectCel(h.viewer, 6, 9, 9, 9, 9);
  EXPECT_TRUE(rowEmpty(h.viewer.character.pattern[1]));
  EXPECT_FALSE(h.viewer.character.layerOn[6]);
  expectButtons(h.viewer, {2});
  expectInterval(h.viewer, 100);

  // The same tables as a load into a fresh viewer.
  ReaderHarness fresh;
  ASSERT_EQ(loadMessage(fresh, dir.file("b.chp")), "");
  EXPECT_EQ(fresh.viewer.character.cels, h.viewer.character.cels);
  EXPECT_EQ(fresh.viewer.character.pattern, h.viewer.character.pattern);
  EXPECT_EQ(fresh.viewer.character.layer, h.viewer.character.layer);
  EXPECT_EQ(fresh.viewer.character.layerDest, h.viewer.character.layerDest);
  EXPECT_EQ(fresh.viewer.character.layerOn, h.viewer.character.layerOn);
}

TEST(Fileload, FailingToOpenStillResets) {
  TempDir dir;
  writeTestSheet(dir.file("chara.bmp"));
  writeBytes(dir.file("a.chp"), joinLines({"#CHARNAME Bob", "#ANIME 120", "#CHARBMP chara.bmp",
                                           "#PATERN 01 01", "#PATERN 06 01"}));
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("a.chp")), "");
  h.viewer.player.caption = "喜び１";
  for (const std::string& missing : {dir.file("none.chp"), dir.path().string()}) {
    SCOPED_TRACE(missing);
    EXPECT_EQ(loadMessage(h, missing), "ファイル " + missing + " は開けません");
    expectNoButton(h.viewer);
    for (const SequenceRow& row : h.viewer.character.pattern) EXPECT_TRUE(rowEmpty(row));
    EXPECT_EQ(h.viewer.player.caption, "状態");
    expectInterval(h.viewer, 100);
    EXPECT_EQ(h.viewer.display.characterName, "Bob");
    EXPECT_EQ(h.viewer.character.sheet.picture->width(), 8);
    EXPECT_EQ(h.viewer.character.sheet.path, dir.file("chara.bmp"));
    EXPECT_TRUE(h.viewer.characterLoaded);
  }
}

TEST(Fileload, MissingPathIsShownReadably) {
  TempDir dir;
  const std::string missing = dir.file("\x83\x65.chp");  // Shift-JIS テ
  ReaderHarness h;
  EXPECT_EQ(loadMessage(h, missing), "ファイル " + dir.path().string() + "/テ.chp は開けません");
}

TEST(Fileload, OversizedFileIsRefused) {
  TempDir dir;
  const std::string path = dir.file("huge.chp");
  writeBytes(path, "#ANIME 5\n");
  std::filesystem::resize_file(path, static_cast<uintmax_t>(kMaxCharacterFileBytes) + 1);
  ReaderHarness h;
  EXPECT_EQ(loadMessage(h, path), path + " を読み込めません");
  EXPECT_FALSE(h.viewer.characterLoaded);
}

// Notepad's "Unicode" puts a NUL after every ASCII character, where the text ends: the
// reader would see no keyword and report a completed load of nothing.
TEST(Fileload, Utf16AndUtf32TextIsRefused) {
  struct Case {
    std::string bytes;
    const char* encoding;
  };
  const std::vector<Case> cases{
      {"\xFF\xFE#\0A\0N\0I\0M\0E\0 \0"s + "5\0"s, "UTF-16"},
      {"\xFE\xFF\0#\0A\0N\0I\0M\0E\0 \0"s + "5"s, "UTF-16"},
      {"\xFF\xFE\0\0#\0\0\0"s, "UTF-32"},
      {"\0\0\xFE\xFF\0\0\0#"s, "UTF-32"},
  };
  TempDir dir;
  const std::string path = dir.file("u.chp");
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    writeBytes(path, c.bytes);
    ReaderHarness h;
    try {
      h.load(path);
      ADD_FAILURE() << "the load completed";
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), std::string(c.encoding) +
                              " のテキストは読めません。Shift-JIS か UTF-8 で保存し直してください");
    }
    EXPECT_FALSE(h.viewer.characterLoaded);
  }
}

TEST(Fileload, AUtf8ByteOrderMarkIsNoRefusal) {
  TempDir dir;
  writeBytes(dir.file("a.chp"), "\xEF\xBB\xBF; made in Notepad\r\n#ANIME 50\r\n");
  ReaderHarness h;
  EXPECT_EQ(loadMessage(h, dir.file("a.chp")), "");
  EXPECT_EQ(h.viewer.character.frameIntervalMs, 50);
}

TEST(Fileload, NoCharbmpKeepsTheSheetAndItsKey) {
  TempDir dir;
  writeTestSheet(dir.file("chara.bmp"));
  writeBytes(dir.file("a.chp"), "#CHARBMP chara.bmp\n");
  writeBytes(dir.file("b.chp"), "#1 0 0 1 1\n");
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("a.chp")), "");
  const FileStamp age = h.viewer.character.sheet.stamp;
  ASSERT_EQ(loadMessage(h, dir.file("b.chp")), "");
  EXPECT_EQ(h.viewer.character.sheet.path, dir.file("chara.bmp"));
  EXPECT_EQ(h.viewer.character.sheet.stamp, age);
  EXPECT_EQ(h.viewer.character.sheet.picture->key(), 0x00123456u);
}

TEST(Fileload, SeveralSheetsTheLastStays) {
  TempDir dir;
  writeTestSheet(dir.file("one.bmp"), 4, 4);
  writeTestSheet(dir.file("two.bmp"), 5, 3);
  writeBytes(dir.file("c.chp"), joinLines({"#CHARBMP one.bmp", "#CHARBMP two.bmp"}));
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("c.chp")), "");
  EXPECT_EQ(h.viewer.character.sheet.path, dir.file("two.bmp"));
  EXPECT_EQ(h.viewer.character.sheet.picture->width(), 5);
  EXPECT_EQ(h.viewer.character.sheet.picture->height(), 3);
}

TEST(Fileload, LineEndsOfEveryKind) {
  TempDir dir;
  writeBytes(dir.file("c.chp"), "#1 1 1 1 1\r#2 2 2 2 2\n#3 3 3 3 3\r\n#4 4 4 4 4"s);
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, dir.file("c.chp")), "");
  for (int cel = 1; cel <= 4; ++cel) expectCel(h.viewer, cel, cel, cel, cel, cel);
}

// A dropped sheet, or any file that is not text, was read as a character file: the view went
// black and the file joined the recent ones. Now it is refused, and the character open before
// stays, with its file; text that merely begins like a signature is still read.
TEST(Fileload, APictureOrABinaryFileIsRefusedAndChangesNothing) {
  TempDir dir;
  writeTestSheet(dir.file("s.bmp"));
  writeBytes(dir.file("open.chp"), "#CHARNAME open\r\n#CHARBMP s.bmp\r\n#1 1 2 3 4\r\n");
  struct Case {
    const char* name;
    std::string bytes;
    std::optional<MessageId> refusal;
  };
  const Case cases[] = {
      {"blob.png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, MessageId::PictureNotCharacter},
      {"blob.bmp", testing::bmp24Bytes(2, 2, [](int32_t, int32_t) { return 0u; }),
       MessageId::PictureNotCharacter},
      {"blob.gif", "GIF89a\x01\0\x01\0"s, MessageId::PictureNotCharacter},
      {"notes.chp", "#1 5 5 5 5\r\n\0\0"s, MessageId::BinaryNotCharacter},
      {"bm.chp", "BM walk, drawn in May\r\n#1 5 5 5 5\r\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(dir.file(c.name), c.bytes);
    ReaderHarness h;
    h.load(dir.file("open.chp"));
    try {
      h.load(dir.file(c.name));
      EXPECT_FALSE(c.refusal) << "the load completed";
      EXPECT_EQ(h.viewer.character.cels[1].x, 5);
      continue;
    } catch (const Error& e) {
      ASSERT_TRUE(c.refusal) << e.text();
      EXPECT_EQ(e.id(), *c.refusal);
      EXPECT_EQ(e.message().arguments.at(0), c.name);
      EXPECT_TRUE(isNotCharacterFile(e));
    }
    EXPECT_EQ(h.viewer.files.characterPath, dir.file("open.chp"));
    EXPECT_EQ(h.viewer.display.characterName, "open");
    EXPECT_EQ(h.viewer.character.cels[1].x, 1);
    EXPECT_NE(h.viewer.character.sheet.picture, nullptr);
  }
}

// --- Names and paths -----------------------------------------------------------------------

TEST(Fileload, NamesInShiftJisAndUtf8) {
  struct Case {
    std::string line;
    std::string shown;
  };
  const std::vector<Case> cases{
      {"#CHARNAME \x82\xD0\x82\xE6\x82\xB1", "ひよこ"},
      {"#CHARNAME ひよこ 二号", "ひよこ"},
      {"#CHARNAME \x95\x5C\x8E\xA6", "表示"},
      {"#CHARNAME Hiyoko", "Hiyoko"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    TempDir dir;
    writeBytes(dir.file("c.chp"), c.line + "\r\n");
    ReaderHarness h;
    ASSERT_EQ(loadMessage(h, dir.file("c.chp")), "");
    EXPECT_EQ(h.viewer.display.characterName, c.shown);
  }
}

TEST(Fileload, SheetFoundWithoutRegardToCaseAndWithBackslashes) {
  struct Case {
    const char* name;
    std::vector<std::string> folders;  // created inside the character file's directory
    std::string onDisk;                // the sheet, relative to that directory
    std::string written;               // the name on the #CHARBMP line
  };
  const std::vector<Case> cases{
      {"exact", {}, "chara.bmp", "chara.bmp"},
      {"upper case on disk", {}, "CHARA.BMP", "chara.bmp"},
      {"backslash separator", {"img"}, "img/chara.bmp", "img\\chara.bmp"},
      {"backslash and case", {"Img", "Img/Sub"}, "Img/Sub/Chara.Bmp", "IMG\\sub\\chara.bmp"},
      {"Shift-JIS name whose second byte is a backslash", {}, "\x95\x5C.bmp", "\x95\x5C.bmp"},
      {"Shift-JIS folder and case", {"\x95\x5C"}, "\x95\x5C/Chara.bmp", "\x95\x5C\\chara.BMP"},
      {"UTF-8 folder with backslash", {"表"}, "表/chara.bmp", "表\\chara.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const auto& folder : c.folders) std::filesystem::create_directory(dir.file(folder));
    writeTestSheet(dir.file(c.onDisk));
    writeBytes(dir.file("c.chp"), "#CHARBMP " + c.written + "\n");
    ReaderHarness h;
    ASSERT_EQ(loadMessage(h, dir.file("c.chp")), "");
    EXPECT_EQ(h.viewer.character.sheet.path, dir.file(c.onDisk));
    EXPECT_EQ(h.viewer.character.sheet.stamp, fileStamp(dir.file(c.onDisk)));
    EXPECT_EQ(h.viewer.character.sheet.picture->width(), 8);
  }
}

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& to)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(to);
  }
  ~CurrentDirectory() { std::filesystem::current_path(previous_); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

TEST(Fileload, BareFileNameLooksInTheCurrentDirectory) {
  TempDir dir;
  writeTestSheet(dir.file("Chara.bmp"));
  writeBytes(dir.file("c.chp"), "#CHARBMP chara.bmp\n");
  CurrentDirectory cd(dir.path());
  ReaderHarness h;
  ASSERT_EQ(loadMessage(h, "c.chp"), "");
  EXPECT_EQ(h.viewer.character.sheet.path, "Chara.bmp");
  EXPECT_EQ(h.viewer.character.sheet.picture->width(), 8);
}

}  // namespace
}  // namespace patapata

namespace patapata {
namespace {

// The window and the status line name where a load stopped from the error itself.
TEST(LoadCharacterFile, ErrorsCarryTheFileAndTheLineWhereTheLoadStopped) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string content;  ///< none: the file does not exist
    int32_t line;
  };
  const Case cases[] = {
      {"bad cel number on line 3", "#CHARNAME a\r\n\r\n#3 242 0 121\r\n#4 0 0 1 1\r\n", 3},
      {"bad interval on the first line", "#ANIME fast", 1},
      {"missing sheet on line 2", "#1 0 0 1 1\n#CHARBMP none.bmp\n", 2},
      {"lone CR ends a line too", "#1 0 0 1 1\r#PATERN xx 01\r", 2},
      {"UTF-16 text, refused before its first line", "\xFF\xFE#\0A\0"s, 1},
      {"missing file", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(std::string(c.name) + ".chp");
    if (c.line != 0) writeBytes(path, c.content);
    ReaderHarness h;
    try {
      h.load(path);
      ADD_FAILURE() << "the load completed";
    } catch (const Error& e) {
      ASSERT_TRUE(e.location().has_value());
      EXPECT_EQ(*e.location(), (FileLocation{path, c.line}));
    }
  }
}

}  // namespace
}  // namespace patapata
