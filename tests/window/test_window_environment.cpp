#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

// One application for the whole test program, as in the viewer.
class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    // Offscreen, the screens are those of screens.json: a large one the window starts on and
    // smaller ones that limit its zoom. Another platform asked for by name is left as it is.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    static char name[] = "test_main_window";
    static char option[] = "-platform";
    static char offscreen[] = "offscreen:configfile=" PATAPATA_SCREENS;
    static char* argv[] = {name, option, offscreen, nullptr};
    static int argc = platform.isEmpty() || platform == "offscreen" ? 3 : 1;
    app_ = std::make_unique<QApplication>(argc, argv);
    // Tests close windows one after another; the application outlives them all.
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
