#include "export/headless_session.h"

#include "player/animation.h"
#include "player/character_source.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"

namespace patapata::exporting {

HeadlessSession::HeadlessSession(PixelFormat displayFormat)
    : service_(std::make_shared<platform::SurfaceService>(displayFormat)) {}

HeadlessSession::~HeadlessSession() = default;

SheetLoader HeadlessSession::sheetLoader() const {
  return
      [service = service_](const std::string& path) { return SheetPicture::load(*service, path); };
}

void HeadlessSession::load(const std::string& path, ReaderObserver* observer) {
  take(loadCharacterFile(path, sheetLoader(), viewer_.character.sheet, observer));
}

void HeadlessSession::take(CharacterLoad load) {
  viewer_.character = std::move(load.character);
  resetForLoad(viewer_.player);
  if (!load.completed()) throw *load.error;
  viewer_.characterLoaded = true;
}

void HeadlessSession::adopt(Character character) {
  viewer_.character = std::move(character);
  resetForLoad(viewer_.player);
  viewer_.characterLoaded = true;
}

std::vector<LintWarning> HeadlessSession::loadAndCheck(const std::string& path) {
  if (isAsepriteJson(path)) {
    SourceLoad source = loadCharacterSource(path, sheetLoader(), viewer_.character.sheet);
    take(std::move(source.load));
    return std::move(source.warnings);
  }
  CharacterLint lint;
  load(path, &lint);
  lint.finish(viewer_.character);
  return lint.warnings();
}

}  // namespace patapata::exporting
