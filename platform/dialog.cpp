#include "platform/dialog.h"

namespace platform {

namespace {

std::unique_ptr<DialogBackend>& Installed() {
  static std::unique_ptr<DialogBackend> backend;
  return backend;
}

std::string& Title() {
  static std::string title;
  return title;
}

}  // namespace

void SetApplicationTitle(std::string title) {
  Title() = std::move(title);
}

const std::string& ApplicationTitle() {
  return Title();
}

void InstallDialogBackend(std::unique_ptr<DialogBackend> backend) {
  Installed() = std::move(backend);
}

DialogBackend& Dialogs() {
  auto& backend = Installed();
  if (!backend) backend = MakeCommandLineDialogs();
  return *backend;
}

}  // namespace platform
