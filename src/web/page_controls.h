#pragma once

#include "common/controls.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace patapata::web {

/// The Controls of the core on the page's inputs. The page reports what the user typed and
/// where the caret is; the core's texts and check marks wait here until the page shows them.
/// Edit texts reach the core as Shift-JIS bytes with carets counted in those bytes, as on the
/// desktop. Setting an edit's text to a different value runs the change handler once.
class PageControls : public Controls {
 public:
  PageControls();

  void setText(Edit edit, std::string_view text) override;
  std::string text(Edit edit) const override;
  int32_t caretPosition(Edit edit) const override;
  void setChecked(Switch item, bool checked) override;
  bool isChecked(Switch item) const override;
  void selectAllAndCopy(Edit edit) override;

  /// The user changed an edit: its whole text (UTF-8) and the caret, counted in UTF-16 code
  /// units as the page's inputs count it. A changed text runs the change handler.
  void typed(Edit edit, std::string_view utf8, int32_t caretUtf16);
  /// The user moved an edit's caret without changing its text.
  void caretMoved(Edit edit, int32_t caretUtf16);

  /// An edit's text as the page shows it, UTF-8.
  std::string shownText(Edit edit) const;
  /// Counts the core's changes of texts and check marks, so that the page refreshes its inputs
  /// only when one happened.
  uint32_t revision() const { return revision_; }
  /// The text the last copy put on the clipboard, UTF-8; it is the page that writes it there.
  const std::string& copiedText() const { return copied_; }
  /// Counts the copies asked for.
  uint32_t copies() const { return copies_; }

 private:
  static std::size_t index(Edit edit) { return static_cast<std::size_t>(edit); }

  std::array<std::string, 4> texts_;  ///< Shift-JIS bytes, as the core measures them
  std::array<int32_t, 4> carets_{};   ///< bytes before the caret
  std::array<bool, 4> checked_{};
  std::string copied_;
  uint32_t copies_ = 0;
  uint32_t revision_ = 0;
};

/// The number of UTF-8 bytes that make up the first `units` UTF-16 code units of `utf8` (a
/// character outside the basic plane counts two); all of them when the text is shorter.
std::size_t utf8PrefixBytes(std::string_view utf8, int32_t units);

}  // namespace patapata::web
