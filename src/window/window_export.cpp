#include "window/window_export.h"

#include "character/character.h"
#include "character/state_table.h"
#include "common/errors.h"
#include "common/new_file.h"
#include "export/export_error.h"
#include "export/headless_session.h"
#include "player/frame_loop.h"
#include "surfaces/sheet_picture.h"
#include "window/export_dialog.h"
#include "window/main_window.h"
#include "window/qt_path.h"
#include "window/translated_text.h"
#include "window/window_text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

#include <filesystem>
#include <system_error>

namespace patapata {

namespace {

QString shown(const std::string& path) {
  return QDir::toNativeSeparators(qtPath(path));
}

PixelFormat formatOf(const Character& character) {
  const SheetPicture* sheet = character.sheet.picture.get();
  return sheet != nullptr && sheet->width() > 0 ? sheet->format() : PixelFormat::xrgb8888();
}

}  // namespace

WindowExport::WindowExport(MainWindow& window) : window_(window) {
  chooser_ = [this](const exporting::ExportJob& job,
                    const QString& suggested) -> std::optional<std::string> {
    QString chosen;
    if (job.output == exporting::Output::Directory) {
      chosen = QFileDialog::getExistingDirectory(
          &window_, ui(QT_TRANSLATE_NOOP("MainWindow", "書き出すフォルダ")), suggested);
    } else {
      const char* filter = job.output == exporting::Output::Gif
                               ? QT_TRANSLATE_NOOP("MainWindow", "GIF 画像 (*.gif)")
                           : job.output == exporting::Output::Webp
                               ? QT_TRANSLATE_NOOP("MainWindow", "WebP 画像 (*.webp)")
                               : QT_TRANSLATE_NOOP("MainWindow", "PNG 画像 (*.png)");
      // The question whether to replace a file is asked once, by the export itself.
      chosen = QFileDialog::getSaveFileName(
          &window_, ui(QT_TRANSLATE_NOOP("MainWindow", "書き出し")), suggested, ui(filter), nullptr,
          QFileDialog::DontConfirmOverwrite);
    }
    if (chosen.isEmpty()) return std::nullopt;
    return corePath(chosen);
  };
  question_ = [this](const QString& text) {
    return QMessageBox::question(&window_, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  notice_ = [this](const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, QApplication::applicationDisplayName(),
                                text, QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  };
}

WindowExport::~WindowExport() {
  cancelled_ = true;
  if (worker_.joinable()) worker_.join();
}

QString WindowExport::suggestedPath(const exporting::ExportJob& job) const {
  const std::string& file = window_.viewer().files.characterPath;
  QString folder = file.empty() ? QDir::homePath() : QFileInfo(qtPath(file)).absolutePath();
  if (job.output == exporting::Output::Directory) return folder;
  const QString name = file.empty() ? QStringLiteral("patapata")
                                    : QString::fromStdString(exporting::characterName(file));
  if (job.output == exporting::Output::Sheet)
    return folder + QStringLiteral("/%1-states.png").arg(name);
  const int32_t state = job.state.value_or(window_.viewer().player.state);
  const StateInfo* info = stateInfo(state);
  QString meaning =
      info != nullptr ? QString::fromUtf8(info->english).remove(QLatin1Char(' ')) : QString();
  const char* extension = job.output == exporting::Output::Gif    ? "gif"
                          : job.output == exporting::Output::Webp ? "webp"
                                                                  : "png";
  return folder + QStringLiteral("/%1-%2-%3.%4")
                      .arg(name)
                      .arg(state)
                      .arg(meaning)
                      .arg(QLatin1String(extension));
}

void WindowExport::start() {
  if (running_) return;
  const Viewer& v = window_.viewer();
  if (!v.characterLoaded) {
    window_.report(ui(QT_TRANSLATE_NOOP("MainWindow", "書き出すキャラクタがまだありません.")));
    return;
  }
  const int32_t state = v.player.state;
  const bool exportable = stateInfo(state) != nullptr && v.character.hasEntries(state);
  ExportDialog dialog(exportable ? std::optional<int32_t>(state) : std::nullopt, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  exporting::ExportJob job = dialog.job();
  const std::optional<std::string> out = chooser_(job, suggestedPath(job));
  if (!out) return;
  job.out = *out;
  run(std::move(job));
}

void WindowExport::run(exporting::ExportJob job) {
  if (running_) return;
  const Viewer& v = window_.viewer();
  if (!v.characterLoaded) return;
  if (job.output == exporting::Output::Directory && job.name.empty()) {
    job.name = v.files.characterPath.empty() ? "patapata"
                                             : exporting::characterName(v.files.characterPath);
  }
  if (!job.state && job.output != exporting::Output::Sheet &&
      job.output != exporting::Output::Directory) {
    job.state = v.player.state;
  }
  if (job.state && !v.character.hasEntries(*job.state)) {
    window_.report(
        ui(QT_TRANSLATE_NOOP("MainWindow", "状態 %1 にはコマがないので、書き出すものがありません."))
            .arg(*job.state));
    return;
  }
  if (!job.state && exporting::statesWithEntries(v.character).empty()) {
    window_.report(
        ui(QT_TRANSLATE_NOOP("MainWindow", "コマのある状態がないので、書き出すものがありません.")));
    return;
  }
  const std::vector<std::string> destinations = exporting::exportDestinations(v.character, job);
  if (const std::vector<std::string> open =
          exporting::sourcesAmong(destinations, v.files.characterPath, v.character);
      !open.empty()) {
    QStringList names;
    for (const std::string& path : open) names << shown(path);
    window_.report(
        ui(QT_TRANSLATE_NOOP("MainWindow",
                             "%1 は開いているキャラクタファイルかシートなので、書き出しません."))
            .arg(names.join(QStringLiteral(", "))));
    return;
  }
  QStringList existing;
  for (const std::string& path : destinations) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) existing << shown(path);
  }
  Replace replace = Replace::Never;
  if (!existing.isEmpty()) {
    const QString text =
        ui(QT_TRANSLATE_NOOP("MainWindow", "次のファイルはもうあります。置き換えますか？\n%1"))
            .arg(existing.join(QLatin1Char('\n')));
    if (!question_(text)) return;
    replace = Replace::Allowed;
  }

  running_ = true;
  cancelled_ = false;
  auto* progress = new QProgressDialog(ui(QT_TRANSLATE_NOOP("MainWindow", "書き出しています...")),
                                       ui(QT_TRANSLATE_NOOP("MainWindow", "中止")), 0, 1, &window_);
  progress->setObjectName(QStringLiteral("exportProgress"));
  progress->setWindowModality(Qt::WindowModal);
  progress->setMinimumDuration(400);
  progress->setAutoClose(false);
  progress->setAutoReset(false);
  connect(progress, &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
  progress_ = progress;

  // The character as it is now, a value: the window goes on playing and reloading meanwhile.
  worker_ = std::jthread([this, character = v.character, job = std::move(job), replace]() mutable {
    std::exception_ptr error;
    QStringList written;
    try {
      exporting::HeadlessSession session(formatOf(character));
      session.adopt(std::move(character));
      exporting::runExport(
          session, job, replace,
          [this](int64_t done, int64_t total) {
            if (cancelled_) throw exporting::ExportCancelled();
            QMetaObject::invokeMethod(
                this,
                [this, done, total] {
                  if (!progress_) return;
                  progress_->setMaximum(static_cast<int>(total));
                  progress_->setValue(static_cast<int>(done));
                },
                Qt::QueuedConnection);
          },
          [&written](const std::string& path) { written << shown(path); });
    } catch (...) {
      error = std::current_exception();
    }
    QMetaObject::invokeMethod(
        this, [this, error, written] { finish(error, written); }, Qt::QueuedConnection);
  });
}

void WindowExport::finish(const std::exception_ptr& error, const QStringList& written) {
  if (worker_.joinable()) worker_.join();
  running_ = false;
  if (progress_) progress_->deleteLater();
  if (error) {
    const QString text = errorText(error);
    if (!text.isEmpty()) window_.report(text);
  } else if (!written.isEmpty()) {
    notice_(written.size() == 1
                ? ui(QT_TRANSLATE_NOOP("MainWindow", "%1 に書き出しました.")).arg(written.front())
                : ui(QT_TRANSLATE_NOOP("MainWindow", "%1 個のファイルを %2 に書き出しました."))
                      .arg(written.size())
                      .arg(QFileInfo(written.front()).absolutePath()));
  }
  if (onFinished) onFinished();
}

QString WindowExport::errorText(const std::exception_ptr& error) const {
  try {
    std::rethrow_exception(error);
  } catch (const exporting::ExportCancelled&) {
    return {};
  } catch (const exporting::PictureTooLargeError& e) {
    return ui(QT_TRANSLATE_NOOP("MainWindow",
                                "書き出す画像が %1 × %2 ピクセルになり、大きすぎます。拡大を小さく"
                                "してください."))
        .arg(e.width())
        .arg(e.height());
  } catch (const FileExistsError& e) {
    return ui(QT_TRANSLATE_NOOP("MainWindow",
                                "ファイル %1 がその間にできたので、置き換えませんでした."))
        .arg(shown(e.path()));
  } catch (const FileWriteError& e) {
    QString text =
        ui(QT_TRANSLATE_NOOP("MainWindow", "ファイル %1 に書き込めません")).arg(shown(e.path()));
    if (e.systemError() != 0) {
      text += QStringLiteral("（%1）").arg(
          QString::fromStdString(std::generic_category().message(e.systemError())));
    }
    return text + QLatin1Char('.');
  } catch (const Error& e) {
    return translated::message(e.message()) + QLatin1Char('.');
  } catch (const std::exception& e) {
    return ui(QT_TRANSLATE_NOOP("MainWindow", "書き出せませんでした（%1）."))
        .arg(QString::fromStdString(e.what()));
  }
}

}  // namespace patapata
