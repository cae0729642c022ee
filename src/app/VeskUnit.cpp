#include "app/VeskUnit.h"

#include "about/AboutUnit.h"
#include "app/PreviewUnit.h"
#include "app/RunResult.h"
#include "base/Text.h"
#include "log/LogUnit.h"
#include "QuenkVersion.h"
#include "log/RestoreUnit.h"
#include "platform/OneRun.h"
#include "run/CleaningRun.h"
#include "run/LogFiles.h"
#include "run/RunStamp.h"
#include "run/Words.h"
#include "settings/OptionsUnit.h"

#include <exception>
#include <stdexcept>

namespace quenk {

namespace {

ui::FormStyle MainStyle() {
  // The designed 232 and the status line below the progress bar.
  return {"TVeskForm", "Halvix - Scourix - " QUENK_VERSION, 428, 252, true, true};
}

}  // namespace

TVeskForm::TVeskForm(ui::Application& app, platform::Ports ports, run::Session& session,
                     Arguments arguments)
    : ui::Form(app, MainStyle()),
      ports_(ports),
      session_(session),
      arguments_(std::move(arguments)),
      TrayIcon1(*this, ports.shell, app.Title(), PopupMenu1),
      ApplicationEvents1(app) {
  for (const auto& row : session.catalog.Items()) ListBoxItemList.Add(std::string(row.name));

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
  const auto attributes = ports_.fs.Attributes(session_.settings.Path());
  const bool exists = attributes && !(*attributes & platform::attr::kDirectory);
  LoadSettings();
  if (!exists) SaveSettings();
  if (session_.flags.systemTray) TrayIcon1.SetVisible(true);
}

void TVeskForm::FormShow() {
  ProcessCommandLine();
}

void TVeskForm::FormStarted() {
  const std::vector<std::string> lines = session_.ProfileReport();
  if (lines.empty()) return;
  std::string text = "Some profiles beside the program were not loaded; the others were:";
  for (const auto& line : lines) text += "\r\n" + line;
  App().ShowException(std::runtime_error(text));
}

void TVeskForm::ProcessCommandLine() {
  // Once per process: showing the window again (from the tray) must not
  // append the items again nor start a run nobody asked for.
  if (commandLineDone_) return;
  commandLineDone_ = true;
  const Arguments& parsed = arguments_;
  if (!parsed.any) return;
  // A restore takes the place of the run.
  if (parsed.switches.restore) {
    restore_->RestoreBackup(*parsed.switches.restore);
    return;
  }
  for (auto& item : run::WindowItems(session_.catalog, parsed.words))
    ListBoxCleanItems.Add(std::move(item));
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
  const std::size_t deletedBefore = session_.record.Deleted().Size();
  const std::size_t notDeletedBefore = session_.record.NotDeleted().Size();
  // One stamp for the run: its backup folder and its log file carry the
  // same, even when the run goes on past a second.
  const std::string stamp = FreshStamp(ports_.fs, ports_.locale);
  run::CleaningRun cleaning({ports_, ListBoxCleanItems.Items().Lines(), session_.flags, stamp,
                             run::Mode::kClean, &session_.catalog});
  const int total = cleaning.Steps();
  if (total > 0) {
    ProgressBar.SetPosition(0);
    ProgressBar.SetMax(total);
    ProgressBar.StepIt();
  }
  std::exception_ptr stopped;
  bool backupMade = false;
  std::vector<std::string> skipped;
  bool restartNeeded = false;
  try {
    const run::RunEnd end = cleaning.Perform(session_.record, *this);
    stopped = end.error;
    backupMade = !end.backupFolder.empty();
    skipped = end.skipped;
    restartNeeded = end.restartNeeded;
    if (!stopped && session_.flags.logFiles) SaveLogFile(ports_.fs, stamp, session_.record);
  } catch (...) {
    stopped = std::current_exception();
  }
  // What the run deleted is gone, also when it stopped; the forecast is
  // made once the run has let go of the machine.
  held.reset();
  const RunResult result =
      ShowRunResult(deletedBefore, notDeletedBefore, backupMade, stopped != nullptr, restartNeeded);
  RefreshOpenPreview();
  if (stopped) std::rethrow_exception(stopped);
  if (const std::string rights = RightsText(result); !rights.empty())
    App().ShowException(std::runtime_error(rights));
  if (!skipped.empty()) {
    std::string text = "Steps left out of the run:";
    for (const auto& line : skipped) text += "\r\n" + line;
    App().ShowException(std::runtime_error(text));
  }
}

RunResult TVeskForm::ShowRunResult(std::size_t deletedBefore, std::size_t notDeletedBefore,
                                   bool backupMade, bool stopped, bool restartNeeded) {
  RunResult result = ResultOf(session_.record, deletedBefore, notDeletedBefore);
  result.backupOn = session_.flags.backup;
  result.backupMade = backupMade;
  result.stopped = stopped;
  result.restartNeeded = restartNeeded;
  LabelStatus.SetCaption(RunResultText(result));
  return result;
}

void TVeskForm::RefreshOpenPreview() {
  // A forecast left open would show what the run has just done.
  if (preview_ && preview_->Visible() && !cleaningFromPreview_)
    preview_->ShowForecast(ListBoxCleanItems.Items().Lines(), session_.flags);
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
  preview_->ShowForecast(ListBoxCleanItems.Items().Lines(), session_.flags);
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
  if (session_.flags.systemTray) Hide();
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
  session_.LoadSettings();
}

void TVeskForm::SaveSettings() {
  session_.SaveSettings();
}

}  // namespace quenk
