#include "window/save_as_character_action.h"

#include "common/new_file.h"
#include "player/character_source.h"
#include "player/viewer.h"
#include "window/qt_path.h"
#include "window/window_text.h"

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>

#include <filesystem>

namespace patapata {

const char* const SaveAsCharacterAction::kCaption =
    QT_TRANSLATE_NOOP("MainWindow", "キャラクターファイルとして保存…");

SaveAsCharacterAction::SaveAsCharacterAction(QAction* item, const Viewer& viewer, QWidget* window,
                                             HandlerEntry enter)
    : QObject(window), item_(item), viewer_(viewer), window_(window), enter_(std::move(enter)) {
  item_->setObjectName(QStringLiteral("saveAsCharacterItem"));
  connect(item_, &QAction::triggered, this, [this] { save(); });
  chooser_ = [this](const std::string& suggested) -> std::optional<std::string> {
    QFileDialog dialog(window_,
                       ui(QT_TRANSLATE_NOOP("MainWindow", "キャラクターファイルとして保存")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The window asks itself, after the write found the file there: one question, asked late.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(
        ui(QT_TRANSLATE_NOOP("MainWindow", "キャラクタファイル (*.chp);;すべてのファイル (*)")));
    dialog.setDefaultSuffix(QStringLiteral("chp"));
    dialog.selectFile(qtPath(suggested));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return corePath(dialog.selectedFiles().first());
  };
  mayReplace_ = [this](const std::string& path) {
    const QString text =
        ui(QT_TRANSLATE_NOOP("MainWindow", "%1 はすでにあります。置き換えますか？"))
            .arg(qtPath(path));
    return QMessageBox::question(window_, QString::fromUtf8("ぱたぱた！"), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  refresh();
}

void SaveAsCharacterAction::refresh() {
  item_->setEnabled(isAsepriteJson(viewer_.files.characterPath));
}

void SaveAsCharacterAction::setDestinationChooser(DestinationChooser chooser) {
  chooser_ = std::move(chooser);
}

void SaveAsCharacterAction::setReplaceQuestion(ReplaceQuestion question) {
  mayReplace_ = std::move(question);
}

void SaveAsCharacterAction::save() {
  const std::string json = viewer_.files.characterPath;
  if (!isAsepriteJson(json)) return;
  std::filesystem::path suggested(json);
  suggested.replace_extension(".chp");
  const std::optional<std::string> destination = chooser_(suggested.string());
  if (!destination) return;
  enter_([&] {
    try {
      saveAsCharacterFile(json, *destination, Replace::Never);
    } catch (const FileExistsError&) {
      if (!mayReplace_(*destination)) return;
      saveAsCharacterFile(json, *destination, Replace::Allowed);
    }
  });
}

}  // namespace patapata
