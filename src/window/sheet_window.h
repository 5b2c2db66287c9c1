#pragma once

#include "character/character_lint.h"
#include "common/controls.h"
#include "window/captions.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

namespace patapata {

class MainWindow;
class Preferences;
class SheetView;
class SlicingDialog;

/// The sheet view in a window of its own, beside the main window: the character's sheet with
/// its cels and the cels of the frame on screen, the pixel under the pointer, and what the
/// author does on it — a click puts the cel into the pattern edit that had the focus last, a
/// drag measures a cel line, the slicing dialog cuts the sheet. It may also show a picture that
/// is no character's yet, to start one from. Remembers its place and size.
class SheetWindow : public QMainWindow {
  Q_OBJECT

 public:
  /// Opens a character file as the main window opens one it is given.
  using Opener = std::function<void(const std::string& path)>;
  SheetWindow(MainWindow& form, Preferences& preferences, Opener open);
  ~SheetWindow() override;
  SheetWindow(const SheetWindow&) = delete;
  SheetWindow& operator=(const SheetWindow&) = delete;

  /// Shows the character the viewer holds, and follows it: its reloads, its cels, its frame.
  void followCharacter();
  /// Shows the picture at `path`, which is no character's, and the slicing dialog to start
  /// one from it. Throws Error when it cannot be read; the window then stays as it was.
  void openPicture(const std::string& path);
  /// Shows the slicing dialog on the sheet shown.
  void showSlicing();
  /// Brings the view in line with the viewer, after every handler and tick of the main window.
  /// Nothing is allocated unless the character changed.
  void follow();

  SheetView& view() { return *view_; }
  /// Null until it was first shown.
  SlicingDialog* slicingDialog();

 protected:
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void createMenus();
  QAction* addItem(QMenu* menu, const char* name, const char* caption);
  void retranslate();
  void rememberGeometry();
  /// Puts cel `cel`'s entry at the caret of the pattern edit that had the focus last, and shows
  /// the frame under the caret at once.
  void insertEntry(int cel);
  void copyCelLine();
  void snapSelection();
  void showPointer(QPoint pixel, bool onSheet);
  void showSelection();
  QString titleText() const;

  MainWindow& form_;
  Preferences& preferences_;
  Opener open_;
  SheetView* view_ = nullptr;
  QPointer<SlicingDialog> dialog_;
  /// True while the view shows the viewer's character, false for a picture of its own.
  bool followsCharacter_ = true;
  std::string picturePath_;
  /// The check's warnings the cels were last marked from.
  std::vector<LintWarning> shownWarnings_;
  bool shownCels_ = false;
  /// The pattern, layer and destination edits, and the one that had the focus last.
  std::array<std::pair<Edit, QPointer<QLineEdit>>, 3> edits_{};
  Edit lastEdit_ = Edit::Pattern;

  QLabel* pointer_ = nullptr;
  QLabel* selectionText_ = nullptr;
  QLabel* legend_ = nullptr;
  QAction* copyItem_ = nullptr;
  QAction* snapItem_ = nullptr;
  QAction* checkerboardItem_ = nullptr;
  Captions captions_;
};

}  // namespace patapata
