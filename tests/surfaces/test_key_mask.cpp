#include "surfaces/key_mask.h"

#include "support/instruction_sets.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

namespace patapata::key_mask {
namespace {

// Fault: a vector form that differs from the pixel-at-a-time reference: bits in the wrong
// order or word, a row's last pixels or bits past its end wrong, a read beyond the row (the
// rows are exactly their size, for the sanitizers), a key wider than the pixel matched.
TEST(KeyMask, EveryInstructionSetMarksAsTheReference) {
  std::mt19937 random(7);
  testing::forEachInstructionSet([&](const char*) {
    for (const int32_t bytes : {1, 2, 3, 4}) {
      for (const int32_t width : {1, 3, 63, 64, 65, 127, 128, 200}) {
        SCOPED_TRACE(::testing::Message() << bytes << " bytes, " << width << " pixels");
        const uint32_t key = 0x00A1B2C3u & ((uint64_t{1} << (8 * bytes)) - 1);
        std::vector<uint8_t> row(std::size_t(width) * bytes);
        for (int32_t x = 0; x < width; ++x) {
          const uint32_t raw = random() % 3 == 0 ? key ^ (1u << (random() % (8 * bytes))) : key;
          for (int32_t b = 0; b < bytes; ++b) row[x * bytes + b] = uint8_t(raw >> (8 * b));
        }
        std::vector<uint64_t> expected(words(width), ~uint64_t{0});
        std::vector<uint64_t> actual(words(width), ~uint64_t{0});
        scalar::mark(row.data(), width, bytes, key, expected.data());
        mark(row.data(), width, bytes, key, actual.data());
        EXPECT_EQ(actual, expected);
        if (bytes < 4) {
          mark(row.data(), width, bytes, key | (1u << (8 * bytes)), actual.data());
          EXPECT_EQ(std::popcount(actual.back()), (width - 1) % 64 + 1);
        }
      }
    }
  });
}

}  // namespace
}  // namespace patapata::key_mask
