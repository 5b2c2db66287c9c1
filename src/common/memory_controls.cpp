#include "common/memory_controls.h"

namespace patapata {

MemoryControls::MemoryControls() {
  texts_ = {
      {ControlId::Label1, "名前"},
      {ControlId::Label2, "状態"},
      {ControlId::Label3, "Anime"},
      {ControlId::Label4, "レイヤ"},
      {ControlId::Label5, "転送先"},
      {ControlId::Label6, "0/0"},
      {ControlId::Label7, "0/0"},
      {ControlId::Label8, "0/0"},
      {ControlId::Edit1, "100"},
      {ControlId::Edit2, ""},
      {ControlId::Edit3, ""},
      {ControlId::Edit4, ""},
      {ControlId::Button1, "通常１"},
      {ControlId::Button2, "通常２"},
      {ControlId::Button3, "勝ち"},
      {ControlId::Button4, "負け"},
      {ControlId::Button5, "立ち"},
      {ControlId::Button6, "喜び１"},
      {ControlId::Button7, "喜び２"},
      {ControlId::Button8, "喜び３"},
      {ControlId::Button9, "ﾀﾞﾒｰｼﾞ１"},
      {ControlId::Button10, "ﾀﾞﾒｰｼﾞ２"},
      {ControlId::Button11, "ﾀﾞﾒｰｼﾞ３"},
      {ControlId::Button12, "ミス"},
      {ControlId::Button14, "おじゃま"},
      {ControlId::buttonck, "ﾊﾟﾀｰﾝﾁｪｯｸ"},
      {ControlId::reload, "再読込み"},
      {ControlId::clipper, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ"},
      {ControlId::CGreload, "CG再読込み"},
      {ControlId::CheckBox1, "ループ"},
      {ControlId::CheckBox2, "ﾙｰﾌﾟ"},
      {ControlId::autocgload, "自動ＣＧ再読込み"},
  };
  for (ControlId id :
       {ControlId::Button1, ControlId::Button2, ControlId::Button3, ControlId::Button4,
        ControlId::Button5, ControlId::Button6, ControlId::Button7, ControlId::Button8,
        ControlId::Button9, ControlId::Button10, ControlId::Button11, ControlId::Button12,
        ControlId::Button14, ControlId::buttonck, ControlId::reload, ControlId::CGreload}) {
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
