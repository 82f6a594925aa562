#pragma once
// The one application object of the platform test program. A QApplication
// serves fonts and images as well as widgets; every platform test that needs
// one asks here, so whichever test runs first creates the right kind. The
// offscreen platform keeps the tests free of a display.

#include <QApplication>

namespace kalvex::test {

inline void EnsureApplication() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kalvex_platform_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own statics (the input devices QTest registers)
  // may already be gone when a static application would be torn down.
  new QApplication(argc, argv);
}

}  // namespace kalvex::test
