#include "platform/dialog.h"

namespace platform {

namespace {

std::unique_ptr<DialogBackend>& Installed() {
  static std::unique_ptr<DialogBackend> backend;
  return backend;
}

}  // namespace

void InstallDialogBackend(std::unique_ptr<DialogBackend> backend) {
  Installed() = std::move(backend);
}

DialogBackend& Dialogs() {
  auto& backend = Installed();
  if (!backend) backend = MakeCommandLineDialogs();
  return *backend;
}

}  // namespace platform
