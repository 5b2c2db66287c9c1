#pragma once

#include "player/frame_loop.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QDockWidget;
class QMenu;

namespace patapata {

class AllStatesWindow;
class FrameStripWidget;
class MainWindow;
class Preferences;
class Presentation;
class WindowExport;

/// The views beside the main one and what they add to the main window's menus: every state at
/// once, the frame strip, the onion skin, the transparency shown, the playback speed and the
/// export. The main window calls it after every frame its tick draws and after every handler.
class ViewExtras : public QObject {
  Q_OBJECT

 public:
  ViewExtras(MainWindow& window, Preferences& preferences, Presentation& presentation);
  ~ViewExtras() override;
  ViewExtras(const ViewExtras&) = delete;
  ViewExtras& operator=(const ViewExtras&) = delete;

  /// After each frame the tick drew; `advanced` is false while paused.
  void framePlayed(bool advanced);
  /// After every handler and tick: the strip and the window of every state follow the viewer.
  void render();

  /// Shows the window of every state, made the first time.
  void showAllStates();
  /// The window of every state; null until it was first shown.
  AllStatesWindow* allStates() const;
  FrameStripWidget& strip() const { return *strip_; }
  WindowExport& exporter() const { return *export_; }

  /// The speed as the readout shows it beside the measured interval; empty at ×1.
  static QString speedText(PlaybackSpeed speed);

 private:
  void createViewItems(QMenu* view);
  void createExportItem(QMenu* file);
  /// Takes the presentation's options and shows the frame again with them.
  void present(int onionSkin, bool showTransparency);
  QAction* addItem(QMenu* menu, const char* name, const char* caption);

  MainWindow& window_;
  Preferences& preferences_;
  Presentation& presentation_;
  QDockWidget* stripDock_ = nullptr;
  FrameStripWidget* strip_ = nullptr;
  QPointer<AllStatesWindow> allStates_;
  std::unique_ptr<WindowExport> export_;
  QAction* exportItem_ = nullptr;
};

}  // namespace patapata
