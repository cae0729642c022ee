#include "log/RestoreUnit.h"

#include "backup/BackupFolder.h"
#include "backup/BackupList.h"
#include "backup/Restore.h"
#include "platform/OneRun.h"
#include "platform/Paths.h"

namespace quenk {

TRestoreForm::TRestoreForm(ui::Application& app, platform::Ports ports)
    : ui::Form(app, {"TRestoreForm", "Restore", 480, 436, false, false}), ports_(ports) {
  ButtonOK.onClick = [this] { ButtonOKClick(); };
  ListBoxBackups.onClick = [this] { ListBoxBackupsClick(); };
  ListBoxBackups.onDblClick = [this] { ButtonRestoreClick(); };
  ButtonRestore.onClick = [this] { ButtonRestoreClick(); };
  ButtonRemove.onClick = [this] { ButtonRemoveClick(); };
  UpdateButtons();
}

void TRestoreForm::RestoreBackup(const std::string& stamp) {
  const std::string folder = backup::FindBackup(ports_.fs, stamp);
  auto result = [&] {
    const auto held = platform::HoldTheRun(ports_);
    return backup::Restore(ports_, folder);
  }();
  LabelBackup.SetCaption("Backup " + platform::LastComponent(folder));
  ListBoxRestored.Items().Assign(std::move(result.restored));
  ListBoxNotRestored.Items().Assign(std::move(result.notRestored));
  FillBackups();
  Show();
}

void TRestoreForm::ShowBackups() {
  FillBackups();
  Show();
}

void TRestoreForm::FillBackups() {
  const std::string selected = SelectedStamp();
  std::vector<std::string> lines;
  stamps_.clear();
  for (const auto& backup : backup::ListBackups(ports_.fs)) {
    lines.push_back(backup::DescribeBackup(backup));
    stamps_.push_back(backup.stamp);
  }
  ListBoxBackups.Items().Assign(std::move(lines));
  for (std::size_t i = 0; i < stamps_.size(); ++i)
    if (stamps_[i] == selected) ListBoxBackups.SetItemIndex(static_cast<int>(i));
  UpdateButtons();
}

std::string TRestoreForm::SelectedStamp() const {
  const int index = ListBoxBackups.ItemIndex();
  return index >= 0 && static_cast<std::size_t>(index) < stamps_.size()
             ? stamps_[static_cast<std::size_t>(index)]
             : std::string();
}

void TRestoreForm::UpdateButtons() {
  const bool any = !SelectedStamp().empty();
  ButtonRestore.SetEnabled(any);
  ButtonRemove.SetEnabled(any);
}

void TRestoreForm::ButtonRestoreClick() {
  const std::string stamp = SelectedStamp();
  if (!stamp.empty()) RestoreBackup(stamp);
}

void TRestoreForm::ButtonRemoveClick() {
  const std::string stamp = SelectedStamp();
  if (stamp.empty()) return;
  if (!App().Ask("Remove the backup " + stamp + "? This cannot be undone.")) return;
  try {
    const auto held = platform::HoldTheRun(ports_);
    backup::RemoveBackup(ports_.fs, stamp);
  } catch (...) {
    FillBackups();  // what a partial removal left is still listed
    throw;
  }
  FillBackups();
}

}  // namespace quenk
