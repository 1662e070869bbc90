// The Qt message window: a frameless, stay-on-top yellow dialog with its caption over a line of
// text or a bar. While it shows modally, Qt drops input to the program's other windows. Neither
// Escape nor a close request ends it; only the program closes it.
#pragma once

#include <memory>

#include "platform/ui/messagewindow.h"

namespace platform::qt {

std::unique_ptr<MessageWindow> MakeQtMessageWindow();

}  // namespace platform::qt
