#include "window/sheet_window.h"

#include "character/sheet_cels.h"
#include "character/sheet_slicing.h"
#include "common/errors.h"
#include "player/frame_cels.h"
#include "player/frame_loop.h"
#include "player/pattern_check.h"
#include "surfaces/sheet_picture.h"
#include "window/main_window.h"
#include "window/preferences.h"
#include "window/qt_path.h"
#include "window/sheet_view.h"
#include "window/slicing_dialog.h"
#include "window/view_widget.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace patapata {

namespace {

using sheet_slicing::CelBase;

constexpr const char* kGeometryName = "sheet";
constexpr int kMessageMs = 5000;

QString ui(const char* source) {
  return QCoreApplication::translate("SheetWindow", source);
}

QString fileNameOf(const std::string& path) {
  return QFileInfo(qtPath(path)).fileName();
}

CelBase baseOf(const Character& character) {
  return character.hexCelNumbers ? CelBase::Hexadecimal : CelBase::Decimal;
}

// The cel numbers the character file's cel lines take, as it is on disk now; the cels the
// viewer holds when it cannot be read.
std::vector<int32_t> usedCels(const Viewer& viewer) {
  if (!viewer.files.characterPath.empty()) {
    if (auto cels = sheet_cels::celLinesOf(viewer.files.characterPath)) return *cels;
  }
  std::vector<int32_t> used;
  for (int32_t cel = 1; cel < kCelCount; ++cel) {
    if (viewer.character.cels[cel] != CelRect{}) used.push_back(cel);
  }
  return used;
}

QString swatch(const QColor& colour, const QString& text) {
  return QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2")
      .arg(colour.name(), text.toHtmlEscaped());
}

}  // namespace

SheetWindow::SheetWindow(MainWindow& form, Preferences& preferences, Opener open)
    : QMainWindow(&form, Qt::Window),
      form_(form),
      preferences_(preferences),
      open_(std::move(open)) {
  setObjectName(QStringLiteral("sheetWindow"));
  view_ = new SheetView(this);
  setCentralWidget(view_);
  createMenus();

  pointer_ = new QLabel;
  pointer_->setObjectName(QStringLiteral("pointerReadout"));
  selectionText_ = new QLabel;
  selectionText_->setObjectName(QStringLiteral("selectionReadout"));
  legend_ = new QLabel;
  legend_->setTextFormat(Qt::RichText);
  statusBar()->addWidget(pointer_, 1);
  statusBar()->addWidget(selectionText_);
  statusBar()->addPermanentWidget(legend_);

  connect(view_, &SheetView::pointerMoved, this, &SheetWindow::showPointer);
  connect(view_, &SheetView::selectionChanged, this, [this] { showSelection(); });
  connect(view_, &SheetView::clicked, this, [this](QPoint, int cel) { insertEntry(cel); });
  connect(&form_, &MainWindow::rendered, this, &SheetWindow::follow);

  const std::array<std::pair<Edit, const char*>, 3> edits{
      std::pair{Edit::Pattern, "patternEdit"}, std::pair{Edit::Layer, "layerEdit"},
      std::pair{Edit::Destination, "destinationEdit"}};
  for (std::size_t i = 0; i < edits.size(); ++i) {
    edits_[i] = {edits[i].first, form_.findChild<QLineEdit*>(QString::fromUtf8(edits[i].second))};
  }
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    for (const auto& [id, edit] : edits_) {
      if (edit != nullptr && now == edit) lastEdit_ = id;
    }
  });

  const QByteArray geometry = preferences_.windowGeometry(QString::fromLatin1(kGeometryName));
  if (geometry.isEmpty() || !restoreGeometry(geometry)) {
    // Beside the main window, so that both show.
    resize(900, 700);
    move(form_.frameGeometry().topRight() + QPoint(8, 0));
  }
  retranslate();
}

SheetWindow::~SheetWindow() = default;

SlicingDialog* SheetWindow::slicingDialog() {
  return dialog_;
}

QAction* SheetWindow::addItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString());
  item->setObjectName(QString::fromUtf8(name));
  captions_.add(item, "SheetWindow", caption);
  return item;
}

void SheetWindow::createMenus() {
  QMenu* sheet = menuBar()->addMenu(QString());
  sheet->setObjectName(QStringLiteral("sheetMenu"));
  captions_.add(sheet, "SheetWindow", QT_TRANSLATE_NOOP("SheetWindow", "シート"));
  QAction* slice = addItem(sheet, "sliceItem", QT_TRANSLATE_NOOP("SheetWindow", "分割…"));
  slice->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(slice, &QAction::triggered, this, &SheetWindow::showSlicing);
  sheet->addSeparator();
  snapItem_ = addItem(sheet, "snapItem", QT_TRANSLATE_NOOP("SheetWindow", "内容に合わせる"));
  snapItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  connect(snapItem_, &QAction::triggered, this, &SheetWindow::snapSelection);
  copyItem_ = addItem(sheet, "copyCelLineItem", QT_TRANSLATE_NOOP("SheetWindow", "セル行をコピー"));
  copyItem_->setShortcut(QKeySequence::Copy);
  connect(copyItem_, &QAction::triggered, this, &SheetWindow::copyCelLine);
  sheet->addSeparator();
  QAction* close = addItem(sheet, "closeSheetItem", QT_TRANSLATE_NOOP("SheetWindow", "閉じる"));
  close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  connect(close, &QAction::triggered, this, &QWidget::close);

  QMenu* view = menuBar()->addMenu(QString());
  view->setObjectName(QStringLiteral("sheetViewMenu"));
  captions_.add(view, "SheetWindow", QT_TRANSLATE_NOOP("SheetWindow", "表示"));
  static const char* const kZoomCaptions[] = {
      QT_TRANSLATE_NOOP("SheetWindow", "全体"), QT_TRANSLATE_NOOP("SheetWindow", "等倍"),
      QT_TRANSLATE_NOOP("SheetWindow", "2 倍"), QT_TRANSLATE_NOOP("SheetWindow", "3 倍"),
      QT_TRANSLATE_NOOP("SheetWindow", "4 倍"), QT_TRANSLATE_NOOP("SheetWindow", "5 倍"),
      QT_TRANSLATE_NOOP("SheetWindow", "6 倍"), QT_TRANSLATE_NOOP("SheetWindow", "7 倍"),
      QT_TRANSLATE_NOOP("SheetWindow", "8 倍")};
  auto* zooms = new QActionGroup(view);
  for (int zoom = SheetView::kFit; zoom <= SheetView::kMaxZoom; ++zoom) {
    const std::string name =
        zoom == SheetView::kFit ? "sheetZoomFit" : "sheetZoom" + std::to_string(zoom);
    QAction* item = addItem(view, name.c_str(), kZoomCaptions[zoom]);
    item->setCheckable(true);
    item->setChecked(zoom == view_->zoom());
    item->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + zoom)));
    zooms->addAction(item);
    connect(item, &QAction::triggered, this, [this, zoom] { view_->setZoom(zoom); });
  }
  view->addSeparator();
  checkerboardItem_ =
      addItem(view, "checkerboardItem", QT_TRANSLATE_NOOP("SheetWindow", "透明色を市松模様で表示"));
  checkerboardItem_->setCheckable(true);
  checkerboardItem_->setChecked(true);
  connect(checkerboardItem_, &QAction::toggled, view_, &SheetView::setCheckerboard);

  QToolBar* tools = addToolBar(QString());
  tools->setObjectName(QStringLiteral("sheetTools"));
  tools->setMovable(false);
  tools->addAction(slice);
  tools->addSeparator();
  tools->addAction(snapItem_);
  tools->addAction(copyItem_);
  tools->addSeparator();
  tools->addAction(checkerboardItem_);
}

void SheetWindow::retranslate() {
  captions_.retranslate();
  legend_->setText(swatch(SheetView::markColour(Sequence::Pattern),
                          ui(QT_TRANSLATE_NOOP("SheetWindow", "パターン"))) +
                   QStringLiteral("&nbsp;&nbsp;") +
                   swatch(SheetView::markColour(Sequence::Layer),
                          ui(QT_TRANSLATE_NOOP("SheetWindow", "レイヤ"))) +
                   QStringLiteral("&nbsp;&nbsp;") +
                   swatch(SheetView::markColour(Sequence::Destination),
                          ui(QT_TRANSLATE_NOOP("SheetWindow", "転送先"))));
  setWindowTitle(titleText());
  showSelection();
}

QString SheetWindow::titleText() const {
  const std::string& path = followsCharacter_ ? form_.viewer().character.sheet.path : picturePath_;
  const QString title = ui(QT_TRANSLATE_NOOP("SheetWindow", "シート"));
  return path.empty() ? title : title + QStringLiteral(" — ") + fileNameOf(path);
}

void SheetWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retranslate();
  QMainWindow::changeEvent(event);
}

void SheetWindow::rememberGeometry() {
  if (isVisible()) {
    preferences_.setWindowGeometry(QString::fromLatin1(kGeometryName), saveGeometry());
  }
}

void SheetWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  rememberGeometry();
}

void SheetWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  rememberGeometry();
}

void SheetWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  follow();
}

void SheetWindow::followCharacter() {
  followsCharacter_ = true;
  picturePath_.clear();
  shownCels_ = false;
  follow();
}

void SheetWindow::follow() {
  if (!followsCharacter_ || !isVisible()) return;
  const Viewer& v = form_.viewer();
  const Character& character = v.character;
  if (character.sheet.picture != view_->picture()) {
    view_->setPicture(character.sheet.picture);
    setWindowTitle(titleText());
  }
  // Compared, not copied: a frame that changes nothing else allocates nothing.
  if (!shownCels_ || character.cels != view_->cels() || v.display.warnings != shownWarnings_ ||
      baseOf(character) != view_->base()) {
    shownWarnings_ = v.display.warnings;
    view_->setCels(character.cels, baseOf(character), sheet_cels::warnedCels(shownWarnings_));
    shownCels_ = true;
  }
  view_->setFrameCels(v.characterLoaded ? frameCelsOf(character, v.player) : FrameCels{});
}

void SheetWindow::openPicture(const std::string& path) {
  const SheetLoader loader = sheetLoaderFor(form_.view().viewControl());
  if (!loader) throw Error(MessageId::SurfaceNotCreated);
  std::shared_ptr<const SheetPicture> picture = loader(path);
  followsCharacter_ = false;
  picturePath_ = path;
  shownCels_ = false;
  view_->clearCels();
  view_->setSelection(std::nullopt);
  view_->setPicture(std::move(picture));
  setWindowTitle(titleText());
  show();
  raise();
  activateWindow();
  showSlicing();
}

void SheetWindow::showSlicing() {
  if (dialog_ == nullptr) {
    dialog_ = new SlicingDialog(*view_, this);
    dialog_->onWritten = [this](const std::string& path) { open_(path); };
  }
  const Viewer& v = form_.viewer();
  SlicingSubject subject;
  subject.picture = view_->picture();
  subject.openFiles = {v.files.characterPath, v.character.sheet.path, picturePath_};
  if (followsCharacter_) {
    subject.sheetPath = v.character.sheet.path;
    subject.base = baseOf(v.character);
    const std::vector<int32_t> used = usedCels(v);
    subject.firstCel = sheet_slicing::nextFreeCel(used, subject.base).value_or(1);
  } else {
    subject.sheetPath = picturePath_;
  }
  dialog_->setSubject(std::move(subject));
  dialog_->show();
  dialog_->raise();
}

void SheetWindow::insertEntry(int cel) {
  if (!followsCharacter_ || cel < 1 || cel >= kCelCount) return;
  QLineEdit* edit = nullptr;
  for (const auto& [id, e] : edits_) {
    if (id == lastEdit_) edit = e;
  }
  if (edit == nullptr) return;
  // Sequences take two hexadecimal digits an entry, whatever the cel lines' base.
  const QString entry =
      QString::fromStdString(*sheet_slicing::celNumberText(cel, CelBase::Hexadecimal));
  form_.enter([&] {
    edit->insert(entry);
    // The caret moved as typing moves it, and its counter follows; the view shows the entry
    // just put in, which stands before the caret, now rather than at the next frame.
    Viewer& v = form_.viewer();
    if (!v.characterLoaded) return;
    trackCarets(v.carets, v.character, v.player, form_.controls());
    showEntryAt(form_.controls().caretPosition(lastEdit_) - 2, v.character, v.player,
                form_.controls());
    form_.frameLoop().redraw();
  });
}

void SheetWindow::copyCelLine() {
  const std::optional<Rect>& selection = view_->selection();
  if (!selection) return;
  const Viewer& v = form_.viewer();
  const CelBase base = followsCharacter_ ? baseOf(v.character) : CelBase::Decimal;
  const std::vector<int32_t> used = followsCharacter_ ? usedCels(v) : std::vector<int32_t>{};
  const std::optional<int32_t> cel = sheet_slicing::nextFreeCel(used, base);
  const std::optional<std::string> line =
      cel ? sheet_slicing::celLine(*cel, *selection, base) : std::nullopt;
  if (!line) {
    statusBar()->showMessage(
        ui(QT_TRANSLATE_NOOP("SheetWindow",
                             "空いているセル番号がありません（%1 まで使われています）"))
            .arg(sheet_slicing::lastCel(base)),
        kMessageMs);
    return;
  }
  const QString text = QString::fromStdString(*line);
  QGuiApplication::clipboard()->setText(text);
  statusBar()->showMessage(ui(QT_TRANSLATE_NOOP("SheetWindow", "クリップボードへ: %1")).arg(text),
                           kMessageMs);
}

void SheetWindow::snapSelection() {
  const std::optional<Rect>& selection = view_->selection();
  const SheetPicture* sheet = view_->picture().get();
  if (!selection || sheet == nullptr) return;
  const Rect snapped = sheet_slicing::snapToContent(sheet->view(), sheet->key(), *selection);
  if (snapped.isEmpty()) {
    statusBar()->showMessage(
        ui(QT_TRANSLATE_NOOP("SheetWindow", "囲んだ中には透明色しかありません")), kMessageMs);
    return;
  }
  view_->setSelection(snapped);
  showSelection();
}

void SheetWindow::showPointer(QPoint pixel, bool onSheet) {
  const SheetPicture* sheet = view_->picture().get();
  if (!onSheet || sheet == nullptr) {
    pointer_->clear();
    return;
  }
  const uint32_t raw = sheet->pixel(pixel.x(), pixel.y());
  // The raw value as the display holds it: six digits for 0x00RRGGBB, four for 5-6-5.
  const int digits = sheet->format().bitsPerPixel >= 24 ? 6 : sheet->format().bitsPerPixel / 4;
  QString text = ui(QT_TRANSLATE_NOOP("SheetWindow", "x %1, y %2  色 %3"))
                     .arg(pixel.x())
                     .arg(pixel.y())
                     .arg(QStringLiteral("%1").arg(raw, digits, 16, QLatin1Char('0')).toUpper());
  if (raw == sheet->key()) text += ui(QT_TRANSLATE_NOOP("SheetWindow", "（透明色）"));
  if (view_->hasCels()) {
    QStringList names;
    for (const int32_t cel : sheet_slicing::celsAt(view_->cels(), pixel.x(), pixel.y())) {
      names << QString::fromStdString(
          sheet_slicing::celNumberText(cel, view_->base()).value_or(std::to_string(cel)));
    }
    if (!names.isEmpty()) {
      text +=
          ui(QT_TRANSLATE_NOOP("SheetWindow", "  セル %1")).arg(names.join(QStringLiteral(", ")));
    }
  }
  pointer_->setText(text);
}

void SheetWindow::showSelection() {
  const std::optional<Rect>& selection = view_->selection();
  copyItem_->setEnabled(selection.has_value());
  snapItem_->setEnabled(selection.has_value());
  if (!selection) {
    selectionText_->clear();
    return;
  }
  selectionText_->setText(ui(QT_TRANSLATE_NOOP("SheetWindow", "囲み x %1, y %2, 幅 %3, 高さ %4"))
                              .arg(selection->left)
                              .arg(selection->top)
                              .arg(selection->width())
                              .arg(selection->height()));
}

}  // namespace patapata
