#include "app/batch_modes.h"
#include "app/warning_report.h"
#include "common/encoding.h"
#include "common/errors.h"
#include "common/same_file.h"
#include "export/headless_player.h"
#include "export/headless_session.h"

#include <QImage>
#include <QImageWriter>
#include <QString>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace patapata::app {
using exporting::HeadlessPlayer;
using exporting::HeadlessSession;
using exporting::surfaceImage;
using exporting::TickRecord;

namespace {

std::string frameFileName(const std::string& prefix, int32_t tick) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", tick);
  return prefix + "-" + number + ".png";
}

int render(const RenderOptions& options) {
  HeadlessSession session(options.format);
  const std::vector<LintWarning> warnings = session.loadAndCheck(options.file);
  printWarnings(std::cerr, options.file, warnings);
  refuseWarningsWhenStrict(options.strict, warnings);

  HeadlessPlayer player(session);
  if (options.state) player.selectState(*options.state);
  const int32_t ticks = options.ticks.value_or(player.onePassTicks());

  // Keys in the order they are documented.
  nlohmann::ordered_json report = nlohmann::ordered_json::array();
  for (int32_t i = 1; i <= ticks; ++i) {
    const TickRecord tick = player.tick();
    report.push_back({{"tick", tick.tick},
                      {"state", tick.state},
                      {"frame", tick.frame},
                      {"caption", tick.caption},
                      {"pattern", tick.pattern},
                      {"layer", tick.layer},
                      {"dest", tick.dest}});
    if (options.outPrefix) {
      const std::string path = frameFileName(*options.outPrefix, tick.tick);
      if (sameFile(path, options.file) || sameFile(path, session.character().sheet.path)) {
        std::cerr << "patapata: " << encoding::toDisplayText(path)
                  << " is the character file or its sheet, which a render does not write over: "
                     "name another prefix\n";
        return 1;
      }
      const QImage image = surfaceImage(player.backSurface());
      QImageWriter writer(QString::fromStdString(path), "PNG");
      if (image.isNull() || !writer.write(image)) {
        std::cerr << "patapata: cannot write " << encoding::toDisplayText(path) << ": "
                  << writer.errorString().toStdString() << '\n';
        return 1;
      }
    }
  }
  std::cout << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  return 0;
}

}  // namespace

int runRenderMode(const RenderOptions& options) {
  return render(options);
}

}  // namespace patapata::app
