#include "window/status_line.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTextLayout>
#include <QTextOption>
#include <QToolTip>

#include <algorithm>

namespace patapata {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setFixedHeight(rowsHeight());
}

void StatusLine::setContent(const QString& text, const QString& details) {
  if (text == this->text() && details == details_) return;
  setText(text);
  details_ = details;
  layOut();
  update();
}

int StatusLine::rowsHeight() const {
  const QMargins margins = contentsMargins();
  return kRows * fontMetrics().lineSpacing() + margins.top() + margins.bottom();
}

QSize StatusLine::sizeHint() const {
  // The window's width is the client area's; the line takes what it is given.
  return {0, rowsHeight()};
}

QSize StatusLine::minimumSizeHint() const {
  return sizeHint();
}

void StatusLine::layOut() {
  rows_.clear();
  const QStringList lines = text().isEmpty() ? QStringList() : text().split(QLatin1Char('\n'));
  const int width = std::max(0, contentsRect().width());
  const QFontMetrics metrics = fontMetrics();
  QStringList cut;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    // Every later line keeps a row of its own.
    const qsizetype free = kRows - rows_.size() - (lines.size() - 1 - i);
    if (free <= 0) {
      cut << line;
      continue;
    }
    if (line.isEmpty()) {  // a row kept free
      rows_ << QString();
      continue;
    }
    QTextLayout layout(line, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int next = 0;
    for (qsizetype row = 1; row < free; ++row) {
      QTextLine wrapped = layout.createLine();
      if (!wrapped.isValid()) break;
      wrapped.setLineWidth(width);
      rows_ << line.mid(wrapped.textStart(), wrapped.textLength()).trimmed();
      next = wrapped.textStart() + wrapped.textLength();
    }
    layout.endLayout();
    const QString rest = line.mid(next);
    if (rest.isEmpty()) continue;
    const QString shown = metrics.elidedText(rest, Qt::ElideRight, width);
    if (shown != rest) cut << line;
    rows_ << shown;
  }
  QStringList tip;
  if (!details_.isEmpty()) tip << details_;
  tip << cut;
  const QString joined = tip.join(QLatin1Char('\n'));
  if (joined != toolTip()) {
    setToolTip(joined);
    // A tooltip on show keeps its text; the readout in it changes with every frame.
    if (QToolTip::isVisible() && underMouse()) QToolTip::showText(QCursor::pos(), joined, this);
  }
}

void StatusLine::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    setFixedHeight(rowsHeight());
    layOut();
  }
}

void StatusLine::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  layOut();
}

void StatusLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  const QRect area = contentsRect();
  const QFontMetrics metrics = fontMetrics();
  int baseline = area.top() + metrics.ascent();
  for (const QString& row : rows_) {
    painter.drawText(area.left(), baseline, row);
    baseline += metrics.lineSpacing();
  }
}

}  // namespace patapata
