#include "settings/Options_MoreProfiles.h"

namespace quenk {

TFrameOptions_MoreProfiles::TFrameOptions_MoreProfiles(ui::Container& parent,
                                                       const SettingsFile& settings,
                                                       OptionsHost& host,
                                                       const profiles::Catalog& catalog)
    : OptionsPage(parent, IDC_OPT_FRAME_MORE, "FrameOptions_MoreProfiles1",
                  "TFrameOptions_MoreProfiles", {114, 0, 260, 240}, 8, settings, host),
      catalog_(catalog) {
  ListBoxProfiles.onClick = [this] { ListBoxProfilesClick(); };
  CheckBoxFile.onClick = [this] { CheckBoxClick(); };
  CheckBoxReg.onClick = [this] { CheckBoxClick(); };
}

std::string TFrameOptions_MoreProfiles::LineOf(std::size_t index) const {
  const ItemSwitches& s = switches_[index];
  const std::string name(catalog_.More()[index].name);
  if (s.files && s.registry) return name;
  if (s.files) return name + " (no registry cleaning)";
  if (s.registry) return name + " (no file cleaning)";
  return name + " (off)";
}

void TFrameOptions_MoreProfiles::LoadPage() {
  const int selected = ListBoxProfiles.ItemIndex();
  switches_.clear();
  ListBoxProfiles.Clear();
  for (const auto& row : catalog_.More()) {
    switches_.push_back({settings_.ReadFlag(row.word, kFilesKey, true),
                         settings_.ReadFlag(row.word, kRegistryKey, true)});
    ListBoxProfiles.Add(LineOf(switches_.size() - 1));
  }
  if (!switches_.empty())
    ListBoxProfiles.SetItemIndex(
        selected >= 0 && static_cast<std::size_t>(selected) < switches_.size() ? selected : 0);
  ListBoxProfilesClick();
}

void TFrameOptions_MoreProfiles::ListBoxProfilesClick() {
  const int index = ListBoxProfiles.ItemIndex();
  const bool any = index >= 0 && static_cast<std::size_t>(index) < switches_.size();
  CheckBoxFile.SetEnabled(any);
  CheckBoxReg.SetEnabled(any);
  CheckBoxFile.SetChecked(any && switches_[static_cast<std::size_t>(index)].files);
  CheckBoxReg.SetChecked(any && switches_[static_cast<std::size_t>(index)].registry);
}

void TFrameOptions_MoreProfiles::CheckBoxClick() {
  const int index = ListBoxProfiles.ItemIndex();
  if (index < 0 || static_cast<std::size_t>(index) >= switches_.size()) return;
  const auto i = static_cast<std::size_t>(index);
  switches_[i] = {CheckBoxFile.Checked(), CheckBoxReg.Checked()};
  ListBoxProfiles.Items().Assign([&] {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < switches_.size(); ++k) lines.push_back(LineOf(k));
    return lines;
  }());
  ListBoxProfiles.SetItemIndex(index);
}

void TFrameOptions_MoreProfiles::SavePage() {
  const auto rows = catalog_.More();
  for (std::size_t i = 0; i < rows.size() && i < switches_.size(); ++i) {
    settings_.WriteFlag(rows[i].word, kRegistryKey, switches_[i].registry);
    settings_.WriteFlag(rows[i].word, kFilesKey, switches_[i].files);
  }
  host_.LoadSettings();
}

}  // namespace quenk
