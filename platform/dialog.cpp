#include "platform/dialog.h"

#include "platform/services.h"

namespace platform {

namespace {

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

DialogBackend& Dialogs() {
  auto& backend = Slot<DialogBackend>();
  if (!backend) backend = MakeCommandLineDialogs();
  return *backend;
}

}  // namespace platform
