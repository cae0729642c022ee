#pragma once

#include "ControlIds.h"
#include "platform/Ports.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"

#include <string>

namespace quenk {

// The Restore window: what a restore put back and what it did not, and why.
class TRestoreForm final : public ui::Form {
 public:
  TRestoreForm(ui::Application& app, platform::Ports ports);

  // Restores the backup that `stamp` names ("latest": the one made last)
  // and shows the outcome. Throws with a message for the user when there is
  // no such backup; what the backup holds never makes it throw.
  void RestoreBackup(const std::string& stamp);
  void ButtonOKClick() { Close(); }

 private:
  platform::Ports ports_;

 public:
  ui::Label LabelBackup{*this, IDC_RESTORE_LABEL_BACKUP, "LabelBackup", {8, 8, 464, 13}, "Backup"};
  ui::Label Label1{*this, IDC_RESTORE_LABEL1, "Label1", {8, 27, 80, 13}, "Restored"};
  ui::ListBox ListBoxRestored{
      *this, IDC_RESTORE_RESTORED, "ListBoxRestored", {8, 43, 464, 110}, {false, 13, true}, 0};
  ui::Label Label2{*this, IDC_RESTORE_LABEL2, "Label2", {8, 161, 80, 13}, "Not restored"};
  ui::ListBox ListBoxNotRestored{
      *this, IDC_RESTORE_NOTRESTORED, "ListBoxNotRestored", {8, 177, 464, 110}, {false, 13, true},
      1};
  ui::Button ButtonOK{*this, IDC_RESTORE_OK, "ButtonOK", {397, 295, 75, 25}, "OK", 2};
};

}  // namespace quenk
