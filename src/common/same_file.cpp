#include "common/same_file.h"

#include <filesystem>
#include <system_error>

namespace patapata {

bool sameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  if (a.empty() || b.empty()) return false;
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  std::error_code errorA;
  std::error_code errorB;
  const fs::path resolvedA = fs::weakly_canonical(fs::absolute(a, errorA), errorA);
  const fs::path resolvedB = fs::weakly_canonical(fs::absolute(b, errorB), errorB);
  return !errorA && !errorB && resolvedA == resolvedB;
}

}  // namespace patapata
