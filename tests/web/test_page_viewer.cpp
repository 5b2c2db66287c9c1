#include "web/page_viewer.h"

#include "common/errors.h"
#include "common/file_read.h"
#include "support/allocation_watch.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"
#include "surfaces/sheet_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace patapata::web {
namespace {

constexpr const char* kCharacter =
    "#CHARNAME chick\r\n#ANIME 100\r\n#CHARBMP sheet.bmp\r\n#1 0 0 121 271\r\n"
    "#2 121 0 30 40\r\n#PATERN 01 0202\r\n";

std::string sheet(uint32_t colour) {
  return testing::bmp24Bytes(160, 280,
                             [colour](int32_t x, int32_t) { return x < 121 ? colour : 0x00FF00u; });
}

/// The page's side: copies of the files with stamps of their own, which are not the file
/// system's, as the page's lastModified never is.
struct PageFixture {
  testing::TempDir dir;
  PageViewer viewer{[](std::span<const uint8_t>) { return std::nullopt; }};
  std::string character = dir.write("chick.chp", std::string(kCharacter));
  std::string sheetPath = dir.write("sheet.bmp", sheet(0x336699));

  PageFixture() {
    viewer.setFileStamp(character, FileStamp{1'000'000, 90});
    viewer.setFileStamp(sheetPath, FileStamp{2'000'000, 7});
    viewer.controls().setChecked(Switch::AutoSheetReload, true);
    viewer.controls().setChecked(Switch::AutoCharacterReload, true);
    viewer.open(character);
  }
  const SheetPicture* picture() const { return viewer.viewer().character.sheet.picture.get(); }
};

// The loads take the file system's stamps; were they kept, every poll would find the page's
// stamp different and read the files again after each load.
TEST(PageViewer, APollReadsNothingTheLoadHasRead) {
  PageFixture page;
  const SheetPicture* loaded = page.picture();
  ASSERT_NE(loaded, nullptr);
  for (uint32_t now = 0; now <= 2000; now += 100) page.viewer.tick(now);
  EXPECT_EQ(page.picture(), loaded);
  EXPECT_FALSE(page.viewer.viewer().display.reloadFailure.has_value());
}

// The page's new copy of the sheet is announced by its stamp: it is read once that stamp held
// still for the settle time, and not before.
TEST(PageViewer, ANewCopyOfTheSheetIsSwappedInOnceItsStampSettled) {
  PageFixture page;
  const SheetPicture* loaded = page.picture();
  testing::writeBytes(page.sheetPath, sheet(0xCC3300));
  page.viewer.setFileStamp(page.sheetPath, FileStamp{3'000'000, 7});
  page.viewer.tick(1000);
  page.viewer.tick(1100);
  EXPECT_EQ(page.picture(), loaded) << "read before it settled";
  page.viewer.tick(1200);
  ASSERT_NE(page.picture(), loaded);
  EXPECT_EQ(page.picture()->pixel(0, 0) & 0xFFFFFF, 0xCC3300u);
  // The view shows it at the next frame, as RGBA.
  page.viewer.tick(1300);
  EXPECT_EQ(page.viewer.frame()[0], 0xCC);
  EXPECT_EQ(page.viewer.frame()[3], 0xFF);
}

TEST(PageViewer, TicksOfAPlayingCharacterAllocateNothing) {
  PageFixture page;
  page.viewer.selectState(1);
  page.viewer.displayRevision();
  for (uint32_t now = 0; now <= 1000; now += 50) page.viewer.tick(now);
  const uint32_t revision = page.viewer.displayRevision();
  const uint32_t drawn = page.viewer.framesDrawn();
  long allocations = -1;
  {
    const testing::AllocationWatch watch;
    for (uint32_t now = 1050; now <= 3000; now += 50) {
      page.viewer.tick(now);
      page.viewer.displayRevision();
    }
    allocations = watch.count();
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_GE(page.viewer.framesDrawn() - drawn, 19u);
  EXPECT_EQ(page.viewer.displayRevision(), revision);
}

TEST(PageViewer, TheSheetsACharacterNamesAreFoundAsTheLoadFindsThem) {
  testing::TempDir dir;
  dir.write("Sheet.BMP", sheet(1));
  const std::string path = dir.write(
      "two.chp", std::string("#CHARBMP sheet.bmp\r\n#1 0 0 1 1\r\n#CHARBMP missing.png\r\n"));
  const PageViewer viewer([](std::span<const uint8_t>) { return std::nullopt; });
  EXPECT_EQ(viewer.sheetsNamedBy(path),
            (std::vector<std::string>{dir.file("Sheet.BMP"), dir.file("missing.png")}));
}

// A save in progress must wait, not fill the status line with an error; a header that asks for
// a huge picture must be refused before the page's decoder allocates it.
TEST(PngFileCheck, TellsASaveInProgressFromABrokenFile) {
  const auto file = readWholeFile(std::string(PATAPATA_TEST_DATA) + "/png/rgba_8bit_br_opaque.png");
  ASSERT_TRUE(file.has_value());
  const std::vector<uint8_t> whole(file->begin(), file->end());
  const auto cut = [&](std::size_t size) {
    return std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
  };
  std::vector<uint8_t> wrongSignature = whole;
  wrongSignature[1] = 'Q';
  std::vector<uint8_t> huge = whole;
  huge[16] = 0x7F;  // width far past the longest side
  std::vector<uint8_t> tooManyPixels = whole;
  tooManyPixels[18] = 0x40;  // 16384 × height: more than the compressed data describes
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    std::optional<MessageId> expected;
  } cases[] = {
      {"whole", whole, std::nullopt},
      {"signature only", cut(8), MessageId::PictureCutShort},
      {"header cut", cut(20), MessageId::PictureCutShort},
      {"data cut", cut(whole.size() / 2), MessageId::PictureCutShort},
      {"no IEND yet", cut(whole.size() - 12), MessageId::PictureCutShort},
      {"wrong signature", wrongSignature, MessageId::InvalidBitmap},
      {"side too long", huge, MessageId::InvalidBitmap},
      {"more pixels than data", tooManyPixels, MessageId::InvalidBitmap},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<MessageId> thrown;
    try {
      checkPngFile(c.bytes);
    } catch (const Error& e) {
      thrown = e.id();
    }
    EXPECT_EQ(thrown, c.expected);
  }
}

// The page counts carets in UTF-16 units; the core measures Shift-JIS bytes, as the desktop's.
TEST(PageControls, CaretsCountTheBytesTheCoreMeasures) {
  const struct {
    const char* text;
    int32_t caretUtf16;
    int32_t bytes;
  } cases[] = {
      {"0102", 3, 3},  // ASCII: one byte each
      {"あ01", 1, 2},  // one character, two Shift-JIS bytes
      {"ｱ01", 2, 2},   // half-width katakana: one byte each
      {"😀01", 2, 4},   // outside the code page: kept as its four UTF-8 bytes
      {"01", 9, 2},    // past the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    PageControls controls;
    controls.typed(Edit::Pattern, c.text, c.caretUtf16);
    EXPECT_EQ(controls.caretPosition(Edit::Pattern), c.bytes);
  }
}

}  // namespace
}  // namespace patapata::web
