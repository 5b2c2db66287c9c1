#pragma once

#include <stdexcept>

namespace patapata::app {

/// Work of a batch mode that cannot be done; the message, in English as the batch modes speak,
/// says why. Printed as the error box would show it.
class BatchError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace patapata::app
