#include "platform/ui/dialog.h"

#include "platform/system/services.h"

namespace platform {

namespace {

std::string& Title() {
  static std::string title;
  return title;
}

std::optional<int>& RequestedExit() {
  static std::optional<int> code;
  return code;
}

}  // namespace

void RecordExitRequest(int code) {
  RequestedExit() = code;
}

std::optional<int> ExitRequest() {
  return RequestedExit();
}

void ClearExitRequest() {
  RequestedExit().reset();
}

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
