// The batch modes' one platform file for writing: POSIX calls only here.
#include "app/output_file.h"

#include "common/encoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace patapata::app {

namespace {

// Replacing a symbolic link would cut it; the file it leads to is replaced instead.
std::string resolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) fail(ENOENT);
  target_ = resolveLink(path_);
  struct stat info {};
  if (stat(target_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    if (S_ISDIR(info.st_mode)) fail(EISDIR);
    fd_ = open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    return;
  }
  const std::size_t slash = target_.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : target_.substr(0, slash);
  const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  // 0666: the umask takes away what the user does not want others to have, as for any new file.
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = dir + "/." + base + "." + std::to_string(getpid()) + "-" +
                 std::to_string(attempt) + ".part";
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    temporary_.clear();
    fail(error);
  }
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) close(fd_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

void OutputFile::write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd_, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void OutputFile::commit() {
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) fail(errno);
  if (temporary_.empty()) return;
  if (rename(temporary_.c_str(), target_.c_str()) != 0) fail(errno);
  temporary_.clear();
}

void OutputFile::fail(int error) {
  throw WriteError("cannot write " + encoding::toDisplayText(path_) + ": " + std::strerror(error));
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
  OutputFile file(path);
  file.write(bytes.data(), bytes.size());
  file.commit();
}

}  // namespace patapata::app
