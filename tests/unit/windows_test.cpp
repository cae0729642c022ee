#include "ProgramFixture.h"
#include "QuenkVersion.h"

#include "app/RunResult.h"
#include "ui/Layout.h"

#include <functional>
#include <set>

namespace quenk::test {
namespace {

class Windows : public ProgramFixture {
 protected:
  void SetUp() override { Start(); }
  TAboutForm& About() { return windows->about; }
  TOptionsForm& Options() { return windows->options; }
  // Which of Log, About, Options are visible, as "LAO" with "-" for hidden.
  std::string Shown() {
    return std::string(Log().Visible() ? "L" : "-") + (About().Visible() ? "A" : "-") +
           (Options().Visible() ? "O" : "-");
  }
};

TEST_F(Windows, SelectAddsOnceAndDeleteRemovesTheSelectedEntry) {
  auto& items = Main().ListBoxItemList;
  UserClick(Main().SelectButton);  // nothing selected
  EXPECT_TRUE(CleanList().empty());
  items.UserSelected(3);  // NVIDIA - Display
  for (int i = 0; i < 3; ++i) UserClick(Main().SelectButton);
  items.UserSelected(0);
  app.Guard([&items] { items.DblClick(); });
  items.UserSelected(4);
  UserClick(Main().SelectButton);
  EXPECT_EQ(CleanList(), (Lines{"NVIDIA - Display", "ATi - Display", "Realtek - Sound"}));
  EXPECT_EQ(items.ItemIndex(), 4);

  auto& clean = Main().ListBoxCleanItems;
  UserClick(Main().DeleteButton);  // nothing selected
  EXPECT_EQ(CleanList().size(), 3u);
  clean.UserSelected(1);
  UserClick(Main().DeleteButton);
  EXPECT_EQ(CleanList(), (Lines{"NVIDIA - Display", "Realtek - Sound"}));
  EXPECT_EQ(clean.ItemIndex(), -1);
  clean.UserSelected(0);
  app.Guard([&clean] { clean.DblClick(); });
  EXPECT_EQ(CleanList(), Lines{"Realtek - Sound"});
}

TEST_F(Windows, MenuEntriesCloseAndShowTheirWindows) {
  const struct {
    ui::MenuItem TVeskForm::*entry;
    const char* before;
    const char* after;
  } cases[] = {
      {&TVeskForm::Options1, "LA-", "--O"}, {&TVeskForm::Log1, "-AO", "L--"},
      {&TVeskForm::About1, "L-O", "-AO"},   {&TVeskForm::About1, "-A-", "-A-"},
      {&TVeskForm::Log1, "L--", "L--"},
  };
  for (const auto& c : cases) {
    std::string state = c.before;
    state[0] == 'L' ? Log().Show() : Log().Hide();
    state[1] == 'A' ? About().Show() : About().Hide();
    state[2] == 'O' ? Options().Show() : Options().Hide();
    UserClick(Main().*c.entry);
    EXPECT_EQ(Shown(), c.after) << c.before;
  }
  EXPECT_FALSE(app.Terminated());
}

TEST_F(Windows, ClosingTheMainWindowClosesLogAndAboutAndEndsTheProgram) {
  Log().Show();
  About().Show();
  Options().Show();
  app.Guard([this] { Main().Close(); });
  EXPECT_EQ(Shown(), "--O");
  EXPECT_TRUE(app.Terminated());
  machine.fs.Delete(kSettings);
  app.Shutdown();
  EXPECT_NE(SettingsText().find("[SystemTray]\r\nSystemTray=0\r\n"), std::string::npos);
}

TEST_F(Windows, MenuCloseEndsTheProgram) {
  UserClick(Main().Close1);
  EXPECT_TRUE(app.Terminated());
}

class LogWindow : public Windows {
 protected:
  void SetUp() override {
    Windows::SetUp();
    machine.fs.AddFile("C:\\Work\\Logs\\older.txt",
                       "[Deleted]\r\nold-d\r\n[Not deleted]\r\nold-n\r\n");
    machine.fs.AddFile("C:\\Work\\Logs\\other.txt", "[Deleted]\r\nother-d\r\n");
    Log().Record().AppendDeleted("now-d");
    Log().Record().AppendNotDeleted("now-n");
  }
  void Page(int index) { UserPick(Log().ListBoxItems, index); }
  Lines Shown() {
    for (ui::ListBox* list : {&Log().ListBox1, &Log().ListBox2, &Log().ListBox3})
      if (list->Visible()) return list->Items().Lines();
    return {"(none)"};
  }
};

TEST_F(LogWindow, PagesShowTheRecordAndPickedLogs) {
  EXPECT_EQ(Log().ListBoxItems.ItemIndex(), 0);
  EXPECT_EQ(Shown(), Lines{"now-d"});
  Page(2);
  EXPECT_EQ(Shown(), (Lines{"older", "other"}));
  Log().ListBox3.UserSelected(0);
  app.Guard([this] { Log().ListBox3.DblClick(); });
  EXPECT_EQ(Log().PickedLog, "older");
  EXPECT_FALSE(Log().ShowRecord);
  EXPECT_EQ(Shown(), (Lines{"older", "other"}));  // nothing is read yet
  Page(0);
  EXPECT_EQ(Shown(), Lines{"old-d"});
  EXPECT_EQ(RecordNotDeleted(), Lines{"now-n"});  // until its page is chosen
  Page(1);
  EXPECT_EQ(Shown(), Lines{"old-n"});
  // A run appends behind the picked log's lines; choosing the page reloads it.
  Log().Record().AppendDeleted("later");
  Page(0);
  EXPECT_EQ(Shown(), Lines{"old-d"});
}

TEST_F(LogWindow, RemoveButtonsActOnlyOnTheOlderLogsPage) {
  UserClick(Log().ButtonRemove);
  UserClick(Log().ButtonRemoveAll);
  EXPECT_EQ(RecordDeleted(), Lines{"now-d"});
  EXPECT_EQ(machine.fs.List("C:\\Work\\Logs").size(), 2u);

  Page(2);
  Log().ShowRecord = false;
  UserClick(Log().ButtonRemove);  // no entry selected: only the record comes back
  EXPECT_TRUE(Log().ShowRecord);
  EXPECT_EQ(machine.fs.List("C:\\Work\\Logs").size(), 2u);
  EXPECT_EQ(RecordDeleted(), Lines{"now-d"});

  Log().ListBox3.UserSelected(1);
  UserClick(Log().ButtonRemove);
  EXPECT_EQ(machine.fs.List("C:\\Work\\Logs"), Lines{"older.txt"});
  EXPECT_EQ(Shown(), Lines{"older"});
  EXPECT_TRUE(RecordDeleted().empty() && RecordNotDeleted().empty());

  UserClick(Log().ButtonRemoveAll);
  EXPECT_TRUE(machine.fs.List("C:\\Work\\Logs").empty());
  EXPECT_TRUE(Shown().empty());
  Log().ShowRecord = false;
  UserClick(Log().ButtonRemoveAll);  // empty list: nothing at all
  EXPECT_FALSE(Log().ShowRecord);
}

TEST_F(LogWindow, PickedLogThatVanishedFailsEachTimeUntilRemoveTurnsTheRecordBack) {
  Page(2);
  Log().ListBox3.UserSelected(1);
  app.Guard([this] { Log().ListBox3.DblClick(); });
  machine.fs.Delete("C:\\Work\\Logs\\other.txt");
  Page(0);
  Page(1);
  EXPECT_EQ(Reports(), (Lines{"C:\\Work\\Logs\\other.txt: File not found.",
                              "C:\\Work\\Logs\\other.txt: File not found."}));
  EXPECT_TRUE(RecordDeleted().empty() && RecordNotDeleted().empty());
  EXPECT_FALSE(Log().ShowRecord);
}

TEST_F(LogWindow, LogFileThatResistsStaysAndComesBack) {
  machine.fs.Node("C:\\Work\\Logs\\older.txt")->attributes |= platform::attr::kReadOnly;
  Page(2);
  Log().ListBox3.UserSelected(0);
  UserClick(Log().ButtonRemove);
  EXPECT_EQ(Shown(), Lines{"other"});
  Page(2);
  EXPECT_EQ(Shown(), (Lines{"older", "other"}));
  UserClick(Log().ButtonOK);
  EXPECT_FALSE(Log().Visible());
}

class OptionsWindow : public Windows {
 protected:
  void Page(int index) { UserPick(Options().ListBoxItems, index); }
  TFrameOptions_Cleaning& Cleaning() { return Options().FrameOptions_Cleaning1; }
};

TEST_F(OptionsWindow, PagesLoadFromTheSettingsFile) {
  EXPECT_TRUE(Cleaning().Visible());
  for (ui::CheckBox* box : {&Cleaning().CheckBoxNVFile, &Cleaning().CheckBoxRTReg})
    EXPECT_TRUE(box->Checked());
  Page(1);
  EXPECT_FALSE(Cleaning().Visible());
  EXPECT_TRUE(Options().FrameOptions_Logfiles1.Visible());
  EXPECT_FALSE(Options().FrameOptions_Logfiles1.CheckBoxLogFiles.Checked());
  Page(2);
  EXPECT_FALSE(Options().FrameOptions_SystemTray1.CheckBoxSystemtray.Checked());
}

TEST_F(OptionsWindow, OkWritesOnlyTheShownPage) {
  Options().Show();
  Cleaning().CheckBoxATiFile.UserToggled(false);
  Page(1);
  Options().FrameOptions_Logfiles1.CheckBoxLogFiles.UserToggled(true);
  UserClick(Options().ButtonOK);
  EXPECT_FALSE(Options().Visible());
  EXPECT_NE(SettingsText().find("[ATi Display]\r\nRegistry=1\r\nFiles=1"), std::string::npos);
  EXPECT_NE(SettingsText().find("Logfiles=1"), std::string::npos);
  EXPECT_FALSE(Main().Flags().logFiles);  // taken at the next Clean
  UserClick(Main().CleanButton);
  EXPECT_TRUE(Main().Flags().logFiles);
  Page(0);
  EXPECT_TRUE(Cleaning().CheckBoxATiFile.Checked());  // the unsaved change is gone
}

TEST_F(OptionsWindow, ApplyOnCleaningWritesRegistryBeforeFilesAndReloadsTheFlags) {
  machine.fs.Delete(kSettings);
  Cleaning().CheckBoxCTFile.UserToggled(false);
  UserClick(Options().Button3);
  EXPECT_EQ(
      SettingsText(),
      "[NVIDIA Chipset]\r\nRegistry=1\r\nFiles=1\r\n[NVIDIA Display]\r\nRegistry=1\r\nFiles=1\r\n"
      "[ATi Display]\r\nRegistry=1\r\nFiles=1\r\n[Creative Sound]\r\nRegistry=1\r\nFiles=0\r\n"
      "[Realtek Sound]\r\nRegistry=1\r\nFiles=1\r\n");
  EXPECT_FALSE(Main().Flags()[Item::kCreative].files);
}

TEST_F(OptionsWindow, CancelWritesNothingAndKeepsTheTicks) {
  Options().Show();
  const std::string before = SettingsText();
  Cleaning().CheckBoxNVReg.UserToggled(false);
  UserClick(Options().Button2);
  EXPECT_FALSE(Options().Visible());
  EXPECT_EQ(SettingsText(), before);
  UserClick(Main().Options1);
  EXPECT_FALSE(Cleaning().CheckBoxNVReg.Checked());
}

TEST_F(OptionsWindow, RefusedWriteKeepsTheWindowOpenAndTheFlags) {
  Options().Show();
  machine.fs.Node(kSettings)->attributes |= platform::attr::kReadOnly;
  Cleaning().CheckBoxNVCFile.UserToggled(false);
  UserClick(Options().ButtonOK);
  EXPECT_EQ(Reports(), Lines{"Unable to write to C:\\Quenk\\quenk.ini."});
  EXPECT_TRUE(Options().Visible());
  EXPECT_TRUE(Main().Flags()[Item::kNvidiaChipset].files);
}

TEST_F(Windows, AboutShowsOneTextAtATime) {
  auto& about = About();
  EXPECT_TRUE(about.MemoAbout.Visible());
  EXPECT_FALSE(about.MemoDonate.Visible() || about.MemoContact.Visible());
  EXPECT_EQ(about.MemoAbout.Lines().size(), 7u);
  EXPECT_EQ(about.MemoAbout.Lines().front(), "Halvix - Scourix Version " QUENK_VERSION ".");
  EXPECT_EQ(about.MemoDonate.Lines().size(), 13u);
  EXPECT_EQ(about.MemoContact.Lines().size(), 4u);
  UserPick(about.ListBox1, 2);
  EXPECT_TRUE(about.MemoContact.Visible());
  EXPECT_FALSE(about.MemoAbout.Visible() || about.MemoDonate.Visible());
  about.Show();
  UserClick(about.OK);
  EXPECT_FALSE(about.Visible());
  UserClick(Main().About1);
  EXPECT_TRUE(about.MemoContact.Visible());  // the page left selected
}

TEST_F(LogWindow, RestoreIsOfferedOnlyForAnOlderLogWithABackup) {
  machine.fs.AddFile("C:\\Work\\Backups\\older\\manifest.txt", "");
  auto& button = Log().ButtonRestore;
  EXPECT_FALSE(button.Enabled());
  const struct {
    std::function<void()> act;
    bool enabled;
  } steps[] = {
      {[this] { Page(2); }, false},                      // nothing selected yet
      {[this] { UserPick(Log().ListBox3, 1); }, false},  // "other": no backup
      {[this] { UserPick(Log().ListBox3, 0); }, true},   // "older"
      {[this] { Page(0); }, false},
      {[this] { Page(2); }, false},
      {[this] { app.Guard([this] { Log().ListBox3.UserSelected(0), Log().ListBox3.DblClick(); }); },
       true},
      {[this] {
         machine.fs.Delete("C:\\Work\\Backups\\older\\manifest.txt"),
             machine.fs.RemoveDir("C:\\Work\\Backups\\older"), UserPick(Log().ListBox3, 0);
       },
       false},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    EXPECT_EQ(button.Enabled(), steps[i].enabled) << "step " << i;
  }
  UserClick(button);  // a click that reaches a disabled button does nothing
  EXPECT_FALSE(RestoreWindow().Visible());
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(button.TabOrder(), 7);
}

TEST_F(Windows, RestoreFromTheLogWindowPutsBackTheRunAndShowsTheOutcome) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  Files({kSys + "CTAGENT.EXE"});
  Keys(platform::kCurrentUser, {"Software\\Creative Tech\\Audio"});
  UserPick(Main().ListBoxItemList, 1);  // Creative - Sound
  UserClick(Main().SelectButton);
  UserClick(Main().CleanButton);
  EXPECT_EQ(LogFiles(), Lines{"12-7-2026-3-40-57 PM.txt"});
  EXPECT_EQ(machine.fs.List("C:\\Work\\Backups"), Lines{"12-7-2026-3-40-57 PM"});
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  UserClick(Main().Log1);
  UserPick(Log().ListBoxItems, 2);
  UserPick(Log().ListBox3, 0);
  ASSERT_TRUE(Log().ButtonRestore.Enabled());
  UserClick(Log().ButtonRestore);
  EXPECT_TRUE(Reports().empty());
  EXPECT_TRUE(RestoreWindow().Visible());
  EXPECT_EQ(RestoreWindow().LabelBackup.Caption(), "Backup 12-7-2026-3-40-57 PM");
  EXPECT_EQ(RestoreWindow().ListBoxRestored.Items().Lines(),
            (Lines{kSys + "CTAGENT.EXE", "HKCU\\Software\\CREATIVE TECH"}));
  EXPECT_TRUE(RestoreWindow().ListBoxNotRestored.Items().Empty());
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_TRUE(Key(platform::kCurrentUser, "Software\\Creative Tech\\Audio"));
  UserClick(RestoreWindow().ButtonOK);
  EXPECT_FALSE(RestoreWindow().Visible());
  EXPECT_FALSE(app.Terminated());
}

TEST_F(OptionsWindow, BackupPageReadsAndWritesItsOwnKey) {
  EXPECT_EQ(Options().ListBoxItems.Items().Lines(),
            (Lines{"Cleaning", "Logfiles", "Systemtray", "Backup"}));
  auto& page = Options().FrameOptions_Backup1;
  EXPECT_FALSE(page.Visible());
  Page(3);
  EXPECT_TRUE(page.Visible());
  EXPECT_FALSE(Cleaning().Visible());
  EXPECT_TRUE(page.CheckBoxBackup.Checked());
  EXPECT_EQ(page.CheckBoxBackup.Caption(), "Back up everything before deleting it");
  machine.fs.Delete(kSettings);
  page.CheckBoxBackup.UserToggled(false);
  UserClick(Options().Button3);
  EXPECT_EQ(SettingsText(), "[Backup]\r\nBackup=0\r\n");
  // Taken at the next Clean: that run makes no backup.
  Files({kSys + "CTAGENT.EXE"});
  UserPick(Main().ListBoxItemList, 1);
  UserClick(Main().SelectButton);
  UserClick(Main().CleanButton);
  EXPECT_FALSE(Main().Flags().backup);
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_FALSE(Exists("C:\\Work\\Backups"));
  Page(0);
  Page(3);
  EXPECT_FALSE(page.CheckBoxBackup.Checked());
}

class RestoreSwitch : public ProgramFixture {};

TEST_F(RestoreSwitch, RestoresInsteadOfCleaningOrSaysWhatIsWrong) {
  // A backup of an earlier run, by the same program.
  machine.fs.AddFile(kSys + "CTAGENT.EXE", "agent");
  {
    run::Session session(machine.ports());
    ui::Application first;
    CreateProgram(first, machine.ports(), session, ParseArguments({"Creative"}));
    first.Start();
    first.Shutdown();
  }
  ASSERT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  machine.fs.AddFile(kSys + "CTxfi.dll", "not to be cleaned");
  const struct {
    std::vector<std::string> args;
    std::string report;  // empty: restored
  } cases[] = {
      {{"/restore", "1-1-2020-1-00-00 AM", "Creative"},
       "There is no backup \"1-1-2020-1-00-00 AM\" in C:\\Work\\Backups."},
      {{"Creative", "-RESTORE"},
       "Name the backup to restore: /restore followed by its stamp, or /restore latest."},
      {{"/restore", "latest", "Creative"}, ""},
      {{"/Restore", "12-7-2026-3-40-57 PM"}, ""},
  };
  for (const auto& c : cases) {
    run::Session session(machine.ports());
    ui::Application local;
    const auto w = CreateProgram(local, machine.ports(), session, ParseArguments(c.args));
    local.Start();
    EXPECT_TRUE(w.main.Visible());
    EXPECT_TRUE(w.main.ListBoxCleanItems.Items().Empty()) << c.args[0];
    EXPECT_TRUE(Exists(kSys + "CTxfi.dll")) << "no run";
    if (c.report.empty()) {
      EXPECT_TRUE(local.Reports().empty()) << c.args[1];
      EXPECT_TRUE(w.restore.Visible());
      EXPECT_EQ(machine.fs.ReadFile(kSys + "CTAGENT.EXE"), "agent");
    } else {
      EXPECT_EQ(local.Reports(), Lines{c.report});
      EXPECT_FALSE(w.restore.Visible());
    }
    local.Shutdown();
  }
}

TEST_F(Windows, EscapeClosesEveryWindowButTheMainOne) {
  for (ui::Form* form : std::initializer_list<ui::Form*>{&Log(), &Options(), &About(),
                                                         &windows->preview, &RestoreWindow()}) {
    form->Show();
    app.Guard([form] { form->Escape(); });
    EXPECT_FALSE(form->Visible()) << form->Style().caption;
  }
  app.Guard([this] { Main().Escape(); });
  EXPECT_TRUE(Main().Visible());
  EXPECT_FALSE(app.Terminated());
}

TEST_F(Windows, MenusHaveAccessKeysAndTheirTextsOtherwise) {
  std::vector<std::string> captions;
  for (const auto& menu : Main().MainMenu1.Menus()) {
    captions.push_back(menu.caption);
    for (const ui::MenuItem* item : menu.items) captions.push_back(item->Caption());
  }
  EXPECT_EQ(captions, (Lines{"&Menu", "&Close", "&Tools", "&Options", "&Log", "&Preview",
                             "&Restore...", "&Help", "&About"}));
  // No two entries of one menu share a key.
  for (const auto& menu : Main().MainMenu1.Menus()) {
    std::set<char> keys;
    for (const ui::MenuItem* item : menu.items)
      EXPECT_TRUE(keys.insert(item->Caption()[item->Caption().find('&') + 1]).second);
  }
}

TEST_F(Windows, DoubleClickOnTheTrayIconRestoresAsTheTrayMenuDoes) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  Main().LoadSettings();
  Main().SetTrayIconVisible(true);
  Log().Show();
  app.Guard([this] { app.Minimize(); });
  ASSERT_FALSE(Main().Visible());
  ASSERT_FALSE(Log().Visible());
  Main().TrayIcon1.MouseMessage(ui::TrayIcon::kLeftDoubleClick, 0, 0);
  EXPECT_FALSE(app.Minimized());
  EXPECT_TRUE(Main().Visible());
  EXPECT_TRUE(Log().Visible());
}

class RunResultLine : public Windows {
 protected:
  void CleanCreative() {
    UserPick(Main().ListBoxItemList, 1);  // Creative - Sound
    UserClick(Main().SelectButton);
    UserClick(Main().CleanButton);
  }
};

TEST_F(RunResultLine, TellsCountsAndTheBackupAfterEachRun) {
  EXPECT_EQ(Main().LabelStatus.Caption(), "");
  machine.fs.AddFile(kSys + "CTAGENT.EXE");
  machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
  CleanCreative();
  EXPECT_EQ(Main().LabelStatus.Caption(),
            "Deleted 1, not deleted 1. Backup made. See the Log window.");
  EXPECT_EQ(app.Questions().size(), 0u);
  // The second run counts only its own lines; nothing left to save.
  machine.fs.SetAttributes(kSys + "ctzap.dll", 0);
  UserClick(Main().CleanButton);
  EXPECT_EQ(Main().LabelStatus.Caption(),
            "Deleted 1, not deleted 0. Backup made. See the Log window.");
  UserClick(Main().CleanButton);
  EXPECT_EQ(Main().LabelStatus.Caption(),
            "Deleted 0, not deleted 0. Nothing to back up. See the Log window.");
}

TEST_F(RunResultLine, SaysSoWhenTheBackupCannotBeMade) {
  machine.fs.AddFile("C:\\Work\\Backups", "a file where the folder goes");
  machine.fs.AddFile(kSys + "CTAGENT.EXE");
  machine.fs.AddFile(kSys + "ctzap.dll");
  CleanCreative();
  EXPECT_EQ(RecordDeleted(), Lines{});
  EXPECT_EQ(Main().LabelStatus.Caption(),
            "Deleted 0, not deleted 2. Backup failed for 2. See the Log window.");
}

TEST_F(Windows, RunResultTextForEveryOutcome) {
  const struct {
    RunResult result;
    const char* text;
  } cases[] = {
      {{3, 0, 0, true, true, false}, "Deleted 3, not deleted 0. Backup made. "},
      {{3, 1, 0, false, false, false}, "Deleted 3, not deleted 1. Backup off in Options. "},
      {{0, 16, 16, true, false, false}, "Deleted 0, not deleted 16. Backup failed for 16. "},
      {{1, 2, 1, true, true, true}, "Stopped. Deleted 1, not deleted 2. Backup failed for 1. "},
      {{0, 0, 0, true, false, false}, "Deleted 0, not deleted 0. Nothing to back up. "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RunResultText(c.result), std::string(c.text) + "See the Log window.");
}

TEST_F(LogWindow, ANotDeletedLineOfTheRecordShowsWhyItStayed) {
  Log().Record().AppendNotDeleted("C:\\x.dll", "read-only");
  Log().Show();
  Page(1);
  EXPECT_EQ(Log().LabelReason.Caption(), "");
  UserPick(Log().ListBox2, 1);
  EXPECT_EQ(Log().LabelReason.Caption(), "Why it stayed: read-only");
  UserPick(Log().ListBox2, 0);  // appended without a reason
  EXPECT_EQ(Log().LabelReason.Caption(), "");
  UserPick(Log().ListBox2, 1);
  Page(0);
  EXPECT_EQ(Log().LabelReason.Caption(), "");
  // Lines of an older log carry none.
  Page(2);
  UserPick(Log().ListBox3, 0);
  app.Guard([this] { Log().ListBox3.DblClick(); });
  Page(1);
  UserPick(Log().ListBox2, 0);
  EXPECT_EQ(Log().LabelReason.Caption(), "");
}

TEST_F(Windows, PreviewShowsWhyALineWouldStay) {
  machine.fs.AddFile(kSys + "CTAGENT.EXE");
  machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
  auto& preview = windows->preview;
  preview.ShowForecast({"Creative - Sound"}, Main().Flags());
  ASSERT_EQ(preview.ListBoxStay.Items().Lines(), Lines{kSys + "ctzap.dll"});
  EXPECT_EQ(preview.LabelReason.Caption(), "");
  UserPick(preview.ListBoxStay, 0);
  EXPECT_EQ(preview.LabelReason.Caption(), "Why: read-only");
  preview.ShowForecast({}, Main().Flags());
  EXPECT_EQ(preview.LabelReason.Caption(), "");
}

class BackupList : public Windows {
 protected:
  TRestoreForm& W() { return RestoreWindow(); }
  void Run(const std::string& file) {
    machine.fs.AddFile(kSys + file, "bytes");
    UserClick(Main().CleanButton);
  }
};

TEST_F(BackupList, ListsEveryBackupNewestFirstRestoresAndRemovesOne) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  UserPick(Main().ListBoxItemList, 1);  // Creative - Sound
  UserClick(Main().SelectButton);
  Run("CTAGENT.EXE");
  Run("ctzap.dll");
  for (const auto& log : LogFiles()) machine.fs.Delete("C:\\Work\\Logs\\" + log);
  UserClick(Main().RestoreBackup1);
  ASSERT_TRUE(W().Visible());
  // Stamp, items and the size of all the folder holds (the copy and the backup's own files).
  const auto listed = [this] {
    Lines lines = W().ListBoxBackups.Items().Lines();
    for (auto& line : lines)
      line = line.substr(0, line.find(", ")) + (line.ends_with(" bytes") ? ", bytes" : "");
    return lines;
  };
  EXPECT_EQ(listed(),
            (Lines{"12-7-2026-3-40-58 PM: 1 item, bytes", "12-7-2026-3-40-57 PM: 1 item, bytes"}));
  EXPECT_FALSE(W().ButtonRestore.Enabled());
  EXPECT_FALSE(W().ButtonRemove.Enabled());

  UserPick(W().ListBoxBackups, 1);
  ASSERT_TRUE(W().ButtonRestore.Enabled());
  UserClick(W().ButtonRestore);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(W().LabelBackup.Caption(), "Backup 12-7-2026-3-40-57 PM");
  EXPECT_EQ(W().ListBoxRestored.Items().Lines(), Lines{kSys + "CTAGENT.EXE"});
  EXPECT_EQ(machine.fs.ReadFile(kSys + "CTAGENT.EXE"), "bytes");
  EXPECT_FALSE(Exists(kSys + "ctzap.dll"));

  app.headlessAnswer = false;
  UserClick(W().ButtonRemove);
  EXPECT_EQ(app.Questions(),
            Lines{"Remove the backup 12-7-2026-3-40-57 PM? This cannot be undone."});
  EXPECT_EQ(W().ListBoxBackups.Count(), 2u);
  app.headlessAnswer = true;
  UserClick(W().ButtonRemove);
  EXPECT_EQ(machine.fs.List("C:\\Work\\Backups"), Lines{"12-7-2026-3-40-58 PM"});
  EXPECT_EQ(listed(), Lines{"12-7-2026-3-40-58 PM: 1 item, bytes"});
  EXPECT_EQ(W().ListBoxBackups.ItemIndex(), -1);
  EXPECT_FALSE(W().ButtonRemove.Enabled());
}

// Where a caption wider than designed may grow without covering a neighbour.
TEST_F(Windows, ControlsGrowOnlyIntoRoomTheirWindowShows) {
  auto& cleaning = Options().FrameOptions_Cleaning1;
  const struct {
    const ui::Control& control;
    int room;
  } cases[] = {
      {cleaning.CheckBoxNVCReg, 382 - 120 - 104},  // the page is cut at the window's edge
      {cleaning.CheckBoxRTFile, 382 - 120 - 104},
      {Options().FrameOptions_Backup1.CheckBoxBackup, 260 - 11},
      {Main().ListBoxItemList, 175 - 8},  // up to the ">>" button beside it
      {Main().SelectButton, 250 - 175},
      {Main().ProgressBar, 428},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::RoomToGrow(c.control), c.room) << c.control.Name();
}

}  // namespace
}  // namespace quenk::test
