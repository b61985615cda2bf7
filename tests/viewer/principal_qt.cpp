// Entry point of the viewer's Qt tests: one QApplication for the whole run,
// on the offscreen platform unless the caller chose one (the Xvfb test runs
// on xcb), so the tests need no display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Offscreen would reach for GLX on a display it finds; without one it
    // has no OpenGL at all, the same on every machine.
    qunsetenv("DISPLAY");
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication aplicacion(argc, argv);
  return RUN_ALL_TESTS();
}
