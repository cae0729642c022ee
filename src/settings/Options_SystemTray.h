#pragma once

#include "ControlIds.h"
#include "settings/OptionsPage.h"

namespace quenk {

// The Systemtray page: the icon follows the box at once.
class TFrameOptions_SystemTray final : public OptionsPage {
 public:
  TFrameOptions_SystemTray(ui::Container& parent, const SettingsFile& settings, OptionsHost& host)
      : OptionsPage(parent, IDC_OPT_FRAME_SYSTEMTRAY, "FrameOptions_SystemTray1",
                    "TFrameOptions_SystemTray", {114, 0, 320, 240}, 6, settings, host) {}

  void LoadPage() override {
    CheckBoxSystemtray.SetChecked(settings_.ReadFlag(kSystemTraySection, kSystemTrayKey, false));
  }
  void SavePage() override {
    settings_.WriteFlag(kSystemTraySection, kSystemTrayKey, CheckBoxSystemtray.Checked());
    host_.SetTrayIconVisible(CheckBoxSystemtray.Checked());
    host_.LoadSettings();
  }

  ui::Label Label1{
      *this, IDC_OPT_LABEL_SYSTEMTRAY, "Label1", {11, 11, 150, 13}, "Enable systemtray"};
  ui::CheckBox CheckBoxSystemtray{
      *this, IDC_OPT_SYSTEMTRAY, "CheckBoxSystemtray", {165, 10, 97, 17}, "", 0};
};

}  // namespace quenk
