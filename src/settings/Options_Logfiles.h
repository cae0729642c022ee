#pragma once

#include "ControlIds.h"
#include "settings/OptionsPage.h"

namespace quenk {

// The Logfiles page: save a log file after each run.
class TFrameOptions_Logfiles final : public OptionsPage {
 public:
  TFrameOptions_Logfiles(ui::Container& parent, const SettingsFile& settings, OptionsHost& host)
      : OptionsPage(parent, IDC_OPT_FRAME_LOGFILES, "FrameOptions_Logfiles1",
                    "TFrameOptions_Logfiles", {114, 0, 247, 240}, 5, settings, host) {}

  // The main window's log flag follows at its next reading, which every Clean does first.
  void LoadPage() override {
    CheckBoxLogFiles.SetChecked(settings_.ReadFlag(kLogfilesSection, kLogfilesKey, false));
  }
  void SavePage() override {
    settings_.WriteFlag(kLogfilesSection, kLogfilesKey, CheckBoxLogFiles.Checked());
  }

  ui::Label Label1{*this,
                   IDC_OPT_LABEL_LOGFILES,
                   "Label1",
                   {11, 11, 150, 13},
                   "Save log to file after cleaning"};
  ui::CheckBox CheckBoxLogFiles{*this, IDC_OPT_LOGFILES, "CheckBoxLogFiles", {165, 10, 97, 17}, "",
                                0};
};

}  // namespace quenk
