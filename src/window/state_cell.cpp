#include "window/state_cell.h"

#include "character/character.h"
#include "character/state_table.h"
#include "export/headless_player.h"
#include "player/frame_composer.h"
#include "surfaces/surface.h"
#include "window/translated_text.h"

#include <cstring>

namespace patapata {

QString StateCell::caption() const {
  const StateInfo* info = stateInfo(state_);
  const QString number = QString::number(state_);
  return info != nullptr ? number + QLatin1Char(' ') + translated::coreText(info->caption) : number;
}

bool StateCell::hasButton() const {
  return stateInfo(state_) != nullptr;
}

const QImage* StateCell::picture() const {
  return shown_ >= 0 ? &kept_[static_cast<std::size_t>(shown_)].picture : nullptr;
}

QRect StateCell::show(const Character& character, int32_t frame, Surface& scratch) {
  const QRect whole(0, 0, kViewWidth, kViewHeight);
  FrameRecipe recipe = recipeOf(character, state_, frame);
  if (shown_ >= 0 && kept_[static_cast<std::size_t>(shown_)].recipe == recipe) return {};
  // Pictures of a sheet no longer shown are let go with it.
  const bool letGo = !kept_.empty() && kept_.front().recipe.sheet != recipe.sheet;
  if (letGo) {
    kept_.clear();
    steps_.clear();
    nextReplaced_ = 0;
    shown_ = -1;
  }
  std::ptrdiff_t found = -1;
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    if (kept_[i].recipe == recipe) found = static_cast<std::ptrdiff_t>(i);
  }
  if (found < 0) {
    composeFrame(character, state_, frame, scratch);
    QImage picture = exporting::surfaceImage(scratch);
    // Nothing shown then: the view goes black rather than keep another sheet's picture.
    if (picture.isNull()) return letGo ? whole : QRect();
    if (kept_.size() < kKeptFrames) {
      kept_.push_back({std::move(recipe), std::move(picture)});
      found = static_cast<std::ptrdiff_t>(kept_.size() - 1);
    } else {
      found = static_cast<std::ptrdiff_t>(nextReplaced_);
      kept_[nextReplaced_] = {std::move(recipe), std::move(picture)};
      // The comparisons with the picture replaced are made again.
      std::erase_if(
          steps_, [&](const Step& s) { return s.from == nextReplaced_ || s.to == nextReplaced_; });
      nextReplaced_ = (nextReplaced_ + 1) % kKeptFrames;
      // The picture shown was the one replaced: nothing on screen is left to compare with.
      if (shown_ == found) shown_ = -1;
    }
  }
  const QRect changed =
      shown_ >= 0 ? changeBetween(static_cast<std::size_t>(shown_), static_cast<std::size_t>(found))
                  : whole;
  shown_ = found;
  return changed;
}

QRect StateCell::changeBetween(std::size_t from, std::size_t to) {
  for (const Step& step : steps_) {
    if (step.from == from && step.to == to) return step.changed;
  }
  // A sequence has few steps; one that wanders through many pictures starts the list again.
  if (steps_.size() >= 2 * kKeptFrames) steps_.clear();
  steps_.push_back({from, to, difference(kept_[from].picture, kept_[to].picture)});
  return steps_.back().changed;
}

QRect StateCell::difference(const QImage& from, const QImage& to) {
  if (from.size() != to.size() || from.format() != to.format() || to.depth() != 32) {
    return to.rect();
  }
  const auto rowBytes = static_cast<std::size_t>(to.bytesPerLine());
  const auto same = [&](int y) {
    return std::memcmp(from.constScanLine(y), to.constScanLine(y), rowBytes) == 0;
  };
  int top = 0;
  while (top < to.height() && same(top)) ++top;
  if (top == to.height()) return {};
  int bottom = to.height() - 1;
  while (bottom > top && same(bottom)) --bottom;
  // The columns that differ in any of those rows; 32-bit pixels, as surfaceImage makes them.
  int left = to.width();
  int right = -1;
  for (int y = top; y <= bottom; ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(from.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(to.constScanLine(y));
    for (int x = 0; x < left; ++x) {
      if (a[x] != b[x]) {
        left = x;
        break;
      }
    }
    for (int x = to.width() - 1; x > right; --x) {
      if (a[x] != b[x]) {
        right = x;
        break;
      }
    }
  }
  return {QPoint(left, top), QPoint(right, bottom)};
}

}  // namespace patapata
