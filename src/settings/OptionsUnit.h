#pragma once

#include "ControlIds.h"
#include "settings/Options_Backup.h"
#include "settings/Options_Cleaning.h"
#include "settings/Options_Logfiles.h"
#include "settings/Options_MoreProfiles.h"
#include "settings/Options_SystemTray.h"
#include "ui/Application.h"
#include "ui/ListBox.h"

#include <array>

namespace quenk {

// The Options window: four pages over the settings file, one shown at a
// time, and a fifth where profiles beside the program were loaded.
class TOptionsForm final : public ui::Form {
 public:
  TOptionsForm(ui::Application& app, const SettingsFile& settings, OptionsHost& host,
               const profiles::Catalog& catalog = profiles::BuiltinCatalog());

  void FormCreate() override;
  void ListBoxItemsClick();
  void ButtonOKClick();
  void Button2Click() { Close(); }
  void Button3Click();

  // The page whose entry is selected, or nullptr.
  OptionsPage* SelectedPage();

  ui::ListBox ListBoxItems{*this, IDC_OPT_ITEMS, "ListBoxItems", {8, 8, 106, 270}, {}, 0};
  TFrameOptions_Cleaning FrameOptions_Cleaning1;
  ui::Button ButtonOK{*this, IDC_OPT_OK, "ButtonOK", {120, 254, 75, 25}, "OK", 2};
  ui::Button Button2{*this, IDC_OPT_CANCEL, "Button2", {196, 254, 75, 25}, "Cancel", 3};
  ui::Button Button3{*this, IDC_OPT_APPLY, "Button3", {301, 254, 75, 25}, "Apply", 4};
  TFrameOptions_Logfiles FrameOptions_Logfiles1;
  TFrameOptions_SystemTray FrameOptions_SystemTray1;
  TFrameOptions_Backup FrameOptions_Backup1;
  TFrameOptions_MoreProfiles FrameOptions_MoreProfiles1;

 private:
  std::array<OptionsPage*, 5> Pages();
};

}  // namespace quenk
