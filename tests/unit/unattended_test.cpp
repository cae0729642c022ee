#include "ForwardingFileSystem.h"
#include "ProfileFixture.h"

#include "app/Unattended.h"
#include "base/Text.h"

#include <functional>

namespace quenk::test {
namespace {

struct Messages final : MessageSink {
  std::string text;
  void Write(std::string_view t) override { text += t; }
};

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
    return RunUnattended(machine.ports(), ParseArguments(arguments), messages);
  }
  Lines LogFolder() { return machine.fs.List("C:\\Work\\Logs"); }
  std::string LogText(const std::string& suffix) {
    for (const auto& name : LogFolder())
      if (EndsWith(name, suffix)) return machine.fs.ReadFile("C:\\Work\\Logs\\" + name);
    return {};
  }
  Messages messages;
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
      {"/silent", "a", "b", "c", "d", "e", "Creative"},  // only the first five count
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
                                         "ctaud2k.sys\r\n[Will stay]\r\n" + kSys + "ctzap.dll\r\n");
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
  EXPECT_EQ(Run(line), exitcode::kDone);
  EXPECT_FALSE(Exists(kSys + "CTAGENT.EXE"));
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
  EXPECT_EQ(RunUnattended(ports, ParseArguments({"/silent", "/restore", "latest"}), messages),
            exitcode::kStopped);
  EXPECT_EQ(messages.text, "Disk gone.\r\n");
}

}  // namespace
}  // namespace quenk::test
