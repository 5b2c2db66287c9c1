#pragma once

#include "export/state_export.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace patapata {

/// What the window's export asks before it asks where: the state playing or every state, GIF,
/// WebP or PNG, the scale, and the GIF's dithering, the options of --export.
class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Format { Gif, Webp, Png };

  /// `playing` is the state playing with its caption, or none when it cannot be exported by
  /// itself (it has no entries, or no button plays it): then every state is the one choice.
  ExportDialog(std::optional<int32_t> playing, QWidget* parent = nullptr);

  /// The export chosen, without its destination: a one-state GIF, WebP or PNG strip, every
  /// state's PNG sheet, or every state's animations into a folder.
  exporting::ExportJob job() const;

  /// Chooses as the author would; for tests.
  void choose(bool everyState, Format format, int32_t scale, exporting::Dither dither);

 private:
  void describe();

  std::optional<int32_t> playing_;
  QRadioButton* oneState_ = nullptr;
  QRadioButton* everyState_ = nullptr;
  QComboBox* format_ = nullptr;
  QSpinBox* scale_ = nullptr;
  QComboBox* dither_ = nullptr;
  QLabel* description_ = nullptr;
};

}  // namespace patapata
