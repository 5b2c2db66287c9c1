#include "window/main_window.h"

#include "character/frame_interval.h"
#include "character/state_table.h"
#include "common/errors.h"
#include "player/animation.h"
#include "player/file_intake.h"
#include "player/frame_loop.h"
#include "player/pattern_check.h"
#include "player/sequence_lines.h"
#include "surfaces/draw_context.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"
#include "surfaces/view_control.h"
#include "window/file_chooser.h"
#include "window/idle_loop.h"
#include "window/preferences.h"
#include "window/qt_path.h"
#include "window/recent_names.h"
#include "window/save_as_character_action.h"
#include "window/sheet_window.h"
#include "window/status_line.h"
#include "window/translated_text.h"
#include "window/view_extras.h"
#include "window/view_widget.h"
#include "window/window_layout.h"
#include "window/window_text.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMoveEvent>
#include <QPalette>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <filesystem>
#include <optional>

// A resource file compiled into a static library must be registered by name; the macro
// cannot stand inside a namespace.
static void registerWindowResources() {
  Q_INIT_RESOURCE(patapata);
}

namespace patapata {

using Choice = Preferences::Choice;

namespace {

constexpr const char* kTitle = "ぱたぱた！";
constexpr int kMaxZoom = 4;
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
  return corePath(first.toLocalFile());
}

void setCaption(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

QRect rectOf(const layout::Box& box) {
  return {box.x, box.y, box.width, box.height};
}

// One of the system's messages as the error box shows it: in the window's language, with a
// "." after a last character that sorts above it.
QString boxText(const Message& message) {
  const QByteArray translated = translated::message(message).toUtf8();
  return QString::fromStdString(
      errorBoxText(std::string_view(translated.constData(), translated.size())));
}

// An error as the error box shows it: the system's in the window's words, anything else as it
// says itself.
QString boxText(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Error*>(&error)) return boxText(own->message());
  return QString::fromStdString(errorBoxText(error.what()));
}

}  // namespace

QString MainWindow::whereText(const std::string& file, int32_t line) const {
  const QString name = QFileInfo(qtPath(file)).fileName();
  return ui(QT_TRANSLATE_NOOP("MainWindow", "%1, %2 行目")).arg(name).arg(line);
}

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
  view_->setErrorHandler([this](const std::exception& error) { report(boxText(error)); });
  // Sheets are read for the view's display while it has its surfaces, and go with them.
  view_->viewControl().onSurfacesReleased = [this](ViewControl&) {
    viewer_.character.sheet.picture.reset();
  };

  createControls();
  createMenus();
  // The status line sits below the client area and shows only while there is something to
  // say; its place is kept while it is hidden, so that the window never changes size.
  status_ = new StatusLine(this);
  status_->setObjectName(QStringLiteral("statusLine"));
  statusBar()->setSizeGripEnabled(false);
  statusBar()->addWidget(status_, 1);
  QSizePolicy keepPlace = statusBar()->sizePolicy();
  keepPlace.setRetainSizeWhenHidden(true);
  statusBar()->setSizePolicy(keepPlace);
  statusBar()->hide();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  if (const auto position = preferences_->windowPosition()) move(*position);

  FrameLoopHooks hooks;
  hooks.wakeAfter = [this](uint32_t ms) { idleLoop_.wakeAfter(ms); };
  hooks.pollFiles = [this](uint32_t nowMs) {
    if (pollWatchedFiles(viewer_, sheetLoader(), controls_, nowMs) == PollResult::Character) {
      showInterval();
    }
  };
  hooks.load = [this](const std::string& path) {
    // The sheet decoded ahead is for this load; whatever it did not take is let go after it.
    const auto dropAhead = qScopeGuard([this] {
      if (DrawContext* context = view_->viewControl().drawContext()) {
        context->service().dropPrefetchedImage();
      }
    });
    openFile(path);
  };
  hooks.trackCarets = [this] {
    trackCarets(viewer_.carets, viewer_.character, viewer_.player, controls_);
  };
  hooks.compose = [this](const Character& character, const Player& player, Surface& back) {
    presentation_.compose(character, player, back);
  };
  hooks.framePlayed = [this](bool advanced) { extras_->framePlayed(advanced); };
  frameLoop_ = std::make_unique<FrameLoop>(viewer_, controls_, view_->viewControl(), hooks);
  frameLoop_->startClock();
  extras_ = std::make_unique<ViewExtras>(*this, *preferences_, presentation_);

  setAcceptDrops(true);
  idleLoop_.setOnIdle([this](bool& done) { onIdle(done); });
  if (!arguments.empty()) {
    // Made absolute now, while the directory it was given in is the current one, so that the
    // recent files and a reload find it from anywhere.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(arguments.front(), error);
    frameLoop_->openAtStart(error ? arguments.front() : absolute.string());
  } else if (const QStringList recent = preferences_->recentFiles();
             preferences_->isOn(Choice::ReopenLastFile) && !recent.isEmpty() &&
             QFileInfo(recent.front()).isFile()) {
    // The file the author was looking at last, by the same road as one on the command line.
    frameLoop_->openAtStart(corePath(recent.front()));
  }
  setLanguage(preferences_->language());
  // With its captions and its place, the window knows its size and its screen.
  fitZoom();
}

MainWindow::~MainWindow() {
  // The other views and a running export go first, while what they show still exists.
  extras_.reset();
  // The sheet surface goes with the view's surfaces, while this window's state still exists.
  view_->finalizeView();
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
    if (place.caption != nullptr) translateLater(label, "MainWindow", place.caption);
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
    edit->installEventFilter(this);
    controls_.addEdit(id, edit);
    return edit;
  };
  const auto addBox = [&](Switch id, const char* name, const char* caption) {
    auto* box = new QCheckBox(client_);
    box->setObjectName(QString::fromUtf8(name));
    translateLater(box, "MainWindow", caption);
    controls_.addSwitch(id, box);
    return box;
  };
  for (const layout::Placement& place : layout::kTabOrder) {
    QWidget* widget = nullptr;
    switch (place.control) {
      case layout::Control::StateButton: {
        const int32_t state = place.state;
        widget = stateButtons_[state] =
            addButton(("stateButton" + std::to_string(state)).c_str(), "StateButton",
                      stateInfo(state)->buttonCaption,
                      [this, state] { patapata::selectState(viewer_.player, state); });
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
            addButton("patternCheckButton", "StateButton", stateInfo(kCheckState)->buttonCaption,
                      [this] { startPatternCheck(viewer_.character, viewer_.player, controls_); });
        break;
      case layout::Control::PatternLoopBox:
        widget = addBox(Switch::PatternLoop, "patternLoopBox",
                        QT_TRANSLATE_NOOP("MainWindow", "ループ"));
        break;
      case layout::Control::OneShotLoopBox:
        widget =
            addBox(Switch::OneShotLoop, "oneShotLoopBox", QT_TRANSLATE_NOOP("MainWindow", "ﾙｰﾌﾟ"));
        break;
      case layout::Control::ReloadButton:
        widget = reloadButton_ =
            addButton("reloadButton", "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "再読込み"),
                      [this] { reloadFile(); });
        break;
      case layout::Control::SheetReloadButton:
        widget = sheetReloadButton_ = addButton("sheetReloadButton", "MainWindow",
                                                QT_TRANSLATE_NOOP("MainWindow", "CG再読込み"),
                                                [this] { reloadSheet(viewer_, sheetLoader()); });
        break;
      case layout::Control::CopyPatternButton:
        widget = addButton("copyPatternButton", "MainWindow",
                           QT_TRANSLATE_NOOP("MainWindow", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"),
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
    if (id == Edit::Interval) applyIntervalText(viewer_.character, controls_.text(Edit::Interval));
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

QPushButton* MainWindow::addButton(const char* name, const char* context, const char* caption,
                                   const std::function<void()>& handler) {
  auto* button = new QPushButton(client_);
  button->setObjectName(QString::fromUtf8(name));
  translateLater(button, context, caption);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { enter(handler); });
  return button;
}

void MainWindow::createMenus() {
  QMenu* file = menuBar()->addMenu(QString());
  translateLater(file, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "ファイル"));
  file->setObjectName(QStringLiteral("fileMenu"));
  QAction* open = file->addAction(QString());
  translateLater(open, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "開く..."));
  open->setObjectName(QStringLiteral("openItem"));
  open->setShortcut(QKeySequence::Open);
  connect(open, &QAction::triggered, this, [this] {
    const std::optional<std::string> path = chooser_();
    if (path) enter([&] { openFile(*path); });
  });
  recentMenu_ = file->addMenu(QString());
  translateLater(recentMenu_, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "最近使ったファイル"));
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  fillRecentMenu();
  reloadItem_ = file->addAction(QString());
  translateLater(reloadItem_, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "再読込み"));
  reloadItem_->setObjectName(QStringLiteral("reloadItem"));
  reloadItem_->setShortcut(Qt::Key_F5);
  connect(reloadItem_, &QAction::triggered, this, [this] { enter([this] { reloadFile(); }); });
  QAction* saveAs = file->addAction(QString());
  translateLater(saveAs, "MainWindow", SaveAsCharacterAction::kCaption);
  auto* saver = new SaveAsCharacterAction(saveAs, viewer_, this,
                                          [this](const std::function<void()>& h) { enter(h); });
  connect(file, &QMenu::aboutToShow, saver, &SaveAsCharacterAction::refresh);
  file->addSeparator();
  QAction* quit = file->addAction(QString());
  translateLater(quit, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "終了"));
  quit->setObjectName(QStringLiteral("quitItem"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &QWidget::close);

  createEditMenu();
  createViewMenu();

  QMenu* settings = menuBar()->addMenu(QString());
  translateLater(settings, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "設定"));
  settings->setObjectName(QStringLiteral("settingsMenu"));
  addSwitchItem(settings, Switch::AutoSheetReload, "autoSheetReload",
                QT_TRANSLATE_NOOP("MainWindow", "自動ＣＧ再読込み"),
                preferences_->isOn(Choice::AutoSheetReload), toggleAutoSheetReload);
  addSwitchItem(settings, Switch::AutoCharacterReload, "autoCharacterReload",
                QT_TRANSLATE_NOOP("MainWindow", "自動キャラ再読込み"),
                preferences_->isOn(Choice::AutoCharacterReload), toggleAutoCharacterReload);
  QAction* reopen = settings->addAction(QString());
  translateLater(reopen, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "前回のファイルを開く"));
  reopen->setObjectName(QStringLiteral("reopenLastItem"));
  reopen->setCheckable(true);
  reopen->setChecked(preferences_->isOn(Choice::ReopenLastFile));
  connect(reopen, &QAction::toggled, this,
          [this](bool on) { preferences_->setOn(Choice::ReopenLastFile, on); });
  // Named in both languages, so that whoever reads neither word of one finds it.
  QMenu* language = settings->addMenu(QStringLiteral("Language / 言語"));
  language->setObjectName(QStringLiteral("languageMenu"));
  auto* languages = new QActionGroup(language);
  for (const auto& [code, name] : {std::pair{"ja", "日本語"}, std::pair{"en", "English"}}) {
    QAction* item = language->addAction(QString::fromUtf8(name));
    item->setObjectName(QStringLiteral("language_%1").arg(QLatin1String(code)));
    item->setCheckable(true);
    item->setChecked(preferences_->language() == QLatin1String(code));
    languages->addAction(item);
    connect(item, &QAction::triggered, this, [this, code = QString::fromLatin1(code)] {
      preferences_->setLanguage(code);
      setLanguage(code);
    });
  }

  chooser_ = [this] { return chooseCharacterFile(this); };
}

QAction* MainWindow::addSwitchItem(QMenu* menu, Switch id, const char* name, const char* caption,
                                   bool checked, void (*toggle)(Controls&)) {
  QAction* item = menu->addAction(QString());
  translateLater(item, "MainWindow", caption);
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
    if (id == Switch::AutoSheetReload)
      preferences_->setOn(Choice::AutoSheetReload, item->isChecked());
    if (id == Switch::AutoCharacterReload) {
      preferences_->setOn(Choice::AutoCharacterReload, item->isChecked());
    }
  });
  return item;
}

void MainWindow::createEditMenu() {
  QMenu* edit = menuBar()->addMenu(QString());
  translateLater(edit, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "編集"));
  edit->setObjectName(QStringLiteral("editMenu"));
  // The typed sequences as the file writes them, numbered with the state they are tried for.
  const auto copyLines = [](int32_t state, const Controls& controls) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(sequenceLines(state, controls)));
  };
  QAction* lines = edit->addAction(QString());
  translateLater(lines, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "ファイルの行としてコピー"));
  lines->setObjectName(QStringLiteral("copyLinesItem"));
  lines->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  connect(lines, &QAction::triggered, this,
          [this, copyLines] { copyLines(checkReturnState(viewer_.player), controls_); });
  QAction* linesFor = edit->addAction(QString());
  translateLater(linesFor, "MainWindow",
                 QT_TRANSLATE_NOOP("MainWindow", "状態を指定してファイルの行としてコピー..."));
  linesFor->setObjectName(QStringLiteral("copyLinesForStateItem"));
  connect(linesFor, &QAction::triggered, this, [this, copyLines] {
    bool given = false;
    const int state =
        QInputDialog::getInt(this, QString::fromUtf8(kTitle),
                             ui(QT_TRANSLATE_NOOP("MainWindow", "状態の番号（0〜30）:")),
                             checkReturnState(viewer_.player), 0, kStateCount - 1, 1, &given);
    if (given) copyLines(state, controls_);
  });
  edit->addSeparator();
  QAction* repeat = edit->addAction(QString());
  translateLater(repeat, "MainWindow",
                 QT_TRANSLATE_NOOP("MainWindow", "レイヤと転送先を全コマに繰り返す"));
  repeat->setObjectName(QStringLiteral("repeatLayerItem"));
  repeat->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  connect(repeat, &QAction::triggered, this,
          [this] { enter([this] { repeatLayerForEveryFrame(controls_); }); });
}

void MainWindow::createViewMenu() {
  QMenu* view = menuBar()->addMenu(QString());
  translateLater(view, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "表示"));
  view->setObjectName(QStringLiteral("viewMenu"));
  auto* zooms = new QActionGroup(view);
  for (int factor = 1; factor <= kMaxZoom; ++factor) {
    static const char* const kZoomCaptions[] = {
        QT_TRANSLATE_NOOP("MainWindow", "等倍"), QT_TRANSLATE_NOOP("MainWindow", "2 倍"),
        QT_TRANSLATE_NOOP("MainWindow", "3 倍"), QT_TRANSLATE_NOOP("MainWindow", "4 倍")};
    QAction* item = view->addAction(QString());
    translateLater(item, "MainWindow", kZoomCaptions[factor - 1]);
    item->setObjectName(QStringLiteral("zoom%1").arg(factor));
    item->setCheckable(true);
    item->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + factor)));
    zooms->addAction(item);
    zoomItems_[factor - 1] = item;
    connect(item, &QAction::triggered, this, [this, factor] {
      preferences_->setZoom(factor);
      fitZoom();
    });
  }
  view->addSeparator();
  // Function keys: the arrows, Space, Home, End and the digits belong to the edits and buttons.
  pauseItem_ = view->addAction(QString());
  translateLater(pauseItem_, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "一時停止"));
  pauseItem_->setObjectName(QStringLiteral("pauseItem"));
  pauseItem_->setCheckable(true);
  pauseItem_->setShortcut(Qt::Key_F6);
  connect(pauseItem_, &QAction::toggled, this,
          [this](bool paused) { enter([&] { frameLoop_->setPaused(paused); }); });
  QAction* back = view->addAction(QString());
  translateLater(back, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "1 コマ戻る"));
  back->setObjectName(QStringLiteral("stepBackItem"));
  back->setShortcut(Qt::Key_F7);
  connect(back, &QAction::triggered, this, [this] { enter([this] { frameLoop_->stepBack(); }); });
  QAction* forward = view->addAction(QString());
  translateLater(forward, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "1 コマ進む"));
  forward->setObjectName(QStringLiteral("stepForwardItem"));
  forward->setShortcut(Qt::Key_F8);
  connect(forward, &QAction::triggered, this,
          [this] { enter([this] { frameLoop_->stepForward(); }); });
  view->addSeparator();
  readoutItem_ = view->addAction(QString());
  translateLater(readoutItem_, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "フレーム情報"));
  readoutItem_->setObjectName(QStringLiteral("readoutItem"));
  readoutItem_->setCheckable(true);
  readoutItem_->setChecked(preferences_->isOn(Choice::Readout));
  connect(readoutItem_, &QAction::toggled, this, [this](bool on) {
    preferences_->setOn(Choice::Readout, on);
    renderStatus();
  });
  QAction* sheet = view->addAction(QString());
  translateLater(sheet, "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "シート"));
  sheet->setObjectName(QStringLiteral("sheetItem"));
  sheet->setShortcut(Qt::Key_F9);
  connect(sheet, &QAction::triggered, this, [this] {
    sheetWindow().show();
    sheetWindow().raise();
    sheetWindow().activateWindow();
  });
}

SheetWindow& MainWindow::sheetWindow() {
  if (!sheetWindow_) {
    sheetWindow_ = std::make_unique<SheetWindow>(
        *this, *preferences_, [this](const std::string& path) { enter([&] { openFile(path); }); });
  }
  return *sheetWindow_;
}

void MainWindow::setZoom(int zoom) {
  view_->setZoom(zoom);
  const int grown = view_->height() - kViewHeight;
  for (const auto& [widget, at] : belowView_) widget->move(at + QPoint(0, grown));
  client_->setFixedSize(clientSizeAt(view_->zoom()));
}

QSize MainWindow::clientSizeAt(int zoom) const {
  return {std::max(layout::kClientWidth, view_->x() + kViewWidth * zoom),
          layout::kClientHeight + kViewHeight * (zoom - 1)};
}

void MainWindow::fitZoom() {
  // The menu bar, the status line's place and the frame do not grow with the view.
  const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  fittedFrame_ = frame;
  const QSize fixed = sizeHint() - client_->size() +
                      QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  const QScreen* const on = screen();
  // Without a screen to go by, every zoom is allowed.
  int largest = on == nullptr ? kMaxZoom : 1;
  for (int zoom = 2; zoom <= kMaxZoom && on != nullptr; ++zoom) {
    const QSize needed = clientSizeAt(zoom) + fixed;
    const QSize available = on->availableGeometry().size();
    if (needed.width() > available.width() || needed.height() > available.height()) break;
    largest = zoom;
  }
  for (int zoom = 1; zoom <= kMaxZoom; ++zoom) zoomItems_[zoom - 1]->setEnabled(zoom <= largest);
  // The choice stays remembered as made: on a larger screen it shows again.
  const int shown = std::min(preferences_->zoom(), largest);
  zoomItems_[shown - 1]->setChecked(true);
  if (shown != view_->zoom()) setZoom(shown);
}

void MainWindow::watchScreen(QScreen* screen) {
  disconnect(screenWatch_);
  if (screen != nullptr) {
    screenWatch_ = connect(screen, &QScreen::availableGeometryChanged, this, [this] { fitZoom(); });
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!windowWatched_ && windowHandle() != nullptr) {
    windowWatched_ = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [this](QScreen* screen) {
      watchScreen(screen);
      fitZoom();
    });
    watchScreen(windowHandle()->screen());
    windowHandle()->installEventFilter(this);
  }
  fitZoom();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // An edit claims keys such as Ctrl+E (the end of the line, on X11) before any shortcut; the
  // window's own menu shortcuts come first, so that they work wherever the focus is.
  if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(watched) != nullptr) {
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    const QList<QAction*> items = findChildren<QAction*>();
    if (std::any_of(items.begin(), items.end(), [&pressed](const QAction* item) {
          return item->isEnabled() && item->shortcut() == pressed;
        })) {
      event->ignore();
      return true;
    }
  }
  // A window manager frames the window once it is shown; its margins are known by the time
  // the framed window is first exposed.
  if (event->type() == QEvent::Expose && watched == windowHandle() &&
      windowHandle()->frameMargins() != fittedFrame_) {
    fitZoom();
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::translateLater(QObject* target, const char* context, const char* source) {
  captions_.add(target, context, source);
}

void MainWindow::retranslate() {
  captions_.retranslate();
  // What the core decided is shown again, in the new words.
  everRendered_ = false;
  render();
}

void MainWindow::setLanguage(const QString& code) {
  QCoreApplication::removeTranslator(&translator_);
  QCoreApplication::removeTranslator(&qtTranslator_);
  // The window's texts are Japanese in the source, the check's and the importer's English:
  // each language translates the others. Qt's dialogs are English without a translation.
  const bool english = code == QLatin1String("en");
  if (translator_.load(english ? QStringLiteral(":/i18n/patapata_en.qm")
                               : QStringLiteral(":/i18n/patapata_ja.qm"))) {
    QCoreApplication::installTranslator(&translator_);
  }
  if (!english && qtTranslator_.load(QStringLiteral("qtbase_ja"),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qtTranslator_);
  }
  // Installing or removing a translator sends the change; without one, nothing would say so.
  retranslate();
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retranslate();
  QMainWindow::changeEvent(event);
}

void MainWindow::setFileChooser(FileChooser chooser) {
  chooser_ = std::move(chooser);
}

void MainWindow::openFile(const std::string& path) {
  // A file that could be opened is named and remembered, also when its load stopped (its
  // error is what the author is looking at); one that is no character file is neither.
  const auto adoptFile = [this, &path] {
    setWindowTitle(QFileInfo(qtPath(path)).fileName() + QStringLiteral(" — ") +
                   QString::fromUtf8(kTitle));
    if (std::error_code error; std::filesystem::is_regular_file(path, error)) {
      preferences_->addRecentFile(qtPath(path));
      fillRecentMenu();
    }
  };
  // The interval edit shows what the load left, whether or not it completed.
  const auto showLoaded = qScopeGuard([this] { showInterval(); });
  try {
    openCharacterFile(viewer_, sheetLoader(), path);
  } catch (const Error& e) {
    // A picture is where a character starts: it opens on the sheet view, to be sliced. One of
    // a kind no sheet can be (GIF, JPEG, WebP) is still said to be no character file.
    if (e.id() == MessageId::PictureNotCharacter) {
      try {
        return sheetWindow().openPicture(path);
      } catch (const Error& unreadable) {
        if (unreadable.id() == MessageId::UnknownExtension) throw e;
        throw;
      }
    }
    if (!isNotCharacterFile(e)) {
      adoptFile();
      if (sheetWindow_) sheetWindow_->followCharacter();
    }
    throw;
  }
  adoptFile();
  if (sheetWindow_) sheetWindow_->followCharacter();
}

void MainWindow::reloadFile() {
  const auto showLoaded = qScopeGuard([this] { showInterval(); });
  reloadCharacter(viewer_, sheetLoader());
}

void MainWindow::showInterval() {
  controls_.setText(Edit::Interval, std::to_string(viewer_.character.frameIntervalMs));
}

SheetLoader MainWindow::sheetLoader() const {
  return sheetLoaderFor(view_->viewControl());
}

void MainWindow::openRecentFile(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    preferences_->removeRecentFile(path);
    fillRecentMenu();
    report(ui(QT_TRANSLATE_NOOP("MainWindow",
                                "ファイル %1 はもうありません。最近使ったファイルから外しました."))
               .arg(QDir::toNativeSeparators(path)));
    return;
  }
  enter([&] { openFile(corePath(path)); });
}

void MainWindow::fillRecentMenu() {
  recentMenu_->clear();
  const QStringList files = preferences_->recentFiles();
  const QStringList labels = recentFileLabels(files);
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QString& path = files[i];
    QAction* item = recentMenu_->addAction(labels[i]);
    item->setToolTip(path);
    item->setData(path);
    connect(item, &QAction::triggered, this, [this, path] { openRecentFile(path); });
  }
  recentMenu_->setEnabled(!files.isEmpty());
}

void MainWindow::render() {
  emit rendered();
  renderStatus();
  if (extras_) extras_->render();
  const Viewer& v = viewer_;
  std::array<bool, kStateCount> buttons{};
  for (const StateInfo& info : kStates) buttons[info.state] = v.character.enablesButton(info.state);
  if (everRendered_ && v.display == shown_.display && v.player.caption == shown_.caption &&
      v.carets.counters == shown_.counters && buttons == shown_.buttons) {
    return;
  }
  const auto changed = [&](const auto& now, const auto& before) {
    return !everRendered_ || now != before;
  };
  if (changed(v.display.characterName, shown_.display.characterName)) {
    const auto& name = v.display.characterName;
    setCaption(characterName_, name ? QString::fromStdString(*name)
                                    : translated::coreText(QT_TRANSLATE_NOOP("Core", "名前")));
  }
  if (changed(v.player.caption, shown_.caption)) {
    setCaption(stateCaption_, translated::coreText(v.player.caption));
  }
  for (std::size_t i = 0; i < counters_.size(); ++i) {
    if (changed(v.carets.counters[i], shown_.counters[i])) {
      setCaption(counters_[i], QString::fromStdString(v.carets.counters[i]));
    }
  }
  for (const StateInfo& info : kStates) {
    if (QPushButton* button = stateButtons_[info.state]) button->setEnabled(buttons[info.state]);
  }
  patternCheckButton_->setEnabled(v.display.patternCheckEnabled);
  reloadButton_->setEnabled(v.display.reloadEnabled);
  sheetReloadButton_->setEnabled(v.display.reloadEnabled);
  reloadItem_->setEnabled(v.display.reloadEnabled);
  shown_ = Shown{v.display, v.player.caption, v.carets.counters, buttons};
  everRendered_ = true;
}

void MainWindow::renderStatus() {
  // The messages share the first row, so that the readout keeps the second.
  QStringList messages;
  QStringList tips;
  if (const auto& failure = viewer_.display.reloadFailure) {
    const QString path = qtPath(failure->file);
    const QString where =
        failure->line > 0 ? whereText(failure->file, failure->line) : QFileInfo(path).fileName();
    messages << where + QStringLiteral(": ") + boxText(failure->message);
    tips << path;
    if (failure->hint) tips << boxText(*failure->hint);
  }
  if (const auto& warnings = viewer_.display.warnings; !warnings.empty()) {
    // The count on the line, the warnings themselves where the pointer rests on it.
    messages << QCoreApplication::translate(
        "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "警告 %n 件（ここにポインタを置くと表示）"),
        nullptr, static_cast<int>(warnings.size()));
    for (const LintWarning& warning : warnings) {
      // Line 0: the file as a whole, or an Aseprite JSON's import.
      const QString text = translated::message(warning.message);
      tips << (warning.line > 0
                   ? ui(QT_TRANSLATE_NOOP("MainWindow", "%1 行目: %2")).arg(warning.line).arg(text)
                   : text);
    }
  }
  const QString message = messages.join(QStringLiteral("  "));
  QStringList lines;
  if (readoutItem_->isChecked()) {
    // The readout keeps the second row, with or without a message on the first: it neither
    // wraps into the first nor moves when a message comes and goes.
    lines << message << readoutText();
  } else if (!message.isEmpty()) {
    lines << message;
  }
  const QString text = lines.join(QLatin1Char('\n'));
  status_->setContent(text, tips.join(QLatin1Char('\n')));
  if (statusBar()->isVisible() == text.isEmpty()) statusBar()->setVisible(!text.isEmpty());
}

QString MainWindow::readoutText() const {
  const Viewer& v = viewer_;
  if (!v.characterLoaded) return {};
  const int32_t state = v.player.state;
  const int32_t frame = v.player.frame;
  // Cel numbers as the file writes them in sequences: two hexadecimal digits.
  const auto cel = [&](Sequence sequence) {
    const int32_t entry = v.character.entry(sequence, state, frame);
    if (entry == kEmptyCel) return QStringLiteral("--");
    return QStringLiteral("%1").arg(entry, 2, 16, QLatin1Char('0')).toUpper();
  };
  QString text = ui(QT_TRANSLATE_NOOP("MainWindow", "状態 %1 %2  コマ %3/%4  パターン %5"))
                     .arg(state)
                     .arg(translated::coreText(v.player.caption))
                     .arg(frame)
                     .arg(v.character.sequenceLength(state))
                     .arg(cel(Sequence::Pattern));
  if (v.character.isLayerOn(state)) {
    text += ui(QT_TRANSLATE_NOOP("MainWindow", "  レイヤ %1→%2"))
                .arg(cel(Sequence::Layer), cel(Sequence::Destination));
  }
  if (frameLoop_->isPaused()) {
    text += ui(QT_TRANSLATE_NOOP("MainWindow", "  一時停止中"));
  } else if (const auto mean = frameLoop_->meanFrameIntervalMs()) {
    text += ui(QT_TRANSLATE_NOOP("MainWindow", "  %1 ms（指定 %2）"))
                .arg(qRound(*mean))
                .arg(v.character.frameIntervalMs);
    if (frameLoop_->speed() != PlaybackSpeed::Normal)
      text += ViewExtras::speedText(frameLoop_->speed());
  }
  return text;
}

void MainWindow::setErrorReporter(ErrorReporter reporter) {
  reporter_ = std::move(reporter);
}

void MainWindow::setOnFirstFrame(std::function<void()> handler) {
  view_->setOnPresentedPaint([this, handler = std::move(handler)] {
    if (!viewer_.characterLoaded) return;
    const auto firstFrame = handler;  // the line below destroys this closure
    view_->setOnPresentedPaint(nullptr);
    firstFrame();
  });
}

void MainWindow::enter(const std::function<void()>& handler) {
  std::optional<QString> failure;
  try {
    handler();
  } catch (const Error& error) {
    failure = boxText(error.message());
    if (const auto& hint = error.hint()) *failure += QLatin1Char('\n') + boxText(*hint);
    // A character file's error says where the load stopped.
    if (const auto& at = error.location(); at && at->line > 0) {
      *failure += QLatin1Char('\n') + whereText(at->file, at->line);
    }
  } catch (const std::exception& error) {
    failure = boxText(error);
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
