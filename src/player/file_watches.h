#pragma once

#include "common/file_stamp.h"
#include "common/settle_watch.h"

#include <string>

namespace patapata {

/// The character file the author opened, which the reload button reads again, and the watches
/// that tell when it or its sheet changed on disk.
struct FileWatches {
  std::string characterPath;   ///< bytes as the file system takes them; empty until one is opened
  FileStamp characterStamp{};  ///< the character file's stamp as last loaded
  SettleWatch sheet;
  SettleWatch character;
};

}  // namespace patapata
