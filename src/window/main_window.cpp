#include "window/main_window.h"

#include "character/frame_interval.h"
#include "character/state_table.h"
#include "common/errors.h"
#include "player/animation.h"
#include "player/file_intake.h"
#include "player/frame_loop.h"
#include "player/pattern_check.h"
#include "surfaces/surface.h"
#include "surfaces/view_control.h"
#include "window/idle_loop.h"
#include "window/preferences.h"
#include "window/view_widget.h"
#include "window/window_layout.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMoveEvent>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <optional>

// A resource file compiled into a static library must be registered by name; the macro
// cannot stand inside a namespace.
static void registerWindowResources() {
  Q_INIT_RESOURCE(patapata);
}

namespace patapata {

namespace {

constexpr const char* kTitle = "ぱたぱた！";
/// The interval edit takes at most this many typed characters; the program may put in more.
constexpr int kIntervalTypedLimit = 3;

QFont viewerFont(int pixelHeight) {
  QFont font;
  // The face the captions were laid out with, then free faces that show the same text.
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP")});
  font.setPixelSize(pixelHeight);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

/// The first dropped item when it is a local file: its whole path as file-system bytes.
std::optional<std::string> droppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().isEmpty()) return std::nullopt;
  const QUrl first = mime->urls().first();
  if (!first.isLocalFile()) return std::nullopt;
  return QFile::encodeName(first.toLocalFile()).toStdString();
}

void setCaption(QLabel* label, const std::string& text) {
  label->setText(QString::fromStdString(text));
  label->adjustSize();
}

QRect rectOf(const layout::Box& box) {
  return {box.x, box.y, box.width, box.height};
}

}  // namespace

MainWindow::MainWindow(IdleLoop& idleLoop, std::shared_ptr<platform::SurfaceService> service,
                       std::vector<std::string> arguments, std::unique_ptr<Preferences> preferences,
                       QWidget* parent)
    : QMainWindow(parent),
      idleLoop_(idleLoop),
      preferences_(std::move(preferences)),
      controls_([this](const std::function<void()>& handler) { enter(handler); }) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromUtf8(kTitle));
  // A fixed border with system menu and minimise box; no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  registerWindowResources();
  setWindowIcon(QIcon(QStringLiteral(":/patapata/icon.png")));
  setFont(viewerFont(layout::kFontHeight));

  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(layout::kClientWidth, layout::kClientHeight);
  client_->setAutoFillBackground(true);
  QPalette face = client_->palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  client_->setPalette(face);
  setCentralWidget(client_);

  view_ = new ViewWidget(std::move(service), client_);
  view_->setErrorHandler([this](const std::exception& error) {
    report(QString::fromStdString(errorBoxText(error.what())));
  });
  // The sheet surface lives on the view's drawing context, as long as the view's surfaces.
  view_->viewControl().onSurfacesCreated = [this](ViewControl& sender) {
    viewer_.sheet = std::make_unique<Surface>(sender.drawContext());
  };
  view_->viewControl().onSurfacesReleased = [this](ViewControl&) { viewer_.sheet.reset(); };

  createControls();
  createMenus();
  // The status line sits below the client area and shows only while there is something to
  // say, so that the controls never move.
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("statusLine"));
  status_->setTextFormat(Qt::PlainText);
  // The window is narrow; a long message takes more lines rather than being cut.
  status_->setWordWrap(true);
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(status_, 1);
  statusBar()->hide();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setZoom(preferences_->zoom());
  if (const auto position = preferences_->windowPosition()) move(*position);

  FrameLoopHooks hooks;
  hooks.processEvents = [this](uint32_t maxWaitMs) { idleLoop_.processEvents(maxWaitMs); };
  hooks.pollFiles = [this](uint32_t nowMs) { pollWatchedFiles(viewer_, controls_, nowMs); };
  hooks.load = [this](const std::string& path) { openFile(path); };
  hooks.trackCarets = [this] { trackCarets(viewer_, controls_); };
  frameLoop_ = std::make_unique<FrameLoop>(viewer_, controls_, view_->viewControl(), hooks);
  frameLoop_->startClock();

  setAcceptDrops(true);
  idleLoop_.setOnIdle([this](bool& done) { onIdle(done); });
  if (!arguments.empty()) {
    viewer_.startupLoadPending = kStartupLoadMark;
    // Made absolute now, while the directory it was given in is the current one, so that the
    // recent files and a reload find it from anywhere.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(arguments.front(), error);
    viewer_.startupPath = error ? arguments.front() : absolute.string();
  }
  render();
}

MainWindow::~MainWindow() {
  // The sheet surface goes with the view's surfaces, while this window's state still exists.
  view_->finalizeView();
  view_->viewControl().onSurfacesCreated = nullptr;
  view_->viewControl().onSurfacesReleased = nullptr;
  idleLoop_.setOnIdle(nullptr);
}

void MainWindow::createControls() {
  for (const layout::LabelPlacement& place : layout::kLabels) {
    auto* label = new QLabel(client_);
    label->setObjectName(QString::fromUtf8(place.objectName));
    // Captions from files are shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    if (place.fontHeight != layout::kFontHeight) label->setFont(viewerFont(place.fontHeight));
    label->move(place.x, place.y);
    if (place.caption != nullptr) setCaption(label, place.caption);
    switch (place.label) {
      case layout::Label::StateCaption:
        stateCaption_ = label;
        break;
      case layout::Label::CharacterName:
        characterName_ = label;
        break;
      case layout::Label::PatternCounter:
        counters_[0] = label;
        break;
      case layout::Label::LayerCounter:
        counters_[1] = label;
        break;
      case layout::Label::DestinationCounter:
        counters_[2] = label;
        break;
      case layout::Label::Interval:
      case layout::Label::Layer:
      case layout::Label::Destination:
        break;
    }
  }

  std::vector<QWidget*> tabOrder;
  const auto addEdit = [&](Edit id, const char* name) {
    auto* edit = new QLineEdit(client_);
    edit->setObjectName(QString::fromUtf8(name));
    // Files dropped on an edit belong to the window, as on the rest of it.
    edit->setAcceptDrops(false);
    controls_.addEdit(id, edit);
    return edit;
  };
  const auto addBox = [&](Switch id, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), client_);
    box->setObjectName(QString::fromUtf8(name));
    controls_.addSwitch(id, box);
    return box;
  };
  for (const layout::Placement& place : layout::kTabOrder) {
    QWidget* widget = nullptr;
    switch (place.control) {
      case layout::Control::StateButton: {
        const int32_t state = place.state;
        widget = stateButtons_[state] = addButton(
            ("stateButton" + std::to_string(state)).c_str(), stateInfo(state)->buttonCaption,
            [this, state] { patapata::selectState(viewer_, state); });
        break;
      }
      case layout::Control::IntervalEdit: {
        QLineEdit* interval = addEdit(Edit::Interval, "intervalEdit");
        interval->setText(QStringLiteral("100"));
        // It refuses a fourth typed character, yet shows a longer value the program puts in:
        // the limit follows the text whenever it is longer than three characters.
        interval->setMaxLength(kIntervalTypedLimit);
        connect(interval, &QLineEdit::textChanged, interval, [interval](const QString& text) {
          interval->setMaxLength(std::max<int>(kIntervalTypedLimit, static_cast<int>(text.size())));
        });
        widget = interval;
        break;
      }
      case layout::Control::PatternEdit:
        widget = addEdit(Edit::Pattern, "patternEdit");
        break;
      case layout::Control::LayerEdit:
        widget = addEdit(Edit::Layer, "layerEdit");
        break;
      case layout::Control::DestinationEdit:
        widget = addEdit(Edit::Destination, "destinationEdit");
        break;
      case layout::Control::PatternCheckButton:
        widget = patternCheckButton_ =
            addButton("patternCheckButton", stateInfo(kCheckState)->buttonCaption,
                      [this] { startPatternCheck(viewer_, controls_); });
        break;
      case layout::Control::PatternLoopBox:
        widget = addBox(Switch::PatternLoop, "patternLoopBox", "ループ");
        break;
      case layout::Control::OneShotLoopBox:
        widget = addBox(Switch::OneShotLoop, "oneShotLoopBox", "ﾙｰﾌﾟ");
        break;
      case layout::Control::ReloadButton:
        widget = reloadButton_ =
            addButton("reloadButton", "再読込み", [this] { reloadCharacter(viewer_, controls_); });
        break;
      case layout::Control::SheetReloadButton:
        widget = sheetReloadButton_ =
            addButton("sheetReloadButton", "CG再読込み", [this] { reloadSheet(viewer_); });
        break;
      case layout::Control::CopyPatternButton:
        widget = addButton("copyPatternButton", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ",
                           [this] { copyPatternToClipboard(controls_); });
        break;
      case layout::Control::View:
        widget = view_;
        break;
    }
    widget->setGeometry(rectOf(place.box));
    tabOrder.push_back(widget);
  }
  for (std::size_t i = 0; i + 1 < tabOrder.size(); ++i) {
    QWidget::setTabOrder(tabOrder[i], tabOrder[i + 1]);
  }
  controls_.onTextChanged = [this](Edit id) {
    if (id == Edit::Interval) applyIntervalText(viewer_, controls_);
  };
  // The state caption and the pattern check tool lie under the view.
  for (QWidget* widget : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QPoint at = widget->pos();
    if (widget != view_ && (at.y() >= layout::kPatternToolTop ||
                            (at.x() >= view_->x() && at.y() >= view_->height()))) {
      belowView_.emplace_back(widget, at);
    }
  }
}

QPushButton* MainWindow::addButton(const char* name, const char* caption,
                                   const std::function<void()>& handler) {
  auto* button = new QPushButton(QString::fromUtf8(caption), client_);
  button->setObjectName(QString::fromUtf8(name));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { enter(handler); });
  return button;
}

void MainWindow::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル"));
  file->setObjectName(QStringLiteral("fileMenu"));
  QAction* open = file->addAction(QStringLiteral("開く..."));
  open->setObjectName(QStringLiteral("openItem"));
  open->setShortcut(QKeySequence::Open);
  connect(open, &QAction::triggered, this, [this] {
    const std::optional<std::string> path = chooser_();
    if (path) enter([&] { openFile(*path); });
  });
  recentMenu_ = file->addMenu(QStringLiteral("最近使ったファイル"));
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  fillRecentMenu();
  reloadItem_ = file->addAction(QStringLiteral("再読込み"));
  reloadItem_->setObjectName(QStringLiteral("reloadItem"));
  reloadItem_->setShortcut(Qt::Key_F5);
  connect(reloadItem_, &QAction::triggered, this,
          [this] { enter([this] { reloadCharacter(viewer_, controls_); }); });
  file->addSeparator();
  QAction* quit = file->addAction(QStringLiteral("終了"));
  quit->setObjectName(QStringLiteral("quitItem"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &QWidget::close);

  createViewMenu();

  QMenu* settings = menuBar()->addMenu(QStringLiteral("設定"));
  settings->setObjectName(QStringLiteral("settingsMenu"));
  addSwitchItem(settings, Switch::AutoSheetReload, "autoSheetReload",
                QStringLiteral("自動ＣＧ再読込み"), preferences_->autoSheetReload(),
                toggleAutoSheetReload);
  addSwitchItem(settings, Switch::AutoCharacterReload, "autoCharacterReload",
                QStringLiteral("自動キャラ再読込み"), preferences_->autoCharacterReload(),
                toggleAutoCharacterReload);

  chooser_ = [this]() -> std::optional<std::string> {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("開く"), QString(),
        QStringLiteral("キャラクタファイル (*.[cC][hH][pP]);;すべてのファイル (*)"));
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen).toStdString();
  };
}

QAction* MainWindow::addSwitchItem(QMenu* menu, Switch id, const char* name, const QString& caption,
                                   bool checked, void (*toggle)(Controls&)) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromUtf8(name));
  item->setCheckable(true);
  item->setChecked(checked);
  controls_.addSwitch(id, item);
  connect(item, &QAction::triggered, this, [this, item, id, toggle] {
    // A checkable action has flipped its mark already; the handler owns the toggle.
    {
      const QSignalBlocker blocker(item);
      item->setChecked(!item->isChecked());
    }
    enter([&] { toggle(controls_); });
    if (id == Switch::AutoSheetReload) preferences_->setAutoSheetReload(item->isChecked());
    if (id == Switch::AutoCharacterReload) {
      preferences_->setAutoCharacterReload(item->isChecked());
    }
  });
  return item;
}

void MainWindow::createViewMenu() {
  QMenu* view = menuBar()->addMenu(QStringLiteral("表示"));
  view->setObjectName(QStringLiteral("viewMenu"));
  auto* zooms = new QActionGroup(view);
  const int zoom = preferences_->zoom();
  for (int factor = 1; factor <= 4; ++factor) {
    QAction* item =
        view->addAction(factor == 1 ? QStringLiteral("等倍") : QStringLiteral("%1 倍").arg(factor));
    item->setObjectName(QStringLiteral("zoom%1").arg(factor));
    item->setCheckable(true);
    item->setChecked(factor == zoom);
    item->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + factor)));
    zooms->addAction(item);
    connect(item, &QAction::triggered, this, [this, factor] {
      setZoom(factor);
      preferences_->setZoom(factor);
    });
  }
  view->addSeparator();
  // Function keys: the arrows, Space, Home, End and the digits belong to the edits and buttons.
  pauseItem_ = view->addAction(QStringLiteral("一時停止"));
  pauseItem_->setObjectName(QStringLiteral("pauseItem"));
  pauseItem_->setCheckable(true);
  pauseItem_->setShortcut(Qt::Key_F6);
  connect(pauseItem_, &QAction::toggled, this,
          [this](bool paused) { enter([&] { frameLoop_->setPaused(paused); }); });
  QAction* back = view->addAction(QStringLiteral("1 コマ戻る"));
  back->setObjectName(QStringLiteral("stepBackItem"));
  back->setShortcut(Qt::Key_F7);
  connect(back, &QAction::triggered, this, [this] { enter([this] { frameLoop_->stepBack(); }); });
  QAction* forward = view->addAction(QStringLiteral("1 コマ進む"));
  forward->setObjectName(QStringLiteral("stepForwardItem"));
  forward->setShortcut(Qt::Key_F8);
  connect(forward, &QAction::triggered, this,
          [this] { enter([this] { frameLoop_->stepForward(); }); });
  view->addSeparator();
  readoutItem_ = view->addAction(QStringLiteral("フレーム情報"));
  readoutItem_->setObjectName(QStringLiteral("readoutItem"));
  readoutItem_->setCheckable(true);
  readoutItem_->setChecked(preferences_->readout());
  connect(readoutItem_, &QAction::toggled, this, [this](bool on) {
    preferences_->setReadout(on);
    renderStatus();
  });
}

void MainWindow::setZoom(int zoom) {
  view_->setZoom(zoom);
  const int grown = view_->height() - ViewWidget::kHeight;
  for (const auto& [widget, at] : belowView_) widget->move(at + QPoint(0, grown));
  client_->setFixedSize(std::max(layout::kClientWidth, view_->x() + view_->width()),
                        layout::kClientHeight + grown);
}

void MainWindow::setFileChooser(FileChooser chooser) {
  chooser_ = std::move(chooser);
}

void MainWindow::openFile(const std::string& path) {
  if (std::error_code error; std::filesystem::is_regular_file(path, error)) {
    preferences_->addRecentFile(QFile::decodeName(QByteArray::fromStdString(path)));
    fillRecentMenu();
  }
  openCharacterFile(viewer_, controls_, path);
}

void MainWindow::openRecentFile(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    preferences_->removeRecentFile(path);
    fillRecentMenu();
    report(QStringLiteral("ファイル %1 はもうありません。最近使ったファイルから外しました.")
               .arg(QDir::toNativeSeparators(path)));
    return;
  }
  enter([&] { openFile(QFile::encodeName(path).toStdString()); });
}

void MainWindow::fillRecentMenu() {
  recentMenu_->clear();
  const QStringList files = preferences_->recentFiles();
  for (const QString& path : files) {
    QAction* item = recentMenu_->addAction(QFileInfo(path).fileName());
    item->setToolTip(path);
    item->setData(path);
    connect(item, &QAction::triggered, this, [this, path] { openRecentFile(path); });
  }
  recentMenu_->setEnabled(!files.isEmpty());
}

void MainWindow::render() {
  renderStatus();
  const DisplayState& shown = viewer_.display;
  if (everRendered_ && shown == shown_) return;
  const auto changed = [&](const std::string& now, const std::string& before) {
    return !everRendered_ || now != before;
  };
  if (changed(shown.characterName, shown_.characterName)) {
    setCaption(characterName_, shown.characterName);
  }
  if (changed(shown.stateCaption, shown_.stateCaption)) {
    setCaption(stateCaption_, shown.stateCaption);
  }
  const std::array<const std::string*, 3> counters{&shown.patternCounter, &shown.layerCounter,
                                                   &shown.destinationCounter};
  const std::array<const std::string*, 3> countersBefore{
      &shown_.patternCounter, &shown_.layerCounter, &shown_.destinationCounter};
  for (std::size_t i = 0; i < counters.size(); ++i) {
    if (changed(*counters[i], *countersBefore[i])) setCaption(counters_[i], *counters[i]);
  }
  for (const StateInfo& info : kStates) {
    if (QPushButton* button = stateButtons_[info.state]) {
      button->setEnabled(shown.stateButtonEnabled[info.state]);
    }
  }
  patternCheckButton_->setEnabled(shown.patternCheckEnabled);
  reloadButton_->setEnabled(shown.reloadEnabled);
  sheetReloadButton_->setEnabled(shown.reloadEnabled);
  reloadItem_->setEnabled(shown.reloadEnabled);
  shown_ = shown;
  everRendered_ = true;
}

void MainWindow::renderStatus() {
  QStringList lines;
  if (const auto& failure = viewer_.display.reloadFailure) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(failure->file));
    const QString file = QFileInfo(path).fileName();
    const QString where =
        failure->line > 0 ? QStringLiteral("%1, %2 行目").arg(file).arg(failure->line) : file;
    lines << where + QStringLiteral(": ") + QString::fromStdString(errorBoxText(failure->message));
    status_->setToolTip(path);
  }
  if (readoutItem_->isChecked()) lines << readoutText();
  lines.removeAll(QString());
  const QString text = lines.join(QLatin1Char('\n'));
  if (text == status_->text() && statusBar()->isVisible() == !text.isEmpty()) return;
  status_->setText(text);
  statusBar()->setVisible(!text.isEmpty());
}

QString MainWindow::readoutText() const {
  const ViewerState& v = viewer_;
  if (!v.characterLoaded) return {};
  const int32_t state = v.state;
  const int32_t frame = v.frame;
  const bool inTables = state >= 0 && state < kStateCount && frame >= 0 && frame < kFrameSlots;
  // Cel numbers as the file writes them in sequences: two hexadecimal digits.
  const auto cel = [&](const SequenceTable& table) {
    if (!inTables || table[state][frame] == kEmptyCel) return QStringLiteral("--");
    return QStringLiteral("%1").arg(table[state][frame], 2, 16, QLatin1Char('0')).toUpper();
  };
  QString text = QStringLiteral("状態 %1 %2  コマ %3/%4  パターン %5")
                     .arg(state)
                     .arg(QString::fromStdString(v.display.stateCaption))
                     .arg(frame)
                     .arg(sequenceLength(v, state))
                     .arg(cel(v.pattern));
  if (inTables && v.layerOn[state] == 1) {
    text += QStringLiteral("  レイヤ %1→%2").arg(cel(v.layer), cel(v.layerDest));
  }
  if (frameLoop_->isPaused()) {
    text += QStringLiteral("  一時停止中");
  } else if (const auto mean = frameLoop_->meanFrameIntervalMs()) {
    text += QStringLiteral("  %1 ms（指定 %2）").arg(qRound(*mean)).arg(v.frameIntervalMs);
  }
  return text;
}

void MainWindow::setErrorReporter(ErrorReporter reporter) {
  reporter_ = std::move(reporter);
}

void MainWindow::enter(const std::function<void()>& handler) {
  std::optional<QString> failure;
  try {
    handler();
  } catch (const Exception& error) {
    failure = QString::fromStdString(errorBoxText(error.message()));
  } catch (const std::exception& error) {
    failure = QString::fromStdString(errorBoxText(error.what()));
  }
  // What the handler did before it failed stays, and shows.
  render();
  if (failure) report(*failure);
}

void MainWindow::onIdle(bool& done) {
  enter([&] { frameLoop_->tick(done); });
}

void MainWindow::report(const QString& text) {
  if (reporter_) {
    reporter_(text);
    return;
  }
  // The tick does not run while the box is up, as under a modal message loop.
  idleLoop_.suspendIdle();
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kTitle), text, QMessageBox::Ok, this);
  box.exec();
  idleLoop_.resumeIdle();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (isVisible()) preferences_->setWindowPosition(pos());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (droppedFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (droppedFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::optional<std::string> path = droppedFile(event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  // The drop is finished before the file is loaded, so that a slow load or an error box
  // does not keep the file manager waiting.
  QMetaObject::invokeMethod(
      this, [this, file = *path] { enter([&] { openFile(file); }); }, Qt::QueuedConnection);
}

}  // namespace patapata
