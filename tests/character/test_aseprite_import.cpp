#include "character/aseprite_import.h"

#include "character/character_reader.h"
#include "support/reader_fixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace patapata {
namespace {

using Json = nlohmann::ordered_json;
const std::string kData = std::string(PATAPATA_TEST_DATA) + "/aseprite/";

// Frames side by side, 10 × 20 each; `rectOf[i]` picks frame i's rectangle (default: i).
Json sheet(const std::vector<double>& durations, const std::vector<int>& rectOf = {}) {
  Json doc = {{"frames", Json::array()}, {"meta", {{"image", "s.png"}}}};
  for (std::size_t i = 0; i < durations.size(); ++i) {
    const int r = rectOf.empty() ? static_cast<int>(i) : rectOf[i];
    doc["frames"].push_back({{"filename", "f" + std::to_string(i)},
                             {"frame", {{"x", 10 * r}, {"y", 0}, {"w", 10}, {"h", 20}}},
                             {"rotated", false},
                             {"trimmed", false},
                             {"spriteSourceSize", {{"x", 0}, {"y", 0}, {"w", 10}, {"h", 20}}},
                             {"sourceSize", {{"w", 10}, {"h", 20}}},
                             {"duration", durations[i]}});
  }
  return doc;
}

Json tag(const std::string& name, int from, int to, const std::string& direction = "forward") {
  return {{"name", name}, {"from", from}, {"to", to}, {"direction", direction}};
}

// Every placeholder of a message's text has its argument, and every argument its place.
void expectFilled(const Message& message) {
  const std::string_view pattern = messageSource(message.id);
  for (std::size_t i = 1; i <= 9; ++i) {
    const bool used = pattern.find("%" + std::to_string(i)) != std::string_view::npos;
    EXPECT_EQ(used, i <= message.arguments.size()) << messageText(message) << " %" << i;
  }
}

AsepriteImport run(const Json& doc, AsepriteOptions options = {}) {
  if (options.jsonFile.empty()) options.jsonFile = "/in/s.json";
  try {
    AsepriteImport result = importAseprite(doc.dump(), options);
    for (const Message& w : result.warnings) expectFilled(w);
    return result;
  } catch (const Error& e) {
    expectFilled(e.message());
    throw;
  }
}

// The cels of a state's "#PATERN" line, empty when there is none.
std::vector<int> pattern(const std::string& chp, int state) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "#PATERN %02d ", state);
  std::istringstream lines(chp);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::vector<int> cels;
    for (std::size_t i = std::strlen(prefix); i + 1 < line.size(); i += 2) {
      cels.push_back(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    return cels;
  }
  return {};
}

bool hasLine(const std::string& chp, const std::string& line) {
  return ("\n" + chp).find("\n" + line + "\n") != std::string::npos;
}

std::vector<MessageId> ids(const std::vector<Message>& messages) {
  std::vector<MessageId> out;
  for (const Message& m : messages) out.push_back(m.id);
  return out;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Catches a text the reader takes differently from what the importer meant: the golden file
// is loaded by the character reader and its tables checked against the examples' tags.
TEST(AsepriteImport, ExamplesGiveTheirGoldenFilesWhichReadBackAsTagged) {
  struct Case {
    const char* name;
    int32_t interval;
    std::vector<std::pair<int, std::vector<int>>> states;
    std::vector<MessageId> warnings;
  };
  const Case cases[] = {
      {"blob-array", 50, {{1, {2, 2, 3, 3, 4, 4, 4, 4, 3, 3}}, {10, {5, 5, 5, 5, 5, 5}}}, {}},
      {"blob-hash", 120, {{6, {2, 3, 4, 4}}, {16, {5}}}, {MessageId::AsepriteUnknownTag}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AsepriteOptions options;
    options.fileExists = [](const std::filesystem::path& p) { return std::filesystem::exists(p); };
    const AsepriteImport result = importAsepriteFile(kData + c.name + ".json", std::move(options));
    const std::string golden = kData + c.name + ".chp";
    EXPECT_EQ(result.characterText, readFile(golden));
    EXPECT_EQ(ids(result.warnings), c.warnings);

    testing::ReaderHarness harness;
    harness.load(golden);
    const Character& v = harness.viewer.character;
    EXPECT_EQ(v.frameIntervalMs, c.interval);
    EXPECT_EQ(v.sheet.path, kData + c.name + ".png");
    EXPECT_EQ(v.cels[1], CelRect{}) << "cel 1 is the background and stays undefined";
    EXPECT_EQ(v.cels[2], (CelRect{0, 0, 121, 271}));
    EXPECT_EQ(v.cels[6], CelRect{});
    int rows = 0;
    for (int s = 0; s < kStateCount; ++s) rows += v.pattern[s][1] != kEmptyCel;
    EXPECT_EQ(rows, static_cast<int>(c.states.size()));
    for (const auto& [state, cels] : c.states) {
      SCOPED_TRACE(state);
      const auto& row = v.pattern[state];
      EXPECT_EQ(testing::slots(row, static_cast<int>(cels.size())),
                std::vector<int32_t>(cels.begin(), cels.end()));
      EXPECT_EQ(row[cels.size() + 1], kEmptyCel);
    }
  }
}

// Catches a direction played the wrong way round, ping-pong ends played twice, and repeat
// ignored or applied to the wrong unit. Frames 0..2 are cels 2..4.
TEST(AsepriteImport, DirectionsAndRepeatsExpandAsDocumented) {
  struct Case {
    const char* direction;
    int from, to;
    const char* repeat;  // null: absent
    std::vector<int> cels;
  };
  const Case cases[] = {
      {"forward", 0, 2, nullptr, {2, 3, 4}},
      {"forward", 0, 2, "2", {2, 3, 4, 2, 3, 4}},
      {"forward", 0, 2, "0", {2, 3, 4}},
      {"reverse", 0, 2, "1", {4, 3, 2}},
      {"reverse", 1, 2, "3", {4, 3, 4, 3, 4, 3}},
      {"pingpong", 0, 2, nullptr, {2, 3, 4, 3}},
      {"pingpong", 0, 2, "2", {2, 3, 4, 3, 2, 3, 4, 3}},
      {"pingpong", 0, 1, nullptr, {2, 3}},
      {"pingpong", 1, 1, "3", {3, 3, 3}},
      {"pingpong_reverse", 0, 2, nullptr, {4, 3, 2, 3}},
      {"pingpong_reverse", 0, 2, "2", {4, 3, 2, 3, 4, 3, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.direction) + " " + (c.repeat ? c.repeat : "-"));
    Json doc = sheet({100, 100, 100});
    Json t = tag("normal 1", c.from, c.to, c.direction);
    if (c.repeat) t["repeat"] = c.repeat;
    doc["meta"]["frameTags"] = Json::array({t});
    const AsepriteImport result = run(doc);
    EXPECT_EQ(pattern(result.characterText, 1), c.cels);
    EXPECT_TRUE(result.warnings.empty());
  }
}

// Catches a wrong interval (GCD, floor of 10, the option), wrong rounding of durations to
// repetitions, and roundings or cuts that pass silently. No tags: all frames are state 1.
TEST(AsepriteImport, DurationsBecomeRepetitionsOfOneInterval) {
  struct Case {
    std::vector<double> durations;
    std::optional<int32_t> interval;
    const char* anime;
    std::vector<int> cels;
    std::vector<Message> warnings;
  };
  const std::string f0 = "frames[0]", f1 = "frames[1]";
  const Case cases[] = {
      {{100, 100, 200}, {}, "#ANIME 100", {2, 3, 4, 4}, {}},
      {{30, 45}, {}, "#ANIME 15", {2, 2, 3, 3, 3}, {}},
      {{5, 10},
       {},
       "#ANIME 10",
       {2, 3},
       {{MessageId::AsepriteDurationRounded, {f0, "5", "10", "1", "10"}}}},
      {{100, 150},
       100,
       "#ANIME 100",
       {2, 3, 3},
       {{MessageId::AsepriteDurationRounded, {f1, "150", "200", "2", "100"}}}},
      {{40, 100},
       30,
       "#ANIME 30",
       {2, 3, 3, 3},
       {{MessageId::AsepriteDurationRounded, {f0, "40", "30", "1", "30"}},
        {MessageId::AsepriteDurationRounded, {f1, "100", "90", "3", "30"}}}},
      {{16.5, 33},
       {},
       "#ANIME 10",
       {2, 2, 3, 3, 3},
       {{MessageId::AsepriteDurationRounded, {f0, "16.5", "20", "2", "10"}},
        {MessageId::AsepriteDurationRounded, {f1, "33", "30", "3", "10"}}}},
      // Below what a message shows: "lasts 100 ms but plays as 100 ms" would be no news.
      {{100.0000001, 200}, {}, "#ANIME 100", {2, 3, 3}, {}},
      {{3000},
       10,
       "#ANIME 10",
       std::vector<int>(255, 2),
       {{MessageId::AsepriteSequenceCut, {"1", "300", "255"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.anime);
    AsepriteOptions options;
    options.intervalMs = c.interval;
    const AsepriteImport result = run(sheet(c.durations), options);
    EXPECT_TRUE(hasLine(result.characterText, c.anime));
    EXPECT_EQ(pattern(result.characterText, 1), c.cels);
    EXPECT_EQ(result.warnings, c.warnings);
  }
}

// Catches names that fail to match across case, blanks and character width, and names that
// wrongly reach the pattern-check state or rows without a button.
TEST(AsepriteImport, TagNamesMatchNumberMeaningOrCaption) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"6", 6},           {"６", 6},
      {"joy 1", 6},       {"JOY1", 6},
      {"喜び１", 6},      {"喜び1", 6},
      {"damage 1", 10},   {"Damage1", 10},
      {"ダメージ１", 10}, {"ﾀﾞﾒｰｼﾞ１", 10},
      {"ダメージ1", 10},  {"ﾀﾞﾒｰｼﾞ 3", 12},
      {"通常2", 2},       {"ｎｏｒｍａｌ＿２", 2},
      {"ﾐｽ", 4},          {"Lose", 16},
      {"30", {}},         {"pattern check", {}},
      {"ﾊﾟﾀｰﾝﾁｪｯｸ", {}},  {"9", {}},
      {"blink", {}},      {"", {}},
      {"joy", {}},
  };
  for (const auto& [name, state] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(stateForTagName(name), state);
  }
}

// Catches mappings that do not override names, a second tag taking a state, and unknown
// tags or unused mappings passing without a word.
TEST(AsepriteImport, MappingsAndTagConflicts) {
  struct Case {
    std::vector<const char*> tags;
    std::vector<const char*> mappings;
    std::vector<int> states;  // states given a sequence
    std::vector<MessageId> warnings;
  };
  const Case cases[] = {
      {{"blink"}, {}, {}, {MessageId::AsepriteUnknownTag, MessageId::AsepriteNoStates}},
      {{"blink"}, {"blink=7"}, {7}, {}},
      {{"blink", "joy 1"}, {"blink=joy 1"}, {6}, {MessageId::AsepriteDuplicateState}},
      {{"normal1", "Normal 1"}, {}, {1}, {MessageId::AsepriteDuplicateState}},
      {{"joy 1"}, {"joy 1=30", "joy 1=2"}, {30}, {}},
      {{"lose"}, {"nothing=3"}, {16}, {MessageId::AsepriteMappingUnused}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tags.front() + std::string(c.mappings.empty() ? "" : c.mappings.front()));
    Json doc = sheet({100, 100});
    for (std::size_t i = 0; i < c.tags.size(); ++i) {
      doc["meta"]["frameTags"].push_back(tag(c.tags[i], static_cast<int>(i), static_cast<int>(i)));
    }
    AsepriteOptions options;
    for (const char* m : c.mappings) options.mappings.push_back(parseTagMapping(m));
    const AsepriteImport result = run(doc, options);
    std::vector<int> states;
    for (int s = 0; s < kStateCount; ++s) {
      if (!pattern(result.characterText, s).empty()) states.push_back(s);
    }
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(ids(result.warnings), c.warnings);
  }
  EXPECT_EQ(parseTagMapping("a=b=damage2"), (TagMapping{"a=b", 11}));
  for (const char* bad : {"x=31", "=3", "x=", "x=blink", "x"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(parseTagMapping(bad), Error);
  }
}

// Catches duplicates given cels of their own, numbering that does not start at cel 2, and
// the limit of 254 cels misplaced by one either way.
TEST(AsepriteImport, EqualRectanglesShareACelUpToTheLimit) {
  const AsepriteImport merged = run(sheet({100, 100, 100, 100}, {0, 1, 0, 1}));
  EXPECT_EQ(pattern(merged.characterText, 1), (std::vector<int>{2, 3, 2, 3}));
  EXPECT_EQ(merged.characterText.find("\n#04 "), std::string::npos);

  const std::vector<double> at254(254, 100.0), at255(255, 100.0);
  EXPECT_TRUE(hasLine(run(sheet(at254)).characterText, "#FF 2530 0 10 20"));
  try {
    run(sheet(at255));
    ADD_FAILURE() << "255 rectangles were taken";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), (Message{MessageId::AsepriteTooManyCels, {"255", "254"}}));
  }
}

// Catches a #CHARBMP that the reader would look for in the wrong place or cut at a blank,
// and sheets the viewer cannot read passing silently.
TEST(AsepriteImport, SheetIsNamedRelativeToTheCharacterFile) {
  struct Case {
    const char* json;
    const char* output;
    const char* image;
    const char* line;
    std::vector<MessageId> warnings;
  };
  const Case cases[] = {
      {"/a/b/x.json", "", "x.png", "#CHARBMP x.png", {}},
      {"/a/b/x.json", "/a/c", "x.png", "#CHARBMP ../b/x.png", {}},
      {"/a/b/x.json", "/a/b/", "img\\x.png", "#CHARBMP img/x.png", {}},
      {"/a/b/x.json", "/a", "../x.PNG", "#CHARBMP x.PNG", {}},
      {"x.json", "out", "x.png", "#CHARBMP ../x.png", {}},
      {"/a/x.json", "", "x.gif", "#CHARBMP x.gif", {MessageId::AsepriteSheetExtension}},
      {"/a/my blob.json",
       "",
       "x.png",
       "#CHARNAME my_blob",
       {MessageId::AsepriteNameBlanksReplaced}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Json doc = sheet({100});
    doc["meta"]["image"] = c.image;
    AsepriteOptions options;
    options.jsonFile = c.json;
    options.outputFolder = c.output;
    const AsepriteImport result = run(doc, options);
    EXPECT_TRUE(hasLine(result.characterText, c.line)) << result.characterText;
    EXPECT_EQ(ids(result.warnings), c.warnings);
  }
  AsepriteOptions options;
  std::vector<std::filesystem::path> asked;
  options.fileExists = [&](const std::filesystem::path& p) {
    asked.push_back(p);
    return false;
  };
  EXPECT_EQ(run(sheet({100}), options).warnings,
            (std::vector<Message>{{MessageId::AsepriteSheetMissing, {"/in/s.png"}}}));
  EXPECT_EQ(asked, std::vector<std::filesystem::path>{"/in/s.png"});
}

// Catches a crash, an escaping library exception or a vague message on every kind of bad
// input: each case patches one member of a valid description (null: removes it).
TEST(AsepriteImport, BadDescriptionsAreRefusedNamingTheMember) {
  struct Case {
    const char* pointer;
    const char* value;  // JSON text, or null to remove the member
    Message error;
  };
  const Case cases[] = {
      {"", "[1]", {MessageId::AsepriteNotASheetDescription, {"[...]"}}},
      {"/frames", nullptr, {MessageId::AsepriteMissingKey, {"frames"}}},
      {"/frames", "\"x\"", {MessageId::AsepriteFramesNotObjectOrArray, {"\"x\""}}},
      {"/frames", "{}", {MessageId::AsepriteNoFrames, {}}},
      {"/frames/1", "7", {MessageId::AsepriteNotAnObject, {"frames[1]", "7"}}},
      {"/frames/1/frame/w",
       "\"10\"",
       {MessageId::AsepriteNotAWholeNumber, {"frames[1].frame.w", "\"10\""}}},
      {"/frames/1/frame/w",
       "-3",
       {MessageId::AsepriteOutOfRange, {"frames[1].frame.w", "-3", "1", "67108864"}}},
      {"/frames/0/frame/x",
       "1.5",
       {MessageId::AsepriteNotAWholeNumber, {"frames[0].frame.x", "1.5"}}},
      {"/frames/0/frame/h", nullptr, {MessageId::AsepriteMissingKey, {"frames[0].frame.h"}}},
      {"/frames/0/duration",
       "\"100\"",
       {MessageId::AsepriteNotANumber, {"frames[0].duration", "\"100\""}}},
      {"/frames/0/duration",
       "0",
       {MessageId::AsepriteOutOfRange, {"frames[0].duration", "0", "1", "3600000"}}},
      {"/frames/0/rotated", "true", {MessageId::AsepriteRotatedFrame, {"frames[0]"}}},
      {"/frames/0/trimmed",
       "null",
       {MessageId::AsepriteNotABoolean, {"frames[0].trimmed", "null"}}},
      {"/frames/1/spriteSourceSize/x", "1", {MessageId::AsepriteTrimmedFrame, {"frames[1]"}}},
      {"/frames/1/sourceSize/h", "30", {MessageId::AsepriteTrimmedFrame, {"frames[1]"}}},
      {"/meta", nullptr, {MessageId::AsepriteMissingKey, {"meta"}}},
      {"/meta/image", "\"\"", {MessageId::AsepriteEmptyImageName, {"meta.image"}}},
      {"/meta/image", "5", {MessageId::AsepriteNotAString, {"meta.image", "5"}}},
      {"/meta/image", "\"a b.png\"", {MessageId::AsepriteSheetNameHasBlank, {"a b.png"}}},
      {"/meta/image", "\"a\\nb.png\"", {MessageId::AsepriteSheetNameHasControl, {"a?b.png"}}},
      {"/meta/frameTags", "{}", {MessageId::AsepriteNotAnArray, {"meta.frameTags", "{...}"}}},
      {"/meta/frameTags/0/name",
       nullptr,
       {MessageId::AsepriteMissingKey, {"meta.frameTags[0].name"}}},
      {"/meta/frameTags/0/to",
       "2",
       {MessageId::AsepriteOutOfRange, {"meta.frameTags[0].to", "2", "0", "1"}}},
      {"/meta/frameTags/0/from",
       "1",
       {MessageId::AsepriteTagEndsBeforeStart, {"meta.frameTags[0].to", "0", "1"}}},
      {"/meta/frameTags/0/direction",
       "\"up\"",
       {MessageId::AsepriteUnknownDirection, {"meta.frameTags[0].direction", "\"up\""}}},
      {"/meta/frameTags/0/repeat",
       "2",
       {MessageId::AsepriteNotAString, {"meta.frameTags[0].repeat", "2"}}},
      {"/meta/frameTags/0/repeat",
       "\"-1\"",
       {MessageId::AsepriteBadRepeat, {"meta.frameTags[0].repeat", "\"-1\""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pointer) + " = " + (c.value ? c.value : "(removed)"));
    Json doc = sheet({100, 100});
    doc["meta"]["frameTags"] = Json::array({tag("lose", 0, 0)});
    const Json::json_pointer pointer(c.pointer);
    if (c.value == nullptr) {
      doc[pointer.parent_pointer()].erase(pointer.back());
    } else {
      doc[pointer] = Json::parse(c.value);
    }
    try {
      run(doc);
      ADD_FAILURE() << "taken";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), c.error) << e.what();
    }
  }
  // The object form names a frame by its key; malformed text and a missing file say so.
  Json hash = {{"frames", {{"a b", sheet({1})["frames"][0]}}}, {"meta", {{"image", "s.png"}}}};
  hash["frames"]["a b"]["frame"].erase("h");
  const std::pair<std::function<void()>, std::string> texts[] = {
      {[&] { run(hash); }, "frames[\"a b\"].frame.h is missing"},
      {[] { importAseprite("{\"frames\": ]}", {}); },
       "The text is not valid JSON: parse error at line 1, column 12: syntax error while parsing "
       "value - unexpected ']'; expected '[', '{', or a literal"},
      // Text that stops early is told apart: the poll waits for the rest of a save.
      {[] { importAseprite("{\"frames\": [", {}); },
       "The JSON text ends before it is complete, so the file may still be being written: parse "
       "error at line 1, column 13: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal"},
      {[] { importAsepriteFile("/nonexistent/x.json", {}); },
       "The JSON file '/nonexistent/x.json' cannot be read"},
  };
  for (const auto& [call, text] : texts) {
    SCOPED_TRACE(text);
    try {
      call();
      ADD_FAILURE() << "taken";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), text);
    }
  }
}

}  // namespace
}  // namespace patapata
