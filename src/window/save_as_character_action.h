#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QWidget;

namespace patapata {

struct Viewer;

/// ファイル → "キャラクターファイルとして保存…": writes the character file that the open Aseprite
/// JSON makes. Asks where, beside the JSON by default, and before it replaces a file whether it
/// may; never writes over the JSON or its sheet (the core refuses).
class SaveAsCharacterAction : public QObject {
  Q_OBJECT

 public:
  /// Runs a handler as the window runs those it enters from the event loop, reporting errors.
  using HandlerEntry = std::function<void(const std::function<void()>& handler)>;

  /// Acts on `item`, a menu item of `window`, which owns this object.
  SaveAsCharacterAction(QAction* item, const Viewer& viewer, QWidget* window, HandlerEntry enter);

  /// The menu item's caption, for the window to translate with its others.
  static const char* const kCaption;

  /// Enables the menu item while the open file is an Aseprite JSON.
  void refresh();

  /// Asks for the file to write, given the name suggested; none when cancelled. By default the
  /// save dialog; tests put their own.
  using DestinationChooser = std::function<std::optional<std::string>(const std::string&)>;
  void setDestinationChooser(DestinationChooser chooser);
  /// Asks whether the existing file at the path given may be replaced. By default a question box.
  using ReplaceQuestion = std::function<bool(const std::string&)>;
  void setReplaceQuestion(ReplaceQuestion question);

 private:
  void save();

  QAction* item_;
  const Viewer& viewer_;
  QWidget* window_;
  HandlerEntry enter_;
  DestinationChooser chooser_;
  ReplaceQuestion mayReplace_;
};

}  // namespace patapata
