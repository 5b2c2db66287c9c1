// The page's module: PageViewer and what the page needs of the core, bound with embind. Every
// handler returns whether it completed; the Error it raised waits in lastError() for the page's
// error box, so that no C++ exception crosses into JavaScript.
#include "character/state_table.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/message.h"
#include "web/page_viewer.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace patapata::web {

namespace {

using emscripten::val;

val messageValue(const Message& message) {
  val out = val::object();
  out.set("id", static_cast<int>(message.id));
  val arguments = val::array();
  for (const std::string& argument : message.arguments) arguments.call<void>("push", argument);
  out.set("arguments", arguments);
  return out;
}

// The page's decoder, a JavaScript function of the file's bytes that returns null or
// {layout, width, height, samples, palette, paletteAlpha}; it never throws.
PngDecoder decoderOf(val decode) {
  return [decode = std::move(decode)](std::span<const uint8_t> file) -> std::optional<PngPixels> {
    const val result = decode(val(emscripten::typed_memory_view(file.size(), file.data())));
    if (result.isNull() || result.isUndefined()) return std::nullopt;
    PngPixels pixels;
    pixels.layout = static_cast<PngPixels::Layout>(result["layout"].as<int32_t>());
    pixels.width = result["width"].as<int32_t>();
    pixels.height = result["height"].as<int32_t>();
    const val samples = result["samples"];
    pixels.samples.resize(samples["length"].as<std::size_t>());
    // The view is made after the vector grew the heap, which moves the memory's buffer.
    val(emscripten::typed_memory_view(pixels.samples.size(), pixels.samples.data()))
        .call<void>("set", samples);
    if (const val palette = result["palette"]; !palette.isUndefined() && !palette.isNull()) {
      val(emscripten::typed_memory_view(pixels.palette.size(), pixels.palette.data()))
          .call<void>("set", palette);
    }
    if (const val alpha = result["paletteAlpha"]; !alpha.isUndefined() && !alpha.isNull()) {
      pixels.hasPaletteAlpha = true;
      val(emscripten::typed_memory_view(pixels.paletteAlpha.size(), pixels.paletteAlpha.data()))
          .call<void>("set", alpha);
    }
    return pixels;
  };
}

class Page {
 public:
  explicit Page(val decodePng) : viewer_(decoderOf(std::move(decodePng))) {}

  void setFileStamp(const std::string& path, double modifiedMs, double size) {
    // Milliseconds as the page's files give them, held in the stamp's nanoseconds.
    viewer_.setFileStamp(
        path, FileStamp{static_cast<int64_t>(modifiedMs) * 1000000, static_cast<int64_t>(size)});
  }
  void forgetFile(const std::string& path) { viewer_.setFileStamp(path, FileStamp::missing()); }

  val sheetsNamedBy(const std::string& path) {
    val out = val::array();
    guarded([&] {
      for (const std::string& sheet : viewer_.sheetsNamedBy(path)) out.call<void>("push", sheet);
    });
    return out;
  }

  /// One of the viewer's actions as the page's user asked for it: false when it failed, its
  /// error kept for lastError.
  template <auto kAction, typename... Args>
  bool act(Args... args) {
    return guarded([&] { (viewer_.*kAction)(args...); });
  }
  bool setPaused(bool paused) {
    return guarded([&] { viewer_.frameLoop().setPaused(paused); });
  }
  bool stepForward() {
    return guarded([&] { viewer_.frameLoop().stepForward(); });
  }
  bool stepBack() {
    return guarded([&] { viewer_.frameLoop().stepBack(); });
  }
  bool isPaused() { return viewer_.frameLoop().isPaused(); }

  /// The milliseconds until the next tick, or -1 when the tick raised an error.
  double tick(double nowMs) {
    uint32_t wait = 0;
    const bool ok = guarded([&] {
      wait = viewer_.tick(static_cast<uint32_t>(static_cast<uint64_t>(nowMs) & 0xFFFFFFFFu));
    });
    return ok ? wait : -1;
  }

  bool typed(int32_t edit, const std::string& text, int32_t caret) {
    return guarded([&] { viewer_.controls().typed(static_cast<Edit>(edit), text, caret); });
  }
  void caretMoved(int32_t edit, int32_t caret) {
    viewer_.controls().caretMoved(static_cast<Edit>(edit), caret);
  }
  void setChecked(int32_t item, bool checked) {
    viewer_.controls().setChecked(static_cast<Switch>(item), checked);
  }
  bool isChecked(int32_t item) const {
    return viewer_.controls().isChecked(static_cast<Switch>(item));
  }
  std::string shownText(int32_t edit) const {
    return viewer_.controls().shownText(static_cast<Edit>(edit));
  }
  std::string copiedText() const { return viewer_.controls().copiedText(); }
  uint32_t copies() const { return viewer_.controls().copies(); }

  uint32_t displayRevision() { return viewer_.displayRevision(); }

  /// What the page shows beside the view, as one object.
  val display() {
    const Viewer& v = viewer_.viewer();
    val out = val::object();
    if (v.display.characterName) {
      out.set("name", *v.display.characterName);
    } else {
      out.set("name", val::null());
    }
    out.set("caption", v.player.caption);
    val counters = val::array();
    for (const std::string& counter : v.carets.counters) counters.call<void>("push", counter);
    out.set("counters", counters);
    val buttons = val::array();
    for (const bool enabled : viewer_.enabledButtons()) buttons.call<void>("push", enabled);
    out.set("buttons", buttons);
    out.set("reloadEnabled", v.display.reloadEnabled);
    out.set("patternCheckEnabled", v.display.patternCheckEnabled);
    out.set("characterLoaded", v.characterLoaded);
    if (const auto& failure = v.display.reloadFailure) {
      val f = messageValue(failure->message);
      f.set("file", encoding::toDisplayText(failure->file));
      f.set("line", failure->line);
      out.set("failure", f);
    } else {
      out.set("failure", val::null());
    }
    val warnings = val::array();
    for (const LintWarning& warning : v.display.warnings) {
      val w = messageValue(warning.message);
      w.set("line", warning.line);
      warnings.call<void>("push", w);
    }
    out.set("warnings", warnings);
    out.set("interval", viewer_.controls().shownText(Edit::Interval));
    return out;
  }

  /// What the frame readout shows.
  val readout() {
    const Viewer& v = viewer_.viewer();
    const int32_t state = v.player.state;
    const int32_t frame = v.player.frame;
    val out = val::object();
    // Numbers only, so that a readout shown at every tick puts nothing on the module's heap;
    // the caption comes with display().
    out.set("state", state);
    out.set("frame", frame);
    out.set("length", v.character.sequenceLength(state));
    out.set("pattern", v.character.entry(Sequence::Pattern, state, frame));
    out.set("layerOn", v.character.isLayerOn(state));
    out.set("layer", v.character.entry(Sequence::Layer, state, frame));
    out.set("destination", v.character.entry(Sequence::Destination, state, frame));
    out.set("paused", viewer_.frameLoop().isPaused());
    if (const auto mean = viewer_.frameLoop().meanFrameIntervalMs()) {
      out.set("meanMs", *mean);
    } else {
      out.set("meanMs", val::null());
    }
    out.set("intervalMs", v.character.frameIntervalMs);
    return out;
  }

  std::string characterPath() const { return viewer_.viewer().files.characterPath; }
  std::string sheetPath() const { return viewer_.viewer().character.sheet.path; }

  /// The view's RGBA rows in the module's memory; the page makes its ImageData over them.
  uintptr_t frameAddress() const { return reinterpret_cast<uintptr_t>(viewer_.frame().data()); }
  uint32_t framesPresented() const { return viewer_.framesPresented(); }
  uint32_t framesDrawn() const { return viewer_.framesDrawn(); }

  /// The error the last handler raised: {id, arguments, file, line}, or null.
  val lastError() const {
    if (!error_) return val::null();
    val out = messageValue(error_->message());
    if (const auto& at = error_->location()) {
      out.set("file", encoding::toDisplayText(at->file));
      out.set("line", at->line);
    }
    return out;
  }
  /// What the last handler raised that is not one of the system's errors.
  std::string lastFault() const { return fault_; }

 private:
  template <typename Handler>
  bool guarded(Handler&& handler) {
    error_.reset();
    fault_.clear();
    try {
      handler();
      return true;
    } catch (const Error& e) {
      error_ = e;
    } catch (const std::exception& e) {
      fault_ = e.what();
    }
    return false;
  }

  PageViewer viewer_;
  std::optional<Error> error_;
  std::string fault_;
};

val stateTable() {
  val out = val::array();
  for (const StateInfo& info : kStates) {
    val s = val::object();
    s.set("state", info.state);
    s.set("buttonCaption", std::string(info.buttonCaption));
    s.set("caption", std::string(info.caption));
    s.set("english", std::string(info.english));
    s.set("kind", static_cast<int>(info.kind));
    out.call<void>("push", s);
  }
  return out;
}

std::string fill(const std::string& pattern, val arguments) {
  std::vector<std::string> filled;
  const auto count = arguments["length"].as<std::size_t>();
  for (std::size_t i = 0; i < count; ++i) filled.push_back(arguments[i].as<std::string>());
  return fillArguments(pattern, filled);
}

}  // namespace

EMSCRIPTEN_BINDINGS(patapata_page) {
  using emscripten::class_;
  using emscripten::function;
  class_<Page>("Page")
      .constructor<val>()
      .function("setFileStamp", &Page::setFileStamp)
      .function("forgetFile", &Page::forgetFile)
      .function("sheetsNamedBy", &Page::sheetsNamedBy)
      .function("open", &Page::act<&PageViewer::open, std::string>)
      .function("reload", &Page::act<&PageViewer::reload>)
      .function("reloadSheet", &Page::act<&PageViewer::reloadSheet>)
      .function("selectState", &Page::act<&PageViewer::selectState, int32_t>)
      .function("startPatternCheck", &Page::act<&PageViewer::startPatternCheck>)
      .function("copyPattern", &Page::act<&PageViewer::copyPattern>)
      .function("setPaused", &Page::setPaused)
      .function("stepForward", &Page::stepForward)
      .function("stepBack", &Page::stepBack)
      .function("isPaused", &Page::isPaused)
      .function("tick", &Page::tick)
      .function("typed", &Page::typed)
      .function("caretMoved", &Page::caretMoved)
      .function("setChecked", &Page::setChecked)
      .function("isChecked", &Page::isChecked)
      .function("shownText", &Page::shownText)
      .function("copiedText", &Page::copiedText)
      .function("copies", &Page::copies)
      .function("displayRevision", &Page::displayRevision)
      .function("display", &Page::display)
      .function("readout", &Page::readout)
      .function("characterPath", &Page::characterPath)
      .function("sheetPath", &Page::sheetPath)
      .function("frameAddress", &Page::frameAddress)
      .function("framesPresented", &Page::framesPresented)
      .function("framesDrawn", &Page::framesDrawn)
      .function("lastError", &Page::lastError)
      .function("lastFault", &Page::lastFault);
  function("stateTable", &stateTable);
  function("fillArguments", &fill);
  function("errorBoxText", emscripten::optional_override(
                               [](const std::string& text) { return errorBoxText(text); }));
  function("viewWidth", emscripten::optional_override([] { return kViewWidth; }));
  function("viewHeight", emscripten::optional_override([] { return kViewHeight; }));
}

}  // namespace patapata::web

int main() {
  return 0;
}
