#pragma once

#include "character/viewer_state.h"
#include "window/qt_controls.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace patapata {

namespace platform {
class SurfaceService;
}
class FrameLoop;
class IdleLoop;
class ViewControl;
class ViewWidget;

/// The viewer's main window: every control at its fixed place, the view DXDraw1, the menu
/// "設定", and the handlers, which delegate to the core. Owns the program's state.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  /// The client area below the menu bar, in logical pixels.
  static constexpr int kClientWidth = 226;
  static constexpr int kClientHeight = 409;

  /// `arguments` are the command-line arguments after the program's name (bytes as given);
  /// the first names a character file to load at the first tick that can draw.
  MainWindow(IdleLoop& application, std::shared_ptr<platform::SurfaceService> service,
             std::vector<std::string> arguments, QWidget* parent = nullptr);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  ViewerState& viewer() { return viewer_; }
  Controls& controls() { return controls_; }
  ViewWidget& view() { return *DXDraw1; }
  /// The client area holding every control.
  QWidget& client() { return *client_; }

  /// Receives the text of every error box (its "." already appended). By default a critical
  /// message box with the application title and one OK button shows it.
  using ErrorReporter = std::function<void(const QString& text)>;
  void setErrorReporter(ErrorReporter reporter);

  // The handlers, under the system's names. Each runs the core's rule; errors propagate to
  // the one place that enters them from the event loop.
  void FormCreate();
  void FormDestroy();
  void ApplicationIdle(bool& done);
  void openDroppedFile(const std::string& path);
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void Button10Click();
  void Button11Click();
  void Button12Click();
  void Button14Click();
  void startPatternCheck();
  void reloadCharacter();
  void reloadSheet();
  void copyPatternToClipboard();
  void toggleAutoSheetReload();
  void applyIntervalText();
  void DXDraw1InitializeSurface(ViewControl& sender);
  void DXDraw1FinalizeSurface(ViewControl& sender);

  /// Runs `handler` as the event loop enters a handler: an error it raises ends it and is
  /// reported in the error box; nothing propagates into Qt.
  void enter(const std::function<void()>& handler);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createControls();
  void createMenu();
  void setTabOrder();
  QLabel* addLabel(ControlId id, const char* name, const char* caption, int x, int y,
                   int pixelHeight);
  QPushButton* addButton(ControlId id, const char* name, const char* caption, int x, int y, int w,
                         int h, void (MainWindow::*handler)());
  QLineEdit* addEdit(ControlId id, const char* name, const char* text, int x, int y, int w, int h);
  QCheckBox* addCheckBox(ControlId id, const char* name, const char* caption, int x, int y, int w,
                         int h);
  void report(const QString& text);

  IdleLoop& application_;
  std::vector<std::string> arguments_;
  ViewerState viewer_;
  QtControls controls_;
  ErrorReporter reporter_;
  QWidget* client_ = nullptr;
  ViewWidget* DXDraw1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QMenu* N1 = nullptr;
  QAction* autocgload = nullptr;
  /// The focusable controls in their tab order, which is their order of creation.
  std::vector<QWidget*> tabOrder_;
  std::unique_ptr<FrameLoop> frameLoop_;
};

}  // namespace patapata
