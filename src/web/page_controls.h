#pragma once

#include "common/memory_controls.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace patapata::web {

/// The Controls of the core on the page's inputs. The page reports what the user typed and
/// where the caret is; the core's texts and check marks wait here until the page shows them.
/// Edit texts reach the core as Shift-JIS bytes with carets counted in those bytes, as on the
/// desktop. Setting an edit's text to a different value runs the change handler once.
class PageControls : public MemoryControls {
 public:
  /// The user changed an edit: its whole text (UTF-8) and the caret, counted in UTF-16 code
  /// units as the page's inputs count it. A changed text runs the change handler.
  void typed(Edit edit, std::string_view utf8, int32_t caretUtf16);
  /// The user moved an edit's caret without changing its text.
  void caretMoved(Edit edit, int32_t caretUtf16);

  /// An edit's text as the page shows it, UTF-8.
  std::string shownText(Edit edit) const;
  /// The text the last copy put on the clipboard, UTF-8; it is the page that writes it there.
  std::string copiedText() const;
};

/// The number of UTF-8 bytes that make up the first `units` UTF-16 code units of `utf8` (a
/// character outside the basic plane counts two); all of them when the text is shorter.
std::size_t utf8PrefixBytes(std::string_view utf8, int32_t units);

}  // namespace patapata::web
