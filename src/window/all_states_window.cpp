#include "window/all_states_window.h"

#include "character/character.h"
#include "surfaces/draw_context.h"
#include "surfaces/sheet_picture.h"
#include "surfaces/software_surface.h"
#include "surfaces/surface.h"
#include "window/states_canvas.h"
#include "window/window_text.h"

#include <QCloseEvent>
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
  canvas_ = new StatesCanvas(scroll_);
  canvas_->onStateClicked = [this](int32_t state) {
    if (onStateClicked) onStateClicked(state);
  };
  scroll_->setWidget(canvas_);
  retitle();
}

AllStatesWindow::~AllStatesWindow() = default;

void AllStatesWindow::retitle() {
  setWindowTitle(ui(QT_TRANSLATE_NOOP("MainWindow", "全状態")) + QStringLiteral(" — ") +
                 QGuiApplication::applicationDisplayName());
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
  const std::vector<StatePlay>& plays = playback_.plays();
  // As many columns as the screen takes, so that the window shows every view when it can.
  const QScreen* screen =
      this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  int available = screen != nullptr ? screen->availableGeometry().width() * 9 / 10 : 1200;
  const int cellWidth = StatesCanvas::viewPitch(zoom);
  // Only the room beside the main window when that holds four views, so that both show.
  if (const QWidget* main = parentWidget(); main != nullptr && screen != nullptr) {
    const int beside = screen->availableGeometry().right() - main->frameGeometry().right() - 24;
    if (beside >= 4 * cellWidth) available = beside;
  }
  const int columns =
      std::max(1, std::min<int>(static_cast<int>(plays.size()), available / cellWidth));
  canvas_->arrange(plays, zoom, columns);
  const QSize wanted =
      canvas_->size() + QSize(scroll_->frameWidth() * 2, scroll_->frameWidth() * 2);
  const QSize room = screen != nullptr ? screen->availableGeometry().size() * 9 / 10 : wanted;
  resize(wanted.boundedTo(room));
}

void AllStatesWindow::render(const Character& character, bool checkPlaying, int zoom) {
  const bool changed = playback_.follow(character, checkPlaying);
  if (changed || zoom != zoom_ || !service_ || service_->displayFormat() != formatOf(character)) {
    rebuild(character, zoom);
  }
  canvas_->showFrames(character, playback_.plays(), *scratch_);
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
