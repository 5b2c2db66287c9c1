#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

namespace patapata {

/// The labels, buttons, menus and menu items of a window whose captions are texts of the
/// system, each with its source, so that a change of language sets them all again.
class Captions {
 public:
  /// Remembers that `target` shows `source`, a text of the translation context `context`.
  void add(QObject* target, const char* context, const char* source);

  /// Sets every remembered caption that still exists in the present language; a label is
  /// fitted to its new text.
  void retranslate() const;

 private:
  struct Caption {
    QPointer<QObject> target;
    const char* context;
    const char* source;
  };
  std::vector<Caption> captions_;
};

}  // namespace patapata
