#pragma once

#include "character/character_lint.h"
#include "character/character_reader.h"
#include "common/memory_controls.h"
#include "player/viewer.h"
#include "surfaces/pixel_format.h"

#include <memory>
#include <string>
#include <vector>

namespace patapata {

namespace platform {
class SurfaceService;
}

namespace exporting {

/// The viewer without a window, for the batch modes: the viewer's parts, controls held in
/// memory in their start state, and a software display that sheets are read for.
class HeadlessSession {
 public:
  explicit HeadlessSession(PixelFormat displayFormat = PixelFormat::xrgb8888());
  ~HeadlessSession();
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  Viewer& viewer() { return viewer_; }
  const Viewer& viewer() const { return viewer_; }
  const Character& character() const { return viewer_.character; }
  MemoryControls& controls() { return controls_; }
  const std::shared_ptr<platform::SurfaceService>& service() const { return service_; }
  /// Reads sheets for the session's display.
  SheetLoader sheetLoader() const;

  /// Loads the character file at `path` as the viewer loads a file it is given: what the load
  /// read replaces the character, also when it stopped, and then its Error is thrown.
  void load(const std::string& path, ReaderObserver* observer = nullptr);
  /// Takes a character already read, such as the one a window shows, as a load that completed
  /// takes what it read. Its sheet must be in the session's display format.
  void adopt(Character character);

  /// Loads as load() does and gives what the check finds in the file; an Aseprite JSON is
  /// imported and played, as the window plays it, and gives the import's warnings.
  std::vector<LintWarning> loadAndCheck(const std::string& path);

 private:
  /// What a load read replaces the character, also when it stopped; then its Error is thrown.
  void take(CharacterLoad load);

  std::shared_ptr<platform::SurfaceService> service_;
  Viewer viewer_;
  MemoryControls controls_;
};

}  // namespace exporting
}  // namespace patapata
