#include "ProgramFixture.h"

#include "run/SettingsFile.h"

namespace quenk::test {
namespace {

TEST(SettingsPath, ExtensionReplacedByIni) {
  const struct {
    const char* program;
    const char* settings;
  } cases[] = {{"C:\\Tools\\prog.exe", "C:\\Tools\\prog.ini"},
               {"C:\\Tools\\quenk.v2.exe", "C:\\Tools\\quenk.v2.ini"},
               {"C:\\Tools\\noext", "C:\\Tools\\noext.ini"},
               {"C:\\My.Tools\\noext", "C:\\My.Tools\\noext.ini"}};
  for (const auto& c : cases) EXPECT_EQ(SettingsPathFor(c.program), c.settings);
}

class SettingsValues : public ProgramFixture {};

// A files flag defaults to on, so every reading shows: off for zero, on for
// other numbers, the default for anything that is no whole number.
TEST_F(SettingsValues, FlagReadings) {
  const struct {
    const char* value;
    bool on;
  } cases[] = {
      {"1", true},          {"2", true},           {"-1", true},        {"0x10", true},
      {"0X1f", true},       {"$1F", true},         {"\" 1\"", true},    {"+7", true},
      {"0", false},         {"0x0", false},        {"$0", false},       {"-0", false},
      {" 0", false},        {"00", false},         {"yes", true},       {"true", true},
      {"", true},           {"0x", true},          {"$", true},         {"1 2", true},
      {"2147483648", true}, {"-2147483648", true}, {"$FFFFFFFF", true}, {"$100000000", true},
      {"0xg", true},        {"0 ", false},
  };
  for (const auto& c : cases) {
    machine.fs.AddFile(kSettings, std::string("[Creative Sound]\r\nFiles=") + c.value + "\r\n");
    const SettingsFile settings(machine.ini, kSettings);
    EXPECT_EQ(settings.ReadAll()[Item::kCreative].files, c.on) << "Files=" << c.value;
  }
}

TEST_F(SettingsValues, OddFilesGiveDefaultsWithoutError) {
  std::string binary;
  for (int i = 0; i < 2000; ++i) binary += static_cast<char>((i * 37) % 256);
  std::string huge;
  while (huge.size() < 3'000'000) huge += "[Filler]\r\nKey=" + std::string(50, 'x') + "\r\n";
  const struct {
    std::string text;
    bool creativeFiles;
    bool log;
  } cases[] = {
      {"", true, false},
      {binary, true, false},
      {huge + "[Logfiles]\r\nLogfiles=1\r\n", true, true},
      {"Files=0\r\nLogfiles=1\r\n", true, false},                    // no sections
      {"[Creative Sound]\r\nFiles=0\r\nFiles=1\r\n", false, false},  // first of two
      {"[creative sound]\r\nFILES=0\r\n[LOGFILES]\r\nlogfiles=1\r\n", false, true},
      {"[Creative Sound]\nFiles=0\n[Logfiles]\rLogfiles=1\r", false, true},
  };
  for (const auto& c : cases) {
    machine.fs.AddFile(kSettings, c.text);
    const auto flags = SettingsFile(machine.ini, kSettings).ReadAll();
    EXPECT_EQ(flags[Item::kCreative].files, c.creativeFiles) << c.text.substr(0, 40);
    EXPECT_EQ(flags.logFiles, c.log) << c.text.substr(0, 40);
    EXPECT_TRUE(flags[Item::kRealtek].registry);
  }
}

TEST_F(SettingsValues, ExitWritesEveryKeyBackAndKeepsValues) {
  Settings("[NVIDIA Display]\r\nFiles=0\r\n");
  Start();
  EXPECT_FALSE(Main().Flags()[Item::kNvidiaDisplay].files);
  EXPECT_TRUE(Main().Flags()[Item::kNvidiaDisplay].registry);
  Settings("[NVIDIA Display]\r\nFiles=0\r\n[Logfiles]\r\nLogfiles=yes\r\n");  // edited meanwhile
  app.Shutdown();
  EXPECT_EQ(
      SettingsText(),
      "[NVIDIA Display]\r\nFiles=0\r\nRegistry=1\r\n[Logfiles]\r\nLogfiles=0\r\n"
      "[NVIDIA Chipset]\r\nRegistry=1\r\nFiles=1\r\n[ATi Display]\r\nRegistry=1\r\nFiles=1\r\n"
      "[Creative Sound]\r\nRegistry=1\r\nFiles=1\r\n[Realtek Sound]\r\nRegistry=1\r\nFiles=1\r\n"
      "[SystemTray]\r\nSystemTray=0\r\n[Backup]\r\nBackup=1\r\n");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(SettingsValues, UnwritableSettingsFileIsReportedAtStartAndAtExit) {
  machine.fs.Node("C:\\Quenk")->denyWrite = true;
  Start();
  const std::string report = "Unable to write to C:\\Quenk\\quenk.ini.";
  EXPECT_EQ(Reports(), Lines{report});
  EXPECT_TRUE(Main().Visible());
  EXPECT_TRUE(Main().Flags() == OptionFlags{});
  app.Shutdown();
  EXPECT_EQ(Reports(), (Lines{report, report}));
}

TEST_F(SettingsValues, ReadOnlySettingsFileStillSetsTheFlags) {
  machine.fs.AddFile(kSettings, "[SystemTray]\r\nSystemTray=1\r\n", platform::attr::kReadOnly);
  Start();
  EXPECT_TRUE(Reports().empty());
  EXPECT_TRUE(machine.shell.HasIcon());
  app.Shutdown();
  EXPECT_EQ(Reports(), Lines{"Unable to write to C:\\Quenk\\quenk.ini."});
  EXPECT_EQ(SettingsText(), "[SystemTray]\r\nSystemTray=1\r\n");
}

// Files of earlier versions hold no Backup section: they read as on.
TEST_F(SettingsValues, BackupFlagIsOnUnlessSetToZero) {
  const struct {
    const char* text;
    bool on;
  } cases[] = {
      {"", true},
      {"[Logfiles]\r\nLogfiles=1\r\n[SystemTray]\r\nSystemTray=0\r\n", true},
      {"[Backup]\r\nBackup=0\r\n", false},
      {"[backup]\r\nBACKUP=0x0\r\n", false},
      {"[Backup]\r\nBackup=1\r\n", true},
      {"[Backup]\r\nBackup=no\r\n", true},
      {"[Backup]\r\nBackup=\r\n", true},
  };
  for (const auto& c : cases) {
    machine.fs.AddFile(kSettings, c.text);
    EXPECT_EQ(SettingsFile(machine.ini, kSettings).ReadAll().backup, c.on) << c.text;
  }
}

}  // namespace
}  // namespace quenk::test
