#include "log/LogUnit.h"

#include "backup/BackupFolder.h"
#include "run/LogFiles.h"
#include "log/RestoreUnit.h"

namespace quenk {

TLogForm::TLogForm(ui::Application& app, platform::FileSystem& fs, CleaningRecord& record)
    : ui::Form(app, {"TLogForm", "Log", 383, 295, false, false}), fs_(fs), record_(record) {
  for (const char* page : {"Deleted", "Not deleted", "Older logs"}) ListBoxItems.Add(page);
  ListBox1.Bind(record_.Deleted());
  ListBox2.Bind(record_.NotDeleted());
  ListBoxItems.onClick = [this] { ListBoxItemsClick(); };
  ListBox2.onClick = [this] { ListBox2Click(); };
  ListBox3.onClick = [this] { ListBox3Click(); };
  ListBox3.onDblClick = [this] { ListBox3DblClick(); };
  ButtonOK.onClick = [this] { ButtonOKClick(); };
  ButtonRemove.onClick = [this] { ButtonRemoveClick(); };
  ButtonRemoveAll.onClick = [this] { ButtonRemoveAllClick(); };
  ButtonRestore.onClick = [this] { ButtonRestoreClick(); };
}

void TLogForm::FormCreate() {
  ListBox2.Hide();
  ListBox3.Hide();
  ListBox1.Show();
  ListBoxItems.SetItemIndex(0);
  ShowRecord = true;
  UpdateRestoreButton();
}

void TLogForm::ListBoxItemsClick() {
  const int index = ListBoxItems.ItemIndex();
  if (index < 0) return;
  const std::string& page = ListBoxItems.Item(static_cast<std::size_t>(index));
  if (page == "Deleted") {
    ListBox2.Hide();
    ListBox3.Hide();
    ListBox1.Show();
    if (!ShowRecord) ReadDeletedSection(PickedLog);
  } else if (page == "Not deleted") {
    ListBox1.Hide();
    ListBox3.Hide();
    ListBox2.Show();
    if (!ShowRecord) ReadNotDeletedSection(PickedLog);
  } else if (page == "Older logs") {
    ListBox1.Hide();
    ListBox2.Hide();
    ListBox3.Show();
    FillOlderLogs();
  }
  UpdateRestoreButton();
  UpdateReason();
}

void TLogForm::UpdateReason() {
  const int index = ListBox2.ItemIndex();
  const std::string reason =
      ListBox2.Visible() && index >= 0 ? record_.Reason(static_cast<std::size_t>(index)) : "";
  LabelReason.SetCaption(reason.empty() ? "" : "Why it stayed: " + reason);
}

void TLogForm::ListBox3Click() {
  UpdateRestoreButton();
}

void TLogForm::ListBox3DblClick() {
  const int index = ListBox3.ItemIndex();
  if (index < 0) return;
  PickedLog = ListBox3.Item(static_cast<std::size_t>(index));
  ShowRecord = false;
  UpdateRestoreButton();
}

bool TLogForm::OlderLogsPageWithEntries() const {
  const int page = ListBoxItems.ItemIndex();
  return page >= 0 && ListBoxItems.Item(static_cast<std::size_t>(page)) == "Older logs" &&
         ListBox3.Count() > 0;
}

void TLogForm::ButtonRemoveClick() {
  if (!OlderLogsPageWithEntries()) return;
  const int index = ListBox3.ItemIndex();
  if (index >= 0) {
    DeleteLogFile(fs_, ListBox3.Item(static_cast<std::size_t>(index)));
    ListBox3.Delete(static_cast<std::size_t>(index));
    record_.Clear();
  }
  ShowRecord = true;
  UpdateRestoreButton();
}

void TLogForm::ButtonRemoveAllClick() {
  if (!OlderLogsPageWithEntries()) return;
  for (const auto& logName : ListBox3.Items()) DeleteLogFile(fs_, logName);
  ListBox3.Clear();
  record_.Deleted().Clear();
  record_.NotDeleted().Clear();
  ShowRecord = true;
  UpdateRestoreButton();
}

std::string TLogForm::RestorableLog() const {
  if (!restore_ || !OlderLogsPageWithEntries()) return {};
  const int index = ListBox3.ItemIndex();
  if (index < 0) return {};
  const std::string& log = ListBox3.Item(static_cast<std::size_t>(index));
  return backup::HasBackup(fs_, log) ? log : std::string();
}

void TLogForm::UpdateRestoreButton() {
  ButtonRestore.SetEnabled(!RestorableLog().empty());
}

void TLogForm::ButtonRestoreClick() {
  const std::string log = RestorableLog();
  UpdateRestoreButton();
  if (!log.empty()) restore_->RestoreBackup(log);
}

void TLogForm::FillOlderLogs() {
  quenk::FillOlderLogs(fs_, ListBox3.Items());
}

void TLogForm::ReadDeletedSection(const std::string& logName) {
  quenk::ReadDeletedSection(fs_, logName, record_.Deleted());
}

void TLogForm::ReadNotDeletedSection(const std::string& logName) {
  record_.ForgetReasons();
  quenk::ReadNotDeletedSection(fs_, logName, record_.NotDeleted());
}

}  // namespace quenk
