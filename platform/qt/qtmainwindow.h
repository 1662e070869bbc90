// The main window on Qt: a QMainWindow with the model's menu bar over a drawing widget.
#pragma once

#include <QMainWindow>
#include <memory>

#include "platform/ui/mainwindow.h"

namespace platform::qt {

std::unique_ptr<WindowPeer> MakeWindowPeer(MainWindow& window);
// The Qt window of a main window created while the Qt backend was in use.
QMainWindow& QtWindowOf(MainWindow& window);

}  // namespace platform::qt
