#pragma once

#include "character/character_reader.h"
#include "player/presentation.h"
#include "player/viewer.h"
#include "window/captions.h"
#include "window/qt_controls.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTranslator>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScreen;

namespace patapata {

namespace platform {
class SurfaceService;
}
class FrameLoop;
class IdleLoop;
class Preferences;
class ViewExtras;
class SheetWindow;
class StatusLine;
class ViewWidget;

/// The viewer's main window: every control at its fixed place, the view, the menu and the
/// handlers, which delegate to the core. Owns the program's state and renders what the core
/// decides for display after every handler and tick.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  /// `arguments` are the command-line arguments after the program's name (bytes as given);
  /// the first names a character file to open at the first tick that can draw. Without one,
  /// the newest recent file opens then, if it still exists and `preferences` say so. What the
  /// window remembers between runs lives in `preferences`.
  MainWindow(IdleLoop& idleLoop, std::shared_ptr<platform::SurfaceService> service,
             std::vector<std::string> arguments, std::unique_ptr<Preferences> preferences,
             QWidget* parent = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  Viewer& viewer() { return viewer_; }
  Controls& controls() { return controls_; }
  ViewWidget& view() { return *view_; }
  FrameLoop& frameLoop() { return *frameLoop_; }
  /// The client area holding every control.
  QWidget& client() { return *client_; }

  /// Receives the text of every error box (its "." already appended). By default a critical
  /// message box with the application title and one OK button shows it.
  using ErrorReporter = std::function<void(const QString& text)>;
  void setErrorReporter(ErrorReporter reporter);
  /// Called once, when the first frame of a loaded character has been painted.
  void setOnFirstFrame(std::function<void()> handler);

  /// Runs `handler` as the event loop enters a handler: an error it raises ends it; the
  /// window then shows what the core decided, and the error box reports the error. Nothing
  /// propagates into Qt.
  void enter(const std::function<void()>& handler);

  /// The idle handler: one tick of the frame loop, entered as a handler.
  void onIdle(bool& done);

  /// Asks the author for a character file to open; none when the dialog was cancelled. By
  /// default the file dialog; tests put their own.
  using FileChooser = std::function<std::optional<std::string>()>;
  void setFileChooser(FileChooser chooser);

  /// Remembers the source of a caption, set now and again whenever the language changes.
  void translateLater(QObject* target, const char* context, const char* source);
  /// Shows `text` as the error box does, through the error reporter when one is set.
  void report(const QString& text);
  /// The views beside the main one: the strip, every state at once, the presentation's
  /// options, the export.
  ViewExtras& extras() { return *extras_; }

 signals:
  /// The window has brought its widgets in line with the core, after a handler or a tick.
  void rendered();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  void createMenus();
  QAction* addSwitchItem(QMenu* menu, Switch id, const char* name, const char* caption,
                         bool checked, void (*toggle)(Controls&));
  /// Sets every caption in the window's language.
  void retranslate();
  /// Shows the window in Japanese ("ja", the texts' own language) or English ("en").
  void setLanguage(const QString& code);
  /// "file, line N" for a place in a character file, in the window's language.
  QString whereText(const std::string& file, int32_t line) const;
  /// Opens a character file as a drop does, remembers it among the recent files and names it
  /// in the title.
  void openFile(const std::string& path);
  /// Reads the character file opened last again.
  void reloadFile();
  /// Puts the character's interval into the interval edit, as after every load.
  void showInterval();
  /// Reads sheets for the view's display; empty while the view has no surfaces.
  SheetLoader sheetLoader() const;
  void openRecentFile(const QString& path);
  void fillRecentMenu();
  QPushButton* addButton(const char* name, const char* context, const char* caption,
                         const std::function<void()>& handler);
  void createEditMenu();
  void createViewMenu();
  /// The sheet view's window, made when it is first wanted.
  SheetWindow& sheetWindow();
  /// Shows the view enlarged `zoom` times: the window grows, the controls on the left stay,
  /// the view keeps its top-left corner and what lies under it moves down with its bottom.
  void setZoom(int zoom);
  /// The client area's size at `zoom`.
  QSize clientSizeAt(int zoom) const;
  /// Shows the zoom the author chose, or the largest below it whose window fits the screen's
  /// available area; disables the zoom items that would not fit.
  void fitZoom();
  /// Fits the zoom again whenever the available area of `screen` changes.
  void watchScreen(QScreen* screen);
  /// The frame readout: the state, the frame, its cels, and the timing measured.
  QString readoutText() const;
  void renderStatus();
  /// Brings the widgets in line with the core's display state.
  void render();

  IdleLoop& idleLoop_;
  std::unique_ptr<Preferences> preferences_;
  Viewer viewer_;
  QtControls controls_;
  ErrorReporter reporter_;
  FileChooser chooser_;
  /// What the widgets show now, so that a tick that changes nothing touches no widget.
  struct Shown {
    DisplayState display;
    std::string caption;
    std::array<std::string, 3> counters;
    std::array<bool, kStateCount> buttons{};
  };
  Shown shown_;
  bool everRendered_ = false;
  QWidget* client_ = nullptr;
  ViewWidget* view_ = nullptr;
  QLabel* characterName_ = nullptr;
  QLabel* stateCaption_ = nullptr;
  std::array<QLabel*, 3> counters_{};
  std::array<QPushButton*, kStateCount> stateButtons_{};
  QPushButton* patternCheckButton_ = nullptr;
  QPushButton* reloadButton_ = nullptr;
  QPushButton* sheetReloadButton_ = nullptr;
  QAction* reloadItem_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  StatusLine* status_ = nullptr;
  std::array<QAction*, 4> zoomItems_{};
  QMetaObject::Connection screenWatch_;
  bool windowWatched_ = false;
  /// The frame's margins the zoom was last fitted with.
  QMargins fittedFrame_;
  QAction* readoutItem_ = nullptr;
  QAction* pauseItem_ = nullptr;
  Captions captions_;
  QTranslator translator_;    ///< the window's and the core's texts
  QTranslator qtTranslator_;  ///< Qt's own dialogs
  /// The controls under the view, with their places at the view's own size.
  std::vector<std::pair<QWidget*, QPoint>> belowView_;
  std::unique_ptr<FrameLoop> frameLoop_;
  Presentation presentation_;
  std::unique_ptr<ViewExtras> extras_;
  std::unique_ptr<SheetWindow> sheetWindow_;
};

}  // namespace patapata
