#include "window/all_states_window.h"

#include "character/character.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"
#include "window/state_cell.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace patapata {

namespace {

// The format frames are composed in: the sheet's, since cels are copied without conversion.
PixelFormat formatOf(const Character& character) {
  const SheetPicture* sheet = character.sheet.picture.get();
  return sheet != nullptr && sheet->width() > 0 ? sheet->format() : PixelFormat::xrgb8888();
}

}  // namespace

AllStatesWindow::AllStatesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("allStatesWindow"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  scroll_ = new QScrollArea(this);
  scroll_->setWidgetResizable(false);
  layout->addWidget(scroll_);
  retitle();
}

AllStatesWindow::~AllStatesWindow() = default;

void AllStatesWindow::retitle() {
  setWindowTitle(
      QCoreApplication::translate("MainWindow", QT_TRANSLATE_NOOP("MainWindow", "全状態")) +
      QStringLiteral(" - ") + QGuiApplication::applicationDisplayName());
}

StateCell* AllStatesWindow::cell(int32_t state) const {
  for (StateCell* c : cells_) {
    if (c->state() == state) return c;
  }
  return nullptr;
}

void AllStatesWindow::rebuild(const Character& character, int zoom) {
  zoom_ = zoom;
  if (!service_ || service_->displayFormat() != formatOf(character)) {
    scratch_.reset();
    context_.reset();
    service_ = std::make_shared<platform::SurfaceService>(formatOf(character));
    context_ = std::make_unique<DrawContext>(service_);
    scratch_ = std::make_unique<Surface>(context_.get());
    scratch_->resize(kViewWidth, kViewHeight);
  }
  delete scroll_->takeWidget();
  cells_.clear();
  // Made inside this window, so that its views start when the window is first shown.
  grid_ = new QWidget(this);
  grid_->setObjectName(QStringLiteral("allStatesGrid"));
  auto* layout = new QGridLayout(grid_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  const std::vector<StatePlay>& plays = playback_.plays();
  // As many columns as the screen takes, so that the window shows every view when it can.
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  int available = screen != nullptr ? screen->availableGeometry().width() * 9 / 10 : 1200;
  const int cellWidth = kViewWidth * zoom + 12;
  // Only the room beside the main window when that holds four views, so that both show.
  if (const QWidget* main = parentWidget(); main != nullptr && screen != nullptr) {
    const int beside = screen->availableGeometry().right() - main->frameGeometry().right() - 24;
    if (beside >= 4 * cellWidth) available = beside;
  }
  const int columns =
      std::max(1, std::min<int>(static_cast<int>(plays.size()), available / cellWidth));
  for (std::size_t i = 0; i < plays.size(); ++i) {
    auto* c = new StateCell(plays[i].state, zoom, grid_);
    c->onClicked = [this](int32_t state) {
      if (onStateClicked) onStateClicked(state);
    };
    layout->addWidget(c, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    cells_.push_back(c);
  }
  scroll_->setWidget(grid_);
  grid_->adjustSize();
  const QSize wanted =
      grid_->sizeHint() + QSize(scroll_->frameWidth() * 2, scroll_->frameWidth() * 2);
  const QSize room = screen != nullptr ? screen->availableGeometry().size() * 9 / 10 : wanted;
  resize(wanted.boundedTo(room));
}

void AllStatesWindow::render(const Character& character, bool checkPlaying, int zoom) {
  const bool changed = playback_.follow(character, checkPlaying);
  if (changed || zoom != zoom_ || !service_ || service_->displayFormat() != formatOf(character)) {
    rebuild(character, zoom);
  }
  const std::vector<StatePlay>& plays = playback_.plays();
  for (std::size_t i = 0; i < plays.size() && i < cells_.size(); ++i) {
    cells_[i]->show(character, plays[i].frame, *scratch_);
  }
}

void AllStatesWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted() && onClosed) onClosed();
}

void AllStatesWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retitle();
  QWidget::changeEvent(event);
}

}  // namespace patapata
