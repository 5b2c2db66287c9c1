#pragma once

#include "export/state_export.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>

class QProgressDialog;

namespace patapata {

class MainWindow;

/// The window's export (ファイル → 書き出し...): what to write and where, asked of the author;
/// the character as the window shows it, written by the same export as --export on a thread
/// of its own while the window goes on playing. A file that exists is replaced only when the
/// author agrees, and never the character file or its sheet. A progress dialog appears when the
/// export takes longer than a moment; errors are told in the window's words.
class WindowExport : public QObject {
  Q_OBJECT

 public:
  explicit WindowExport(MainWindow& window);
  /// Stops a running export and waits for it.
  ~WindowExport() override;
  WindowExport(const WindowExport&) = delete;
  WindowExport& operator=(const WindowExport&) = delete;

  /// The menu item: the export dialog, then the file or folder, then the export.
  void start();
  /// Exports `job`, whose destination is set, of the character on screen now.
  void run(exporting::ExportJob job);
  bool isRunning() const { return running_; }

  /// Asks for the file or folder `job` writes to, `suggested` first; none when cancelled. By
  /// default the file dialog.
  using PathChooser = std::function<std::optional<std::string>(const exporting::ExportJob& job,
                                                               const QString& suggested)>;
  void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }
  /// Asks whether the files `text` names may be replaced. By default a question box.
  using Question = std::function<bool(const QString& text)>;
  void setQuestion(Question question) { question_ = std::move(question); }
  /// Tells that the export is done. By default a box that waits for nobody.
  using Notice = std::function<void(const QString& text)>;
  void setNotice(Notice notice) { notice_ = std::move(notice); }

  /// Called when an export has ended, whatever its outcome, after it was reported.
  std::function<void()> onFinished;

 private:
  void finish(const std::exception_ptr& error, const QStringList& written);
  QString errorText(const std::exception_ptr& error) const;
  QString suggestedPath(const exporting::ExportJob& job) const;

  MainWindow& window_;
  PathChooser chooser_;
  Question question_;
  Notice notice_;
  std::atomic<bool> cancelled_ = false;
  bool running_ = false;
  QPointer<QProgressDialog> progress_;
  std::jthread worker_;
};

}  // namespace patapata
