// The Qt policy of the program's dialogs: application-modal Qt dialogs built from each request.
#pragma once

#include <memory>

#include "platform/dialog.h"

namespace platform::qt {

std::unique_ptr<DialogBackend> MakeQtDialogs();
// Installs the Qt dialogs; a QApplication must exist.
void UseQtDialogs();

}  // namespace platform::qt
