#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>

class QEvent;
class QPaintEvent;
class QResizeEvent;

namespace patapata {

/// The line under the window. It is always kRows rows of text high, whatever it says, so that
/// the window keeps its size when a message comes or goes. Each line of its text starts a row
/// of its own (an empty line keeps its row free), and may wrap onto rows that no later line
/// needs; what still does not fit is elided, and the tooltip then gives those lines whole,
/// after the details the window sets. text() is the whole text.
class StatusLine : public QLabel {
  Q_OBJECT

 public:
  static constexpr int kRows = 2;

  explicit StatusLine(QWidget* parent = nullptr);

  /// Shows `text` (lines separated by '\n'); `details` begin the tooltip. Nothing happens
  /// when both are as they were.
  void setContent(const QString& text, const QString& details);

  /// The rows as painted at the present width.
  const QStringList& rows() const { return rows_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  /// Breaks the text into rows at the present width and sets the tooltip.
  void layOut();
  int rowsHeight() const;

  QString details_;
  QStringList rows_;
};

}  // namespace patapata
