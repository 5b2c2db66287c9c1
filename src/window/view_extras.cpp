#include "window/view_extras.h"

#include "character/state_table.h"
#include "player/presentation.h"
#include "window/all_states_window.h"
#include "window/frame_strip_widget.h"
#include "window/main_window.h"
#include "window/preferences.h"
#include "window/view_widget.h"
#include "window/window_export.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace patapata {

using Choice = Preferences::Choice;

namespace {

struct SpeedItem {
  PlaybackSpeed speed;
  const char* name;
  const char* caption;
};

constexpr SpeedItem kSpeeds[] = {{PlaybackSpeed::Quarter, "speedQuarter", "×¼"},
                                 {PlaybackSpeed::Half, "speedHalf", "×½"},
                                 {PlaybackSpeed::Normal, "speedNormal", "×1"},
                                 {PlaybackSpeed::Double, "speedDouble", "×2"}};

constexpr OnionSkin kOnionSkins[] = {OnionSkin::Off, OnionSkin::Previous,
                                     OnionSkin::PreviousAndNext};

}  // namespace

ViewExtras::ViewExtras(MainWindow& window, Preferences& preferences, Presentation& presentation)
    : window_(window),
      preferences_(preferences),
      presentation_(presentation),
      export_(std::make_unique<WindowExport>(window)) {
  presentation_.setOptions({.onionSkin = kOnionSkins[preferences_.onionSkin()],
                            .showTransparency = preferences_.isOn(Choice::ShowTransparency)});

  stripDock_ = new QDockWidget(&window_);
  stripDock_->setObjectName(QStringLiteral("frameStripDock"));
  stripDock_->setTitleBarWidget(new QWidget(stripDock_));
  stripDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  stripDock_->setAllowedAreas(Qt::BottomDockWidgetArea);
  strip_ = new FrameStripWidget(stripDock_);
  stripDock_->setWidget(strip_);
  window_.addDockWidget(Qt::BottomDockWidgetArea, stripDock_);
  stripDock_->setVisible(preferences_.isOn(Choice::FrameStrip));
  strip_->onFramePicked = [this](int32_t frame) {
    window_.enter([&] { window_.frameLoop().showFrame(frame); });
  };

  createViewItems(window_.menuBar()->findChild<QMenu*>(QStringLiteral("viewMenu")));
  createExportItem(window_.menuBar()->findChild<QMenu*>(QStringLiteral("fileMenu")));
  if (preferences_.isOn(Choice::AllStatesOpen)) {
    // Once the main window shows, so that it opens first.
    QMetaObject::invokeMethod(
        this, [this] { showAllStates(); }, Qt::QueuedConnection);
  }
}

ViewExtras::~ViewExtras() {
  delete allStates_;
  delete stripDock_;
}

AllStatesWindow* ViewExtras::allStates() const {
  return allStates_;
}

QString ViewExtras::speedText(PlaybackSpeed speed) {
  for (const SpeedItem& item : kSpeeds) {
    if (item.speed == speed && speed != PlaybackSpeed::Normal)
      return QString::fromUtf8(item.caption);
  }
  return {};
}

QAction* ViewExtras::addItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString());
  window_.translateLater(item, "MainWindow", caption);
  item->setObjectName(QString::fromUtf8(name));
  return item;
}

void ViewExtras::createViewItems(QMenu* view) {
  view->addSeparator();
  auto* speeds = new QActionGroup(view);
  for (const SpeedItem& speed : kSpeeds) {
    // The same in every language.
    QAction* item = view->addAction(QString::fromUtf8(speed.caption));
    item->setObjectName(QString::fromUtf8(speed.name));
    item->setCheckable(true);
    item->setChecked(speed.speed == PlaybackSpeed::Normal);
    speeds->addAction(item);
    connect(item, &QAction::triggered, this, [this, value = speed.speed] {
      window_.enter([&] { window_.frameLoop().setSpeed(value); });
    });
  }

  view->addSeparator();
  QMenu* onion = view->addMenu(QString());
  window_.translateLater(onion, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "オニオンスキン"));
  onion->setObjectName(QStringLiteral("onionSkinMenu"));
  auto* onions = new QActionGroup(onion);
  static const char* const kOnionCaptions[] = {QT_TRANSLATE_NOOP("MainWindow", "なし"),
                                               QT_TRANSLATE_NOOP("MainWindow", "前のコマ"),
                                               QT_TRANSLATE_NOOP("MainWindow", "前後のコマ")};
  static const char* const kOnionNames[] = {"onionSkinOff", "onionSkinPrevious", "onionSkinBoth"};
  for (int neighbours = 0; neighbours < 3; ++neighbours) {
    QAction* item = addItem(onion, kOnionNames[neighbours], kOnionCaptions[neighbours]);
    item->setCheckable(true);
    item->setChecked(preferences_.onionSkin() == neighbours);
    onions->addAction(item);
    connect(item, &QAction::triggered, this, [this, neighbours] {
      preferences_.setOnionSkin(neighbours);
      present(neighbours, presentation_.options().showTransparency);
    });
  }
  QAction* transparency = addItem(view, "transparencyItem",
                                  QT_TRANSLATE_NOOP("MainWindow", "透明部分を市松模様で表示"));
  transparency->setCheckable(true);
  transparency->setChecked(preferences_.isOn(Choice::ShowTransparency));
  connect(transparency, &QAction::toggled, this, [this](bool on) {
    preferences_.setOn(Choice::ShowTransparency, on);
    present(preferences_.onionSkin(), on);
  });
  QAction* strip =
      addItem(view, "frameStripItem", QT_TRANSLATE_NOOP("MainWindow", "フレームストリップ"));
  strip->setCheckable(true);
  strip->setChecked(preferences_.isOn(Choice::FrameStrip));
  connect(strip, &QAction::toggled, this, [this](bool on) {
    preferences_.setOn(Choice::FrameStrip, on);
    stripDock_->setVisible(on);
    render();
  });

  view->addSeparator();
  QAction* all = addItem(view, "allStatesItem", QT_TRANSLATE_NOOP("MainWindow", "全状態"));
  all->setShortcut(Qt::Key_F10);
  connect(all, &QAction::triggered, this, [this] { showAllStates(); });
}

void ViewExtras::createExportItem(QMenu* file) {
  exportItem_ = new QAction(file);
  window_.translateLater(exportItem_, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "書き出し…"));
  exportItem_->setObjectName(QStringLiteral("exportItem"));
  exportItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  // Before the separator above 終了, with the other items that work on the file.
  const QList<QAction*> items = file->actions();
  QAction* before = nullptr;
  for (int i = 0; i < items.size(); ++i) {
    if (items[i]->objectName() == QLatin1String("quitItem")) {
      before = i > 0 && items[i - 1]->isSeparator() ? items[i - 1] : items[i];
    }
  }
  file->insertAction(before, exportItem_);
  connect(exportItem_, &QAction::triggered, this, [this] { export_->start(); });
}

void ViewExtras::present(int onionSkin, bool showTransparency) {
  presentation_.setOptions({.onionSkin = kOnionSkins[std::clamp(onionSkin, 0, 2)],
                            .showTransparency = showTransparency});
  // A paused frame shows the change at once.
  window_.enter([this] { window_.frameLoop().redraw(); });
}

void ViewExtras::showAllStates() {
  bool placed = true;
  if (!allStates_) {
    allStates_ = new AllStatesWindow(&window_);
    allStates_->onStateClicked = [this](int32_t state) {
      // As the state's button: a state without one is only shown, a disabled one does nothing.
      if (stateInfo(state) == nullptr) return;
      const QString name = state == kCheckState ? QStringLiteral("patternCheckButton")
                                                : QStringLiteral("stateButton%1").arg(state);
      if (auto* button = window_.findChild<QPushButton*>(name); button && button->isEnabled()) {
        button->click();
      }
    };
    allStates_->onClosed = [this] { preferences_.setOn(Choice::AllStatesOpen, false); };
    placed = false;
  }
  preferences_.setOn(Choice::AllStatesOpen, true);
  const Viewer& v = window_.viewer();
  allStates_->render(v.character, v.player.state == kCheckState, window_.view().zoom());
  if (!placed) {
    // Beside the main window where the screen has room, so that both can be watched.
    const QRect main = window_.frameGeometry();
    const QScreen* screen = window_.screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
    QPoint at = main.topRight() + QPoint(8, 0);
    if (room.isValid() && at.x() + allStates_->width() > room.right()) {
      at.setX(std::max(room.left(), room.right() - allStates_->width()));
    }
    allStates_->move(at);
  }
  allStates_->show();
  allStates_->raise();
  allStates_->activateWindow();
}

void ViewExtras::framePlayed(bool advanced) {
  if (advanced && allStates_ && allStates_->isVisible()) {
    allStates_->advance(window_.viewer().character);
  }
}

void ViewExtras::render() {
  const Viewer& v = window_.viewer();
  if (exportItem_ != nullptr) exportItem_->setEnabled(v.characterLoaded && !export_->isRunning());
  if (!v.characterLoaded) return;
  if (stripDock_->isVisible()) strip_->render(v.character, v.player.state, v.player.frame);
  if (allStates_ && allStates_->isVisible()) {
    allStates_->render(v.character, v.player.state == kCheckState, window_.view().zoom());
  }
}

}  // namespace patapata
