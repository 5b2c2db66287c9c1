#include "common/file_stamp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace patapata {
namespace {

namespace fs = std::filesystem;

class FileAgeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("patapata_age_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(FileAgeTest, MissingFilesAndDirectoriesReadAsMissing) {
  EXPECT_TRUE(fileStamp((dir_ / "none.bmp").string()).isMissing());
  EXPECT_TRUE(fileStamp(dir_.string()).isMissing());
  EXPECT_NE(FileStamp{}, FileStamp::missing());
}

TEST_F(FileAgeTest, SecondSaveWithinTheSameSecondIsAChange) {
  const auto path = (dir_ / "sheet.bmp").string();
  { std::ofstream(path) << "one"; }
  const auto t0 = fs::last_write_time(path);
  const FileStamp first = fileStamp(path);
  EXPECT_FALSE(first.isMissing());
  EXPECT_EQ(first, fileStamp(path));
  // Same size, a modification time a millisecond later: still a new stamp.
  { std::ofstream(path) << "two"; }
  fs::last_write_time(path, t0 + std::chrono::milliseconds(1));
  EXPECT_NE(fileStamp(path), first);
  // Same time, other size: a file still being written reads as a change too.
  { std::ofstream(path) << "three"; }
  fs::last_write_time(path, t0);
  EXPECT_NE(fileStamp(path), first);
}

}  // namespace
}  // namespace patapata
