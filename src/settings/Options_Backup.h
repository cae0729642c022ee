#pragma once

#include "ControlIds.h"
#include "settings/OptionsPage.h"

namespace quenk {

// The Backup page: save everything a run deletes before it deletes it.
class TFrameOptions_Backup final : public OptionsPage {
 public:
  TFrameOptions_Backup(ui::Container& parent, const SettingsFile& settings, OptionsHost& host)
      : OptionsPage(parent, IDC_OPT_FRAME_BACKUP, "FrameOptions_Backup1", "TFrameOptions_Backup",
                    {114, 0, 260, 240}, 7, settings, host) {}

  // The main window's backup flag follows at its next reading, which every Clean does first.
  void LoadPage() override {
    CheckBoxBackup.SetChecked(settings_.ReadFlag(kBackupSection, kBackupKey, true));
  }
  void SavePage() override {
    settings_.WriteFlag(kBackupSection, kBackupKey, CheckBoxBackup.Checked());
  }

  ui::CheckBox CheckBoxBackup{*this,
                              IDC_OPT_BACKUP,
                              "CheckBoxBackup",
                              {11, 10, 240, 17},
                              "Back up everything before deleting it",
                              0};
  ui::Label Label1{*this,
                   IDC_OPT_LABEL_BACKUP,
                   "Label1",
                   {11, 34, 246, 16},
                   "In Backups\\; put back with Tools > Restore..."};
};

}  // namespace quenk
