#include "surfaces/pixel_rows.h"

#include "support/instruction_sets.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstdint>
#include <random>
#include <vector>

namespace patapata::pixel_rows {
namespace {

// Every instruction set in turn, each checked to be the one the rows report.
template <typename Check>
void forEachInstructionSet(Check check) {
  testing::forEachInstructionSet([&](const char* name) {
    ASSERT_STREQ(instructionSet(), name);
    check();
  });
}

// A block of rows in memory of exactly its extent, so that the sanitizers see any access
// beyond it; the bytes between rows and around the block are part of the comparison.
struct Image {
  std::vector<uint8_t> bytes;
  std::ptrdiff_t pitch = 0;
  std::ptrdiff_t offset = 0;  // of the block's first pixel

  uint8_t* first() { return bytes.data() + offset; }
};

struct Block {
  int32_t bytesPerPixel;
  int32_t width;
  int32_t height;
  bool bottomUp;
};

class RandomBlocks {
 public:
  explicit RandomBlocks(uint32_t seed) : random_(seed) {}

  int32_t upTo(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n)(random_); }

  Block block(int32_t bytesPerPixel) {
    // Narrow rows (below a vector) and wide ones, and widths on either side of a multiple of
    // every vector's lanes.
    const int32_t width = upTo(3) == 0 ? 1 + upTo(7) : 1 + upTo(150);
    return {bytesPerPixel, width, 1 + upTo(5), upTo(3) == 0};
  }

  // Pixels drawn from a few values, so that a key matches often, with bytes of padding.
  Image image(const Block& b, const std::vector<uint32_t>& values) {
    Image image;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{b.width} * b.bytesPerPixel;
    image.pitch = rowBytes + upTo(9);
    const std::ptrdiff_t lead = upTo(5);
    image.bytes.resize(
        static_cast<std::size_t>(lead + image.pitch * (b.height - 1) + rowBytes + upTo(5)));
    for (uint8_t& byte : image.bytes) byte = static_cast<uint8_t>(upTo(255));
    for (int32_t y = 0; y < b.height; ++y) {
      for (int32_t x = 0; x < b.width; ++x) {
        scalar::store(
            image.bytes.data() + lead + y * image.pitch + std::ptrdiff_t{x} * b.bytesPerPixel,
            b.bytesPerPixel, values[static_cast<std::size_t>(upTo(3))]);
      }
    }
    image.offset = lead;
    if (b.bottomUp) {
      image.offset += image.pitch * (b.height - 1);
      image.pitch = -image.pitch;
    }
    return image;
  }

  std::vector<uint32_t> values(int32_t bytesPerPixel) {
    const uint32_t mask = bytesPerPixel == 4 ? 0xFFFFFFFFu : (1u << (8 * bytesPerPixel)) - 1;
    std::vector<uint32_t> v(4);
    for (uint32_t& value : v) value = static_cast<uint32_t>(random_()) & mask;
    return v;
  }

 private:
  std::mt19937 random_;
};

constexpr int32_t kDepths[] = {1, 2, 3, 4};
constexpr int kTrials = 300;

TEST(PixelRows, CopiesAndFillsEqualTheScalarReferenceOnRandomBlocks) {
  forEachInstructionSet([] {
    RandomBlocks random(20240611);
    for (const int32_t bytes : kDepths) {
      SCOPED_TRACE(::testing::Message() << bytes << " bytes per pixel");
      for (int trial = 0; trial < kTrials; ++trial) {
        const Block b = random.block(bytes);
        const std::vector<uint32_t> values = random.values(bytes);
        Image source = random.image(b, values);
        const Image destination = random.image(b, values);
        // The key is one of the values the source holds or, now and then, none of them: one
        // that differs from a held value only in bits beyond the pixel's size, or any other.
        const uint32_t wider = bytes < 4 ? values[0] | (1u << (8 * bytes)) : ~values[0];
        const uint32_t key = random.upTo(4) == 0 ? (random.upTo(1) == 0 ? wider : ~values[0])
                                                 : values[random.upTo(3)];
        SCOPED_TRACE(::testing::Message() << "trial " << trial << ": " << b.width << " x "
                                          << b.height << (b.bottomUp ? " bottom-up" : ""));

        for (const bool keyed : {false, true}) {
          Image vector = destination;
          Image reference = destination;
          const RowPair toVector{vector.first(), vector.pitch, source.first(),
                                 source.pitch,   b.width,      b.height};
          const RowPair toReference{reference.first(), reference.pitch, source.first(),
                                    source.pitch,      b.width,         b.height};
          if (keyed) {
            copyKeyed(toVector, bytes, key);
          } else {
            copy(toVector, bytes);
          }
          scalar::copy(toReference, bytes, keyed ? CopyMode::keyed : CopyMode::opaque, key,
                       RowWalk::leftToRight);
          ASSERT_EQ(vector.bytes, reference.bytes) << (keyed ? "keyed copy" : "copy");
        }

        // The copy that tells whether it changed anything: the plain copy's bytes, the scalar
        // form's answer, nothing changed when copied again, and a change of one byte anywhere
        // in the block seen.
        {
          Image noticing = destination;
          Image reference = destination;
          const RowPair toNoticing{noticing.first(), noticing.pitch, source.first(),
                                   source.pitch,     b.width,        b.height};
          const bool changed = copyNoticingChange(toNoticing, bytes);
          EXPECT_EQ(changed,
                    scalar::copyNoticingChange({reference.first(), reference.pitch, source.first(),
                                                source.pitch, b.width, b.height},
                                               bytes));
          ASSERT_EQ(noticing.bytes, reference.bytes) << "copy noticing change";
          EXPECT_FALSE(copyNoticingChange(toNoticing, bytes));
          const std::ptrdiff_t at =
              random.upTo(b.height - 1) * noticing.pitch + random.upTo(b.width * bytes - 1);
          noticing.first()[at] ^= 1;
          EXPECT_TRUE(copyNoticingChange(toNoticing, bytes)) << "byte " << at;
          ASSERT_EQ(noticing.bytes, reference.bytes);
        }

        Image vector = destination;
        Image reference = destination;
        const uint32_t raw = values[random.upTo(3)];
        fill(vector.first(), vector.pitch, b.width, b.height, bytes, raw);
        scalar::fill(reference.first(), reference.pitch, b.width, b.height, bytes, raw);
        ASSERT_EQ(vector.bytes, reference.bytes) << "fill";

        // Two layers at once, the under layer from a third image: against the scalar form of
        // the same, and against the two copies it stands for.
        const Image under = random.image(b, values);
        Image layered = destination;
        Image twoCopies = destination;
        const RowTriple toLayered{
            layered.first(), layered.pitch,  under.bytes.data() + under.offset,
            under.pitch,     source.first(), source.pitch,
            b.width,         b.height};
        copyKeyedOver(toLayered, bytes, key);
        const RowPair underToTwo{
            twoCopies.first(), twoCopies.pitch, under.bytes.data() + under.offset,
            under.pitch,       b.width,         b.height};
        const RowPair overToTwo{twoCopies.first(), twoCopies.pitch, source.first(),
                                source.pitch,      b.width,         b.height};
        scalar::copy(underToTwo, bytes, CopyMode::opaque, 0, RowWalk::leftToRight);
        scalar::copy(overToTwo, bytes, CopyMode::keyed, key, RowWalk::leftToRight);
        ASSERT_EQ(layered.bytes, twoCopies.bytes) << "keyed over";
        Image scalarLayered = destination;
        scalar::copyKeyedOver(
            {scalarLayered.first(), scalarLayered.pitch, under.bytes.data() + under.offset,
             under.pitch, source.first(), source.pitch, b.width, b.height},
            bytes, key);
        ASSERT_EQ(scalarLayered.bytes, twoCopies.bytes) << "scalar keyed over";
      }
    }
  });
}

TEST(PixelRows, ConversionsEqualTheScalarReferenceAtEveryLength) {
  forEachInstructionSet([] {
    std::mt19937 random(7);
    for (int32_t count = 0; count <= 140; ++count) {
      SCOPED_TRACE(::testing::Message() << count << " pixels");
      // Inputs and outputs of exactly their size, so that the sanitizers see any access past
      // them.
      std::vector<uint8_t> bgr(static_cast<std::size_t>(count) * 3);
      for (uint8_t& byte : bgr) byte = static_cast<uint8_t>(random());
      std::vector<uint32_t> colours(static_cast<std::size_t>(count));
      for (uint32_t& c : colours) c = static_cast<uint32_t>(random()) & 0x00FFFFFF;

      std::vector<uint8_t> vector(static_cast<std::size_t>(count) * 4);
      std::vector<uint8_t> reference(vector.size());
      bgrToXrgb8888(bgr.data(), count, vector.data());
      scalar::bgrToXrgb8888(bgr.data(), count, reference.data());
      ASSERT_EQ(vector, reference) << "24-bit to XRGB";

      vector.assign(static_cast<std::size_t>(count) * 2, 0);
      reference.assign(vector.size(), 0);
      bgrToRgb565(bgr.data(), count, vector.data());
      scalar::bgrToRgb565(bgr.data(), count, reference.data());
      ASSERT_EQ(vector, reference) << "24-bit to 5-6-5";

      xrgbToRgb565(colours.data(), count, vector.data());
      scalar::xrgbToRgb565(colours.data(), count, reference.data());
      ASSERT_EQ(vector, reference) << "colours to 5-6-5";
    }
  });
}

// The references themselves, against values worked out by hand.
TEST(PixelRows, ScalarConversionsGiveTheDisplayFormatsRawValues) {
  const uint8_t bgr[] = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF, 0x07, 0x03, 0xF8};
  uint8_t xrgb[12];
  scalar::bgrToXrgb8888(bgr, 3, xrgb);
  EXPECT_EQ(scalar::load(xrgb, 4), 0x00302010u);
  EXPECT_EQ(scalar::load(xrgb + 4, 4), 0x00FFFFFFu);
  EXPECT_EQ(scalar::load(xrgb + 8, 4), 0x00F80307u);
  uint8_t rgb565[6];
  scalar::bgrToRgb565(bgr, 3, rgb565);
  EXPECT_EQ(scalar::load(rgb565, 2), (0x30u >> 3 << 11) | (0x20u >> 2 << 5) | (0x10u >> 3));
  EXPECT_EQ(scalar::load(rgb565 + 2, 2), 0xFFFFu);
  EXPECT_EQ(scalar::load(rgb565 + 4, 2), 0xF800u);
  const uint32_t colours[] = {0x00302010, 0x00FFFFFF, 0x00F80307};
  uint8_t fromColours[6];
  scalar::xrgbToRgb565(colours, 3, fromColours);
  EXPECT_EQ(std::vector<uint8_t>(fromColours, fromColours + 6),
            std::vector<uint8_t>(rgb565, rgb565 + 6));
}

}  // namespace
}  // namespace patapata::pixel_rows
