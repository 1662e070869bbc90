// Shows a menu bar model in a QMenuBar and keeps it in step with the model.
#pragma once

#include <QMenuBar>

#include "platform/ui/menus.h"

namespace platform::qt {

// Brings bar to the model's present state: the menus and actions made for the model's menus and
// items are changed in place, never replaced, and the missing ones are added.
void FillMenuBar(QMenuBar& bar, const MenuBar& model);

// Fills bar from model now and again after each change of the model (deferred to the event
// loop, so a click handler may change its own menu). The model must outlive bar.
void BindMenuBar(QMenuBar& bar, MenuBar& model);

}  // namespace platform::qt
