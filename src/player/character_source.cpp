#include "player/character_source.h"

#include "common/encoding.h"
#include "common/same_file.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace patapata {

namespace {

namespace fs = std::filesystem;

SourceLoad loadAsepriteJson(const std::string& path, const SheetLoader& loadSheet,
                            CharacterSheet sheet) {
  const FileStamp stamp = fileStamp(path);
  SourceLoad source;
  AsepriteImport imported;
  try {
    imported = importAsepriteFile(path, {});
  } catch (Error& e) {
    e.setLocation({path, 0});
    source.load.character.sheet = std::move(sheet);
    source.load.error = std::move(e);
    source.load.stamp = stamp;
    return source;
  }
  source.load = readCharacter(imported.characterText, path, loadSheet, std::move(sheet));
  source.load.stamp = stamp;
  // Its lines are those of a text the author never sees.
  if (source.load.error) source.load.error->setLocation({path, 0});
  for (Message& warning : imported.warnings) source.warnings.push_back({0, std::move(warning)});
  return source;
}

}  // namespace

bool isAsepriteJson(std::string_view path) {
  constexpr std::string_view kExtension = ".json";
  if (path.size() < kExtension.size()) return false;
  const std::string_view end = path.substr(path.size() - kExtension.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    const char c = end[i] >= 'A' && end[i] <= 'Z' ? static_cast<char>(end[i] - 'A' + 'a') : end[i];
    if (c != kExtension[i]) return false;
  }
  return true;
}

SourceLoad loadCharacterSource(const std::string& path, const SheetLoader& loadSheet,
                               CharacterSheet sheet) {
  if (isAsepriteJson(path)) return loadAsepriteJson(path, loadSheet, std::move(sheet));
  SourceLoad source;
  CharacterLint lint;
  source.load = loadCharacterFile(path, loadSheet, std::move(sheet), &lint);
  if (source.load.completed()) {
    lint.finish(source.load.character);
    source.warnings = lint.warnings();
  }
  return source;
}

std::vector<Message> saveAsCharacterFile(const std::string& jsonPath,
                                         const std::string& destination, Replace replace,
                                         AsepriteOptions options) {
  options.outputFolder = fs::path(destination).parent_path();
  if (options.outputFolder.empty()) options.outputFolder = ".";
  AsepriteImport imported = importAsepriteFile(jsonPath, std::move(options));
  if (sameFile(destination, jsonPath) || sameFile(destination, imported.sheetPath.string())) {
    throw Error(MessageId::AsepriteOutputIsSource, {encoding::toDisplayText(destination)});
  }
  // A character file whose sheet is not there would show nothing.
  if (std::error_code error; !fs::exists(imported.sheetPath, error)) {
    throw Error(MessageId::AsepriteSheetNotFound,
                {encoding::toDisplayText(imported.sheetPath.string())});
  }
  writeNewFile(destination, imported.characterText, replace);
  return std::move(imported.warnings);
}

}  // namespace patapata
