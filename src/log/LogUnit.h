#pragma once

#include "ControlIds.h"
#include "engine/CleaningRecord.h"
#include "platform/FileSystem.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ListBox.h"

#include <string>

namespace quenk {

class TRestoreForm;

// The Log window: shows the session's cleaning record page by page, with
// the log files saved earlier on a third page, from where the backup of a
// run is restored.
class TLogForm final : public ui::Form {
 public:
  // `record` outlives the window: its list boxes show its lists.
  TLogForm(ui::Application& app, platform::FileSystem& fs, CleaningRecord& record);

  CleaningRecord& Record() { return record_; }
  // The window that shows a restore's outcome, created after this one.
  void SetRestoreWindow(TRestoreForm& restore) { restore_ = &restore; }

  void FormCreate() override;
  void ListBoxItemsClick();
  void ListBox2Click() { UpdateReason(); }
  void ListBox3Click();
  void ListBox3DblClick();
  void ButtonRemoveClick();
  void ButtonRemoveAllClick();
  void ButtonRestoreClick();
  void ButtonOKClick() { Close(); }

  void FillOlderLogs();
  void ReadDeletedSection(const std::string& logName);
  void ReadNotDeletedSection(const std::string& logName);

  // On: the record pages show the record. Off: an older log was picked and
  // choosing a record page reloads it from that log.
  bool ShowRecord = true;
  std::string PickedLog;

 private:
  bool OlderLogsPageWithEntries() const;
  // The selected older log, when it has a backup to restore.
  std::string RestorableLog() const;
  void UpdateRestoreButton();
  // Why the selected not-deleted line of the record stayed, below the lists.
  void UpdateReason();

  platform::FileSystem& fs_;
  TRestoreForm* restore_ = nullptr;
  CleaningRecord& record_;

 public:
  ui::ListBox ListBoxItems{*this, IDC_LOG_ITEMS, "ListBoxItems", {8, 8, 105, 230}, {}, 0};
  ui::ListBox ListBox1{*this, IDC_LOG_LISTBOX1, "ListBox1", {119, 8, 256, 230}, {}, 4};
  ui::ListBox ListBox2{*this, IDC_LOG_LISTBOX2, "ListBox2", {119, 8, 256, 230}, {}, 5};
  ui::ListBox ListBox3{*this, IDC_LOG_LISTBOX3, "ListBox3", {119, 8, 256, 230}, {}, 6};
  ui::Button ButtonOK{*this, IDC_LOG_OK, "ButtonOK", {119, 245, 75, 25}, "OK", 1};
  ui::Button ButtonRemove{*this, IDC_LOG_REMOVE, "ButtonRemove", {195, 245, 75, 25}, "Remove", 2};
  ui::Button ButtonRemoveAll{
      *this, IDC_LOG_REMOVEALL, "ButtonRemoveAll", {300, 245, 75, 25}, "Remove All", 3};
  ui::Button ButtonRestore{*this, IDC_LOG_RESTORE, "ButtonRestore", {8, 245, 105, 25}, "Restore",
                           7};
  ui::Label LabelReason{*this, IDC_LOG_REASON, "LabelReason", {8, 276, 367, 16}, ""};
};

}  // namespace quenk
