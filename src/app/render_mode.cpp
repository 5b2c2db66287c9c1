#include "app/batch_modes.h"

#include <iostream>

namespace patapata::app {

int runRenderMode(std::span<const std::string> /*args*/) {
  std::cerr << "patapata: --render is not available yet\n";
  return 2;
}

}  // namespace patapata::app
