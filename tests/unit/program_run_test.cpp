#include "ProgramFixture.h"

#include "platform/OneRun.h"

#include <functional>

namespace quenk::test {
namespace {

using platform::kLocalMachine;

// Records every position the progress bar is given.
struct PositionLog final : ui::ProgressBarPeer {
  std::vector<int>& positions;
  explicit PositionLog(std::vector<int>& p) : positions(p) {}
  std::uintptr_t Handle() const override { return 0; }
  void SetVisible(bool) override {}
  void SetEnabled(bool) override {}
  void SetCaption(const std::string&) override {}
  void Focus() override {}
  void SetRange(int, int) override {}
  void SetPosition(int position) override { positions.push_back(position); }
};

class ProgramRun : public ProgramFixture {
 protected:
  void SeedLeftovers() {
    Files({kSys + "CTAGENT.EXE", kSys + "RtkAPO.dll", kSys + "nvcpl.dll", kSys + "atiogl.xml"});
    Keys(platform::kCurrentUser, {"Software\\Creative Tech", "Software\\Realtek"});
  }
  void Clean() { UserClick(Main().CleanButton); }
};

TEST_F(ProgramRun, FirstStartWritesEveryKeyInTableOrder) {
  Start();
  EXPECT_EQ(
      SettingsText(),
      "[NVIDIA Chipset]\r\nRegistry=1\r\nFiles=1\r\n[NVIDIA Display]\r\nRegistry=1\r\nFiles=1\r\n"
      "[ATi Display]\r\nRegistry=1\r\nFiles=1\r\n[Creative Sound]\r\nRegistry=1\r\nFiles=1\r\n"
      "[Realtek Sound]\r\nRegistry=1\r\nFiles=1\r\n[Logfiles]\r\nLogfiles=0\r\n"
      "[SystemTray]\r\nSystemTray=0\r\n[Backup]\r\nBackup=1\r\n");
  EXPECT_TRUE(Main().Visible());
  EXPECT_FALSE(Log().Visible() || windows->about.Visible() || windows->options.Visible());
  EXPECT_EQ(Main().ListBoxItemList.Items().Lines(),
            (Lines{"ATi - Display", "Creative - Sound", "NVIDIA - Chipset", "NVIDIA - Display",
                   "Realtek - Sound"}));
}

TEST_F(ProgramRun, CommandLineWords) {
  const struct {
    std::vector<std::string> args;
    Lines cleanList;
    int progressMax;
  } cases[] = {
      {{}, {}, 100},
      {{"Realtek"}, {"Realtek - Sound"}, 19},
      {{"NVIDIA", "NVIDIA"}, {"NVIDIA - Display", "NVIDIA - Display"}, 142},
      {{"ATi", "nvidia"}, {"ATi - Display"}, 21},
      {{"Creative", "NVIDIAChipset"}, {"Creative - Sound", "NVIDIA - Chipset"}, 84},
      {{"x", "y", "z", "w", "v", "Creative", "Realtek"}, {}, 100},
      {{"NVIDIA Creative"}, {}, 100},
      {{"Creative - Sound"}, {}, 100},
  };
  for (const auto& c : cases) {
    run::Session session(machine.ports());
    ui::Application local;
    const auto w = CreateProgram(local, machine.ports(), session, ParseArguments(c.args));
    local.Start();
    EXPECT_EQ(w.main.ListBoxCleanItems.Items().Lines(), c.cleanList);
    EXPECT_EQ(w.main.ProgressBar.Max(), c.progressMax);
    EXPECT_EQ(w.main.ProgressBar.Position(), c.cleanList.empty() ? 0 : c.progressMax);
    local.Shutdown();
  }
}

TEST_F(ProgramRun, RunCleansInListOrderAndFillsTheBarExactly) {
  SeedLeftovers();
  Start();
  std::vector<int> positions;
  Main().ProgressBar.AttachPeer(std::make_unique<PositionLog>(positions));
  positions.clear();
  UserPick(Main().ListBoxItemList, 4);  // Realtek - Sound
  UserClick(Main().SelectButton);
  UserPick(Main().ListBoxItemList, 1);  // Creative - Sound
  UserClick(Main().SelectButton);
  EXPECT_EQ(CleanList(), (Lines{"Realtek - Sound", "Creative - Sound"}));
  Clean();
  EXPECT_EQ(RecordDeleted(), (Lines{kSys + "RtkAPO.dll", "HKCU\\Software\\Realtek",
                                    kSys + "CTAGENT.EXE", "HKCU\\Software\\CREATIVE TECH"}));
  EXPECT_EQ(Main().ProgressBar.Max(), 66);
  // Each run starts from an empty bar, then makes the step of the run's start.
  const auto firstStep = [&positions] {
    const auto it = std::find_if(positions.begin(), positions.end(), [](int p) { return p; });
    return it == positions.end() ? -1 : *it;
  };
  ASSERT_GE(positions.size(), 3u);
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(firstStep(), 10);
  EXPECT_EQ(std::count(positions.begin(), positions.end(), 66),
            66 - 56 + 1);  // full after 56 steps
  positions.clear();
  Clean();  // a full bar from the run before starts over from 0
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(firstStep(), 10);
  EXPECT_EQ(std::count(positions.begin(), positions.end(), 66), 66 - 56 + 1);
  EXPECT_EQ(Main().ProgressBar.Position(), 66);
}

TEST_F(ProgramRun, OnA64BitMachineTheBarCountsBothHalvesAndFills) {
  Add32BitHalves();
  Files({kWow + "CTAGENT.EXE", kWowDrv + "RTKVHDA.sys"});
  Keys(kLocalMachine, {"Software\\WOW6432Node\\ASIO"});
  Start({"Creative", "Realtek"});
  EXPECT_EQ(Main().ProgressBar.Max(), 93 + 37);
  EXPECT_EQ(Main().ProgressBar.Position(), 93 + 37);
  EXPECT_EQ(RecordDeleted(), (Lines{kWow + "CTAGENT.EXE", "HKLM\\Software\\WOW6432Node\\ASIO",
                                    kWowDrv + "RTKVHDA.sys"}));
}

TEST_F(ProgramRun, CommandLineIsProcessedOnceEvenWhenShownAgain) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  SeedLeftovers();
  Start({"Realtek"});
  const auto deleted = RecordDeleted();
  EXPECT_EQ(deleted.size(), 2u);
  UserClick(Main().Minimize1);
  EXPECT_FALSE(Main().Visible());
  UserClick(Main().Restore1);
  EXPECT_TRUE(Main().Visible());
  EXPECT_EQ(CleanList(), Lines{"Realtek - Sound"});
  EXPECT_EQ(RecordDeleted(), deleted);
}

TEST_F(ProgramRun, FlagsDecideWhatRunsAndTheLogFollowsEveryRun) {
  SeedLeftovers();
  Settings(
      "[Creative Sound]\r\nFiles=0\r\n[Realtek Sound]\r\nFiles=0\r\nRegistry=0\r\n"
      "[Logfiles]\r\nLogfiles=1\r\n");
  Start({"Realtek"});
  EXPECT_EQ(Main().ProgressBar.Max(), 100);  // nothing to count: the bar stays as it was
  EXPECT_EQ(Main().ProgressBar.Position(), 0);
  EXPECT_EQ(LogFiles().size(), 1u);  // a run with nothing switched on still logs
  machine.locale.now.second = 58;
  UserPick(Main().ListBoxItemList, 1);
  UserClick(Main().SelectButton);
  Clean();
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_FALSE(Key(platform::kCurrentUser, "Software\\Creative Tech"));
  EXPECT_EQ(LogFiles(), (Lines{"12-7-2026-3-40-57 PM.txt", "12-7-2026-3-40-58 PM.txt"}));
  EXPECT_EQ(machine.fs.ReadFile("C:\\Work\\Logs\\12-7-2026-3-40-58 PM.txt"),
            "[Deleted]\r\nHKCU\\Software\\CREATIVE TECH\r\n[Not deleted]\r\n");
}

TEST_F(ProgramRun, EmptyCleanListDoesNothingButReadTheFlags) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  Start({"unknown"});
  Clean();
  EXPECT_TRUE(LogFiles().empty());
  EXPECT_EQ(Main().ProgressBar.Max(), 100);
  EXPECT_TRUE(Main().Flags().logFiles);
}

TEST_F(ProgramRun, ErrorMidRunEndsTheRunKeepsTheRecordAndWritesNoLog) {
  SeedLeftovers();
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  machine.registry.SetValue(kLocalMachine, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                            platform::regtype::kDword, std::string(4, '\0'));
  Start({"Creative", "Realtek", "NVIDIA"});
  // The message ends in "'", which sorts before ".": no full stop is added.
  EXPECT_EQ(Reports(), Lines{"Invalid data type for 'ProgramFilesDir'"});
  EXPECT_TRUE(Main().Visible());
  EXPECT_EQ(CleanList(), (Lines{"Creative - Sound", "Realtek - Sound", "NVIDIA - Display"}));
  EXPECT_EQ(RecordDeleted(), (Lines{kSys + "CTAGENT.EXE", "HKCU\\Software\\CREATIVE TECH"}));
  EXPECT_TRUE(Exists(kSys + "nvcpl.dll"));
  EXPECT_TRUE(LogFiles().empty());
  EXPECT_EQ(Main().ProgressBar.Position(), 10 + 47);
}

TEST_F(ProgramRun, FolderRemovalErrorIsReportedWithFullStop) {
  machine.fs.AddFile("C:\\ATI\\Support\\x.exe");
  machine.fs.Node("C:\\ATI\\Support")->removeError = 32;
  machine.registry.SetString(kLocalMachine, "Software\\ATi Technologies\\Install", "InstallDir",
                             "C:\\ATI\\Support");
  Start({"ATi"});
  EXPECT_EQ(Reports(), Lines{"C:\\ATI\\Support: I/O error 32."});
  EXPECT_TRUE(RecordDeleted().empty() && RecordNotDeleted().empty());
}

// With the window, a run refused because another holds the machine is the
// error report, and nothing is done; the window's own runs let go when done.
TEST_F(ProgramRun, ARunWhileAnotherHoldsTheMachineIsReported) {
  SeedLeftovers();
  Start();
  auto other = machine.locks.TryHold(platform::kRunLockName);
  ASSERT_TRUE(other);
  const struct {
    const char* what;
    std::function<void()> run;
  } cases[] = {
      {"clean",
       [this] {
         Main().ListBoxCleanItems.Add("Creative - Sound");
         Clean();
       }},
      {"preview", [this] { app.Guard([this] { Main().PreviewClick(); }); }},
      {"restore", [this] { app.Guard([this] { RestoreWindow().RestoreBackup("latest"); }); }},
  };
  machine.fs.AddFile("C:\\Work\\Backups\\old\\manifest.txt", "");
  for (const auto& c : cases) {
    const std::size_t before = Reports().size();
    c.run();
    ASSERT_EQ(Reports().size(), before + 1) << c.what;
    EXPECT_EQ(Reports().back(), "Another cleaning, preview or restore is running on this machine.")
        << c.what;
  }
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_TRUE(RecordDeleted().empty());
  EXPECT_EQ(Main().ProgressBar.Position(), 0);
  other.reset();
  const std::size_t before = Reports().size();
  Clean();
  EXPECT_EQ(Reports().size(), before);
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_FALSE(machine.locks.IsHeld(platform::kRunLockName));
}

}  // namespace
}  // namespace quenk::test
