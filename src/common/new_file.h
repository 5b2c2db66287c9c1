#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace patapata {

/// Whether a file the program writes may take the place of one that exists.
enum class Replace {
  Never,    ///< an existing file stays as it is, and the write fails with FileExistsError
  Allowed,  ///< the user agreed: an existing file is replaced (through a symbolic link, the
            ///< file it leads to, so that the link stays)
};

/// A file that could not be written. The message names the path and the system's reason.
class FileWriteError : public std::runtime_error {
 public:
  FileWriteError(const std::string& message, std::string path, int systemError)
      : std::runtime_error(message), path_(std::move(path)), systemError_(systemError) {}

  /// The destination, as the caller named it.
  const std::string& path() const noexcept { return path_; }
  /// The system's error number: EACCES for no permission, ENOSPC for a full disk, EEXIST ...
  int systemError() const noexcept { return systemError_; }

 private:
  std::string path_;
  int systemError_ = 0;
};

/// The destination exists and was not to be replaced; a window asks the user, and writes
/// again with Replace::Allowed if they agree.
class FileExistsError : public FileWriteError {
  using FileWriteError::FileWriteError;
};

/// A file the program writes. The bytes go to a temporary file beside the destination, which
/// `commit` flushes to the disk and renames into place, so that nobody ever sees half a file
/// and a failure leaves what was there before. A destination that is no regular file (a device,
/// a pipe) the user named is written in place. The file gets the permissions every new file
/// gets (0666 less the umask). With Replace::Never the test that the destination is free and
/// the rename are one step, so a file that appears meanwhile is not replaced either.
class NewFile {
 public:
  /// Opens the temporary file. Throws FileExistsError when `path` exists and `replace` is
  /// Never (before anything is written), FileWriteError when the temporary file cannot be
  /// made (no permission, no such folder) or `path` is a folder.
  NewFile(std::string path, Replace replace);
  /// Removes the temporary file unless it was committed.
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  /// Appends bytes; throws FileWriteError (a full disk, say).
  void write(const void* data, std::size_t size);
  /// Puts the file in place. Throws FileExistsError when, with Replace::Never, the destination
  /// has appeared since, FileWriteError otherwise. On any failure the temporary file is gone.
  void commit();

  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void fail(int error);
  void discard();

  std::string path_;       ///< as the caller named it, for messages
  std::string target_;     ///< the file written: the path, or where its symbolic link leads
  std::string temporary_;  ///< empty once committed or discarded
  Replace replace_;
  int fd_ = -1;
};

/// Writes `bytes` as the whole content of a new file through a NewFile; throws as it does.
void writeNewFile(const std::string& path, std::string_view bytes, Replace replace);

namespace new_file_detail {

/// The ways to move a file into a place that must be free, in the order they are tried: a
/// rename that refuses to replace (not every file system has it), a hard link and the removal
/// of the old name (not every file system has hard links), and a name claimed by an exclusive
/// create and then renamed over. Tests start further down to run the ones this system skips.
enum class NoReplaceMove { RenameNoReplace, HardLink, ClaimedName };

/// Moves `from` to `to` unless `to` exists; 0, or the system's error number (EEXIST when `to`
/// exists). `from` is gone after success and stays after a failure.
int moveWithoutReplacing(const std::string& from, const std::string& to, NoReplaceMove first);

}  // namespace new_file_detail

}  // namespace patapata
