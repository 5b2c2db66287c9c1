#include "window/export_dialog.h"

#include "character/state_table.h"
#include "export/palette_reduction.h"
#include "window/translated_text.h"
#include "window/window_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace patapata {

namespace {

constexpr exporting::Dither kDithers[] = {exporting::Dither::None, exporting::Dither::Ordered,
                                          exporting::Dither::FloydSteinberg};

}  // namespace

ExportDialog::ExportDialog(std::optional<int32_t> playing, QWidget* parent)
    : QDialog(parent), playing_(playing) {
  setObjectName(QStringLiteral("exportDialog"));
  setWindowTitle(ui(QT_TRANSLATE_NOOP("MainWindow", "書き出し")));
  auto* form = new QFormLayout;

  oneState_ = new QRadioButton(this);
  oneState_->setObjectName(QStringLiteral("exportOneState"));
  if (playing_) {
    const StateInfo* info = stateInfo(*playing_);
    oneState_->setText(ui(QT_TRANSLATE_NOOP("MainWindow", "再生中の状態（%1 %2）"))
                           .arg(*playing_)
                           .arg(info != nullptr ? translated::coreText(info->caption) : QString()));
  } else {
    oneState_->setText(ui(QT_TRANSLATE_NOOP("MainWindow", "再生中の状態（書き出せません）")));
    oneState_->setEnabled(false);
  }
  everyState_ =
      new QRadioButton(ui(QT_TRANSLATE_NOOP("MainWindow", "コマのあるすべての状態")), this);
  everyState_->setObjectName(QStringLiteral("exportEveryState"));
  (playing_ ? oneState_ : everyState_)->setChecked(true);
  auto* what = new QVBoxLayout;
  what->addWidget(oneState_);
  what->addWidget(everyState_);
  form->addRow(ui(QT_TRANSLATE_NOOP("MainWindow", "対象")), what);

  format_ = new QComboBox(this);
  format_->setObjectName(QStringLiteral("exportFormat"));
  format_->addItem(QStringLiteral("GIF"));
  format_->addItem(QStringLiteral("WebP"));
  format_->addItem(QStringLiteral("PNG"));
  form->addRow(ui(QT_TRANSLATE_NOOP("MainWindow", "形式")), format_);

  scale_ = new QSpinBox(this);
  scale_->setObjectName(QStringLiteral("exportScale"));
  scale_->setRange(1, 8);
  scale_->setSuffix(ui(QT_TRANSLATE_NOOP("MainWindow", " 倍")));
  form->addRow(ui(QT_TRANSLATE_NOOP("MainWindow", "拡大")), scale_);

  dither_ = new QComboBox(this);
  dither_->setObjectName(QStringLiteral("exportDither"));
  dither_->addItem(ui(QT_TRANSLATE_NOOP("MainWindow", "なし（ドット絵向き）")));
  dither_->addItem(ui(QT_TRANSLATE_NOOP("MainWindow", "規則的（8 × 8 のパターン）")));
  dither_->addItem(ui(QT_TRANSLATE_NOOP("MainWindow", "誤差拡散（Floyd–Steinberg）")));
  form->addRow(ui(QT_TRANSLATE_NOOP("MainWindow", "GIF のディザ")), dither_);

  description_ = new QLabel(this);
  description_->setObjectName(QStringLiteral("exportDescription"));
  description_->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)
      ->setText(ui(QT_TRANSLATE_NOOP("MainWindow", "書き出す...")));
  buttons->button(QDialogButtonBox::Cancel)
      ->setText(ui(QT_TRANSLATE_NOOP("MainWindow", "キャンセル")));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(description_);
  layout->addWidget(buttons);

  for (QRadioButton* choice : {oneState_, everyState_}) {
    connect(choice, &QRadioButton::toggled, this, [this] { describe(); });
  }
  connect(format_, &QComboBox::currentIndexChanged, this, [this] { describe(); });
  describe();
}

void ExportDialog::describe() {
  const auto format = static_cast<Format>(format_->currentIndex());
  const bool every = everyState_->isChecked();
  dither_->setEnabled(format == Format::Gif);
  const char* text = nullptr;
  switch (format) {
    case Format::Gif:
      text =
          every ? QT_TRANSLATE_NOOP("MainWindow",
                                    "選んだフォルダに、状態ごとにループする GIF を書き出します。")
                : QT_TRANSLATE_NOOP("MainWindow",
                                    "1 回分のコマを、ループする GIF（256 色まで）に書き出します。");
      break;
    case Format::Webp:
      text = every ? QT_TRANSLATE_NOOP(
                         "MainWindow",
                         "選んだフォルダに、状態ごとにループする可逆 WebP を書き出します。")
                   : QT_TRANSLATE_NOOP(
                         "MainWindow",
                         "1 回分のコマを、色がそのまま残るループする WebP に書き出します。");
      break;
    case Format::Png:
      text = every
                 ? QT_TRANSLATE_NOOP(
                       "MainWindow",
                       "状態ごとに 1 行、番号と名前とコマを並べた 1 枚の PNG に書き出します。")
                 : QT_TRANSLATE_NOOP("MainWindow", "1 回分のコマを横に並べた PNG に書き出します。");
      break;
  }
  description_->setText(ui(text));
}

void ExportDialog::choose(bool everyState, Format format, int32_t scale, exporting::Dither dither) {
  (everyState || !playing_ ? everyState_ : oneState_)->setChecked(true);
  format_->setCurrentIndex(static_cast<int>(format));
  scale_->setValue(scale);
  for (int i = 0; i < static_cast<int>(std::size(kDithers)); ++i) {
    if (kDithers[i] == dither) dither_->setCurrentIndex(i);
  }
}

exporting::ExportJob ExportDialog::job() const {
  const auto format = static_cast<Format>(format_->currentIndex());
  exporting::ExportJob job;
  job.scale = scale_->value();
  if (format == Format::Gif) job.dither = kDithers[dither_->currentIndex()];
  if (oneState_->isChecked() && playing_) {
    job.state = playing_;
    job.output = format == Format::Gif    ? exporting::Output::Gif
                 : format == Format::Webp ? exporting::Output::Webp
                                          : exporting::Output::PngStrip;
  } else if (format == Format::Png) {
    job.output = exporting::Output::Sheet;
  } else {
    job.output = exporting::Output::Directory;
    job.format = format == Format::Webp ? exporting::Animation::Webp : exporting::Animation::Gif;
  }
  return job;
}

}  // namespace patapata
