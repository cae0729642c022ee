#include "ForwardingFileSystem.h"
#include "ProfileFixture.h"

#include "run/RunStamp.h"
#include "app/Unattended.h"
#include "base/Text.h"
#include "run/LogStamp.h"
#include "platform/OneRun.h"

#include <functional>

namespace quenk::test {
namespace {

struct Messages final : MessageSink {
  std::string text;
  void Write(std::string_view t) override { text += t; }
};

// An unattended run as the program starts one: with a session of its own.
int RunUnattended(platform::Ports ports, const Arguments& arguments, MessageSink& messages,
                  MessageSink& output) {
  run::Session session(ports);
  return quenk::RunUnattended(ports, session, arguments, messages, output);
}

class Unattended : public ProfileFixture {
 protected:
  Unattended() {
    machine.fs.AddFolder("C:\\Quenk");
    machine.fs.AddFolder("C:\\Work");
    machine.fs.SetCurrentDir("C:\\Work");
    Files({kSys + "CTAGENT.EXE", kDrv + "ctaud2k.sys"});
  }
  int Run(std::vector<std::string> arguments) {
    messages.text.clear();
    output.text.clear();
    return RunUnattended(machine.ports(), ParseArguments(arguments), messages, output);
  }
  Lines LogFolder() { return machine.fs.List("C:\\Work\\Logs"); }
  std::string LogText(const std::string& suffix) {
    for (const auto& name : LogFolder())
      if (EndsWith(name, suffix)) return machine.fs.ReadFile("C:\\Work\\Logs\\" + name);
    return {};
  }
  Messages messages;
  Messages output;
};

TEST_F(Unattended, WrongLinesExitWithTheUsageAndTouchNothing) {
  const std::vector<std::vector<std::string>> lines{
      {"/silent"},
      {"/silent", "Foo", "nvidia"},
      {"/silent", "/x", "NVIDIA"},
      {"/silent", "--silent", "ATi"},
      {"/silent", "/restore"},
      {"/silent", "Creative", "/restore"},
      {"/silent", "/restore", "latest", "Creative"},
      {"/silent", "/preview"},
      {"/silent", "a", "b", "c", "d", "e", "Creative"},
      {"/silent", "NVIDIAX", "Realtek"},
  };
  for (const auto& line : lines) {
    EXPECT_EQ(Run(line), exitcode::kWrongLine) << line.back();
    EXPECT_NE(messages.text.find("Exit codes with /silent"), std::string::npos) << line.back();
  }
  EXPECT_TRUE(LogFolder().empty());
  EXPECT_FALSE(machine.fs.Exists("C:\\Quenk\\quenk.ini"));
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_EQ(Run({"/SILENT", "-?"}), exitcode::kDone);
  EXPECT_EQ(messages.text, UsageText());
}

TEST_F(Unattended, ExitCodeSaysHowTheRunWent) {
  const struct {
    const char* what;
    std::function<void()> seed;
    std::vector<std::string> line;
    int code;
    const char* message;
  } cases[] = {
      {"everything went", [] {}, {"/silent", "Creative"}, exitcode::kDone, ""},
      {"something stayed",
       [this] { machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly); },
       {"Creative", "-silent"},
       exitcode::kSomethingStayed,
       ""},
      {"an error stopped it",
       [this] {
         machine.registry.SetValue(platform::kLocalMachine, "Software\\ATi Technologies\\Install",
                                   "InstallDir", platform::regtype::kDword,
                                   std::string("\x01\0\0\0", 4));
       },
       {"/silent", "Creative", "ATi", "Realtek"},
       exitcode::kStopped,
       "Invalid data type for 'InstallDir'\r\n"},
  };
  for (const auto& c : cases) {
    machine.fs.SetCurrentDir("C:\\Work");
    c.seed();
    EXPECT_EQ(Run(c.line), c.code) << c.what;
    EXPECT_EQ(messages.text, c.message) << c.what;
    // The log file is written whatever the log flag says, also after an error.
    const std::string log = LogText(".txt");
    EXPECT_EQ(log.rfind("[Deleted]\r\n", 0), 0u) << c.what;
    EXPECT_NE(log.find("[Not deleted]\r\n"), std::string::npos) << c.what;
    machine.fs.AddFolder("C:\\Work" + std::to_string(c.code));
    machine.fs.SetCurrentDir("C:\\Work" + std::to_string(c.code));
  }
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  // The settings file was made, and written back in full at the end.
  const std::string settings = machine.fs.ReadFile("C:\\Quenk\\quenk.ini");
  EXPECT_NE(settings.find("[SystemTray]"), std::string::npos);
}

TEST_F(Unattended, PreviewWritesTheForecastAndDeletesNothing) {
  machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
  EXPECT_EQ(Run({"/silent", "/preview", "Creative"}), exitcode::kSomethingStayed);
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_EQ(LogText(" preview.txt"), "[Will be deleted]\r\n" + kSys + "CTAGENT.EXE\r\n" + kDrv +
                                         "ctaud2k.sys\r\n[Will stay]\r\n" + kSys +
                                         "ctzap.dll: read-only\r\n");
  EXPECT_EQ(LogFolder().size(), 1u);  // no log file: nothing was cleaned
  // Nor a settings file: a preview writes nothing but its forecast.
  EXPECT_FALSE(machine.fs.Exists("C:\\Quenk\\quenk.ini"));
  machine.fs.AddFile("C:\\Quenk\\quenk.ini", "[Backup]\r\nBackup=0\r\n");
  EXPECT_EQ(Run({"/silent", "/preview", "Creative"}), exitcode::kSomethingStayed);
  EXPECT_EQ(machine.fs.ReadFile("C:\\Quenk\\quenk.ini"), "[Backup]\r\nBackup=0\r\n");
}

TEST_F(Unattended, LongAndManyArguments) {
  std::vector<std::string> line(200, std::string(1000, 'x'));
  line[0] = "/silent";
  line[3] = "Creative";
  EXPECT_EQ(Run(line), exitcode::kWrongLine);
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  std::vector<std::string> words(200, "Creative");
  words[0] = "/silent";
  EXPECT_EQ(Run(words), exitcode::kDone);
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_EQ(output.text.find("Deleted 2, not deleted 0."), 0u) << output.text;
}

TEST_F(Unattended, BacksUpAsTheFlagSaysAndRestoresWithExitCodes) {
  EXPECT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  ASSERT_EQ(machine.fs.List("C:\\Work\\Backups").size(), 1u);

  const struct {
    std::vector<std::string> line;
    int code;
    const char* stderrStart;
  } cases[] = {
      {{"/silent", "/restore", "no-such-stamp"}, exitcode::kWrongLine, "There is no backup"},
      {{"/silent", "/restore", "latest"}, exitcode::kDone, ""},
      {{"-Restore", "LATEST", "-silent"}, exitcode::kSomethingStayed, ""},  // all skipped now
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.line), c.code) << c.line[2];
    EXPECT_EQ(messages.text.substr(0, std::string(c.stderrStart).size()), c.stderrStart);
  }
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE") && Exists(kDrv + "ctaud2k.sys"));
  const std::string report = LogText(" restore.txt");
  EXPECT_EQ(report.rfind("[Restored]\r\n", 0), 0u) << report;
  EXPECT_NE(report.find("[Not restored]\r\n"), std::string::npos);

  // The flag off: no backup is made.
  machine.fs.AddFile("C:\\Quenk\\quenk.ini", "[Backup]\r\nBackup=0\r\n");
  machine.fs.AddFolder("C:\\Work2");
  machine.fs.SetCurrentDir("C:\\Work2");
  EXPECT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
  EXPECT_FALSE(machine.fs.Exists("C:\\Work2\\Backups"));
}

// Runs back to back within one second, as a deployment script makes them,
// keep each its own log file and backup, and the second deletes what it finds.
TEST_F(Unattended, RunsWithinOneSecondKeepTheirOwnFiles) {
  EXPECT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
  Files({kSys + "CTAGENT.EXE"});
  EXPECT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_EQ(LogFolder().size(), 2u);
  EXPECT_EQ(machine.fs.List("C:\\Work\\Backups").size(), 2u);
}

// An error from anywhere ends the run with its message and exit code 2:
// nobody is there to answer a box.
TEST_F(Unattended, AnErrorFromAnywhereEndsTheRunWithItsMessage) {
  ASSERT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
  struct Failing : ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    platform::OpenResult Open(const std::string& p, platform::OpenMode m) override {
      if (EndsWith(UpperCase(p), "\\MANIFEST.TXT")) throw std::runtime_error("Disk gone");
      return ForwardingFileSystem::Open(p, m);
    }
  } fs(machine.fs);
  const platform::Ports ports{fs, machine.registry, machine.ini, machine.locale, machine.shell};
  messages.text.clear();
  EXPECT_EQ(
      RunUnattended(ports, ParseArguments({"/silent", "/restore", "latest"}), messages, output),
      exitcode::kStopped);
  EXPECT_EQ(messages.text, "Disk gone.\r\n");
}

// Without a window every word counts, the sixth as the first, and a
// stamp after /restore is no word.
TEST_F(Unattended, EveryWordIsLookedAt) {
  const struct {
    std::vector<std::string> line;
    int code;
    std::string errors;  // what standard error begins with
  } cases[] = {
      {{"/silent", "NVIDIAX", "Creative"},
       exitcode::kWrongLine,
       "Unknown vendor word NVIDIAX.\r\n\r\n"},
      {{"/silent", "nvidia"},
       exitcode::kWrongLine,
       "nvidia: vendor words are matched exactly; did you mean NVIDIA?\r\n\r\n"},
      {{"/silent", "Creative", "REALTEK", "x"},
       exitcode::kWrongLine,
       "REALTEK: vendor words are matched exactly; did you mean Realtek?\r\n"
       "Unknown vendor word x.\r\n\r\n"},
      {{"/silent", "Creative", "Creative", "Creative", "Creative", "Creative", "ati"},
       exitcode::kWrongLine,
       "ati: vendor words are matched exactly; did you mean ATi?\r\n\r\n"},
      {{"/silent", "/restore", "nvidia"}, exitcode::kWrongLine, "There are no backups"},
      {{"/silent", "NVIDIA", "NVIDIAChipset", "ATi", "Realtek", "Creative", "Creative"},
       exitcode::kDone,
       ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.line), c.code) << c.line[1];
    EXPECT_EQ(messages.text.substr(0, c.errors.size()), c.errors) << c.line[1];
    EXPECT_EQ(Exists(kSys + "CTAGENT.EXE"), c.code != exitcode::kDone) << c.line[1];
    EXPECT_EQ(LogFolder().empty(), c.code != exitcode::kDone) << c.line[1];
  }
}

// What a run did and where its files are is one line on standard output;
// standard error keeps the messages.
TEST_F(Unattended, ARunThatEndsSaysSoInOneLine) {
  const std::string logs = "C:\\Work\\Logs\\12-7-2026-3-",
                    backups = "C:\\Work\\Backups\\12-7-2026-3-";
  const struct {
    std::vector<std::string> line;
    std::string summary;
  } cases[] = {
      {{"/silent", "/preview", "Creative"},
       "Will be deleted 2, will stay 0. Preview file: " + logs + "40-57 PM preview.txt.\r\n"},
      {{"/silent", "Creative"},
       "Deleted 2, not deleted 0. Log file: " + logs + "40-58 PM.txt. Backup folder: " + backups +
           "40-58 PM.\r\n"},
      {{"/silent", "/restore", "latest"},
       "Restored 2, not restored 0. Restore file: " + logs + "40-59 PM restore.txt.\r\n"},
      {{"/silent", "Realtek"},
       "Deleted 0, not deleted 0. Log file: " + logs + "41-00 PM.txt. No backup was made.\r\n"},
      {{"/silent", "/x"}, ""},
  };
  for (const auto& c : cases) {
    Run(c.line);
    EXPECT_EQ(output.text, c.summary) << c.line[1];
    EXPECT_EQ(messages.text.empty(), !c.summary.empty()) << c.line[1];
  }
}

// A copy the disk has no room for keeps its item, and what it left of
// itself goes; the run goes on and its log is written. The run is started
// in the root of the backup drive.
TEST_F(Unattended, ACopyThatDoesNotFitKeepsItsItemAndTheRunGoesOn) {
  struct FullBackupDrive : ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override {
      const std::uint32_t error = ForwardingFileSystem::Copy(from, to, failIfExists);
      return EndsWith(from, "CTAGENT.EXE") && error == 0 ? platform::err::kDiskFull : error;
    }
  } fs(machine.fs);
  machine.fs.AddFolder("D:\\");
  machine.fs.SetCurrentDir("D:\\");
  const platform::Ports ports{
      fs, machine.registry, machine.ini, machine.locale, machine.shell, &machine.locks};
  EXPECT_EQ(RunUnattended(ports, ParseArguments({"/silent", "Creative"}), messages, output),
            exitcode::kSomethingStayed);
  EXPECT_EQ(messages.text, "");
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_FALSE(Exists(kDrv + "ctaud2k.sys"));
  const std::string stamp = "12-7-2026-3-40-57 PM";
  EXPECT_EQ(output.text.find("Deleted 1, not deleted 1. Log file: D:\\Logs\\" + stamp +
                             ".txt. Backup folder: D:\\Backups\\" + stamp + ".\r\n"),
            0u)
      << output.text;
  EXPECT_EQ(machine.fs.ReadFile("D:\\Logs\\" + stamp + ".txt"),
            "[Deleted]\r\n" + kDrv + "ctaud2k.sys\r\n[Not deleted]\r\n" + kSys + "CTAGENT.EXE\r\n");
  const std::string backup = "D:\\Backups\\" + stamp + "\\files\\C\\Windows\\System32\\";
  EXPECT_FALSE(machine.fs.Node(backup + "CTAGENT.EXE"));
  EXPECT_TRUE(machine.fs.Node(backup + "drivers\\ctaud2k.sys"));
}

// A log file the disk cannot take whole is not left cut short: the message
// names it, and both lists follow on standard error, each line that stayed
// with its reason.
TEST_F(Unattended, ALogFileThatCannotBeWrittenGoesToStandardError) {
  struct HalfFile final : platform::File {
    std::unique_ptr<platform::File> inner;
    std::uint32_t Write(std::string_view bytes) override {
      inner->Write(bytes.substr(0, bytes.size() / 2));
      return platform::err::kDiskFull;
    }
    std::uint32_t ReadAll(std::string& bytes) override { return inner->ReadAll(bytes); }
    std::uint32_t Close() override { return inner->Close(); }
  };
  struct FullLogDrive : ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    platform::OpenResult Open(const std::string& p, platform::OpenMode m) override {
      auto opened = ForwardingFileSystem::Open(p, m);
      if (opened.file && m != platform::OpenMode::kRead && p.find("\\Logs\\") != p.npos) {
        auto half = std::make_unique<HalfFile>();
        half->inner = std::move(opened.file);
        opened.file = std::move(half);
      }
      return opened;
    }
  } fs(machine.fs);
  machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
  const platform::Ports ports{
      fs, machine.registry, machine.ini, machine.locale, machine.shell, &machine.locks};
  const std::string log = "C:\\Work\\Logs\\12-7-2026-3-40-5";
  const struct {
    std::vector<std::string> line;
    std::string errors;
    std::string summary;
  } cases[] = {
      {{"/silent", "Creative"},
       log + "7 PM.txt: Disk full.\r\n[Deleted]\r\n" + kSys + "CTAGENT.EXE\r\n" + kDrv +
           "ctaud2k.sys\r\n[Not deleted]\r\n" + kSys + "ctzap.dll: read-only\r\n",
       "Deleted 2, not deleted 1. No log file was written. Backup folder: C:\\Work\\Backups\\12-7-"
       "2026-3-40-57 PM.\r\n"},
      {{"/silent", "/preview", "Creative"},
       log + "8 PM preview.txt: Disk full.\r\n[Will be deleted]\r\n[Will stay]\r\n" + kSys +
           "ctzap.dll: read-only\r\n",
       "Will be deleted 0, will stay 1. No preview file was written.\r\n"},
  };
  for (const auto& c : cases) {
    messages.text.clear();
    output.text.clear();
    EXPECT_EQ(RunUnattended(ports, ParseArguments(c.line), messages, output), exitcode::kStopped);
    EXPECT_EQ(messages.text, c.errors);
    EXPECT_EQ(output.text, c.summary);
    EXPECT_TRUE(LogFolder().empty());
  }
}

// One run at a time on a machine: a second one is refused at once and
// touches nothing; the run holds the machine only while it runs.
TEST_F(Unattended, ASecondRunIsRefusedWhileOneRuns) {
  ASSERT_EQ(Run({"/silent", "/preview", "Creative"}), exitcode::kDone);
  EXPECT_FALSE(machine.locks.IsHeld(platform::kRunLockName));
  machine.fs.Delete("C:\\Work\\Logs\\12-7-2026-3-40-57 PM preview.txt");
  auto other = machine.locks.TryHold(platform::kRunLockName);
  ASSERT_TRUE(other);
  for (const std::vector<std::string>& line : {std::vector<std::string>{"/silent", "Creative"},
                                               {"/silent", "/preview", "Creative"},
                                               {"/silent", "/restore", "latest"}}) {
    EXPECT_EQ(Run(line), exitcode::kBusy) << line[1];
    EXPECT_EQ(messages.text,
              "Another cleaning, preview or restore is running on this machine.\r\n");
    EXPECT_EQ(output.text, "");
  }
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE"));
  EXPECT_TRUE(LogFolder().empty());
  EXPECT_FALSE(machine.fs.Exists("C:\\Quenk\\quenk.ini"));
  EXPECT_EQ(Run({"/silent", "/x"}), exitcode::kWrongLine);  // a wrong line is told as such
  other.reset();
  EXPECT_EQ(Run({"/silent", "Creative"}), exitcode::kDone);
}

// A clock that stands still or has gone back gives the seconds after the
// taken stamps, never a taken one.
TEST_F(Unattended, ATakenStampIsNeverTakenAgain) {
  struct StandingClock final : platform::Locale {
    explicit StandingClock(sim::SimLocale& l) : inner(l) {}
    platform::RegionalSettings Regional() override { return inner.Regional(); }
    platform::LocalTime Now() override { return inner.Now(); }
    void Sleep(std::uint32_t) override { ++sleeps; }
    std::string MachineName() override { return inner.MachineName(); }
    std::string AnsiToUtf8(const std::string& a) override { return inner.AnsiToUtf8(a); }
    platform::CodePage AnsiCodePage() override { return inner.AnsiCodePage(); }
    sim::SimLocale& inner;
    int sleeps = 0;
  };
  const auto stampOf = [this](platform::LocalTime t) {
    return LogStamp(machine.locale.Regional(), t);
  };
  const platform::LocalTime start = machine.locale.now;
  const struct {
    const char* what;
    platform::LocalTime now;
    int taken;  // seconds from `now` on whose stamps are taken
    const char* suffix;
    bool moving;  // the clock moves on while the run waits
    const char* expected;
  } cases[] = {
      {"free", start, 0, ".txt", true, "12-7-2026-3-40-57 PM"},
      {"a log file", start, 1, ".txt", true, "12-7-2026-3-40-58 PM"},
      {"a preview", start, 1, " preview.txt", true, "12-7-2026-3-40-58 PM"},
      {"a backup folder", start, 1, "\\", true, "12-7-2026-3-40-58 PM"},
      {"many, the clock moving", start, 100, ".txt", true, "12-7-2026-3-42-37 PM"},
      {"many, the clock standing", start, 100, ".txt", false, "12-7-2026-3-42-37 PM"},
      {"the year's last second",
       {2026, 12, 31, 4, 23, 59, 59},
       1,
       ".txt",
       false,
       "1-1-2027-12-00-00 AM"},
      {"a leap day", {2028, 2, 28, 1, 23, 59, 59}, 1, ".txt", false, "2-29-2028-12-00-00 AM"},
  };
  for (const auto& c : cases) {
    sim::SimMachine m;
    m.fs.AddFolder("C:\\Work\\Logs");
    m.fs.SetCurrentDir("C:\\Work");
    platform::LocalTime t = c.now;
    for (int i = 0; i < c.taken; ++i, t = NextSecond(t)) {
      if (std::string(c.suffix) == "\\")
        m.fs.AddFolder("C:\\Work\\Backups\\" + stampOf(t));
      else
        m.fs.AddFile("C:\\Work\\Logs\\" + stampOf(t) + c.suffix);
    }
    m.locale.now = c.now;
    StandingClock standing(m.locale);
    platform::Locale& clock = c.moving ? static_cast<platform::Locale&>(m.locale) : standing;
    EXPECT_EQ(FreshStamp(m.fs, clock), c.expected) << c.what;
    EXPECT_LE(standing.sleeps, 15) << c.what;
  }
}

}  // namespace
}  // namespace quenk::test
