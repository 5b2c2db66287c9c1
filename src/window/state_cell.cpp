#include "window/state_cell.h"

#include "character/character.h"
#include "character/state_table.h"
#include "player/frame_composer.h"
#include "surfaces/view_control.h"
#include "window/translated_text.h"
#include "window/view_widget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace patapata {

StateCell::StateCell(std::shared_ptr<platform::SurfaceService> service, int32_t state, int zoom,
                     QWidget* parent)
    : QWidget(parent), state_(state) {
  setObjectName(QStringLiteral("stateCell%1").arg(state));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  caption_ = new QLabel(this);
  caption_->setTextFormat(Qt::PlainText);
  layout->addWidget(caption_);
  view_ = new ViewWidget(std::move(service), this);
  view_->setObjectName(QStringLiteral("stateView%1").arg(state));
  view_->setZoom(zoom);
  layout->addWidget(view_);
  layout->addStretch();
  label();
}

StateCell::~StateCell() = default;

void StateCell::label() {
  const StateInfo* info = stateInfo(state_);
  const QString number = QString::number(state_);
  caption_->setText(
      info != nullptr ? number + QLatin1Char(' ') + translated::coreText(info->caption) : number);
  setToolTip(
      info != nullptr
          ? QCoreApplication::translate(
                "MainWindow",
                QT_TRANSLATE_NOOP("MainWindow", "クリックするとメインウィンドウで再生します"))
          : QCoreApplication::translate(
                "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "ボタンのない状態です（表示のみ）")));
}

void StateCell::show(const Character& character, int32_t frame) {
  ViewControl& control = view_->viewControl();
  if (!control.readyToDraw()) return;
  FrameRecipe recipe = recipeOf(character, state_, frame);
  if (drawn_ && recipe == shown_) return;
  composeFrame(character, state_, frame, *control.backSurface());
  control.present();
  shown_ = std::move(recipe);
  drawn_ = true;
}

void StateCell::setZoom(int zoom) {
  view_->setZoom(zoom);
  drawn_ = false;
}

void StateCell::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) label();
  QWidget::changeEvent(event);
}

void StateCell::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onClicked) {
    onClicked(state_);
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

}  // namespace patapata
