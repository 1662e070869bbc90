#pragma once
// The main menu as one table: the tree of menus, items and the language sub-menu in the order
// they show, with shortcuts, start states and the command of each item. The bar is built from
// it; captions come from the language texts afterwards.

#include <functional>
#include <vector>

#include "platform/ui/menus.h"

class Thh;

struct MainMenuEntry {
  const char* name;
  const char* parent;   // empty for a menu of the bar; a menu's name, or an item's for its sub-menu
  const char* caption;  // the layout's caption, kept where the language texts have none
  const char* shortcut;
  bool visible;
  bool enabled;
  // Empty for separators, for the sub-menu's item and for the slots of commands not yet built,
  // which show disabled.
  std::function<void(Thh&)> command;
};

const std::vector<MainMenuEntry>& MainMenuTree();

// The bar of the table; each item runs its command on the form with AbortFlag cleared first.
void BuildMainMenu(platform::MenuBar& bar, Thh& form);
