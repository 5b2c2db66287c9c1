#include "common/errors.h"
#include "common/file_read.h"
#include "surfaces/draw_context.h"
#include "surfaces/pixel_format.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The committed hostile files of tests/data/hostile/ (written by
// tests/data/make_hostile_corpus.py), loaded as the viewer loads a sheet: each fails with the
// right error class and message and leaves the surface as it was, or decodes to the picture
// its manifest line gives. ASan and UBSan watch the buffers in the asan preset.
namespace patapata {
namespace {

const std::string kCorpus = std::string(PATAPATA_TEST_DATA) + "/hostile/";

struct HostileFile {
  std::string file;
  std::string faultClass;
  bool fails = false;
  std::string errorClass;  ///< when it fails
  std::string message;     ///< when it fails
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  ///< top-down 0x00RRGGBB; empty with `everyPixel` set
  bool everyPixelSame = false;
  uint32_t everyPixel = 0;
};

void PrintTo(const HostileFile& c, std::ostream* os) {
  *os << c.file;
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

std::vector<uint32_t> parseColours(const std::string& list) {
  std::vector<uint32_t> out;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ','))
    out.push_back(static_cast<uint32_t>(std::stoul(item, nullptr, 16)));
  return out;
}

// A malformed manifest line becomes a case that fails its test with the line in its name.
std::vector<HostileFile> loadManifest() {
  std::vector<HostileFile> cases;
  std::ifstream in(kCorpus + "manifest.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto fields = splitTabs(line);
    HostileFile c;
    c.file = fields.empty() ? line : fields[0];
    if (fields.size() != 3) {
      c.fails = true;
      c.errorClass = "malformed manifest line: " + line;
      cases.push_back(c);
      continue;
    }
    c.faultClass = fields[1];
    std::stringstream expect(fields[2]);
    std::string kind;
    expect >> kind;
    if (kind == "error") {
      c.fails = true;
      expect >> c.errorClass;
      expect.get();  // the blank before the message
      std::getline(expect, c.message);
    } else {
      std::string colours;
      expect >> c.width >> c.height >> colours;
      if (colours == "all") {
        std::string colour;
        expect >> colour;
        c.everyPixelSame = true;
        c.everyPixel = static_cast<uint32_t>(std::stoul(colour, nullptr, 16));
      } else if (!colours.empty()) {
        c.pixels = parseColours(colours);
      }
    }
    cases.push_back(c);
  }
  return cases;
}

const std::map<std::string, MessageId>& errorClasses() {
  static const std::map<std::string, MessageId> ids = {
      {"InvalidBitmap", MessageId::InvalidBitmap},
      {"PictureCutShort", MessageId::PictureCutShort},
      {"InvalidDib", MessageId::InvalidDib},
      {"StreamReadError", MessageId::StreamReadError},
      {"InvalidPixelFormat", MessageId::InvalidPixelFormat},
      {"InvalidBitCount", MessageId::InvalidBitCount},
      {"SurfaceNotCreated", MessageId::SurfaceNotCreated},
  };
  return ids;
}

// The most pixels a file of `bytes` bytes can describe: 255 per two bytes of run-length data
// (more than the 8 per byte of a 1-bit picture), or a sparse run-length picture of up to a
// million pixels that leaves every pixel at its background colour.
int64_t describablePixels(std::size_t bytes) {
  return std::max<int64_t>((static_cast<int64_t>(bytes) / 2 + 1) * 255, int64_t{1} << 20);
}

class HostileCorpus : public ::testing::TestWithParam<HostileFile> {
 protected:
  platform::SurfaceService service_{PixelFormat::xrgb8888()};
};

TEST_P(HostileCorpus, FailsWithItsMessageOrDecodesToItsPicture) {
  const HostileFile& c = GetParam();
  ASSERT_TRUE(c.errorClass.rfind("malformed", 0) != 0) << c.errorClass;
  const auto bytes = readWholeFile(kCorpus + c.file);
  ASSERT_TRUE(bytes.has_value()) << "missing from the corpus";

  std::shared_ptr<const SheetPicture> sheet;
  try {
    sheet = SheetPicture::load(service_, kCorpus + c.file);
  } catch (const Error& e) {
    ASSERT_TRUE(c.fails) << "raised " << e.text() << "; expected a " << c.width << " x " << c.height
                         << " picture";
    const auto expected = errorClasses().find(c.errorClass);
    ASSERT_NE(expected, errorClasses().end()) << "unknown message " << c.errorClass;
    EXPECT_EQ(e.id(), expected->second);
    EXPECT_EQ(e.text(), c.message);
    return;
  }
  ASSERT_FALSE(c.fails) << "decoded " << sheet->width() << " x " << sheet->height() << "; expected "
                        << c.errorClass << " " << c.message;

  ASSERT_EQ(sheet->width(), c.width);
  ASSERT_EQ(sheet->height(), c.height);
  EXPECT_LE(int64_t{c.width} * c.height, describablePixels(bytes->size()));
  if (c.width == 0) {
    EXPECT_EQ(sheet->surface(), nullptr);
    return;
  }
  EXPECT_EQ(sheet->key(), sheet->pixel(c.width - 1, c.height - 1));
  std::vector<uint32_t> got;
  got.reserve(static_cast<std::size_t>(c.width) * c.height);
  for (int32_t y = 0; y < c.height; ++y) {
    for (int32_t x = 0; x < c.width; ++x) got.push_back(sheet->pixel(x, y));
  }
  if (c.everyPixelSame) {
    EXPECT_EQ(std::count(got.begin(), got.end(), c.everyPixel),
              static_cast<std::ptrdiff_t>(got.size()));
  } else {
    EXPECT_EQ(got, c.pixels);
  }
}

TEST(HostileCorpusManifest, NamesEveryFileAndCoversEveryFaultClass) {
  const auto cases = loadManifest();
  std::set<std::string> listed;
  std::set<std::string> classes;
  for (const auto& c : cases) {
    EXPECT_TRUE(listed.insert(c.file).second) << "listed twice: " << c.file;
    classes.insert(c.faultClass);
  }
  std::set<std::string> present;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    const std::string name = entry.path().filename().string();
    if (name != "manifest.txt") present.insert(name);
  }
  EXPECT_EQ(present, listed);
  for (const char* wanted :
       {"lying size", "lying offset", "zero height", "negative height", "INT_MIN height",
        "huge dimensions", "palette count", "palette index", "RLE run past the row",
        "RLE delta past the row", "RLE delta past the picture", "truncated stream",
        "bit-field masks", "bit count", "compression"}) {
    EXPECT_TRUE(classes.count(wanted)) << "no file of class " << wanted;
  }
  for (const char* wanted :
       {"png truncated", "png signature", "png checksum", "png huge dimensions",
        "png decompression bomb", "png header fields", "png palette index", "png chunk order",
        "png image data", "png transparency"}) {
    EXPECT_TRUE(classes.count(wanted)) << "no file of class " << wanted;
  }
  int dib = 0;
  for (const auto& name : present) dib += name.ends_with(".dib") ? 1 : 0;
  EXPECT_GE(dib, 20);
  int png = 0;
  for (const auto& name : present) png += name.ends_with(".png") ? 1 : 0;
  EXPECT_GE(png, 30);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileCorpus, ::testing::ValuesIn(loadManifest()),
                         [](const ::testing::TestParamInfo<HostileFile>& info) {
                           std::string name = info.param.file;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace patapata
