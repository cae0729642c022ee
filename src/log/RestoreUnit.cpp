#include "log/RestoreUnit.h"

#include "backup/BackupFolder.h"
#include "backup/Restore.h"
#include "platform/OneRun.h"
#include "platform/Paths.h"

namespace quenk {

TRestoreForm::TRestoreForm(ui::Application& app, platform::Ports ports)
    : ui::Form(app, {"TRestoreForm", "Restore", 480, 328, false, false}), ports_(ports) {
  ButtonOK.onClick = [this] { ButtonOKClick(); };
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
  Show();
}

}  // namespace quenk
