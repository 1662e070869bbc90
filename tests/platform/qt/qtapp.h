// The one QApplication of the Qt tests: created on first use, kept until the process ends.
#pragma once

#include <QApplication>

inline void StartQtApplication() {
  static int argc = 1;
  static char name[] = "test_platform_qt";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}
