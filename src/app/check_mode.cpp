#include "app/batch_modes.h"

#include <iostream>

namespace patapata::app {

int runCheckMode(std::span<const std::string> /*args*/) {
  std::cerr << "patapata: --check is not available yet\n";
  return 2;
}

}  // namespace patapata::app
