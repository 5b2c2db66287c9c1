#include "common/file_read.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace patapata {
namespace {

std::vector<uint8_t> pattern(std::size_t size) {
  std::vector<uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 131 + i / 251);
  return bytes;
}

// Sizes around the read chunk, so that a byte lost or doubled at a boundary shows.
TEST(ReadWholeFile, ReturnsEveryByteWhateverTheSize) {
  const testing::TempDir dir;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{1} << 20,
        (std::size_t{1} << 20) + 1, (std::size_t{3} << 20) + 7, (std::size_t{5} << 20) + 3}) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> bytes = pattern(size);
    const std::string path = dir.file("f.bin");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
    const auto got = readWholeFile(path);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(std::vector<uint8_t>(got->begin(), got->end()), bytes);
  }
}

TEST(ReadWholeFile, RefusesWhatIsNotARegularFile) {
  const testing::TempDir dir;
  EXPECT_FALSE(readWholeFile(dir.path().string()).has_value());
  EXPECT_FALSE(readWholeFile(dir.file("missing.bmp")).has_value());
}

// Files whose stated size is wrong (here 0, as for every file under /proc) still come whole.
TEST(ReadWholeFile, ReadsPastAStatedSizeThatIsWrong) {
  const std::string path = "/proc/self/cmdline";
  std::ifstream in(path, std::ios::binary);
  if (!in) GTEST_SKIP() << "no /proc on this system";
  const std::vector<uint8_t> expected{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(expected.empty());
  const auto got = readWholeFile(path);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(std::vector<uint8_t>(got->begin(), got->end()), expected);
}

// Pieces anywhere in the file, past its end, and of a file that shrank after it was opened.
TEST(FileReader, ReadsThePiecesThereAre) {
  const testing::TempDir dir;
  const std::string path = dir.file("f.bin");
  const std::vector<uint8_t> bytes = pattern(1000);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(1000));
  auto file = FileReader::open(path);
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->size(), 1000u);
  std::vector<uint8_t> piece(300);
  for (const auto& [offset, expected] :
       {std::pair{700u, 300u}, std::pair{0u, 300u}, std::pair{900u, 100u}, std::pair{1000u, 0u},
        std::pair{5000u, 0u}}) {
    SCOPED_TRACE(offset);
    ASSERT_EQ(file->readAt(offset, piece), expected);
    EXPECT_TRUE(std::equal(piece.begin(), piece.begin() + expected, bytes.begin() + offset));
  }
  std::filesystem::resize_file(path, 500);
  EXPECT_EQ(file->readAt(400, piece), 100u);
  EXPECT_EQ(file->readAt(0, piece), 300u) << "a read past the end leaves the file readable";
  EXPECT_FALSE(FileReader::open(dir.path().string()).has_value());
  EXPECT_FALSE(FileReader::open(dir.file("missing.bin")).has_value());
}

}  // namespace
}  // namespace patapata
