#pragma once
// The language switch and the captions it puts on the main form's menu items.

#include <cstdint>
#include <string>
#include <vector>

#include "app/lang/menutexts.h"
#include "platform/ui/menus.h"

// A menu item's (or menu's) caption in the current language, with its shortcut key.
struct MenuCaption {
  std::string item;
  MenuText caption;
  std::string shortcut;
};

// The captions of the main form's translated items, composed from the menu texts and menu terms
// of the current language; Ctrl+P on mi_fileprint.
std::vector<MenuCaption> MenuCaptions();
// Puts MenuCaptions() on the items and menus of the bar that carry their names; others stay.
void SetMenuCaptions(platform::MenuBar& bar);

// What the language switch needs of the main form.
class LanguageForm {
 public:
  virtual ~LanguageForm() = default;
  // Puts the current captions on the form's menus (SetMenuCaptions).
  virtual void ApplyMenuCaptions() = 0;
  // Window caption and recent-file items.
  virtual void UpdateCaption() = 0;
};

// Language := code, then the menu texts, menu terms, calculation texts and vocabulary switch to
// it (each table keeps its texts for a code it has none for), then the form's captions. Codes
// are compared as full 32-bit values.
void SetLanguage(LanguageForm& form, std::int32_t code);
