#include "common/memory_controls.h"

namespace patapata {

MemoryControls::MemoryControls() {
  texts_ = {
      {ControlId::nameLabel, "名前"},
      {ControlId::stateCaptionLabel, "状態"},
      {ControlId::intervalLabel, "Anime"},
      {ControlId::layerLabel, "レイヤ"},
      {ControlId::destinationLabel, "転送先"},
      {ControlId::patternCounter, "0/0"},
      {ControlId::layerCounter, "0/0"},
      {ControlId::destinationCounter, "0/0"},
      {ControlId::intervalEdit, "100"},
      {ControlId::patternEdit, ""},
      {ControlId::layerEdit, ""},
      {ControlId::destinationEdit, ""},
      {ControlId::stateButton1, "通常１"},
      {ControlId::stateButton2, "通常２"},
      {ControlId::stateButton15, "勝ち"},
      {ControlId::stateButton16, "負け"},
      {ControlId::stateButton5, "立ち"},
      {ControlId::stateButton6, "喜び１"},
      {ControlId::stateButton7, "喜び２"},
      {ControlId::stateButton8, "喜び３"},
      {ControlId::stateButton10, "ﾀﾞﾒｰｼﾞ１"},
      {ControlId::stateButton11, "ﾀﾞﾒｰｼﾞ２"},
      {ControlId::stateButton12, "ﾀﾞﾒｰｼﾞ３"},
      {ControlId::stateButton4, "ミス"},
      {ControlId::stateButton3, "おじゃま"},
      {ControlId::patternCheckButton, "ﾊﾟﾀｰﾝﾁｪｯｸ"},
      {ControlId::reloadButton, "再読込み"},
      {ControlId::copyPatternButton, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"},
      {ControlId::sheetReloadButton, "CG再読込み"},
      {ControlId::patternLoopBox, "ループ"},
      {ControlId::oneShotLoopBox, "ﾙｰﾌﾟ"},
      {ControlId::autoSheetReload, "自動ＣＧ再読込み"},
  };
  for (ControlId id : {ControlId::stateButton1, ControlId::stateButton2, ControlId::stateButton15,
                       ControlId::stateButton16, ControlId::stateButton5, ControlId::stateButton6,
                       ControlId::stateButton7, ControlId::stateButton8, ControlId::stateButton10,
                       ControlId::stateButton11, ControlId::stateButton12, ControlId::stateButton4,
                       ControlId::stateButton3, ControlId::patternCheckButton,
                       ControlId::reloadButton, ControlId::sheetReloadButton}) {
    enabled_[id] = false;
  }
}

std::string MemoryControls::caption(ControlId id) const {
  const auto it = texts_.find(id);
  return it == texts_.end() ? std::string{} : it->second;
}

void MemoryControls::setCaption(ControlId id, std::string_view caption) {
  texts_[id] = std::string(caption);
}

void MemoryControls::setText(ControlId id, std::string_view text) {
  if (texts_[id] == text) return;
  texts_[id] = std::string(text);
  changes.push_back(id);
  if (onTextChanged) onTextChanged(id);
}

std::string MemoryControls::text(ControlId id) const {
  return caption(id);
}

void MemoryControls::setEnabled(ControlId id, bool enabled) {
  enabled_[id] = enabled;
}

bool MemoryControls::isEnabled(ControlId id) const {
  const auto it = enabled_.find(id);
  return it == enabled_.end() ? true : it->second;
}

void MemoryControls::setChecked(ControlId id, bool checked) {
  checked_[id] = checked;
}

bool MemoryControls::isChecked(ControlId id) const {
  const auto it = checked_.find(id);
  return it != checked_.end() && it->second;
}

int32_t MemoryControls::caretPosition(ControlId id) const {
  const auto it = carets_.find(id);
  return it == carets_.end() ? 0 : it->second;
}

void MemoryControls::selectAllAndCopy(ControlId id) {
  carets_[id] = 0;
  clipboard = text(id);
}

void MemoryControls::type(ControlId id, std::string_view text) {
  setText(id, text);
  carets_[id] = static_cast<int32_t>(text.size());
}

}  // namespace patapata
