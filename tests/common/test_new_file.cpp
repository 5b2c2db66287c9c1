#include "common/new_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace patapata {
namespace {

using new_file_detail::NoReplaceMove;
using testing::TempDir;

void put(const std::string& path, const std::string& bytes) {
  std::ofstream(path) << bytes;
}

std::string contentOf(const std::string& path) {
  std::ostringstream out;
  out << std::ifstream(path).rdbuf();
  return out.str();
}

std::set<std::string> namesIn(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Sets the umask for one test, so that the permissions expected are not the default ones.
class Umask {
 public:
  explicit Umask(mode_t mask) : old_(umask(mask)) {}
  ~Umask() { umask(old_); }

 private:
  mode_t old_;
};

// Fault: an existing file replaced without leave, or kept with it; a symbolic link cut instead
// of followed; the temporary file left behind after a refusal; the permissions of a private
// temporary file (0600) or of the old file kept instead of what the umask gives.
TEST(NewFile, ReplacesAnExistingFileOnlyWhenAllowed) {
  const Umask umask(027);
  const struct {
    const char* name;
    bool exists;
    bool throughLink;
    Replace replace;
    bool refused;
  } cases[] = {
      {"new, never", false, false, Replace::Never, false},
      {"existing, never", true, false, Replace::Never, true},
      {"existing, allowed", true, false, Replace::Allowed, false},
      {"link, never", true, true, Replace::Never, true},
      {"link, allowed", true, true, Replace::Allowed, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.file("out.chp");
    const std::string file = c.throughLink ? dir.file("real.chp") : path;
    if (c.exists) {
      put(file, "old");
      chmod(file.c_str(), 0600);
    }
    if (c.throughLink) {
      ASSERT_EQ(symlink("real.chp", path.c_str()), 0);
    }
    bool refused = false;
    try {
      writeNewFile(path, "new", c.replace);
    } catch (const FileExistsError& e) {
      refused = true;
      EXPECT_EQ(e.systemError(), EEXIST);
    }
    EXPECT_EQ(refused, c.refused);
    EXPECT_EQ(contentOf(file), refused ? "old" : "new");
    EXPECT_EQ(std::filesystem::is_symlink(path), c.throughLink);
    const std::set<std::string> names = c.throughLink ? std::set<std::string>{"out.chp", "real.chp"}
                                                      : std::set<std::string>{"out.chp"};
    EXPECT_EQ(namesIn(dir), names);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, refused ? 0600u : 0640u);
  }
}

// Fault: the check that the name is free done apart from the rename, so that a file saved in
// between is replaced.
TEST(NewFile, AFileThatAppearsBeforeTheCommitIsNotReplaced) {
  TempDir dir;
  const std::string path = dir.file("out.chp");
  NewFile file(path, Replace::Never);
  file.write("new", 3);
  put(path, "theirs");
  EXPECT_THROW(file.commit(), FileExistsError);
  EXPECT_EQ(contentOf(path), "theirs");
  EXPECT_EQ(namesIn(dir), std::set<std::string>{"out.chp"});
}

// Fault: a fallback, used where the file system lacks the first way, that replaces a file or
// loses the one it moves.
TEST(NewFile, EveryWayOfMovingIntoPlaceRefusesAnExistingFile) {
  for (const NoReplaceMove first :
       {NoReplaceMove::RenameNoReplace, NoReplaceMove::HardLink, NoReplaceMove::ClaimedName}) {
    SCOPED_TRACE(static_cast<int>(first));
    TempDir dir;
    const std::string from = dir.file("from");
    const std::string to = dir.file("to");
    put(from, "first");
    EXPECT_EQ(new_file_detail::moveWithoutReplacing(from, to, first), 0);
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"to"});
    put(from, "second");
    EXPECT_EQ(new_file_detail::moveWithoutReplacing(from, to, first), EEXIST);
    EXPECT_EQ(contentOf(to), "first");
    EXPECT_EQ(contentOf(from), "second");
  }
}

// Fault: every failure reported as "exists", or a failure without the path and the reason.
TEST(NewFile, OtherFailuresSayWhy) {
  TempDir dir;
  const struct {
    std::string path;
    Replace replace;
    int error;
  } cases[] = {
      {dir.file("no such folder/out.chp"), Replace::Never, ENOENT},
      {dir.path().string(), Replace::Allowed, EISDIR},
      {"", Replace::Allowed, ENOENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      writeNewFile(c.path, "x", c.replace);
      ADD_FAILURE() << "written";
    } catch (const FileExistsError&) {
      ADD_FAILURE() << "reported as existing";
    } catch (const FileWriteError& e) {
      EXPECT_EQ(e.systemError(), c.error);
      EXPECT_EQ(std::string(e.what()), "cannot write " + c.path + ": " + std::strerror(c.error));
    }
  }
  EXPECT_EQ(namesIn(dir), std::set<std::string>{});
}

}  // namespace
}  // namespace patapata
