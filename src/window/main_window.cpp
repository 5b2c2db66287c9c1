#include "window/main_window.h"

#include "character/frame_interval.h"
#include "common/errors.h"
#include "player/animation.h"
#include "player/file_intake.h"
#include "player/frame_loop.h"
#include "player/pattern_check.h"
#include "surfaces/surface.h"
#include "surfaces/view_control.h"
#include "window/idle_loop.h"
#include "window/view_widget.h"

#include <QAction>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

#include <algorithm>
#include <optional>

// A resource file compiled into a static library must be registered by name; the macro
// cannot stand inside a namespace.
static void registerWindowResources() {
  Q_INIT_RESOURCE(patapata);
}

namespace patapata {

namespace {

constexpr const char* kTitle = "ぱたぱた！";
constexpr int kFormFontHeight = 12;
/// Edit1 takes at most this many typed characters; the program may put in more.
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

}  // namespace

MainWindow::MainWindow(IdleLoop& application, std::shared_ptr<platform::SurfaceService> service,
                       std::vector<std::string> arguments, QWidget* parent)
    : QMainWindow(parent),
      application_(application),
      arguments_(std::move(arguments)),
      controls_([this](const std::function<void()>& handler) { enter(handler); }) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kTitle));
  // A fixed border with system menu and minimise box; no maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  registerWindowResources();
  setWindowIcon(QIcon(QStringLiteral(":/patapata/icon.png")));
  setFont(viewerFont(kFormFontHeight));

  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setFixedSize(kClientWidth, kClientHeight);
  client_->setAutoFillBackground(true);
  QPalette face = client_->palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  client_->setPalette(face);
  setCentralWidget(client_);

  DXDraw1 = new ViewWidget(std::move(service), client_);
  DXDraw1->move(104, 0);
  DXDraw1->setErrorHandler([this](const std::exception& error) {
    report(QString::fromStdString(errorBoxText(error.what())));
  });
  DXDraw1->viewControl().onSurfacesCreated = [this](ViewControl& sender) {
    DXDraw1InitializeSurface(sender);
  };
  DXDraw1->viewControl().onSurfacesReleased = [this](ViewControl& sender) {
    DXDraw1FinalizeSurface(sender);
  };

  createControls();
  createMenu();
  setTabOrder();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  FrameLoopHooks hooks;
  hooks.processEvents = [this](uint32_t maxWaitMs) { application_.processEvents(maxWaitMs); };
  hooks.pollSheet = [this] { pollSheet(viewer_, controls_); };
  hooks.trackCarets = [this] { trackCarets(viewer_, controls_); };
  frameLoop_ = std::make_unique<FrameLoop>(viewer_, controls_, DXDraw1->viewControl(), hooks);
  frameLoop_->startClock();

  FormCreate();
}

MainWindow::~MainWindow() {
  // The sheet surface goes with the view's surfaces, while this window's state still exists.
  DXDraw1->finalizeView();
  DXDraw1->viewControl().onSurfacesCreated = nullptr;
  DXDraw1->viewControl().onSurfacesReleased = nullptr;
  application_.setOnIdle(nullptr);
  FormDestroy();
}

void MainWindow::createControls() {
  using enum ControlId;
  addLabel(stateCaptionLabel, "Label2", "状態", 104, 272, 21);
  addLabel(intervalLabel, "Label3", "Anime", 0, 274, 16);
  addLabel(nameLabel, "Label1", "名前", 0, 248, 16);
  addLabel(layerLabel, "Label4", "レイヤ", 0, 338, kFormFontHeight);
  addLabel(destinationLabel, "Label5", "転送先", 0, 374, kFormFontHeight);
  addLabel(patternCounter, "Label6", "0/0", 182, 320, kFormFontHeight);
  addLabel(layerCounter, "Label7", "0/0", 182, 356, kFormFontHeight);
  addLabel(destinationCounter, "Label8", "0/0", 182, 392, kFormFontHeight);

  addButton(stateButton1, "Button1", "通常１", 0, 48, 49, 25, &MainWindow::Button1Click);
  addButton(stateButton2, "Button2", "通常２", 48, 48, 49, 25, &MainWindow::Button2Click);
  addButton(stateButton15, "Button3", "勝ち", 0, 72, 49, 25, &MainWindow::Button3Click);
  addButton(stateButton16, "Button4", "負け", 48, 72, 49, 25, &MainWindow::Button4Click);
  addButton(stateButton5, "Button5", "立ち", 0, 96, 49, 25, &MainWindow::Button5Click);
  addButton(stateButton6, "Button6", "喜び１", 0, 136, 49, 25, &MainWindow::Button6Click);
  addButton(stateButton7, "Button7", "喜び２", 48, 136, 49, 25, &MainWindow::Button7Click);
  addButton(stateButton8, "Button8", "喜び３", 0, 160, 49, 25, &MainWindow::Button8Click);
  addButton(stateButton10, "Button9", "ﾀﾞﾒｰｼﾞ１", 48, 160, 49, 25, &MainWindow::Button9Click);
  addButton(stateButton11, "Button10", "ﾀﾞﾒｰｼﾞ２", 0, 184, 49, 25, &MainWindow::Button10Click);
  addButton(stateButton12, "Button11", "ﾀﾞﾒｰｼﾞ３", 48, 184, 49, 25, &MainWindow::Button11Click);
  addButton(stateButton4, "Button12", "ミス", 0, 208, 49, 25, &MainWindow::Button12Click);
  this->Edit1 = addEdit(ControlId::intervalEdit, "Edit1", "100", 64, 272, 33, 20);
  addEdit(patternEdit, "Edit2", "", 0, 316, 177, 20);
  addButton(patternCheckButton, "buttonck", "ﾊﾟﾀｰﾝﾁｪｯｸ", 0, 296, 75, 17,
            &MainWindow::startPatternCheck);
  addCheckBox(patternLoopBox, "CheckBox1", "ループ", 80, 296, 57, 17);
  addButton(reloadButton, "reload", "再読込み", 0, 0, 97, 17, &MainWindow::reloadCharacter);
  QPushButton* clipperButton = addButton(copyPatternButton, "clipper", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ", 144, 296, 80,
                                         17, &MainWindow::copyPatternToClipboard);
  addButton(sheetReloadButton, "CGreload", "CG再読込み", 0, 16, 97, 17, &MainWindow::reloadSheet);
  addCheckBox(oneShotLoopBox, "CheckBox2", "ﾙｰﾌﾟ", 50, 213, 49, 17);
  tabOrder_.push_back(DXDraw1);
  addButton(stateButton3, "Button14", "おじゃま", 48, 96, 49, 25, &MainWindow::Button14Click);
  addEdit(layerEdit, "Edit3", "", 0, 352, 177, 20);
  addEdit(destinationEdit, "Edit4", "", 0, 388, 177, 20);

  // Every button but clipper starts disabled: the state buttons wait for the reader, the
  // others for a drop or the start-up load.
  for (QPushButton* b : client_->findChildren<QPushButton*>()) b->setEnabled(b == clipperButton);

  // Edit1 refuses a fourth typed character, yet shows a longer value the program puts in:
  // the limit follows the text whenever it is longer than three characters.
  QLineEdit* interval = this->Edit1;
  interval->setMaxLength(kIntervalTypedLimit);
  connect(interval, &QLineEdit::textChanged, interval, [interval](const QString& text) {
    interval->setMaxLength(std::max<int>(kIntervalTypedLimit, static_cast<int>(text.size())));
  });
  controls_.onTextChanged = [this](ControlId id) {
    if (id == ControlId::intervalEdit) this->applyIntervalText();
  };
}

void MainWindow::createMenu() {
  N1 = menuBar()->addMenu(QStringLiteral("設定"));
  N1->setObjectName(QStringLiteral("N1"));
  autocgload = N1->addAction(QStringLiteral("自動ＣＧ再読込み"));
  autocgload->setObjectName(QStringLiteral("autocgload"));
  autocgload->setCheckable(true);
  autocgload->setChecked(false);
  controls_.addAction(ControlId::autoSheetReload, autocgload);
  connect(autocgload, &QAction::triggered, this, [this] {
    // A checkable action has flipped its mark already; the handler owns the toggle.
    {
      const QSignalBlocker blocker(autocgload);
      autocgload->setChecked(!autocgload->isChecked());
    }
    enter([this] { toggleAutoSheetReload(); });
  });
}

void MainWindow::setTabOrder() {
  for (std::size_t i = 0; i + 1 < tabOrder_.size(); ++i) {
    QWidget::setTabOrder(tabOrder_[i], tabOrder_[i + 1]);
  }
}

QLabel* MainWindow::addLabel(ControlId id, const char* name, const char* caption, int x, int y,
                             int pixelHeight) {
  auto* label = new QLabel(client_);
  label->setObjectName(QString::fromUtf8(name));
  // Captions from files are shown as written, never as markup.
  label->setTextFormat(Qt::PlainText);
  if (pixelHeight != kFormFontHeight) label->setFont(viewerFont(pixelHeight));
  label->move(x, y);
  controls_.addLabel(id, label);
  controls_.setCaption(id, caption);
  return label;
}

QPushButton* MainWindow::addButton(ControlId id, const char* name, const char* caption, int x,
                                   int y, int w, int h, void (MainWindow::*handler)()) {
  auto* button = new QPushButton(QString::fromUtf8(caption), client_);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(x, y, w, h);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this,
          [this, handler] { enter([&] { (this->*handler)(); }); });
  controls_.addButton(id, button);
  tabOrder_.push_back(button);
  return button;
}

QLineEdit* MainWindow::addEdit(ControlId id, const char* name, const char* text, int x, int y,
                               int w, int h) {
  auto* edit = new QLineEdit(QString::fromUtf8(text), client_);
  edit->setObjectName(QString::fromUtf8(name));
  edit->setGeometry(x, y, w, h);
  // Files dropped on an edit belong to the window, as on the rest of it.
  edit->setAcceptDrops(false);
  controls_.addEdit(id, edit);
  tabOrder_.push_back(edit);
  return edit;
}

QCheckBox* MainWindow::addCheckBox(ControlId id, const char* name, const char* caption, int x,
                                   int y, int w, int h) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), client_);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(x, y, w, h);
  box->setChecked(false);
  controls_.addButton(id, box);
  tabOrder_.push_back(box);
  return box;
}

void MainWindow::setErrorReporter(ErrorReporter reporter) {
  reporter_ = std::move(reporter);
}

void MainWindow::enter(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Exception& error) {
    report(QString::fromStdString(errorBoxText(error.message())));
  } catch (const std::exception& error) {
    report(QString::fromStdString(errorBoxText(error.what())));
  }
}

void MainWindow::report(const QString& text) {
  if (reporter_) {
    reporter_(text);
    return;
  }
  // The tick does not run while the box is up, as under a modal message loop.
  application_.suspendIdle();
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kTitle), text, QMessageBox::Ok, this);
  box.exec();
  application_.resumeIdle();
}

void MainWindow::FormCreate() {
  setAcceptDrops(true);
  application_.setOnIdle([this](bool& done) { enter([&] { ApplicationIdle(done); }); });
  viewer_.characterLoaded = false;
  if (!arguments_.empty()) {
    viewer_.startupLoadPending = 50;
    viewer_.startupPath = arguments_.front();
  }
}

void MainWindow::FormDestroy() {}

void MainWindow::ApplicationIdle(bool& done) {
  frameLoop_->ApplicationIdle(done);
}

void MainWindow::openDroppedFile(const std::string& path) {
  patapata::openDroppedFile(viewer_, controls_, path);
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
      this, [this, file = *path] { enter([&] { openDroppedFile(file); }); }, Qt::QueuedConnection);
}

void MainWindow::Button1Click() {
  patapata::Button1Click(viewer_, controls_);
}
void MainWindow::Button2Click() {
  patapata::Button2Click(viewer_, controls_);
}
void MainWindow::Button3Click() {
  patapata::Button3Click(viewer_, controls_);
}
void MainWindow::Button4Click() {
  patapata::Button4Click(viewer_, controls_);
}
void MainWindow::Button5Click() {
  patapata::Button5Click(viewer_, controls_);
}
void MainWindow::Button6Click() {
  patapata::Button6Click(viewer_, controls_);
}
void MainWindow::Button7Click() {
  patapata::Button7Click(viewer_, controls_);
}
void MainWindow::Button8Click() {
  patapata::Button8Click(viewer_, controls_);
}
void MainWindow::Button9Click() {
  patapata::Button9Click(viewer_, controls_);
}
void MainWindow::Button10Click() {
  patapata::Button10Click(viewer_, controls_);
}
void MainWindow::Button11Click() {
  patapata::Button11Click(viewer_, controls_);
}
void MainWindow::Button12Click() {
  patapata::Button12Click(viewer_, controls_);
}
void MainWindow::Button14Click() {
  patapata::Button14Click(viewer_, controls_);
}
void MainWindow::startPatternCheck() {
  patapata::startPatternCheck(viewer_, controls_);
}
void MainWindow::reloadCharacter() {
  patapata::reloadCharacter(viewer_, controls_);
}
void MainWindow::reloadSheet() {
  patapata::reloadSheet(viewer_);
}
void MainWindow::copyPatternToClipboard() {
  patapata::copyPatternToClipboard(controls_);
}
void MainWindow::toggleAutoSheetReload() {
  patapata::toggleAutoSheetReload(controls_);
}
void MainWindow::applyIntervalText() {
  patapata::applyIntervalText(viewer_, controls_);
}

void MainWindow::DXDraw1InitializeSurface(ViewControl& sender) {
  viewer_.sheet = std::make_unique<Surface>(sender.drawContext());
}

void MainWindow::DXDraw1FinalizeSurface(ViewControl& /*sender*/) {
  viewer_.sheet.reset();
}

}  // namespace patapata
