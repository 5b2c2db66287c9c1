#include "common/settle_watch.h"

namespace patapata {

bool SettleWatch::settled(const FileStamp& seen, const FileStamp& loaded, uint32_t nowMs) {
  if (seen == loaded || seen == refused_) {
    seen_ = seen;
    return false;
  }
  if (seen != seen_) {
    restart(seen, nowMs);
    return false;
  }
  // Differences of the wrapping clock are taken modulo 2^32.
  return nowMs - sinceMs_ >= settleMs_;
}

void SettleWatch::restart(const FileStamp& seen, uint32_t nowMs) {
  seen_ = seen;
  sinceMs_ = nowMs;
}

}  // namespace patapata
