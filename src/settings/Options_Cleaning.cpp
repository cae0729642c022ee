#include "settings/Options_Cleaning.h"

namespace quenk {

TFrameOptions_Cleaning::TFrameOptions_Cleaning(ui::Container& parent, const SettingsFile& settings,
                                               OptionsHost& host)
    : OptionsPage(parent, IDC_OPT_FRAME_CLEANING, "FrameOptions_Cleaning1",
                  "TFrameOptions_Cleaning", {120, 8, 270, 233}, 1, settings, host) {}

std::array<TFrameOptions_Cleaning::Row, kItemCount> TFrameOptions_Cleaning::Rows() {
  return {{{Item::kNvidiaChipset, CheckBoxNVCFile, CheckBoxNVCReg},
           {Item::kNvidiaDisplay, CheckBoxNVFile, CheckBoxNVReg},
           {Item::kAti, CheckBoxATiFile, CheckBoxATiReg},
           {Item::kCreative, CheckBoxCTFile, CheckBoxCTReg},
           {Item::kRealtek, CheckBoxRTFile, CheckBoxRTReg}}};
}

void TFrameOptions_Cleaning::LoadPage() {
  for (const auto& row : Rows()) {
    const std::string_view section = SectionOf(row.item);
    row.files.SetChecked(settings_.ReadFlag(section, kFilesKey, true));
    row.registry.SetChecked(settings_.ReadFlag(section, kRegistryKey, true));
  }
}

void TFrameOptions_Cleaning::SavePage() {
  for (const auto& row : Rows()) {
    const std::string_view section = SectionOf(row.item);
    settings_.WriteFlag(section, kRegistryKey, row.registry.Checked());
    settings_.WriteFlag(section, kFilesKey, row.files.Checked());
  }
  host_.LoadSettings();
}

}  // namespace quenk
