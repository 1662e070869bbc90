// Menu bar model of a window: menus of items, each with a click handler. Captions are in the
// menu bar's code page; "&" marks the access key, and an item captioned "-" is a separator.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class MenuBar;

class MenuItem {
 public:
  MenuItem(MenuBar& bar, std::string name, std::string caption);
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  // A caption in its own code page (see platform/taggedtext.h), not the bar's.
  void SetCaption(std::string caption, std::uint16_t codePage);
  // The caption's code page: its own when it has one, else the bar's.
  std::uint16_t CaptionCodePage() const;
  bool IsSeparator() const { return caption_ == "-"; }
  // Key combination as text, such as "Ctrl+N", "Shift+F1", "F3"; empty for none.
  const std::string& Shortcut() const { return shortcut_; }
  void SetShortcut(std::string shortcut);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  std::function<void()> onClick;
  // The user picks the item: runs onClick only for a visible, enabled item of a visible,
  // enabled menu.
  void Click();

  // The items shown beside this one when it is chosen: made on the first call. An item with a
  // sub-menu opens it instead of running onClick.
  class Menu& AddSubMenu();
  class Menu* SubMenu() const {
    return subMenu_.get();
  }

 private:
  friend class Menu;
  MenuBar& bar_;
  const class Menu* menu_ = nullptr;
  std::unique_ptr<class Menu> subMenu_;
  std::string name_;
  std::string caption_;
  std::uint16_t codePage_ = 0;
  std::string shortcut_;
  bool enabled_ = true;
  bool checked_ = false;
  bool visible_ = true;
};

class Menu {
 public:
  Menu(MenuBar& bar, std::string name, std::string caption);
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  void SetCaption(std::string caption, std::uint16_t codePage);
  std::uint16_t CaptionCodePage() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  MenuItem& AddItem(std::string name, std::string caption, std::function<void()> onClick = nullptr);
  MenuItem& AddSeparator(std::string name);
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }

 private:
  MenuBar& bar_;
  std::string name_;
  std::string caption_;
  std::uint16_t codePage_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

class MenuBar {
 public:
  MenuBar() = default;
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  Menu& AddMenu(std::string name, std::string caption);
  const std::vector<std::unique_ptr<Menu>>& Menus() const { return menus_; }
  bool Empty() const { return menus_.empty(); }
  Menu* FindMenu(std::string_view name) const;
  // An item of any menu, sub-menus included.
  MenuItem* FindItem(std::string_view name) const;

  // Code page of the captions: 1252 (the default), 949 (Korean) or 936 (Chinese).
  std::uint16_t CodePage() const { return codePage_; }
  void SetCodePage(std::uint16_t codePage);

  // For the backend that shows the bar: called after every change of a menu or an item.
  void SetViewUpdate(std::function<void()> update) { viewUpdate_ = std::move(update); }
  void Changed() const;

 private:
  std::vector<std::unique_ptr<Menu>> menus_;
  std::uint16_t codePage_ = 1252;
  std::function<void()> viewUpdate_;
};

}  // namespace platform
