#pragma once

#include <cstdint>

namespace patapata {

/// Base of every drawing object: keeps the result of its last platform call.
class DrawObject {
 public:
  virtual ~DrawObject() = default;

  /// Result code of the last platform call made through this object; 0 is success.
  int32_t lastResult() const { return lastResult_; }

  /// Records a result; a non-zero one also runs the error hook (which by default does
  /// nothing, so a failing platform call never raises by itself).
  void setLastResult(int32_t result) {
    lastResult_ = result;
    if (result != 0) onLastResultError(result);
  }

 protected:
  virtual void onLastResultError(int32_t /*result*/) {}

 private:
  int32_t lastResult_ = 0;
};

}  // namespace patapata
