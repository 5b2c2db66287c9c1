#pragma once

#include "common/file_stamp.h"

#include <cstdint>
#include <optional>

namespace patapata {

/// Decides when a watched file's change is to be read: once its stamp differs from the
/// version on screen and has held still for the settle time, so that a save in progress is
/// never read. It sees only the stamps it is given, one per poll.
class SettleWatch {
 public:
  /// Long enough for an editor's save to finish, short enough to feel immediate.
  static constexpr uint32_t kSettleMs = 150;

  explicit SettleWatch(uint32_t settleMs = kSettleMs) : settleMs_(settleMs) {}

  /// `seen` is the stamp just taken, `loaded` the stamp of the version on screen, `nowMs` a
  /// reading of the 32-bit wrapping clock. True when `seen` is new, has been seen unchanged
  /// for at least the settle time (so on two polls at least), and was not refused.
  bool settled(const FileStamp& seen, const FileStamp& loaded, uint32_t nowMs);

  /// The version `seen` is not to be read again: it failed, or it was caught mid-save. The
  /// next change of the file is watched as usual.
  void refuse(const FileStamp& seen) { refused_ = seen; }

  /// The file changed while it was read, to `seen`: it must settle again, from `nowMs`.
  void restart(const FileStamp& seen, uint32_t nowMs);

 private:
  uint32_t settleMs_;
  std::optional<FileStamp> seen_;
  uint32_t sinceMs_ = 0;
  std::optional<FileStamp> refused_;
};

}  // namespace patapata
