// Writing files the program creates: POSIX calls only here.
#include "common/new_file.h"

#include "common/encoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace patapata {

namespace {

// Replacing a symbolic link would cut it; the file it leads to is replaced instead.
std::string resolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// True when the system has no such operation for this file system, so the next way is tried.
bool unsupported(int error) {
  return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP ||
         error == EPERM;
}

int renameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  return errno;
#else
  (void)from;
  (void)to;
  return ENOSYS;
#endif
}

int hardLink(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  // Both names hold the file now; a temporary name that stays behind harms nothing.
  unlink(from.c_str());
  return 0;
}

// Claims `to` by creating it exclusively, then renames over the claim. Someone may see the
// empty claim for a moment, but nothing that was there is replaced.
int claimedName(const std::string& from, const std::string& to) {
  const int claim = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (claim < 0) return errno;
  struct stat claimed {};
  fstat(claim, &claimed);
  close(claim);
  if (rename(from.c_str(), to.c_str()) == 0) return 0;
  const int error = errno;
  // Take the claim back, unless another file has taken its place meanwhile.
  struct stat now {};
  if (lstat(to.c_str(), &now) == 0 && now.st_ino == claimed.st_ino &&
      now.st_dev == claimed.st_dev) {
    unlink(to.c_str());
  }
  return error;
}

}  // namespace

namespace new_file_detail {

int moveWithoutReplacing(const std::string& from, const std::string& to, NoReplaceMove first) {
  int error = ENOSYS;
  if (first == NoReplaceMove::RenameNoReplace) {
    error = renameNoReplace(from, to);
    if (!unsupported(error)) return error;
  }
  if (first != NoReplaceMove::ClaimedName) {
    error = hardLink(from, to);
    if (!unsupported(error)) return error;
  }
  return claimedName(from, to);
}

}  // namespace new_file_detail

NewFile::NewFile(std::string path, Replace replace) : path_(std::move(path)), replace_(replace) {
  if (path_.empty()) fail(ENOENT);
  struct stat info {};
  if (replace_ == Replace::Never && lstat(path_.c_str(), &info) == 0) fail(EEXIST);
  target_ = replace_ == Replace::Allowed ? resolveLink(path_) : path_;
  if (stat(target_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    if (S_ISDIR(info.st_mode)) fail(EISDIR);
    // A device or a pipe cannot be put in place of: it is written as it is.
    fd_ = open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    return;
  }

  const std::size_t slash = target_.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : target_.substr(0, slash);
  // The temporary name must fit the file system's limit where the destination's name does.
  const std::string base =
      (slash == std::string::npos ? target_ : target_.substr(slash + 1)).substr(0, 200);
  const std::string stem = dir + "/." + base + "." + std::to_string(getpid()) + "-";
  // 0666: the umask takes away what the user does not want others to have, as for any new file.
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = stem;
    temporary_ += std::to_string(attempt);
    temporary_ += ".part";
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    temporary_.clear();
    fail(error);
  }
}

NewFile::~NewFile() {
  discard();
}

void NewFile::write(const void* data, std::size_t size) {
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

void NewFile::commit() {
  if (temporary_.empty()) {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) fail(errno);
    return;
  }
  // A full disk may show only when the bytes reach it; and a rename must not put in place a
  // name whose bytes a crash could still lose.
  if (fsync(fd_) != 0) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) fail(errno);
  const int error = replace_ == Replace::Never
                        ? new_file_detail::moveWithoutReplacing(
                              temporary_, target_, new_file_detail::NoReplaceMove::RenameNoReplace)
                        : (rename(temporary_.c_str(), target_.c_str()) == 0 ? 0 : errno);
  if (error != 0) fail(error);
  temporary_.clear();
}

void NewFile::discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

void NewFile::fail(int error) {
  discard();
  std::string message = "cannot write " + encoding::toDisplayText(path_) + ": ";
  if (error == EEXIST) {
    throw FileExistsError(message + "it exists already", path_, error);
  }
  throw FileWriteError(message + std::strerror(error), path_, error);
}

void writeNewFile(const std::string& path, std::string_view bytes, Replace replace) {
  NewFile file(path, replace);
  file.write(bytes.data(), bytes.size());
  file.commit();
}

}  // namespace patapata
