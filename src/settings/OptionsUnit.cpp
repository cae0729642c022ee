#include "settings/OptionsUnit.h"

namespace quenk {

TOptionsForm::TOptionsForm(ui::Application& app, const SettingsFile& settings, OptionsHost& host,
                           const profiles::Catalog& catalog)
    : ui::Form(app, {"TOptionsForm", "Options", 382, 286, false, false}),
      FrameOptions_Cleaning1(*this, settings, host),
      FrameOptions_Logfiles1(*this, settings, host),
      FrameOptions_SystemTray1(*this, settings, host),
      FrameOptions_Backup1(*this, settings, host),
      FrameOptions_MoreProfiles1(*this, settings, host, catalog) {
  for (const char* page : {"Cleaning", "Logfiles", "Systemtray", "Backup"}) ListBoxItems.Add(page);
  if (!catalog.More().empty()) ListBoxItems.Add("More profiles");
  ListBoxItems.onClick = [this] { ListBoxItemsClick(); };
  ButtonOK.onClick = [this] { ButtonOKClick(); };
  Button2.onClick = [this] { Button2Click(); };
  Button3.onClick = [this] { Button3Click(); };
}

void TOptionsForm::FormCreate() {
  ListBoxItems.SetItemIndex(0);
  ListBoxItemsClick();
}

OptionsPage* TOptionsForm::SelectedPage() {
  const int index = ListBoxItems.ItemIndex();
  if (index < 0) return nullptr;
  const std::string& page = ListBoxItems.Item(static_cast<std::size_t>(index));
  if (page == "Cleaning") return &FrameOptions_Cleaning1;
  if (page == "Logfiles") return &FrameOptions_Logfiles1;
  if (page == "Systemtray") return &FrameOptions_SystemTray1;
  if (page == "Backup") return &FrameOptions_Backup1;
  if (page == "More profiles") return &FrameOptions_MoreProfiles1;
  return nullptr;
}

std::array<OptionsPage*, 5> TOptionsForm::Pages() {
  return {&FrameOptions_Cleaning1, &FrameOptions_Logfiles1, &FrameOptions_SystemTray1,
          &FrameOptions_Backup1, &FrameOptions_MoreProfiles1};
}

void TOptionsForm::ListBoxItemsClick() {
  OptionsPage* selected = SelectedPage();
  if (!selected) return;
  for (OptionsPage* page : Pages())
    if (page != selected) page->Hide();
  selected->LoadPage();
  selected->Show();
}

void TOptionsForm::ButtonOKClick() {
  if (OptionsPage* page = SelectedPage()) page->ApplyPageAndClose();
}

void TOptionsForm::Button3Click() {
  if (OptionsPage* page = SelectedPage()) page->ApplyPage();
}

}  // namespace quenk
