#pragma once

#include "ControlIds.h"
#include "profiles/Catalog.h"
#include "settings/OptionsPage.h"
#include "ui/ListBox.h"

#include <vector>

namespace quenk {

// The More profiles page: the files and registry switches of each profile
// beside the program, shown for the one selected in its list.
class TFrameOptions_MoreProfiles final : public OptionsPage {
 public:
  TFrameOptions_MoreProfiles(ui::Container& parent, const SettingsFile& settings, OptionsHost& host,
                             const profiles::Catalog& catalog);

  void LoadPage() override;
  void SavePage() override;
  void ListBoxProfilesClick();
  void CheckBoxClick();

  ui::ListBox ListBoxProfiles{
      *this, IDC_OPT_MORE_LIST, "ListBoxProfiles", {8, 8, 246, 147}, {false, 13, true}, 0};
  ui::CheckBox CheckBoxFile{
      *this, IDC_OPT_MORE_FILE, "CheckBoxFile", {8, 163, 120, 17}, "File cleaning", 1};
  ui::CheckBox CheckBoxReg{
      *this, IDC_OPT_MORE_REG, "CheckBoxReg", {8, 186, 120, 17}, "Registry cleaning", 2};
  ui::Label Label1{*this,
                   IDC_OPT_MORE_LABEL,
                   "Label1",
                   {8, 210, 246, 16},
                   "From the Profiles folder beside the program"};

 private:
  // The list's line of a profile: its name and what is switched off.
  std::string LineOf(std::size_t index) const;

  const profiles::Catalog& catalog_;
  std::vector<ItemSwitches> switches_;  // as the page shows them, by the catalog's order
};

}  // namespace quenk
