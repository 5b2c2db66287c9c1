#pragma once

#include "app/batch_error.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace patapata::app {

/// An output file that cannot be written. The message names the path and the system's reason.
class WriteError : public BatchError {
  using BatchError::BatchError;
};

/// A file the batch modes write. The bytes go to a temporary file beside the destination, which
/// replaces the destination only on `commit`, so a failed export leaves an earlier file as it
/// was. The file gets the permissions every new file gets (0666 less the umask). A destination
/// that is not a regular file (a device, a pipe) is written in place.
class OutputFile {
 public:
  /// Opens the temporary file; throws WriteError.
  explicit OutputFile(std::string path);
  /// Removes the temporary file unless it was committed.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  /// Appends bytes; throws WriteError.
  void write(const void* data, std::size_t size);
  /// Closes the file and puts it in place; throws WriteError.
  void commit();

  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void fail(int error);

  std::string path_;       ///< as the user named it, for messages
  std::string target_;     ///< the file replaced: the path, or where its symbolic link leads
  std::string temporary_;  ///< empty when writing in place
  int fd_ = -1;
};

/// Writes `bytes` as a whole file through an OutputFile; throws WriteError.
void writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace patapata::app
