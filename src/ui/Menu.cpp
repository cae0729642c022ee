#include "ui/Menu.h"

#include "ui/Application.h"
#include "ui/Form.h"

namespace quenk::ui {

MainMenu::MainMenu(Form& form) {
  form.SetMenu(this);
}

void MainMenu::Add(std::string caption, std::initializer_list<MenuItem*> items) {
  menus_.push_back({std::move(caption), items});
}

MenuItem* MainMenu::FindById(int id) const {
  for (const auto& menu : menus_)
    for (MenuItem* item : menu.items)
      if (item->Id() == id) return item;
  return nullptr;
}

PopupMenu::PopupMenu(Form& owner, std::initializer_list<MenuItem*> items)
    : owner_(owner), items_(items) {}

MenuItem* PopupMenu::FindById(int id) const {
  for (MenuItem* item : items_)
    if (item->Id() == id) return item;
  return nullptr;
}

void PopupMenu::Popup(int x, int y) {
  Backend* backend = owner_.App().GetBackend();
  if (!backend) return;
  if (MenuItem* chosen = FindById(backend->TrackPopup(owner_, *this, x, y))) chosen->Click();
}

}  // namespace quenk::ui
