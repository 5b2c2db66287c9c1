#pragma once

#include "support/temp_dir.h"
#include "surfaces/software_surface.h"
#include "window/idle_loop.h"
#include "window/main_window.h"
#include "window/preferences.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QList>
#include <QMimeData>
#include <QString>
#include <QTest>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

namespace patapata::testing {

/// The main window as the program creates and shows it, for the GUI tests' fixtures: its
/// settings are kept in a folder of their own, so a restart within a test finds them again, and
/// what the error box would show is collected in `errors`.
class WindowUnderTest {
 public:
  /// Creates and shows the window as started with `arguments`.
  void open(std::vector<std::string> arguments = {}) {
    idleLoop = std::make_unique<IdleLoop>();
    form = std::make_unique<MainWindow>(
        *idleLoop, std::make_shared<platform::SurfaceService>(), std::move(arguments),
        std::make_unique<Preferences>(QString::fromStdString(settings.file("settings.ini"))));
    form->setErrorReporter([this](const QString& text) { errors.push_back(text.toStdString()); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  /// Closes the window before the loop it runs on.
  void close() {
    form.reset();
    idleLoop.reset();
  }

  /// Drops `paths` on the window as a file manager does, and lets the window take them.
  void drop(const std::vector<std::string>& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& p : paths)
      urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
    mime.setUrls(urls);
    const QPoint where(150, 150);
    QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    dragAccepted = enter.isAccepted();
    QDropEvent dropped(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &dropped);
    QTest::qWait(0);
  }

  TempDir settings;
  std::unique_ptr<IdleLoop> idleLoop;
  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors;
  bool dragAccepted = false;  ///< whether the last drop's drag was accepted
};

}  // namespace patapata::testing
