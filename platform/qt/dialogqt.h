// The Qt policy of the program's dialogs: application-modal Qt dialogs built from each request.
#pragma once

#include <memory>

#include "platform/ui/dialog.h"

namespace platform::qt {

// A QApplication must exist.
std::unique_ptr<DialogBackend> MakeQtDialogs();

}  // namespace platform::qt
