#include "app/VeskUnit.h"

#include "about/AboutUnit.h"
#include "app/CommandLine.h"
#include "app/PreviewUnit.h"
#include "app/RunResult.h"
#include "app/RunStamp.h"
#include "backup/BackupFolder.h"
#include "backup/RunBackup.h"
#include "base/Text.h"
#include "engine/Delete.h"
#include "log/LogStamp.h"
#include "log/LogUnit.h"
#include "log/RestoreUnit.h"
#include "platform/OneRun.h"
#include "profiles/CleaningItems.h"
#include "settings/OptionsUnit.h"

#include <exception>

namespace quenk {

namespace {

ui::FormStyle MainStyle() {
  // The designed 232 and the status line below the progress bar.
  return {"TVeskForm", "Halvix - Scourix - 0.4.0", 428, 252, true, true};
}

}  // namespace

TVeskForm::TVeskForm(ui::Application& app, platform::Ports ports,
                     std::vector<std::string> arguments)
    : ui::Form(app, MainStyle()),
      ports_(ports),
      arguments_(std::move(arguments)),
      settings_(ports.ini, SettingsPathFor(ports.fs.ModulePath())),
      TrayIcon1(*this, ports.shell, app.Title(), PopupMenu1),
      ApplicationEvents1(app) {
  for (const auto& row : profiles::kCleaningItems) ListBoxItemList.Add(std::string(row.name));

  CleanButton.onClick = [this] { CleanButtonClick(); };
  SelectButton.onClick = [this] { SelectButtonClick(); };
  ListBoxItemList.onDblClick = [this] { SelectButtonClick(); };
  DeleteButton.onClick = [this] { DeleteButtonClick(); };
  ListBoxCleanItems.onDblClick = [this] { DeleteButtonClick(); };

  MainMenu1.Add("&Menu", {&Close1});
  MainMenu1.Add("&Tools", {&Options1, &Log1, &Preview1, &RestoreBackup1});
  MainMenu1.Add("&Help", {&About1});
  Close1.onClick = [this] { CloseClick(); };
  Options1.onClick = [this] { OptionsClick(); };
  Log1.onClick = [this] { LogClick(); };
  About1.onClick = [this] { AboutClick(); };
  PreviewButton.onClick = [this] { PreviewClick(); };
  Preview1.onClick = [this] { PreviewClick(); };
  RestoreBackup1.onClick = [this] { RestoreClick(); };
  TrayIcon1.onDblClick = [this] { Restore1Click(); };

  Minimize1.onClick = [this] { Minimize1Click(); };
  Restore1.onClick = [this] { Restore1Click(); };
  Exit1.onClick = [this] { Exit1Click(); };
  ApplicationEvents1.onMinimize = [this] { ApplicationEvents1Minimize(); };
}

void TVeskForm::SetWindows(TLogForm& log, TAboutForm& about, TOptionsForm& options,
                           TPreviewForm& preview, TRestoreForm& restore) {
  log_ = &log;
  about_ = &about;
  options_ = &options;
  preview_ = &preview;
  restore_ = &restore;
  preview.onCleanNow = [this] {
    // The window hides right after this run: no fresh forecast for it.
    cleaningFromPreview_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{cleaningFromPreview_};
    CleanButton.Click();
  };
}

void TVeskForm::FormCreate() {
  const auto attributes = ports_.fs.Attributes(settings_.Path());
  const bool exists = attributes && !(*attributes & platform::attr::kDirectory);
  LoadSettings();
  if (!exists) SaveSettings();
  if (flags_.systemTray) TrayIcon1.SetVisible(true);
}

void TVeskForm::FormShow() {
  ProcessCommandLine();
}

void TVeskForm::ProcessCommandLine() {
  // Once per process: showing the window again (from the tray) must not
  // append the items again nor start a run nobody asked for.
  if (commandLineDone_) return;
  commandLineDone_ = true;
  const Arguments parsed = ParseArguments(arguments_);
  if (!parsed.any) return;
  // A restore takes the place of the run.
  if (parsed.switches.restore) {
    restore_->RestoreBackup(*parsed.switches.restore);
    return;
  }
  const auto& words = parsed.words;
  for (std::size_t index = 0; index < 5; ++index) {
    const std::string argument = index < words.size() ? words[index] : std::string();
    for (const auto& row : profiles::kCleaningItems)
      if (argument == row.word) ListBoxCleanItems.Add(std::string(row.name));
  }
  if (parsed.switches.preview)
    PreviewClick();
  else
    CleanButton.Click();
}

void TVeskForm::CleanButtonClick() {
  LoadSettings();
  if (ListBoxCleanItems.Count() == 0) return;
  auto held = platform::HoldTheRun(ports_);
  const ui::BusyCursor busy(App());
  const std::size_t deletedBefore = log_->Record().Deleted().Size();
  const std::size_t notDeletedBefore = log_->Record().NotDeleted().Size();
  const engine::Halves halves = engine::FindHalves(ports_.fs, ports_.registry);
  const int total = CountCleaningSteps(halves);
  if (total > 0) {
    ProgressBar.SetPosition(0);
    ProgressBar.SetMax(total);
    ProgressBar.StepIt();
  }
  // One stamp for the run: its backup folder and its log file carry the
  // same, even when the run goes on past a second.
  const std::string stamp = FreshStamp(ports_.fs, ports_.locale);
  std::exception_ptr stopped;
  try {
    RunCleaning(halves, stamp);
    if (flags_.logFiles) log_->SaveLogFile(stamp);
  } catch (...) {
    stopped = std::current_exception();
  }
  // What the run deleted is gone, also when it stopped; the forecast is
  // made once the run has let go of the machine.
  held.reset();
  ShowRunResult(deletedBefore, notDeletedBefore, stamp, stopped != nullptr);
  RefreshOpenPreview();
  if (stopped) std::rethrow_exception(stopped);
}

void TVeskForm::ShowRunResult(std::size_t deletedBefore, std::size_t notDeletedBefore,
                              const std::string& stamp, bool stopped) {
  RunResult result = ResultOf(log_->Record(), deletedBefore, notDeletedBefore);
  result.backupOn = flags_.backup;
  result.backupMade = flags_.backup && backup::HasBackup(ports_.fs, stamp);
  result.stopped = stopped;
  LabelStatus.SetCaption(RunResultText(result));
}

void TVeskForm::RefreshOpenPreview() {
  // A forecast left open would show what the run has just done.
  if (preview_ && preview_->Visible() && !cleaningFromPreview_)
    preview_->ShowForecast(ListBoxCleanItems.Items().Lines(), flags_);
}

int TVeskForm::CountCleaningSteps(const engine::Halves& halves) {
  int total = 0;
  for (const auto& entry : ListBoxCleanItems.Items()) {
    if (const auto* row = profiles::FindCleaningItem(entry)) {
      const ItemSwitches& s = flags_[row->item];
      total += row->stepCount(s.files, s.registry, halves);
    }
  }
  return total;
}

void TVeskForm::RunCleaning(const engine::Halves& halves, const std::string& stamp) {
  backup::RunBackup keeper(ports_, backup::BackupFolder(ports_.fs, stamp));
  engine::Remover remover(ports_, log_->Record(), *this, halves, flags_.backup ? &keeper : nullptr);
  profiles::ProfileContext ctx{ports_.fs, ports_.registry, remover};
  profiles::CleanEntries(ctx, ListBoxCleanItems.Items().Lines(), flags_);
}

void TVeskForm::SelectButtonClick() {
  for (std::size_t i = 0; i < ListBoxItemList.Count(); ++i) {
    if (ListBoxItemList.ItemIndex() != static_cast<int>(i)) continue;
    const std::string& text = ListBoxItemList.Item(i);
    bool present = false;
    for (const auto& entry : ListBoxCleanItems.Items())
      present = present || EqualsNoCase(entry, text);
    if (!present) ListBoxCleanItems.Add(text);
  }
}

void TVeskForm::DeleteButtonClick() {
  const std::size_t count = ListBoxCleanItems.Count();
  for (std::size_t i = 0; i < ListBoxCleanItems.Count(); ++i) {
    if (ListBoxCleanItems.Count() == count && ListBoxCleanItems.ItemIndex() == static_cast<int>(i))
      ListBoxCleanItems.Delete(i);
  }
}

void TVeskForm::CloseClick() {
  App().Terminate();
}

void TVeskForm::OptionsClick() {
  about_->Close();
  log_->Close();
  options_->Show();
}

void TVeskForm::LogClick() {
  about_->Close();
  options_->Close();
  log_->Show();
}

void TVeskForm::AboutClick() {
  log_->Close();
  about_->Show();
}

void TVeskForm::PreviewClick() {
  LoadSettings();
  preview_->ShowForecast(ListBoxCleanItems.Items().Lines(), flags_);
  preview_->Show();
}

void TVeskForm::RestoreClick() {
  restore_->ShowBackups();
}

void TVeskForm::FormClose(ui::CloseAction& /*action*/) {
  log_->Close();
  about_->Close();
}

void TVeskForm::FormDestroy() {
  LoadSettings();
  SaveSettings();
}

void TVeskForm::ApplicationEvents1Minimize() {
  if (flags_.systemTray) Hide();
}

void TVeskForm::Minimize1Click() {
  App().Minimize();
}

void TVeskForm::Restore1Click() {
  App().Restore();
  Show();
}

void TVeskForm::Exit1Click() {
  App().Terminate();
}

void TVeskForm::LoadSettings() {
  flags_ = settings_.ReadAll();
}

void TVeskForm::SaveSettings() {
  settings_.WriteAll(flags_);
}

}  // namespace quenk
