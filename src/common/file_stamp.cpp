#include "common/file_stamp.h"

#include <filesystem>
#include <system_error>

namespace patapata {

FileStamp fileStamp(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p(path);
  const fs::file_status status = fs::status(p, ec);
  if (ec || !fs::is_regular_file(status)) return FileStamp::missing();
  const auto modified = fs::last_write_time(p, ec);
  if (ec) return FileStamp::missing();
  const auto size = fs::file_size(p, ec);
  if (ec) return FileStamp::missing();
  return FileStamp{
      std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count(),
      static_cast<int64_t>(size)};
}

}  // namespace patapata
