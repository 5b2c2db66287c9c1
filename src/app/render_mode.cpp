#include "app/batch_modes.h"
#include "app/headless_session.h"
#include "character/viewer_state.h"
#include "common/errors.h"
#include "player/animation.h"
#include "player/frame_composer.h"
#include "player/frame_loop.h"
#include "surfaces/direct_draw_surface.h"
#include "surfaces/dx_draw.h"

#include <QImage>
#include <QString>

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

namespace patapata::app {
namespace {

constexpr const char* kUsage =
    "usage: patapata --render FILE.chp [--state N] [--ticks K] [--out PREFIX] [--depth 32|16]";

/// More ticks than this is not a render anyone waits for; it also bounds the report's size.
constexpr int32_t kMaxTicks = 100000;

class UsageError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct RenderOptions {
  std::string file;
  std::optional<int32_t> state;
  std::optional<int32_t> ticks;
  std::optional<std::string> outPrefix;
  PixelFormat format = PixelFormat::xrgb8888();
};

std::optional<int32_t> decimal(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

RenderOptions parseArguments(std::span<const std::string> args) {
  RenderOptions options;
  bool haveFile = false;
  bool haveDepth = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.starts_with("--")) {
      if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--state") {
        if (options.state) throw UsageError("--state given twice");
        const auto state = decimal(value);
        if (!state) throw UsageError("--state " + value + " is not a number");
        if (!buttonSelectingState(*state)) {
          throw UsageError("no button selects state " + value);
        }
        options.state = state;
      } else if (arg == "--ticks") {
        if (options.ticks) throw UsageError("--ticks given twice");
        const auto ticks = decimal(value);
        if (!ticks || *ticks < 1 || *ticks > kMaxTicks) {
          throw UsageError("--ticks takes a number from 1 to " + std::to_string(kMaxTicks));
        }
        options.ticks = ticks;
      } else if (arg == "--out") {
        if (options.outPrefix) throw UsageError("--out given twice");
        if (value.empty()) throw UsageError("--out needs a file name prefix");
        options.outPrefix = value;
      } else if (arg == "--depth") {
        if (haveDepth) throw UsageError("--depth given twice");
        haveDepth = true;
        if (value == "32") {
          options.format = PixelFormat::xrgb8888();
        } else if (value == "16") {
          options.format = PixelFormat::rgb565();
        } else {
          throw UsageError("--depth takes 32 or 16");
        }
      } else {
        throw UsageError("unknown option " + arg);
      }
    } else {
      if (haveFile) throw UsageError("one character file only");
      options.file = arg;
      haveFile = true;
    }
  }
  if (!haveFile) throw UsageError("no character file given");
  return options;
}

/// The view is placed on a form that is never shown; presenting shows nothing.
class HeadlessHost : public ViewHost {
 public:
  bool hasParentForm() const override { return true; }
  void presented() override {}
};

std::string frameFileName(const std::string& prefix, int32_t tick) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", tick);
  return prefix + "-" + number + ".png";
}

/// Writes the back surface as an RGB picture. False when it cannot be read or written.
bool writeFrame(TDirectDrawSurface& back, const std::string& path) {
  const PixelFormat format = back.Format();
  const int32_t bytes = format.bytesPerPixel();
  QImage image(back.Width(), back.Height(), QImage::Format_RGB32);
  platform::LockDescription lock;
  if (image.isNull() || !back.Lock(nullptr, lock)) return false;
  for (int32_t y = 0; y < back.Height(); ++y) {
    const uint8_t* row = lock.bits + static_cast<std::ptrdiff_t>(y) * lock.pitch;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < back.Width(); ++x) {
      uint32_t raw = 0;
      std::memcpy(&raw, row + static_cast<std::ptrdiff_t>(x) * bytes, bytes);
      out[x] = 0xFF000000u | format.toRgb(raw);
    }
  }
  back.Unlock();
  return image.save(QString::fromStdString(path), "PNG");
}

int32_t entryAt(const SequenceTable& table, int32_t state, int32_t frame) {
  if (state < 0 || state >= kStateCount || frame < 0 || frame >= kFrameSlots) return kEmptyCel;
  return table[state][frame];
}

int render(const RenderOptions& options) {
  HeadlessSession session(options.format);
  ViewerState& state = session.state();
  MemoryControls& controls = session.controls();
  try {
    session.load(options.file);
  } catch (const Exception& e) {
    std::cerr << errorBoxText(e.message()) << '\n';
    return 1;
  }

  if (options.state) {
    if (*options.state == CheckState) {
      // The check button would first refill row 30 from the pattern edits, which are empty
      // here; the file's own row 30 is what a render of state 30 is asked to show.
      selectCheckState(state, controls);
    } else {
      clickStateButton(*buttonSelectingState(*options.state), state, controls);
    }
  }
  const int32_t ticks = options.ticks.value_or(sequenceLength(state, state.AnimState));

  HeadlessHost host;
  TDXDraw view(session.service());
  view.setBounds(kViewWidth, kViewHeight);
  view.setHost(&host);
  view.InitializeView();

  // A clock that jumps over every wait: the frames follow one another at once.
  uint32_t virtualNow = 0;
  FrameLoopHooks hooks;
  hooks.clock = [&virtualNow] { return virtualNow; };
  hooks.processEvents = [&virtualNow](uint32_t ms) { virtualNow += ms; };
  FrameLoop loop(state, controls, view, std::move(hooks));
  loop.startClock();

  // Keys in the order they are documented.
  nlohmann::ordered_json report = nlohmann::ordered_json::array();
  for (int32_t tick = 1; tick <= ticks; ++tick) {
    bool done = true;
    loop.ApplicationIdle(done);
    TDirectDrawSurface* back = view.BackSurface();
    if (done || back == nullptr) {
      std::cerr << "patapata: the view could not draw tick " << tick << '\n';
      return 1;
    }
    const int32_t s = state.AnimState;
    const int32_t f = state.AnimFrame;
    report.push_back({{"tick", tick},
                      {"state", s},
                      {"frame", f},
                      {"caption", controls.caption(ControlId::Label2)},
                      {"pattern", entryAt(state.PatternSeq, s, f)},
                      {"layer", entryAt(state.LayerSeq, s, f)},
                      {"dest", entryAt(state.LayerDestSeq, s, f)}});
    if (options.outPrefix) {
      const std::string path = frameFileName(*options.outPrefix, tick);
      if (!writeFrame(*back, path)) {
        std::cerr << "patapata: cannot write " << path << '\n';
        return 1;
      }
    }
  }
  std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  return 0;
}

}  // namespace

int runRenderMode(std::span<const std::string> args) {
  RenderOptions options;
  try {
    options = parseArguments(args);
  } catch (const UsageError& e) {
    std::cerr << "patapata --render: " << e.what() << '\n' << kUsage << '\n';
    return 2;
  }
  try {
    return render(options);
  } catch (const Exception& e) {
    std::cerr << errorBoxText(e.message()) << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "patapata: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace patapata::app
