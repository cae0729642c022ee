#pragma once

#include "ControlIds.h"
#include "platform/Ports.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"

#include <string>
#include <vector>

namespace quenk {

// The Restore window: what a restore put back and what it did not, and why;
// below, every backup folder, to restore or remove one.
class TRestoreForm final : public ui::Form {
 public:
  TRestoreForm(ui::Application& app, platform::Ports ports);

  // Restores the backup that `stamp` names ("latest": the one made last)
  // and shows the outcome. Throws with a message for the user when there is
  // no such backup; what the backup holds never makes it throw.
  void RestoreBackup(const std::string& stamp);
  void ButtonOKClick() { Close(); }

  // Lists the backups afresh and shows the window.
  void ShowBackups();
  void ListBoxBackupsClick() { UpdateButtons(); }
  void ButtonRestoreClick();
  void ButtonRemoveClick();

 private:
  void FillBackups();
  void UpdateButtons();
  // The stamp of the selected backup, or empty.
  std::string SelectedStamp() const;

  platform::Ports ports_;
  std::vector<std::string> stamps_;  // of the listed backups, in their order

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
  ui::Label Label3{*this, IDC_RESTORE_LABEL3, "Label3", {8, 328, 383, 16}, "Backups, newest first"};
  ui::ListBox ListBoxBackups{
      *this, IDC_RESTORE_BACKUPS, "ListBoxBackups", {8, 346, 383, 82}, {false, 13, true}, 3};
  ui::Button ButtonRestore{
      *this, IDC_RESTORE_RESTORE, "ButtonRestore", {397, 346, 75, 25}, "Restore", 4};
  ui::Button ButtonRemove{*this, IDC_RESTORE_REMOVE, "ButtonRemove", {397, 377, 75, 25}, "Remove",
                          5};
};

}  // namespace quenk
