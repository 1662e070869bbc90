#include "platform/ui/menus.h"

#include "platform/ui/handlerguard.h"

namespace platform {

MenuItem::MenuItem(MenuBar& bar, std::string name, std::string caption)
    : bar_(bar), name_(std::move(name)), caption_(std::move(caption)) {}

void MenuItem::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  codePage_ = 0;
  bar_.Changed();
}

void MenuItem::SetCaption(std::string caption, std::uint16_t codePage) {
  caption_ = std::move(caption);
  codePage_ = codePage;
  bar_.Changed();
}

std::uint16_t MenuItem::CaptionCodePage() const {
  return codePage_ != 0 ? codePage_ : bar_.CodePage();
}

void MenuItem::SetShortcut(std::string shortcut) {
  shortcut_ = std::move(shortcut);
  bar_.Changed();
}

void MenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  bar_.Changed();
}

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  bar_.Changed();
}

void MenuItem::SetVisible(bool visible) {
  visible_ = visible;
  bar_.Changed();
}

void MenuItem::Click() {
  if (!enabled_ || !visible_ || IsSeparator()) return;
  if (menu_ != nullptr && (!menu_->Enabled() || !menu_->Visible())) return;
  RunGuarded(onClick);
}

Menu& MenuItem::AddSubMenu() {
  if (!subMenu_) {
    subMenu_ = std::make_unique<Menu>(bar_, name_, caption_);
    bar_.Changed();
  }
  return *subMenu_;
}

Menu::Menu(MenuBar& bar, std::string name, std::string caption)
    : bar_(bar), name_(std::move(name)), caption_(std::move(caption)) {}

void Menu::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  codePage_ = 0;
  bar_.Changed();
}

void Menu::SetCaption(std::string caption, std::uint16_t codePage) {
  caption_ = std::move(caption);
  codePage_ = codePage;
  bar_.Changed();
}

std::uint16_t Menu::CaptionCodePage() const {
  return codePage_ != 0 ? codePage_ : bar_.CodePage();
}

void Menu::SetEnabled(bool enabled) {
  enabled_ = enabled;
  bar_.Changed();
}

void Menu::SetVisible(bool visible) {
  visible_ = visible;
  bar_.Changed();
}

MenuItem& Menu::AddItem(std::string name, std::string caption, std::function<void()> onClick) {
  auto item = std::make_unique<MenuItem>(bar_, std::move(name), std::move(caption));
  item->menu_ = this;
  item->onClick = std::move(onClick);
  items_.push_back(std::move(item));
  bar_.Changed();
  return *items_.back();
}

MenuItem& Menu::AddSeparator(std::string name) {
  return AddItem(std::move(name), "-");
}

Menu& MenuBar::AddMenu(std::string name, std::string caption) {
  menus_.push_back(std::make_unique<Menu>(*this, std::move(name), std::move(caption)));
  Changed();
  return *menus_.back();
}

Menu* MenuBar::FindMenu(std::string_view name) const {
  for (const auto& menu : menus_) {
    if (menu->Name() == name) return menu.get();
  }
  return nullptr;
}

namespace {

MenuItem* FindIn(const Menu& menu, std::string_view name) {
  for (const auto& item : menu.Items()) {
    if (item->Name() == name) return item.get();
    if (item->SubMenu() != nullptr) {
      if (MenuItem* found = FindIn(*item->SubMenu(), name)) return found;
    }
  }
  return nullptr;
}

}  // namespace

MenuItem* MenuBar::FindItem(std::string_view name) const {
  for (const auto& menu : menus_) {
    if (MenuItem* found = FindIn(*menu, name)) return found;
  }
  return nullptr;
}

void MenuBar::SetCodePage(std::uint16_t codePage) {
  codePage_ = codePage;
  Changed();
}

void MenuBar::Changed() const {
  if (viewUpdate_) viewUpdate_();
}

}  // namespace platform
