#include "web/page_viewer.h"

#include "character/frame_interval.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/file_read.h"
#include "player/animation.h"
#include "player/pattern_check.h"
#include "surfaces/image_readers.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace patapata::web {

namespace {

bool isPng(const std::string& path) {
  const std::string_view extension = fileExtension(path);
  return extension.size() == 3 && (extension[0] | 0x20) == 'p' && (extension[1] | 0x20) == 'n' &&
         (extension[2] | 0x20) == 'g';
}

std::shared_ptr<const SheetPicture> loadPng(platform::SurfaceService& service,
                                            const PngDecoder& decodePng, const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxImageFileBytes) throw Error(MessageId::InvalidBitmap);
  const auto file = readWholeFile(path);
  if (!file) throw Error(MessageId::CannotOpenFile, encoding::toDisplayText(path));
  checkPngFile(*file);
  std::optional<PngPixels> pixels = decodePng(*file);
  if (!pixels) throw Error(MessageId::InvalidBitmap);
  DecodedImage image = keyPngPixels(std::move(*pixels));
  return SheetPicture::fromImage(service, image);
}

}  // namespace

SheetLoader pageSheetLoader(std::shared_ptr<platform::SurfaceService> service,
                            PngDecoder decodePng) {
  return [service = std::move(service), decodePng = std::move(decodePng)](const std::string& path) {
    if (isPng(path)) return loadPng(*service, decodePng, path);
    return SheetPicture::load(*service, path);
  };
}

PageViewer::PageViewer(PngDecoder decodePng)
    : service_(std::make_shared<platform::SurfaceService>(PixelFormat::xrgb8888())),
      view_(service_, kViewWidth, kViewHeight),
      rgba_(std::size_t{kViewWidth} * kViewHeight * 4, 0) {
  loadSheet_ = pageSheetLoader(service_, std::move(decodePng));
  stampSource_ = [this](const std::string& path) { return fileStampOf(path); };
  controls_.onTextChanged = [this](Edit edit) {
    if (edit == Edit::Interval) applyIntervalText(viewer_.character, controls_.text(edit));
  };
  view_.setHost(&host_);
  view_.onSurfacesReleased = [this](ViewControl&) { viewer_.character.sheet.picture.reset(); };
  // The page is shown as it starts; its view shows the cleared surface until the first frame.
  view_.initialize();
  copyFrame();

  FrameLoopHooks hooks;
  hooks.clock = [this] { return nowMs_; };
  hooks.wakeAfter = [this](uint32_t ms) { wakeMs_ = ms; };
  hooks.pollFiles = [this](uint32_t nowMs) {
    const PollResult polled = pollWatchedFiles(viewer_, loadSheet_, controls_, nowMs, stampSource_);
    if (polled == PollResult::Nothing) return;
    takePageStamps();
    if (polled == PollResult::Character) showInterval();
  };
  hooks.trackCarets = [this] {
    trackCarets(viewer_.carets, viewer_.character, viewer_.player, controls_);
  };
  hooks.load = [this](const std::string& path) { open(path); };
  loop_ = std::make_unique<FrameLoop>(viewer_, controls_, view_, std::move(hooks));
  loop_->startClockAt(0);
}

PageViewer::~PageViewer() {
  view_.finalize();
  view_.setHost(nullptr);
}

void PageViewer::setFileStamp(const std::string& path, FileStamp stamp) {
  if (stamp.isMissing()) {
    if (const auto it = stamps_.find(path); it != stamps_.end()) stamps_.erase(it);
    return;
  }
  stamps_.insert_or_assign(path, stamp);
}

FileStamp PageViewer::fileStampOf(const std::string& path) const {
  const auto it = stamps_.find(path);
  return it == stamps_.end() ? FileStamp::missing() : it->second;
}

std::vector<std::string> PageViewer::sheetsNamedBy(const std::string& path) const {
  std::vector<std::string> sheets;
  // The reader resolves each name; an empty picture lets it go on to the next line.
  const SheetLoader note = [&sheets](const std::string& sheet) {
    if (std::find(sheets.begin(), sheets.end(), sheet) == sheets.end()) sheets.push_back(sheet);
    return std::make_shared<const SheetPicture>(nullptr);
  };
  loadCharacterFile(path, note, CharacterSheet{});
  return sheets;
}

void PageViewer::takePageStamps() {
  if (!viewer_.files.characterPath.empty()) {
    viewer_.files.characterStamp = fileStampOf(viewer_.files.characterPath);
  }
  CharacterSheet& sheet = viewer_.character.sheet;
  if (!sheet.path.empty()) sheet.stamp = fileStampOf(sheet.path);
}

void PageViewer::showInterval() {
  controls_.setText(Edit::Interval, std::to_string(viewer_.character.frameIntervalMs));
}

namespace {

// Runs `then` when it goes out of scope, also while an error propagates.
template <typename Then>
struct Finally {
  Then then;
  ~Finally() { then(); }
};
template <typename Then>
Finally(Then) -> Finally<Then>;

}  // namespace

void PageViewer::open(const std::string& path) {
  // The interval edit and the stamps follow what the load left, whether or not it completed.
  const Finally after{[this] {
    takePageStamps();
    showInterval();
  }};
  openCharacterFile(viewer_, loadSheet_, path);
}

void PageViewer::reload() {
  const Finally after{[this] {
    takePageStamps();
    showInterval();
  }};
  reloadCharacter(viewer_, loadSheet_);
}

void PageViewer::reloadSheet() {
  const Finally after{[this] { takePageStamps(); }};
  patapata::reloadSheet(viewer_, loadSheet_);
}

void PageViewer::selectState(int32_t state) {
  patapata::selectState(viewer_.player, state);
}

void PageViewer::startPatternCheck() {
  patapata::startPatternCheck(viewer_.character, viewer_.player, controls_);
}

void PageViewer::copyPattern() {
  copyPatternToClipboard(controls_);
}

uint32_t PageViewer::tick(uint32_t nowMs) {
  nowMs_ = nowMs;
  wakeMs_ = 0;
  bool done = true;
  loop_->tick(done);
  if (!done) ++framesDrawn_;
  if (wakeMs_ > 0) return wakeMs_;
  // A frame was drawn, or there is nothing to draw: the next one is due an interval on.
  return static_cast<uint32_t>(std::max(0, viewer_.character.frameIntervalMs));
}

std::array<bool, kStates.size()> PageViewer::enabledButtons() const {
  std::array<bool, kStates.size()> enabled{};
  for (std::size_t i = 0; i < kStates.size(); ++i) {
    enabled[i] = viewer_.character.enablesButton(kStates[i].state);
  }
  return enabled;
}

uint32_t PageViewer::displayRevision() {
  const std::array<bool, kStates.size()> buttons = enabledButtons();
  const Viewer& v = viewer_;
  if (v.display == shown_.display && v.player.caption == shown_.caption &&
      v.carets.counters == shown_.counters && buttons == shown_.buttons &&
      v.characterLoaded == shown_.characterLoaded && controls_.revision() == shown_.controls &&
      v.files.characterPath == shown_.characterPath && v.character.sheet.path == shown_.sheetPath) {
    return displayRevision_;
  }
  shown_ =
      Shown{v.display,         v.player.caption,     v.carets.counters,     buttons,
            v.characterLoaded, controls_.revision(), v.files.characterPath, v.character.sheet.path};
  return ++displayRevision_;
}

void PageViewer::copyFrame() {
  Surface* primary = view_.primarySurface();
  LockDescription lock;
  if (primary == nullptr || !primary->lock(nullptr, lock)) return;
  const int32_t width = std::min(primary->width(), kViewWidth);
  const int32_t height = std::min(primary->height(), kViewHeight);
  const int32_t bytes = lock.format.bytesPerPixel();
  uint8_t* out = rgba_.data();
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = lock.bits + static_cast<std::ptrdiff_t>(y) * lock.pitch;
    uint8_t* to = out + static_cast<std::ptrdiff_t>(y) * kViewWidth * 4;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t raw = 0;
      const uint8_t* pixel = row + std::ptrdiff_t{x} * bytes;
      for (int32_t b = 0; b < bytes; ++b) raw |= uint32_t{pixel[b]} << (8 * b);
      const uint32_t rgb = lock.format.toRgb(raw);
      uint8_t* rgba = to + std::ptrdiff_t{x} * 4;
      rgba[0] = static_cast<uint8_t>(rgb >> 16);
      rgba[1] = static_cast<uint8_t>(rgb >> 8);
      rgba[2] = static_cast<uint8_t>(rgb);
      rgba[3] = 0xFF;
    }
  }
  primary->unlock();
  ++framesPresented_;
}

}  // namespace patapata::web
