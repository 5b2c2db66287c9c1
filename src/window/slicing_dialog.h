#pragma once

#include "character/sheet_slicing.h"
#include "window/captions.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace patapata {

class SheetPicture;
class SheetView;

/// The sheet a slicing works on.
struct SlicingSubject {
  std::shared_ptr<const SheetPicture> picture;
  std::string sheetPath;  ///< bytes as the file system takes them
  /// Files the viewer has open, which a new character file must never replace: the author's
  /// editor and paint program own them.
  std::vector<std::string> openFiles;
  int32_t firstCel = 1;
  sheet_slicing::CelBase base = sheet_slicing::CelBase::Decimal;
};

/// Slicing a sheet into cels by cell size, by count or around what is drawn, tried live on the
/// sheet view: the rectangles are numbered in reading order from a first number, and can be
/// copied as cel lines or written as a new character file that plays them.
class SlicingDialog : public QDialog {
  Q_OBJECT

 public:
  /// Shows its rectangles on `view` while it is open.
  SlicingDialog(SheetView& view, QWidget* parent);

  /// Slices `subject` from now on, starting from its first number and base.
  void setSubject(SlicingSubject subject);

  /// Asks where the new character file goes, given the suggested path; nothing to cancel.
  /// Default: the file dialog.
  using PathChooser = std::function<std::optional<std::string>(const std::string& suggested)>;
  void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }
  /// Asks whether the existing file `path` may be replaced. Default: a question box.
  using ReplaceQuestion = std::function<bool(const std::string& path)>;
  void setReplaceQuestion(ReplaceQuestion question) { question_ = std::move(question); }
  /// Tells the author why nothing was written. Default: a warning box.
  using Reporter = std::function<void(const QString& text)>;
  void setReporter(Reporter reporter) { reporter_ = std::move(reporter); }
  /// Opens a character file the dialog wrote.
  std::function<void(const std::string& path)> onWritten;

  const sheet_slicing::Slices& slices() const { return slices_; }
  /// The numbered rectangles' cel lines, one a line.
  std::string celLines() const;

 protected:
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QSpinBox* addSpin(const char* name, int low, int high, int value);
  void retranslate();
  sheet_slicing::CelBase base() const;
  /// Slices again with the values shown, and shows the result on the view.
  void reslice();
  void copyCelLines();
  void writeNewCharacter();
  /// The new file's "#CHARBMP" name for the sheet, or nothing when it cannot have one.
  std::optional<std::string> sheetNameFor(const std::string& characterPath) const;

  SheetView& view_;
  SlicingSubject subject_;
  sheet_slicing::Slices slices_;
  sheet_slicing::CelNumbers numbers_;
  PathChooser chooser_;
  ReplaceQuestion question_;
  Reporter reporter_;

  QTabWidget* modes_ = nullptr;
  QSpinBox* cellWidth_ = nullptr;
  QSpinBox* cellHeight_ = nullptr;
  QSpinBox* offsetX_ = nullptr;
  QSpinBox* offsetY_ = nullptr;
  QSpinBox* spacingX_ = nullptr;
  QSpinBox* spacingY_ = nullptr;
  QSpinBox* columns_ = nullptr;
  QSpinBox* rows_ = nullptr;
  QSpinBox* gap_ = nullptr;
  QSpinBox* minSize_ = nullptr;
  QSpinBox* first_ = nullptr;
  QCheckBox* hex_ = nullptr;
  QLabel* result_ = nullptr;
  QPushButton* copyButton_ = nullptr;
  QPushButton* newButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  Captions captions_;
};

}  // namespace patapata
