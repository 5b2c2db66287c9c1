#include "window/slicing_dialog.h"

#include "character/new_character.h"
#include "common/new_file.h"
#include "common/same_file.h"
#include "surfaces/sheet_picture.h"
#include "window/qt_path.h"
#include "window/sheet_view.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace patapata {

namespace {

using sheet_slicing::CelBase;

QString ui(const char* source) {
  return QCoreApplication::translate("SlicingDialog", source);
}

/// Larger than any sheet the readers take.
constexpr int kLargest = 65536;

/// The character file name offered for a sheet: its own with .chp, or, when a file has that
/// name (the character open, say), the first of name-2.chp, name-3.chp, ... that none has.
std::string freeNameBeside(const std::string& sheet) {
  std::filesystem::path stem(sheet);
  stem.replace_extension();
  for (int n = 1; n < 100; ++n) {
    std::string name = stem.string() + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".chp";
    std::error_code error;
    if (!std::filesystem::exists(name, error) && !error) return name;
  }
  return stem.string() + ".chp";
}

}  // namespace

SlicingDialog::SlicingDialog(SheetView& view, QWidget* parent) : QDialog(parent), view_(view) {
  setObjectName(QStringLiteral("slicingDialog"));
  const auto caption = [this](QWidget* widget, const char* source) {
    captions_.add(widget, "SlicingDialog", source);
    return widget;
  };
  const auto form = [&](std::initializer_list<std::pair<const char*, QWidget*>> rows) {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    for (const auto& [source, field] : rows) layout->addRow(caption(new QLabel, source), field);
    return page;
  };

  cellWidth_ = addSpin("cellWidth", 1, kLargest, kViewWidth);
  cellHeight_ = addSpin("cellHeight", 1, kLargest, kViewHeight);
  offsetX_ = addSpin("offsetX", 0, kLargest, 0);
  offsetY_ = addSpin("offsetY", 0, kLargest, 0);
  spacingX_ = addSpin("spacingX", 0, kLargest, 0);
  spacingY_ = addSpin("spacingY", 0, kLargest, 0);
  columns_ = addSpin("columns", 1, 4096, 1);
  rows_ = addSpin("rows", 1, 4096, 1);
  gap_ = addSpin("gap", 0, 1024, 2);
  minSize_ = addSpin("minSize", 1, 4096, 4);
  first_ = addSpin("firstCel", 1, 255, 1);

  modes_ = new QTabWidget;
  modes_->setObjectName(QStringLiteral("slicingModes"));
  modes_->addTab(form({{QT_TRANSLATE_NOOP("SlicingDialog", "幅"), cellWidth_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "高さ"), cellHeight_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "左の余白"), offsetX_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "上の余白"), offsetY_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "横の間隔"), spacingX_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "縦の間隔"), spacingY_}}),
                 QString());
  modes_->addTab(form({{QT_TRANSLATE_NOOP("SlicingDialog", "列"), columns_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "行"), rows_}}),
                 QString());
  modes_->addTab(form({{QT_TRANSLATE_NOOP("SlicingDialog", "まとめる距離"), gap_},
                       {QT_TRANSLATE_NOOP("SlicingDialog", "最小の大きさ"), minSize_}}),
                 QString());
  connect(modes_, &QTabWidget::currentChanged, this, [this] { reslice(); });

  hex_ = new QCheckBox;
  hex_->setObjectName(QStringLiteral("hexBox"));
  caption(hex_, QT_TRANSLATE_NOOP("SlicingDialog", "16 進数で番号を付ける（#DATA 16）"));
  connect(hex_, &QCheckBox::toggled, this, [this](bool on) {
    // The first number is typed as the cel lines will write it.
    first_->setDisplayIntegerBase(on ? 16 : 10);
    reslice();
  });
  auto* numbering = new QFormLayout;
  numbering->addRow(caption(new QLabel, QT_TRANSLATE_NOOP("SlicingDialog", "最初の番号")), first_);
  numbering->addRow(hex_);

  result_ = new QLabel;
  result_->setObjectName(QStringLiteral("slicingResult"));
  result_->setWordWrap(true);

  copyButton_ = new QPushButton;
  copyButton_->setObjectName(QStringLiteral("copyCelLinesButton"));
  caption(copyButton_, QT_TRANSLATE_NOOP("SlicingDialog", "セル行をコピー"));
  connect(copyButton_, &QPushButton::clicked, this, [this] { copyCelLines(); });
  newButton_ = new QPushButton;
  newButton_->setObjectName(QStringLiteral("newCharacterButton"));
  caption(newButton_, QT_TRANSLATE_NOOP("SlicingDialog", "新しいキャラクタファイル…"));
  connect(newButton_, &QPushButton::clicked, this, [this] { writeNewCharacter(); });
  closeButton_ = new QPushButton;
  closeButton_->setObjectName(QStringLiteral("closeButton"));
  caption(closeButton_, QT_TRANSLATE_NOOP("SlicingDialog", "閉じる"));
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton(copyButton_, QDialogButtonBox::ActionRole);
  buttons->addButton(newButton_, QDialogButtonBox::ActionRole);
  buttons->addButton(closeButton_, QDialogButtonBox::RejectRole);
  for (QPushButton* button : {copyButton_, newButton_, closeButton_}) button->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(modes_);
  layout->addLayout(numbering);
  layout->addWidget(result_);
  layout->addWidget(buttons);

  chooser_ = [this](const std::string& suggested) -> std::optional<std::string> {
    const QString chosen = QFileDialog::getSaveFileName(
        this, ui(QT_TRANSLATE_NOOP("SlicingDialog", "新しいキャラクタファイル")), qtPath(suggested),
        ui(QT_TRANSLATE_NOOP("SlicingDialog", "キャラクタファイル (*.chp)")), nullptr,
        // The file is never replaced without the writer's own question.
        QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return std::nullopt;
    return corePath(chosen);
  };
  question_ = [this](const std::string& path) {
    return QMessageBox::question(
               this, windowTitle(),
               ui(QT_TRANSLATE_NOOP("SlicingDialog", "%1 はもうあります。置き換えますか?"))
                   .arg(qtPath(path))) == QMessageBox::Yes;
  };
  reporter_ = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
  retranslate();
}

QSpinBox* SlicingDialog::addSpin(const char* name, int low, int high, int value) {
  auto* spin = new QSpinBox;
  spin->setObjectName(QString::fromUtf8(name));
  spin->setRange(low, high);
  spin->setValue(value);
  connect(spin, &QSpinBox::valueChanged, this, [this] { reslice(); });
  return spin;
}

void SlicingDialog::setSubject(SlicingSubject subject) {
  subject_ = std::move(subject);
  {
    const QSignalBlocker blockFirst(first_);
    const QSignalBlocker blockHex(hex_);
    first_->setValue(subject_.firstCel);
    hex_->setChecked(subject_.base == CelBase::Hexadecimal);
    first_->setDisplayIntegerBase(subject_.base == CelBase::Hexadecimal ? 16 : 10);
    if (subject_.picture) {
      // A count that cuts the sheet into cells of the view's size, as a start.
      const QSignalBlocker blockColumns(columns_);
      const QSignalBlocker blockRows(rows_);
      columns_->setValue(std::max(1, subject_.picture->width() / kViewWidth));
      rows_->setValue(std::max(1, subject_.picture->height() / kViewHeight));
    }
  }
  reslice();
}

void SlicingDialog::retranslate() {
  setWindowTitle(ui(QT_TRANSLATE_NOOP("SlicingDialog", "分割")));
  modes_->setTabText(0, ui(QT_TRANSLATE_NOOP("SlicingDialog", "セルの大きさで")));
  modes_->setTabText(1, ui(QT_TRANSLATE_NOOP("SlicingDialog", "個数で")));
  modes_->setTabText(2, ui(QT_TRANSLATE_NOOP("SlicingDialog", "描かれた部分で")));
  captions_.retranslate();
  reslice();
}

void SlicingDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) retranslate();
  QDialog::changeEvent(event);
}

void SlicingDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  reslice();
}

void SlicingDialog::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  view_.clearPreview();
}

CelBase SlicingDialog::base() const {
  return hex_->isChecked() ? CelBase::Hexadecimal : CelBase::Decimal;
}

void SlicingDialog::reslice() {
  const SheetPicture* sheet = subject_.picture.get();
  slices_ = {};
  if (sheet != nullptr) {
    switch (modes_->currentIndex()) {
      case 0:
        slices_ = sheet_slicing::sliceBySize(
            sheet->width(), sheet->height(),
            {cellWidth_->value(), cellHeight_->value(), offsetX_->value(), offsetY_->value(),
             spacingX_->value(), spacingY_->value()});
        break;
      case 1:
        slices_ = sheet_slicing::sliceByCount(sheet->width(), sheet->height(), columns_->value(),
                                              rows_->value());
        break;
      default:
        slices_ = sheet_slicing::sliceByContent(
            sheet->view(), sheet->key(),
            {.gap = gap_->value(), .minWidth = minSize_->value(), .minHeight = minSize_->value()});
        break;
    }
  }
  numbers_ = sheet_slicing::numberCels(slices_.rects.size(), first_->value(), base());
  QString text;
  if (slices_.tooMany) {
    text = ui(QT_TRANSLATE_NOOP("SlicingDialog",
                                "分かれる部分が多すぎます。セルを大きくするか、距離と最小の大きさを"
                                "大きくしてください"));
  } else if (slices_.rects.empty()) {
    text = ui(QT_TRANSLATE_NOOP("SlicingDialog", "セルがありません"));
  } else if (numbers_.numbers.empty()) {
    text = ui(QT_TRANSLATE_NOOP("SlicingDialog", "%1 個のセル。最初の番号が %2 を超えています"))
               .arg(slices_.rects.size())
               .arg(sheet_slicing::lastCel(base()));
  } else {
    text = ui(QT_TRANSLATE_NOOP("SlicingDialog", "%1 個のセル、番号 %2–%3"))
               .arg(slices_.rects.size())
               .arg(QString::fromStdString(
                   *sheet_slicing::celNumberText(numbers_.numbers.front(), base())))
               .arg(QString::fromStdString(
                   *sheet_slicing::celNumberText(numbers_.numbers.back(), base())));
    if (numbers_.unnumbered > 0) {
      text += ui(QT_TRANSLATE_NOOP("SlicingDialog", "。%1 個は番号がありません（番号は %2 まで）"))
                  .arg(numbers_.unnumbered)
                  .arg(sheet_slicing::lastCel(base()));
    }
  }
  result_->setText(text);
  copyButton_->setEnabled(!numbers_.numbers.empty());
  newButton_->setEnabled(!numbers_.numbers.empty());
  if (isVisible()) {
    view_.setPreview(slices_.rects, numbers_.numbers, base());
  }
}

std::string SlicingDialog::celLines() const {
  std::string lines;
  for (std::size_t i = 0; i < numbers_.numbers.size(); ++i) {
    if (const auto line = sheet_slicing::celLine(numbers_.numbers[i], slices_.rects[i], base())) {
      lines += *line + "\n";
    }
  }
  return lines;
}

void SlicingDialog::copyCelLines() {
  QGuiApplication::clipboard()->setText(QString::fromStdString(celLines()));
  result_->setText(ui(QT_TRANSLATE_NOOP("SlicingDialog", "%1 行をクリップボードへ"))
                       .arg(numbers_.numbers.size()));
}

std::optional<std::string> SlicingDialog::sheetNameFor(const std::string& characterPath) const {
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::absolute(characterPath, error).parent_path();
  const std::filesystem::path sheet = std::filesystem::absolute(subject_.sheetPath, error);
  if (error) return std::nullopt;
  const std::string name = sheet.lexically_relative(folder).generic_string();
  if (!isWritableSheetName(name)) return std::nullopt;
  return name;
}

void SlicingDialog::writeNewCharacter() {
  if (numbers_.numbers.empty() || !subject_.picture) return;
  const std::optional<std::string> path = chooser_(freeNameBeside(subject_.sheetPath));
  if (!path) return;
  for (const std::string& open : subject_.openFiles) {
    if (!open.empty() && sameFile(*path, open)) {
      reporter_(ui(QT_TRANSLATE_NOOP("SlicingDialog",
                                     "%1 は開いているファイルなので、書き換えません。別の名前に"
                                     "してください"))
                    .arg(qtPath(*path)));
      return;
    }
  }
  const std::optional<std::string> sheetName = sheetNameFor(*path);
  if (!sheetName) {
    reporter_(ui(QT_TRANSLATE_NOOP("SlicingDialog",
                                   "シート %1 を #CHARBMP の行に書けません。名前から空白を除くか、"
                                   "キャラクタファイルをシートのそばに置いてください"))
                  .arg(qtPath(subject_.sheetPath)));
    return;
  }
  const std::string text = newCharacterText(NewCharacter{
      .name = characterNameOf(*path),
      .sheetName = *sheetName,
      .cels = slices_.rects,
      .firstCel = first_->value(),
      .base = base(),
  });
  try {
    try {
      writeNewFile(*path, text, Replace::Never);
    } catch (const FileExistsError&) {
      if (!question_(*path)) return;
      writeNewFile(*path, text, Replace::Allowed);
    }
  } catch (const FileWriteError& e) {
    reporter_(ui(QT_TRANSLATE_NOOP("SlicingDialog", "%1 に書き込めません（%2）"))
                  .arg(qtPath(*path), QString::fromLocal8Bit(std::strerror(e.systemError()))));
    return;
  }
  hide();
  if (onWritten) onWritten(*path);
}

}  // namespace patapata
