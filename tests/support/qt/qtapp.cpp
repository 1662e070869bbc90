#include "tests/support/qt/qtapp.h"

#include <QApplication>

#include "platform/qt/qtbackend.h"

namespace {

int argc = 1;
char name[] = "kv6_qt_test";
char* argv[] = {name, nullptr};

}  // namespace

void StartQtApplication() {
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

void StartQtBackend() {
  // Installing again would replace the kit whose backend owns the application.
  static bool installed = false;
  if (!installed) platform::qt::Install(argc, argv);
  installed = true;
}
