#include "export/state_sheet.h"

#include "character/state_table.h"
#include "export/export_error.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstring>

namespace patapata::exporting {

namespace {

constexpr QRgb kBackground = 0xFFFFFFFFu;
constexpr int32_t kTextPixels = 12;  ///< caption height at scale 1
constexpr int32_t kPadding = 4;      ///< around the label at scale 1

// The offscreen platform draws text without a display; Qt's complaint that it has no runtime
// directory, which drawing into a picture never uses, is left out of the mode's output.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:"))) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

std::unique_ptr<QGuiApplication> startOffscreenApplication() {
  if (QGuiApplication::instance() != nullptr) return nullptr;
  // QGuiApplication keeps these for its lifetime.
  static int argc = 3;
  static char program[] = "patapata";
  static char platformOption[] = "-platform";
  static char platform[] = "offscreen";
  static char* argv[] = {program, platformOption, platform, nullptr};
  previousHandler = qInstallMessageHandler(quietHandler);
  return std::make_unique<QGuiApplication>(argc, argv);
}

QFont labelFont(int32_t scale) {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("Noto Sans CJK JP")});
  font.setPixelSize(kTextPixels * scale);
  return font;
}

}  // namespace

void checkPictureSize(int64_t width, int64_t height) {
  if (width > 0 && height > 0 && width <= kMaxPicturePixels / height) return;
  throw PictureTooLargeError("the picture would be " + std::to_string(width) + " x " +
                                 std::to_string(height) + " pixels, more than the " +
                                 std::to_string(kMaxPicturePixels / 1000000) +
                                 " million patapata writes; use a smaller --scale",
                             width, height);
}

void placeFrame(QImage& target, int32_t x, int32_t y, const QImage& frame, int32_t scale) {
  const QImage rgb =
      frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
  const auto rowBytes =
      static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(scale) * sizeof(QRgb);
  for (int32_t sy = 0; sy < rgb.height(); ++sy) {
    const auto* source = reinterpret_cast<const QRgb*>(rgb.constScanLine(sy));
    auto* first = reinterpret_cast<QRgb*>(target.scanLine(y + sy * scale)) + x;
    for (int32_t sx = 0; sx < rgb.width(); ++sx) {
      std::fill_n(first + static_cast<std::ptrdiff_t>(sx) * scale, scale, source[sx]);
    }
    for (int32_t repeat = 1; repeat < scale; ++repeat) {
      std::memcpy(reinterpret_cast<QRgb*>(target.scanLine(y + sy * scale + repeat)) + x, first,
                  rowBytes);
    }
  }
}

QImage frameStrip(const std::vector<QImage>& frames, int32_t scale) {
  if (frames.empty()) throw ExportError("no frames to write");
  const int64_t w = int64_t{frames.front().width()} * scale;
  const int64_t h = int64_t{frames.front().height()} * scale;
  checkPictureSize(w * static_cast<int64_t>(frames.size()), h);
  QImage strip(static_cast<int>(w) * static_cast<int>(frames.size()), static_cast<int>(h),
               QImage::Format_RGB32);
  if (strip.isNull()) throw ExportError("out of memory for the strip");
  for (std::size_t k = 0; k < frames.size(); ++k) {
    placeFrame(strip, static_cast<int32_t>(k * w), 0, frames[k], scale);
  }
  return strip;
}

StateSheet::StateSheet(std::vector<Row> rows, int32_t frameWidth, int32_t frameHeight,
                       int32_t scale)
    : application_(startOffscreenApplication()),
      rows_(std::move(rows)),
      frameWidth_(frameWidth * scale),
      frameHeight_(frameHeight * scale),
      scale_(scale) {
  if (rows_.empty()) throw ExportError("no state to draw");
  const QFont font = labelFont(scale);
  const QFontMetrics metrics(font);
  std::vector<std::pair<QString, QString>> labels;
  int32_t textWidth = 0;
  int32_t mostFrames = 0;
  for (const Row& row : rows_) {
    const StateInfo* info = stateInfo(row.state);
    QString caption = info != nullptr ? QString::fromUtf8(info->caption) : QString();
    QString number = QString::number(row.state);
    textWidth = std::max({textWidth, static_cast<int32_t>(metrics.horizontalAdvance(number)),
                          static_cast<int32_t>(metrics.horizontalAdvance(caption))});
    labels.emplace_back(std::move(number), std::move(caption));
    mostFrames = std::max(mostFrames, row.frames);
  }
  labelWidth_ = textWidth + 2 * kPadding * scale;
  const int64_t width = labelWidth_ + int64_t{mostFrames} * frameWidth_;
  const int64_t height = static_cast<int64_t>(rows_.size()) * frameHeight_;
  checkPictureSize(width, height);
  image_ = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  if (image_.isNull()) throw ExportError("out of memory for the sheet");
  image_.fill(kBackground);

  QPainter painter(&image_);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const int32_t padding = kPadding * scale;
  for (std::size_t r = 0; r < labels.size(); ++r) {
    const int32_t top = static_cast<int32_t>(r) * frameHeight_ + padding;
    painter.drawText(padding, top + metrics.ascent(), labels[r].first);
    painter.drawText(padding, top + metrics.lineSpacing() + metrics.ascent(), labels[r].second);
  }
}

StateSheet::~StateSheet() {
  if (application_) {
    application_.reset();
    qInstallMessageHandler(previousHandler);
  }
}

void StateSheet::placeFrame(std::size_t row, int32_t index, const QImage& frame) {
  if (row >= rows_.size() || index < 0 || index >= rows_[row].frames ||
      frame.width() * scale_ != frameWidth_ || frame.height() * scale_ != frameHeight_) {
    throw ExportError("a frame does not fit the sheet");
  }
  exporting::placeFrame(image_, labelWidth_ + index * frameWidth_,
                        static_cast<int32_t>(row) * frameHeight_, frame, scale_);
}

}  // namespace patapata::exporting
