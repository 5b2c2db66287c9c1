#pragma once

#include <QFileDialog>

#include <optional>
#include <string>

namespace patapata {

/// Makes `dialog` the one that opens a character file: Qt's own dialog, so that it speaks the
/// window's language through Qt's translations, listing "*.chp" in any case of the extension.
void makeCharacterFileDialog(QFileDialog& dialog);

/// Asks for a character file with that dialog; nothing when the author cancels.
std::optional<std::string> chooseCharacterFile(QWidget* parent);

}  // namespace patapata
