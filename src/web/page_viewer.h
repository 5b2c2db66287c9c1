#pragma once

#include "character/character_reader.h"
#include "character/state_table.h"
#include "common/file_stamp.h"
#include "player/file_intake.h"
#include "player/frame_loop.h"
#include "player/viewer.h"
#include "surfaces/view_control.h"
#include "surfaces/view_host.h"
#include "web/page_controls.h"
#include "web/png_pixels.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace patapata {

namespace platform {
class SurfaceService;
}

namespace web {

/// The page's PNG decoder: the pixels of a PNG file, or nothing when it refuses the file.
using PngDecoder = std::function<std::optional<PngPixels>(std::span<const uint8_t> file)>;

/// Reads sheets for `service`'s display: BMP and DIB files with the core's readers, PNG files
/// checked by the core, decoded by `decodePng` and keyed by the core.
SheetLoader pageSheetLoader(std::shared_ptr<platform::SurfaceService> service,
                            PngDecoder decodePng);

/// The viewer as the page runs it, in place of the desktop's main window: the viewer's parts,
/// the page's controls, a view whose frames the page copies to its canvas as RGBA, and the
/// handlers of the page's buttons.
///
/// The page keeps copies of the author's files in the module's file system and tells the
/// viewer the stamp of each copy (the file's lastModified and size when the page read it). The
/// watched files are polled with those stamps, and every load takes them, so that a copy the
/// page has not replaced never reads as a change.
class PageViewer {
 public:
  explicit PageViewer(PngDecoder decodePng);
  ~PageViewer();
  PageViewer(const PageViewer&) = delete;
  PageViewer& operator=(const PageViewer&) = delete;

  /// The page holds a copy of `path` made from the file with `stamp`; FileStamp::missing()
  /// when it holds none (the file was removed, or could not be read as it was).
  void setFileStamp(const std::string& path, FileStamp stamp);
  FileStamp fileStampOf(const std::string& path) const;

  /// The sheets a load of the character file at `path` reads, as the load resolves them, so
  /// that the page can copy them first. Reads only that file.
  std::vector<std::string> sheetsNamedBy(const std::string& path) const;

  /// The handlers of the page's controls; each throws the Error the desktop's shows in its
  /// error box, leaving what it did before.
  void open(const std::string& path);
  void reload();
  void reloadSheet();
  void selectState(int32_t state);
  void startPatternCheck();
  void copyPattern();

  /// One tick at the clock reading `nowMs` (32-bit wrapping): polls the watched files and
  /// draws the frame when it is due. Returns the milliseconds until the next tick is wanted.
  /// Allocates nothing while nothing changes. Throws what the tick throws.
  uint32_t tick(uint32_t nowMs);

  FrameLoop& frameLoop() { return *loop_; }
  const Viewer& viewer() const { return viewer_; }
  PageControls& controls() { return controls_; }
  const PageControls& controls() const { return controls_; }
  /// The buttons of kStates that are enabled, in the table's order.
  std::array<bool, kStates.size()> enabledButtons() const;
  /// Counts the changes of what the page shows beside the view: the viewer's display state,
  /// the state caption, the counters, the enabled buttons, the controls' texts and the watched
  /// files' paths.
  uint32_t displayRevision();

  /// The view's picture as RGBA rows (kViewWidth × kViewHeight), as last presented.
  std::span<const uint8_t> frame() const { return rgba_; }
  /// Counts the presents that changed the view.
  uint32_t framesPresented() const { return framesPresented_; }
  /// Counts the ticks that drew a frame.
  uint32_t framesDrawn() const { return framesDrawn_; }

 private:
  class Host : public ViewHost {
   public:
    explicit Host(PageViewer& owner) : owner_(owner) {}
    bool hasParentWindow() const override { return true; }
    void presented() override { owner_.copyFrame(); }

   private:
    PageViewer& owner_;
  };

  void copyFrame();
  void showInterval();
  /// The loads take the file system's stamps of what they read; the page's are the ones the
  /// poll compares.
  void takePageStamps();

  std::shared_ptr<platform::SurfaceService> service_;
  Viewer viewer_;
  PageControls controls_;
  Host host_{*this};
  ViewControl view_;
  SheetLoader loadSheet_;
  std::map<std::string, FileStamp, std::less<>> stamps_;
  StampSource stampSource_;
  uint32_t nowMs_ = 0;
  uint32_t wakeMs_ = 0;
  std::unique_ptr<FrameLoop> loop_;
  std::vector<uint8_t> rgba_;
  uint32_t framesPresented_ = 0;
  uint32_t framesDrawn_ = 0;

  struct Shown {
    DisplayState display;
    std::string caption;
    std::array<std::string, 3> counters;
    std::array<bool, kStates.size()> buttons{};
    bool characterLoaded = false;
    uint32_t controls = 0;
    std::string characterPath;
    std::string sheetPath;
  };
  Shown shown_;
  uint32_t displayRevision_ = 0;
};

}  // namespace web
}  // namespace patapata
