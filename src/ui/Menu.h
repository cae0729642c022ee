#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace quenk::ui {

class Form;

struct Shortcut {
  char key = 0;  // an upper-case letter; 0 for none
  bool ctrl = false;
  bool Empty() const { return key == 0; }
  std::string Text() const {
    return Empty() ? std::string() : std::string(ctrl ? "Ctrl+" : "") + key;
  }
};

class MenuItem {
 public:
  MenuItem(std::string name, std::string caption, int id, Shortcut shortcut = {})
      : name_(std::move(name)), caption_(std::move(caption)), id_(id), shortcut_(shortcut) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  int Id() const { return id_; }
  const Shortcut& Keys() const { return shortcut_; }
  void Click() {
    if (onClick) onClick();
  }

  std::function<void()> onClick;

 private:
  std::string name_;
  std::string caption_;
  int id_;
  Shortcut shortcut_;
};

// A form's menu bar. Its shortcuts work from every window of the program.
class MainMenu {
 public:
  struct Menu {
    std::string caption;
    std::vector<MenuItem*> items;
  };

  explicit MainMenu(Form& form);
  void Add(std::string caption, std::initializer_list<MenuItem*> items);
  const std::vector<Menu>& Menus() const { return menus_; }
  MenuItem* FindById(int id) const;

 private:
  std::vector<Menu> menus_;
};

class PopupMenu {
 public:
  PopupMenu(Form& owner, std::initializer_list<MenuItem*> items);
  const std::vector<MenuItem*>& Items() const { return items_; }
  MenuItem* FindById(int id) const;
  // Opens at a screen position and runs the chosen entry's click.
  void Popup(int x, int y);

 private:
  Form& owner_;
  std::vector<MenuItem*> items_;
};

}  // namespace quenk::ui
