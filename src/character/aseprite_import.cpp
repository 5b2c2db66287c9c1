#include "character/aseprite_import.h"

#include "character/state_table.h"
#include "common/encoding.h"
#include "common/file_read.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <map>
#include <numeric>
#include <system_error>
#include <utility>

namespace patapata {

namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

// Cel 1 is every frame's opaque background, so the frames start at cel 2.
constexpr int32_t kFirstCel = 2;
constexpr int32_t kMaxCels = 255 - kFirstCel + 1;
constexpr int64_t kMaxSequence = 255;
// The largest sheet the readers take has 2^26 pixels, so no coordinate lies beyond that.
constexpr int64_t kMaxCoordinate = int64_t{1} << 26;
constexpr int64_t kMinDerivedInterval = 10;
constexpr int64_t kMaxRepeat = 999'999'999;

std::string str(int64_t v) {
  return std::to_string(v);
}

[[noreturn]] void fail(MessageId id, std::vector<std::string> args = {}) {
  throw Error(id, std::move(args));
}

// --- Text ---------------------------------------------------------------------------------

constexpr char32_t kReplacement = 0xFFFD;

// Code points of UTF-8 text; a byte that starts no well-formed character gives U+FFFD.
std::u32string decodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int length = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b < 0x80) {
      length = 1;
      c = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
      c = b & 0x1F;
      min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
      c = b & 0x0F;
      min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
      c = b & 0x07;
      min = 0x10000;
    }
    bool ok = length > 0 && i + static_cast<std::size_t>(length) <= s.size();
    for (int k = 1; ok && k < length; ++k) {
      const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      ok = (t & 0xC0) == 0x80;
      c = (c << 6) | (t & 0x3F);
    }
    ok = ok && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    if (ok) {
      out += c;
      i += static_cast<std::size_t>(length);
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

// Text fit for a message or a note line: well-formed UTF-8 without control characters, so
// that nothing a name holds can start a line of the character file.
std::string printable(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (const char32_t c : decodeUtf8(s))
    encoding::appendUtf8(out, c < 0x20 || c == 0x7F ? U'?' : c);
  return out;
}

// Half-width katakana U+FF61..U+FF9F as full-width characters; the sound marks become the
// spacing marks, which foldName joins to the kana before them.
constexpr std::array<char16_t, 63> kHalfWidthKana{
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};

// The kana with the voiced (dakuten) or semi-voiced (handakuten) mark, or 0 when it takes
// none. Hiragana are handled through the katakana that lie 0x60 above them.
char32_t withSoundMark(char32_t kana, bool semiVoiced) {
  const bool hiragana = kana >= 0x3041 && kana <= 0x3096;
  const char32_t k = hiragana ? kana + 0x60 : kana;
  char32_t result = 0;
  const bool haRow = k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0;
  if (semiVoiced) {
    if (haRow) result = k + 2;
  } else if ((k >= 0x30AB && k <= 0x30C1 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 ||
             k == 0x30C8 || haRow) {
    result = k + 1;
  } else if (k == 0x30A6) {
    result = 0x30F4;
  } else if (!hiragana && k >= 0x30EF && k <= 0x30F2) {
    result = k + 8;
  }
  if (result == 0) return 0;
  return hiragana ? result - 0x60 : result;
}

// A name as tag names are compared: ASCII in lower case, full-width ASCII and half-width
// katakana at their usual width, sound marks joined to their kana, and no blanks, '_' or '-'.
std::u32string foldName(std::string_view utf8) {
  std::u32string out;
  for (char32_t c : decodeUtf8(utf8)) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
      c -= 0xFEE0;
    } else if (c == 0x3000) {
      c = U' ';
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
      c = kHalfWidthKana[c - 0xFF61];
    }
    if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
    if (c == U' ' || c == U'\t' || c == U'_' || c == U'-') continue;
    const bool voiced = c == 0x309B || c == 0x3099;
    const bool semiVoiced = c == 0x309C || c == 0x309A;
    if ((voiced || semiVoiced) && !out.empty()) {
      if (const char32_t joined = withSoundMark(out.back(), semiVoiced)) {
        out.back() = joined;
        continue;
      }
    }
    out += c;
  }
  return out;
}

// The value of a folded text of ASCII digits, capped above 999 (no state has such a number).
std::optional<int32_t> digitsValue(std::u32string_view s) {
  if (s.empty()) return std::nullopt;
  int32_t v = 0;
  for (const char32_t c : s) {
    if (c < U'0' || c > U'9') return std::nullopt;
    v = std::min(1000, v * 10 + static_cast<int32_t>(c - U'0'));
  }
  return v;
}

std::string trimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

// A number of milliseconds as it reads best: whole numbers without decimals.
std::string milliseconds(double ms) {
  if (ms == std::floor(ms) && std::fabs(ms) < 1e15) return str(static_cast<int64_t>(ms));
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", ms);
  std::string s = buffer;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
  return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max()
                                                      : a + b;
}

uint64_t saturatingMultiply(uint64_t a, uint64_t b) {
  if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a) {
    return std::numeric_limits<uint64_t>::max();
  }
  return a * b;
}

// --- JSON members, each checked before use ------------------------------------------------

// A JSON value as a message shows it: scalars as written (long strings shortened),
// containers as brackets only.
std::string describe(const Json& v) {
  if (v.is_object()) return "{...}";
  if (v.is_array()) return "[...]";
  std::string text = v.dump(-1, ' ', false, Json::error_handler_t::replace);
  constexpr std::size_t kLongest = 40;
  if (text.size() > kLongest) {
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut) + "...";
  }
  return printable(text);
}

// `["name"]`: how a key of `frames` is written in a path.
std::string quotedKey(std::string_view key) {
  return "[" + printable(Json(key).dump(-1, ' ', false, Json::error_handler_t::replace)) + "]";
}

// A member of the document together with where it lies. The path, e.g. `frames[3].frame.w`,
// is only spelt out for a message: a child refers to its parent, which outlives it.
class Node {
 public:
  explicit Node(const Json& root) : value_(&root) {}
  Node(const Json& value, const Node& parent, std::string_view key, bool quoted = false)
      : value_(&value), parent_(&parent), key_(key), quoted_(quoted) {}
  Node(const Json& value, const Node& parent, std::size_t index)
      : value_(&value), parent_(&parent), index_(index) {}

  const Json& json() const { return *value_; }

  std::string path() const {
    if (parent_ == nullptr) return {};
    std::string path = parent_->path();
    if (quoted_) {
      path += quotedKey(key_);
    } else if (key_.data() != nullptr) {
      if (!path.empty()) path += '.';
      path += key_;
    } else {
      path += "[" + std::to_string(index_) + "]";
    }
    return path;
  }

  const Node& object() const {
    if (!value_->is_object()) fail(MessageId::AsepriteNotAnObject, {path(), describe(*value_)});
    return *this;
  }
  const Node& array() const {
    if (!value_->is_array()) fail(MessageId::AsepriteNotAnArray, {path(), describe(*value_)});
    return *this;
  }

  /// The member `key` of this object, which must be there.
  Node at(const char* key) const {
    std::optional<Node> member = find(key);
    if (!member) fail(MessageId::AsepriteMissingKey, {Node(*value_, *this, key).path()});
    return *member;
  }
  /// The member `key` of this object, when there is one.
  std::optional<Node> find(const char* key) const {
    object();
    const auto it = value_->find(key);
    if (it == value_->end()) return std::nullopt;
    return Node(*it, *this, key);
  }

  std::string text() const {
    if (!value_->is_string()) fail(MessageId::AsepriteNotAString, {path(), describe(*value_)});
    return value_->get<std::string>();
  }
  bool boolean() const {
    if (!value_->is_boolean()) fail(MessageId::AsepriteNotABoolean, {path(), describe(*value_)});
    return value_->get<bool>();
  }
  int64_t whole(int64_t min, int64_t max) const {
    const Json& v = *value_;
    bool inRange = false;
    int64_t result = 0;
    if (v.is_number_unsigned()) {
      const auto u = v.get<uint64_t>();
      inRange = u <= static_cast<uint64_t>(max) && static_cast<int64_t>(u) >= min;
      result = static_cast<int64_t>(u);
    } else if (v.is_number_integer()) {
      result = v.get<int64_t>();
      inRange = result >= min && result <= max;
    } else if (v.is_number_float()) {
      const auto d = v.get<double>();
      if (std::isfinite(d) && d != std::floor(d)) {
        fail(MessageId::AsepriteNotAWholeNumber, {path(), describe(v)});
      }
      inRange = d >= static_cast<double>(min) && d <= static_cast<double>(max);
      if (inRange) result = static_cast<int64_t>(d);
    } else {
      fail(MessageId::AsepriteNotAWholeNumber, {path(), describe(v)});
    }
    if (!inRange) fail(MessageId::AsepriteOutOfRange, {path(), describe(v), str(min), str(max)});
    return result;
  }
  double number(double min, double max) const {
    const Json& v = *value_;
    if (!v.is_number()) fail(MessageId::AsepriteNotANumber, {path(), describe(v)});
    const auto d = v.get<double>();
    if (!(d >= min && d <= max)) {
      fail(MessageId::AsepriteOutOfRange,
           {path(), describe(v), milliseconds(min), milliseconds(max)});
    }
    return d;
  }

 private:
  const Json* value_;
  const Node* parent_ = nullptr;
  std::string_view key_;  ///< null for an array element
  std::size_t index_ = 0;
  bool quoted_ = false;  ///< a key of `frames`, written as `frames["name"]`
};

// Builds the document as nlohmann::json::parse does, and notes the order of the keys of the
// top-level "frames" object, which is the frames' order and which a std::map-based document
// loses. An order-keeping document (ordered_json) costs three times as much to build, as it
// searches each new key among those before it: 15 ms for 2,000 frames.
class DocumentBuilder : public nlohmann::json_sax<Json> {
 public:
  Json document;
  /// The members of the top-level "frames" object in the file's order. A later value of a
  /// repeated key takes the first one's place, as in any nlohmann document.
  std::vector<const Json::object_t::value_type*> frameMembers;
  std::string error;  ///< the parser's message when it stopped
  /// Where it stopped, in bytes read; past the text's end when the text ended too early.
  std::size_t errorPosition = 0;

  // A null document allocates nothing, which the check cannot see through the library.
  DocumentBuilder() = default;  // NOLINT(bugprone-exception-escape)
  DocumentBuilder(const DocumentBuilder&) = delete;
  DocumentBuilder& operator=(const DocumentBuilder&) = delete;
  ~DocumentBuilder() override = default;

  bool null() override { return place(Json(nullptr)); }
  bool boolean(bool v) override { return place(Json(v)); }
  bool number_integer(number_integer_t v) override { return place(Json(v)); }
  bool number_unsigned(number_unsigned_t v) override { return place(Json(v)); }
  bool number_float(number_float_t v, const string_t&) override { return place(Json(v)); }
  bool string(string_t& v) override { return place(Json(std::move(v))); }
  bool binary(binary_t& v) override { return place(Json::binary(std::move(v))); }
  bool start_object(std::size_t) override {
    open_.push_back(slot(Json::object()));
    return true;
  }
  bool key(string_t& key) override {
    if (open_.size() == 1) {
      inFrames_ = key == "frames";
      // A repeated "frames" replaces the earlier one, its order included.
      if (inFrames_) frameMembers.clear();
    }
    auto& members = open_.back()->get_ref<Json::object_t&>();
    const auto [it, added] = members.emplace(std::move(key), nullptr);
    if (added && open_.size() == 2 && inFrames_) frameMembers.push_back(&*it);
    member_ = &it->second;
    return true;
  }
  bool end_object() override {
    open_.pop_back();
    return true;
  }
  bool start_array(std::size_t) override {
    open_.push_back(slot(Json::array()));
    return true;
  }
  bool end_array() override {
    open_.pop_back();
    return true;
  }
  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception& e) override {
    error = e.what();
    errorPosition = position;
    return false;
  }

 private:
  // Puts a value where the document is at: the root, the next element of the open array, or
  // the member whose key came last. Open containers stay where they are until they close.
  Json* slot(Json value) {
    if (open_.empty()) {
      document = std::move(value);
      return &document;
    }
    Json& parent = *open_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    *member_ = std::move(value);
    return member_;
  }
  bool place(Json value) {
    slot(std::move(value));
    return true;
  }

  std::vector<Json*> open_;
  Json* member_ = nullptr;
  bool inFrames_ = false;  ///< the top-level key last read is "frames"
};

// --- The sheet description ----------------------------------------------------------------

struct Frame {
  std::string_view key;  ///< its key in the object form, null in the array form
  std::size_t index = 0;
  std::array<int64_t, 4> rect{};  ///< x, y, w, h on the sheet
  double durationMs = 0;
  int32_t cel = 0;
};

enum class Direction { Forward, Reverse, PingPong, PingPongReverse };

struct Tag {
  std::string name;
  int32_t from = 0;
  int32_t to = 0;
  Direction direction = Direction::Forward;
  std::string directionName = "forward";
  int64_t repeat = 1;  ///< passes of the whole expansion, at least 1
  int32_t state = -1;  ///< -1 when the tag is left out
};

std::string framePath(const Frame& frame) {
  return "frames" + (frame.key.data() != nullptr
                         ? quotedKey(frame.key)
                         : "[" + str(static_cast<int64_t>(frame.index)) + "]");
}

Frame readFrame(const Node& node) {
  node.object();
  Frame frame;
  const Node rect = node.at("frame");
  rect.object();
  frame.rect = {rect.at("x").whole(0, kMaxCoordinate), rect.at("y").whole(0, kMaxCoordinate),
                rect.at("w").whole(1, kMaxCoordinate), rect.at("h").whole(1, kMaxCoordinate)};
  if (const auto rotated = node.find("rotated"); rotated && rotated->boolean()) {
    fail(MessageId::AsepriteRotatedFrame, {node.path()});
  }
  if (const auto trimmed = node.find("trimmed")) trimmed->boolean();
  const Node placed = node.at("spriteSourceSize");
  placed.object();
  const Node source = node.at("sourceSize");
  source.object();
  const int64_t px = placed.at("x").whole(-kMaxCoordinate, kMaxCoordinate);
  const int64_t py = placed.at("y").whole(-kMaxCoordinate, kMaxCoordinate);
  const int64_t pw = placed.at("w").whole(0, kMaxCoordinate);
  const int64_t ph = placed.at("h").whole(0, kMaxCoordinate);
  const int64_t sw = source.at("w").whole(0, kMaxCoordinate);
  const int64_t sh = source.at("h").whole(0, kMaxCoordinate);
  if (px != 0 || py != 0 || pw != sw || ph != sh) {
    fail(MessageId::AsepriteTrimmedFrame, {node.path()});
  }
  frame.durationMs = node.at("duration").number(1, kMaxAsepriteMs);
  return frame;
}

// `members`: those of `frames` in the file's order, when it is an object.
std::vector<Frame> readFrames(const Node& root,
                              const std::vector<const Json::object_t::value_type*>& members) {
  const Node frames = root.at("frames");
  std::vector<Frame> result;
  if (frames.json().is_object()) {
    result.reserve(frames.json().size());
    for (const auto* member : members) {
      result.push_back(readFrame(Node(member->second, frames, member->first, true)));
      result.back().key = member->first;
      result.back().index = result.size() - 1;
    }
  } else if (frames.json().is_array()) {
    result.reserve(frames.json().size());
    for (std::size_t i = 0; i < frames.json().size(); ++i) {
      const Node node(frames.json()[i], frames, i);
      Frame frame = readFrame(node);
      frame.index = i;
      if (const auto name = node.find("filename")) name->text();
      result.push_back(frame);
    }
  } else {
    fail(MessageId::AsepriteFramesNotObjectOrArray, {describe(frames.json())});
  }
  if (result.empty()) fail(MessageId::AsepriteNoFrames);
  return result;
}

// Numbers the distinct rectangles as cels from kFirstCel on, in frame order; with
// `samePictures`, a rectangle showing the same pixels as an earlier one takes its cel.
void assignCels(std::vector<Frame>& frames, const fs::path& sheet, const AsepriteOptions& options,
                std::vector<Message>& warnings) {
  std::map<std::array<int64_t, 4>, std::size_t> indexOf;
  std::vector<CelRect> rects;
  std::vector<std::size_t> rectOf(frames.size());
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const auto& r = frames[f].rect;
    const auto [it, added] = indexOf.try_emplace(r, rects.size());
    // Coordinates are at most 2^26, so they fit.
    if (added) {
      rects.push_back({static_cast<int32_t>(r[0]), static_cast<int32_t>(r[1]),
                       static_cast<int32_t>(r[2]), static_cast<int32_t>(r[3])});
    }
    rectOf[f] = it->second;
  }
  std::vector<std::size_t> first(rects.size());
  std::iota(first.begin(), first.end(), std::size_t{0});
  if (options.samePictures) {
    std::vector<std::size_t> same = options.samePictures(sheet, rects);
    // Only an earlier rectangle can give its cel; anything else keeps its own.
    if (same.size() == rects.size()) {
      for (std::size_t i = 0; i < rects.size(); ++i) {
        if (same[i] < i) first[i] = first[same[i]];
      }
    }
  }
  std::vector<int32_t> celOf(rects.size(), 0);
  int32_t kept = 0;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (first[i] != i) {
      celOf[i] = celOf[first[i]];
      continue;
    }
    celOf[i] = kFirstCel + kept++;
  }
  if (kept > kMaxCels) fail(MessageId::AsepriteTooManyCels, {str(kept), str(kMaxCels)});
  std::vector<bool> warned(rects.size(), false);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    Frame& frame = frames[f];
    const std::size_t shown = first[rectOf[f]];
    frame.cel = celOf[shown];
    // A merged frame is drawn from the rectangle whose cel it takes.
    const CelRect& r = rects[shown];
    frame.rect = {r.x, r.y, r.width, r.height};
    if (!warned[shown] && (r.width > kViewWidth || r.height > kViewHeight)) {
      warned[shown] = true;
      warnings.push_back(
          {MessageId::AsepriteFrameLargerThanView,
           {framePath(frame), str(r.width), str(r.height), str(kViewWidth), str(kViewHeight)}});
    }
  }
}

int64_t readRepeat(const Node& node) {
  const std::string text = node.text();
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    fail(MessageId::AsepriteBadRepeat, {node.path(), describe(node.json())});
  }
  const auto digits = text.find_first_not_of('0');
  if (digits != std::string::npos && text.size() - digits > 9) {
    fail(MessageId::AsepriteOutOfRange, {node.path(), describe(node.json()), "0", str(kMaxRepeat)});
  }
  // "0" is "for ever" while Aseprite plays; the viewer loops base states by itself.
  return std::max<int64_t>(1, digits == std::string::npos ? 0 : std::stoll(text.substr(digits)));
}

Tag readTag(const Node& node, int32_t frameCount) {
  node.object();
  Tag tag;
  tag.name = node.at("name").text();
  tag.from = static_cast<int32_t>(node.at("from").whole(0, frameCount - 1));
  const Node to = node.at("to");
  tag.to = static_cast<int32_t>(to.whole(0, frameCount - 1));
  if (tag.to < tag.from) {
    fail(MessageId::AsepriteTagEndsBeforeStart, {to.path(), str(tag.to), str(tag.from)});
  }
  const Node direction = node.at("direction");
  tag.directionName = direction.text();
  static constexpr std::pair<const char*, Direction> kDirections[] = {
      {"forward", Direction::Forward},
      {"reverse", Direction::Reverse},
      {"pingpong", Direction::PingPong},
      {"pingpong_reverse", Direction::PingPongReverse},
  };
  const auto* found = std::find_if(std::begin(kDirections), std::end(kDirections),
                                   [&](const auto& d) { return tag.directionName == d.first; });
  if (found == std::end(kDirections)) {
    fail(MessageId::AsepriteUnknownDirection, {direction.path(), describe(direction.json())});
  }
  tag.direction = found->second;
  if (const auto repeat = node.find("repeat")) tag.repeat = readRepeat(*repeat);
  return tag;
}

std::vector<Tag> readTags(const Node& meta, int32_t frameCount) {
  std::vector<Tag> tags;
  const auto list = meta.find("frameTags");
  if (!list) return tags;
  list->array();
  tags.reserve(list->json().size());
  for (std::size_t i = 0; i < list->json().size(); ++i) {
    tags.push_back(readTag(Node(list->json()[i], *list, i), frameCount));
  }
  return tags;
}

// Gives each tag its state: an explicit mapping first, then its name. Tags that name no state,
// or a state an earlier tag took, are left out with a warning.
void assignStates(std::vector<Tag>& tags, const std::vector<TagMapping>& mappings,
                  std::vector<Message>& warnings) {
  std::vector<bool> used(mappings.size(), false);
  std::array<int32_t, kStateCount> owner{};
  owner.fill(-1);
  for (std::size_t i = 0; i < tags.size(); ++i) {
    Tag& tag = tags[i];
    std::optional<int32_t> state;
    for (std::size_t m = 0; m < mappings.size(); ++m) {
      if (mappings[m].tag != tag.name) continue;
      if (!state) state = mappings[m].state;
      used[m] = true;
    }
    if (!state) state = stateForTagName(tag.name);
    if (!state) {
      warnings.push_back({MessageId::AsepriteUnknownTag, {printable(tag.name)}});
      continue;
    }
    const auto slot = static_cast<std::size_t>(*state);
    if (owner[slot] >= 0) {
      warnings.push_back({MessageId::AsepriteDuplicateState,
                          {printable(tag.name), str(*state),
                           printable(tags[static_cast<std::size_t>(owner[slot])].name)}});
      continue;
    }
    owner[slot] = static_cast<int32_t>(i);
    tag.state = *state;
  }
  for (std::size_t m = 0; m < mappings.size(); ++m) {
    if (!used[m]) {
      warnings.push_back(
          {MessageId::AsepriteMappingUnused, {printable(mappings[m].tag), str(mappings[m].state)}});
    }
  }
}

// One pass of a tag's frames. A ping-pong goes there and back without playing its end frames
// twice, so that passes join seamlessly: 1 2 3 gives 1 2 3 2, and a second pass 1 2 3 2 again.
std::vector<int32_t> onePass(const Tag& tag) {
  std::vector<int32_t> pass;
  const bool reversed =
      tag.direction == Direction::Reverse || tag.direction == Direction::PingPongReverse;
  const bool bounces =
      tag.direction == Direction::PingPong || tag.direction == Direction::PingPongReverse;
  const int32_t first = reversed ? tag.to : tag.from;
  const int32_t last = reversed ? tag.from : tag.to;
  const int32_t step = reversed ? -1 : 1;
  for (int32_t f = first;; f += step) {
    pass.push_back(f);
    if (f == last) break;
  }
  if (bounces) {
    for (int32_t f = last - step; f != first && f != first - step; f -= step) pass.push_back(f);
  }
  return pass;
}

std::string celPair(int32_t cel) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return {kHex[(cel >> 4) & 15], kHex[cel & 15]};
}

std::string twoDigits(int32_t v) {
  return v < 10 ? "0" + str(v) : str(v);
}

// --- Where the sheet lies -----------------------------------------------------------------

struct SheetName {
  fs::path path;      ///< the sheet as found from the JSON file's folder
  std::string asChp;  ///< relative to the character file's folder, '/' between components
};

SheetName resolveSheet(const std::string& image, const AsepriteOptions& options) {
  std::string name = image;
  std::replace(name.begin(), name.end(), '\\', '/');
  fs::path jsonFolder = options.jsonFile.parent_path();
  if (jsonFolder.empty()) jsonFolder = ".";
  const fs::path outputFolder = options.outputFolder.empty() ? jsonFolder : options.outputFolder;
  SheetName sheet;
  sheet.path = (jsonFolder / fs::path(name)).lexically_normal();
  // Relative paths are first made absolute: "x.png" seen from "../out" is no lexical matter.
  std::error_code fromError;
  std::error_code toError;
  const fs::path from = fs::absolute(outputFolder, fromError).lexically_normal();
  const fs::path to = fs::absolute(sheet.path, toError).lexically_normal();
  const fs::path relative = fromError || toError ? fs::path() : to.lexically_relative(from);
  if (relative.empty()) {
    fail(MessageId::AsepriteSheetNotRelative,
         {printable(sheet.path.string()), printable(outputFolder.string())});
  }
  sheet.asChp = relative.generic_string();
  for (const char c : sheet.asChp) {
    if (c == ' ' || c == '\t') fail(MessageId::AsepriteSheetNameHasBlank, {printable(sheet.asChp)});
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      fail(MessageId::AsepriteSheetNameHasControl, {printable(sheet.asChp)});
    }
  }
  return sheet;
}

bool readableExtension(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return ext == ".png" || ext == ".bmp" || ext == ".dib";
}

}  // namespace

std::optional<int32_t> stateForTagName(std::string_view name) {
  struct Named {
    std::u32string name;
    int32_t state;
  };
  // Every state's names as folded once; the pattern-check state is reached by mappings only.
  static const std::vector<Named> kNames = [] {
    std::vector<Named> names;
    for (const StateInfo& info : kStates) {
      if (info.state == kCheckState) continue;
      for (const char* text : {info.english, info.buttonCaption, info.caption}) {
        names.push_back({foldName(text), info.state});
      }
    }
    return names;
  }();
  const std::u32string key = foldName(name);
  if (key.empty()) return std::nullopt;
  if (const std::optional<int32_t> number = digitsValue(key)) {
    const auto it = std::find_if(kStates.begin(), kStates.end(), [&](const StateInfo& info) {
      return info.state == *number && info.state != kCheckState;
    });
    if (it == kStates.end()) return std::nullopt;
    return it->state;
  }
  for (const Named& named : kNames) {
    if (named.name == key) return named.state;
  }
  return std::nullopt;
}

TagMapping parseTagMapping(std::string_view text) {
  const auto equals = text.rfind('=');
  const auto bad = [&] { fail(MessageId::AsepriteBadMapping, {printable(text)}); };
  if (equals == std::string_view::npos || equals == 0) bad();
  TagMapping mapping;
  mapping.tag = std::string(text.substr(0, equals));
  const std::string target = trimBlanks(text.substr(equals + 1));
  if (const auto number = digitsValue(foldName(target))) {
    if (*number >= kStateCount) bad();
    mapping.state = *number;
  } else if (const auto state = stateForTagName(target)) {
    mapping.state = *state;
  } else {
    bad();
  }
  return mapping;
}

AsepriteImport importAseprite(std::string_view jsonText, const AsepriteOptions& options) {
  if (options.intervalMs && (*options.intervalMs < 1 || *options.intervalMs > kMaxAsepriteMs)) {
    fail(MessageId::AsepriteBadInterval,
         {str(*options.intervalMs), "1", std::to_string(kMaxAsepriteMs)});
  }
  for (const TagMapping& mapping : options.mappings) {
    if (mapping.state < 0 || mapping.state >= kStateCount) {
      fail(MessageId::AsepriteBadMapping, {printable(mapping.tag) + "=" + str(mapping.state)});
    }
  }

  DocumentBuilder builder;
  bool parsed = false;
  try {
    parsed = Json::sax_parse(jsonText, &builder);
  } catch (const Json::exception& e) {
    builder.error = e.what();
  }
  if (!parsed) {
    // The library's text starts with its own "[json.exception.parse_error.101] " tag.
    std::string_view detail = builder.error;
    if (const auto end = detail.find("] "); end != std::string_view::npos) {
      detail.remove_prefix(end + 2);
    }
    // Text that stops in the middle of a value is most likely a file still being written.
    fail(builder.errorPosition > jsonText.size() ? MessageId::AsepriteJsonCutShort
                                                 : MessageId::AsepriteJsonMalformed,
         {printable(detail)});
  }
  const Json& document = builder.document;

  AsepriteImport result;
  std::vector<Message>& warnings = result.warnings;
  const Node root(document);
  if (!document.is_object()) {
    fail(MessageId::AsepriteNotASheetDescription, {describe(document)});
  }
  std::vector<Frame> frames = readFrames(root, builder.frameMembers);
  const Node meta = root.at("meta");
  meta.object();
  const Node image = meta.at("image");
  const std::string imageName = image.text();
  if (imageName.empty()) fail(MessageId::AsepriteEmptyImageName, {image.path()});
  const SheetName sheet = resolveSheet(imageName, options);
  result.sheetPath = sheet.path;
  assignCels(frames, sheet.path, options, warnings);
  const auto frameCount = static_cast<int32_t>(
      std::min<std::size_t>(frames.size(), std::numeric_limits<int32_t>::max()));
  std::vector<Tag> tags = readTags(meta, frameCount);
  const bool untagged = tags.empty();
  assignStates(tags, options.mappings, warnings);
  if (untagged) {
    Tag all;
    all.to = frameCount - 1;
    all.state = 1;
    tags.push_back(all);
  }
  std::erase_if(tags, [](const Tag& tag) { return tag.state < 0; });
  if (tags.empty()) warnings.push_back({MessageId::AsepriteNoStates, {}});
  std::sort(tags.begin(), tags.end(), [](const Tag& a, const Tag& b) { return a.state < b.state; });

  // The interval divides the durations of the frames that play (of every frame when none do).
  std::vector<bool> played(frames.size(), false);
  for (const Tag& tag : tags) {
    std::fill(played.begin() + tag.from, played.begin() + tag.to + 1, true);
  }
  int64_t interval = 0;
  if (options.intervalMs) {
    interval = *options.intervalMs;
  } else {
    for (std::size_t f = 0; f < frames.size(); ++f) {
      if (played[f] || tags.empty()) {
        interval = std::gcd(interval, std::max<int64_t>(1, std::llround(frames[f].durationMs)));
      }
    }
    interval = std::max(kMinDerivedInterval, interval);
  }
  std::vector<int64_t> repeats(frames.size());
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const double duration = frames[f].durationMs;
    repeats[f] = std::max<int64_t>(1, std::llround(duration / static_cast<double>(interval)));
    const int64_t plays = repeats[f] * interval;
    // Compared as shown: a difference below the shown thousandth would read "100 ms as 100 ms".
    if (played[f] && milliseconds(duration) != str(plays)) {
      warnings.push_back({MessageId::AsepriteDurationRounded,
                          {framePath(frames[f]), milliseconds(duration), str(plays),
                           str(repeats[f]), str(interval)}});
    }
  }

  std::string charName = printable(options.jsonFile.stem().string());
  if (charName.find_first_of(" \t") != std::string::npos) {
    const std::string original = charName;
    std::replace(charName.begin(), charName.end(), ' ', '_');
    warnings.push_back({MessageId::AsepriteNameBlanksReplaced, {original, charName}});
  }
  const std::string jsonName = printable(options.jsonFile.filename().string());

  std::string& out = result.characterText;
  out.reserve(256 + frames.size() * 24 + tags.size() * 600);
  out += jsonName.empty() ? "; Made by patapata's Aseprite importer.\n"
                          : "; Made from " + jsonName + " by patapata's Aseprite importer.\n";
  out +=
      "; Cel 1, the view's background, is left out on purpose: every frame draws cel 1 opaque\n"
      "; under its pattern cel, so the frames are cels 02 and up and the background stays "
      "black.\n";
  out += "#CHARNAME " + charName + "\n";
  out += "#ANIME " + str(interval) + "\n";
  out += "#CHARBMP " + sheet.asChp + "\n";
  out += "#DATA 16\n";
  int32_t nextCel = kFirstCel;
  for (const Frame& frame : frames) {
    if (frame.cel != nextCel) continue;
    ++nextCel;
    out += "#" + celPair(frame.cel) + " " + str(frame.rect[0]) + " " + str(frame.rect[1]) + " " +
           str(frame.rect[2]) + " " + str(frame.rect[3]) + "\n";
  }
  for (const Tag& tag : tags) {
    const std::vector<int32_t> pass = onePass(tag);
    uint64_t passLength = 0;
    for (const int32_t f : pass) {
      passLength =
          saturatingAdd(passLength, static_cast<uint64_t>(repeats[static_cast<std::size_t>(f)]));
    }
    const uint64_t length = saturatingMultiply(passLength, static_cast<uint64_t>(tag.repeat));
    std::string sequence;
    sequence.reserve(2 * kMaxSequence);
    for (int64_t r = 0; r < tag.repeat && sequence.size() < 2 * kMaxSequence; ++r) {
      for (const int32_t f : pass) {
        const Frame& frame = frames[static_cast<std::size_t>(f)];
        for (int64_t k = 0;
             k < repeats[static_cast<std::size_t>(f)] && sequence.size() < 2 * kMaxSequence; ++k) {
          sequence += celPair(frame.cel);
        }
      }
    }
    if (length > static_cast<uint64_t>(kMaxSequence)) {
      warnings.push_back({MessageId::AsepriteSequenceCut,
                          {str(tag.state), std::to_string(length), str(kMaxSequence)}});
    }
    const StateInfo* info = stateInfo(tag.state);
    out += "; State " + str(tag.state);
    if (info != nullptr) out += std::string(" (") + info->english + ")";
    if (untagged) {
      out += ": every frame, as there are no tags\n";
    } else {
      out += ": tag '" + printable(tag.name) + "', " +
             (tag.from == tag.to ? "frame " + str(tag.from)
                                 : "frames " + str(tag.from) + "-" + str(tag.to)) +
             ", " + tag.directionName + (tag.repeat > 1 ? ", " + str(tag.repeat) + " times" : "") +
             "\n";
    }
    out += "#PATERN " + twoDigits(tag.state) + " " + sequence + "\n";
  }

  if (!readableExtension(sheet.path)) {
    warnings.push_back({MessageId::AsepriteSheetExtension, {printable(sheet.asChp)}});
  }
  if (options.fileExists && !options.fileExists(sheet.path)) {
    warnings.push_back({MessageId::AsepriteSheetMissing, {printable(sheet.path.string())}});
  }
  return result;
}

AsepriteImport importAsepriteFile(const fs::path& jsonFile, AsepriteOptions options) {
  const std::string name = printable(jsonFile.string());
  std::error_code error;
  const auto size = fs::file_size(jsonFile, error);
  if (!error && size > static_cast<uintmax_t>(kMaxAsepriteJsonBytes)) {
    fail(MessageId::AsepriteJsonTooLarge, {name, std::to_string(kMaxAsepriteJsonBytes)});
  }
  const std::optional<FileBytes> bytes = readWholeFile(jsonFile.string());
  if (!bytes) fail(MessageId::AsepriteJsonUnreadable, {name});
  if (bytes->size() > static_cast<std::size_t>(kMaxAsepriteJsonBytes)) {
    fail(MessageId::AsepriteJsonTooLarge, {name, std::to_string(kMaxAsepriteJsonBytes)});
  }
  options.jsonFile = jsonFile;
  return importAseprite(
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), options);
}

}  // namespace patapata
