#include "app/batch_modes.h"
#include "character/aseprite_import.h"
#include "character/equal_pictures.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/new_file.h"
#include "export/headless_session.h"
#include "player/character_source.h"
#include "surfaces/sheet_picture.h"

#include <filesystem>
#include <iostream>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace patapata::app {

namespace {

namespace fs = std::filesystem;

void requireSheet(const fs::path& sheet) {
  if (std::error_code error; !fs::exists(sheet, error)) {
    throw Error(MessageId::AsepriteSheetNotFound, {encoding::toDisplayText(sheet.string())});
  }
}

}  // namespace

int runImportMode(const ImportOptions& options) {
  AsepriteOptions import;
  import.intervalMs = options.intervalMs;
  import.mappings = options.mappings;
  // The sheet is read only to tell alike frames apart, in the pixels the viewer would show.
  exporting::HeadlessSession session;
  if (options.mergeDuplicates) {
    import.samePictures = [&session](const fs::path& sheet, std::span<const CelRect> rects) {
      requireSheet(sheet);
    const auto picture = session.sheetLoader()(sheet.string());
    return firstEqualPictures(picture->view(), rects);
  };
}
std::vector<Message> warnings;
if (options.out) {
  // Naming the file with -o is the author's agreement to replace it.
  warnings = saveAsCharacterFile(options.file, *options.out, Replace::Allowed, import);
} else {
  const AsepriteImport result = importAsepriteFile(options.file, import);
  requireSheet(result.sheetPath);
  std::cout << result.characterText << std::flush;
  warnings = result.warnings;
}
for (const Message& warning : warnings) {
  std::cerr << "patapata: warning: " << messageText(warning) << '\n';
}
if (options.out) std::cout << *options.out << '\n';
return 0;
}  // namespace patapata::app

}  // namespace patapata::app
