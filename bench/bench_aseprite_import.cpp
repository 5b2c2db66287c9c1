#include "character/aseprite_import.h"
#include "character/state_table.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

// importAseprite of a JSON of 2,000 frames in the object form, as Aseprite writes it by
// default, with 14 tags: 13 name a state through its English meaning, in every direction and
// with a repeat, and one names none. The frames use 250 rectangles (--merge-duplicates), the
// most a character file holds, and durations of 50, 100 and 150 ms.
namespace patapata {
namespace {

constexpr int kFrames = 2000;
constexpr int kTags = 14;

std::string generatedSheet() {
  std::string json = "{ \"frames\": {\n";
  for (int i = 0; i < kFrames; ++i) {
    const int rect = i % 250;
    const std::string x = std::to_string(121 * (rect % 16));
    const std::string y = std::to_string(271 * (rect / 16));
    json += "   \"sprite " + std::to_string(i) + ".aseprite\": {\n    \"frame\": { \"x\": " + x +
            ", \"y\": " + y +
            ", \"w\": 121, \"h\": 271 },\n    \"rotated\": false,\n    \"trimmed\": false,\n"
            "    \"spriteSourceSize\": { \"x\": 0, \"y\": 0, \"w\": 121, \"h\": 271 },\n"
            "    \"sourceSize\": { \"w\": 121, \"h\": 271 },\n    \"duration\": " +
            std::to_string(50 * (1 + i % 3)) + "\n   }" + (i + 1 < kFrames ? ",\n" : "\n");
  }
  json +=
      " },\n \"meta\": {\n  \"app\": \"https://www.aseprite.org/\",\n  \"version\": \"1.3.7\",\n"
      "  \"image\": \"sprite.png\",\n  \"format\": \"RGBA8888\",\n"
      "  \"size\": { \"w\": 1936, \"h\": 4336 },\n  \"scale\": \"1\",\n  \"frameTags\": [\n";
  static const char* kDirections[] = {"forward", "reverse", "pingpong", "pingpong_reverse"};
  constexpr int kSpan = kFrames / kTags;
  for (int t = 0; t < kTags; ++t) {
    const std::string name = t < 13 ? kStates[static_cast<std::size_t>(t)].english : "blink";
    json += "   { \"name\": \"" + name + "\", \"from\": " + std::to_string(t * kSpan) +
            ", \"to\": " + std::to_string(t * kSpan + kSpan - 1) + ", \"direction\": \"" +
            kDirections[t % 4] + "\", \"repeat\": \"" + std::to_string(t % 3) +
            "\", \"color\": \"#000000ff\" }" + (t + 1 < kTags ? ",\n" : "\n");
  }
  json += "  ]\n }\n}\n";
  return json;
}

void BM_AsepriteImport2000Frames14Tags(benchmark::State& state) {
  const std::string json = generatedSheet();
  AsepriteOptions options;
  options.jsonFile = "/sheets/sprite.json";
  std::size_t written = 0;
  for (auto _ : state) {
    const AsepriteImport result = importAseprite(json, options);
    written = result.characterText.size();
    benchmark::DoNotOptimize(result.characterText.data());
  }
  state.counters["json_bytes"] = static_cast<double>(json.size());
  state.counters["chp_bytes"] = static_cast<double>(written);
}
BENCHMARK(BM_AsepriteImport2000Frames14Tags)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace patapata
