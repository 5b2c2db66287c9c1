#pragma once

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstdint>

namespace patapata::testing {

/// Runs `check(name)` once with every instruction set built in that this processor runs, each
/// in turn, `name` being its name, and leaves the best chosen afterwards. Built for one
/// instruction set (the browser build's), without libhwy to choose among any, it runs `check`
/// once.
template <typename Check>
void forEachInstructionSet(Check check) {
#ifdef HWY_COMPILE_ONLY_STATIC
  SCOPED_TRACE(hwy::TargetName(HWY_STATIC_TARGET));
  check(hwy::TargetName(HWY_STATIC_TARGET));
#else
  for (const int64_t target : hwy::SupportedAndGeneratedTargets()) {
    hwy::SetSupportedTargetsForTest(target);
    SCOPED_TRACE(hwy::TargetName(target));
    check(hwy::TargetName(target));
  }
  hwy::SetSupportedTargetsForTest(0);
#endif
}

}  // namespace patapata::testing
