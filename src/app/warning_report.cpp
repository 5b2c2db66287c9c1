#include "app/warning_report.h"

#include "app/batch_error.h"
#include "common/encoding.h"

namespace patapata::app {

void printWarnings(std::ostream& out, const std::string& file,
                   std::span<const LintWarning> warnings) {
  const std::string shown = encoding::toDisplayText(file);
  for (const LintWarning& warning : warnings) {
    out << "patapata: " << shown;
    if (warning.line > 0) out << ", line " << warning.line;
    out << ": warning: " << messageText(warning.message) << '\n';
  }
}

void refuseWarningsWhenStrict(bool strict, std::span<const LintWarning> warnings) {
  if (!strict || warnings.empty()) return;
  throw BatchError(std::to_string(warnings.size()) +
                   (warnings.size() == 1 ? " warning" : " warnings") +
                   " with --strict: nothing was written");
}

}  // namespace patapata::app
