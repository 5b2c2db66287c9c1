#pragma once

namespace patapata {

/// The window side of a view control: where it sits, and how to show what was presented.
class ViewHost {
 public:
  virtual ~ViewHost() = default;
  /// True when the control sits inside a top-level window.
  virtual bool hasParentWindow() const = 0;
  /// The primary surface changed: repaint the control's area from it.
  virtual void presented() = 0;
};

}  // namespace patapata
