// Shows a menu bar model in a QMenuBar and keeps it in step with the model.
#pragma once

#include <QMenuBar>

#include "platform/menus.h"

namespace platform::qt {

// Fills bar from the model's present state.
void FillMenuBar(QMenuBar& bar, const MenuBar& model);

// Fills bar from model now and again after each change of the model (deferred to the event
// loop, so a click handler may change its own menu). The model must outlive bar.
void BindMenuBar(QMenuBar& bar, MenuBar& model);

}  // namespace platform::qt
