#include "E2e.h"

#include <commctrl.h>

namespace quenk::e2e {
namespace {

// Folders the test script made unwritable (chmod 555) for these tests.
constexpr const char* kLockedProgram = "C:\\quenk-locked\\quenk.exe";
constexpr const char* kLockedSettings = "C:\\quenk-locked\\quenk.ini";
constexpr const char* kLockedCwd = "C:\\quenk-locked";

// Write failures as a user without root rights sees them: Wine run as root
// writes read-only files, so there these tests skip.
class WriteFailures : public E2e {
 protected:
  void SetUp() override {
    E2e::SetUp();
    const std::string probe = "C:\\quenk\\ro-probe.txt";
    WriteFile(probe, "x");
    ::SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE h = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool root = h != INVALID_HANDLE_VALUE;
    if (root) ::CloseHandle(h);
    ::SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(probe.c_str());
    if (root)
      GTEST_SKIP() << "run with root rights: Wine writes read-only files (scripts/test runs these "
                      "as nobody)";
  }
  // Waits for the error report, checks its text and presses OK.
  void Report(const std::string& text) {
    const HWND box = WaitReport(text);
    ASSERT_TRUE(box) << text;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_SOON(quenk->ErrorBox() == nullptr);
  }
  // The same for a report that begins with `start` and ends with `end`.
  void Report(const std::string& start, const std::string& end) {
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; })) << start;
    const auto says = [&] {
      for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        const std::string text = Text(c);
        if (text.size() >= start.size() + end.size() && text.rfind(start, 0) == 0 &&
            text.compare(text.size() - end.size(), end.size(), end) == 0)
          return true;
      }
      return false;
    };
    EXPECT_TRUE(WaitFor(says)) << start << "..." << end;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_SOON(quenk->ErrorBox() == nullptr);
  }
};

TEST_F(WriteFailures, ReadOnlySettingsFileIsReportedAtExit) {
  Settings("[Creative Sound]\r\nFiles=0\r\n");
  ::SetFileAttributesA(kSettings, FILE_ATTRIBUTE_READONLY);
  const HWND main = StartShown();
  EXPECT_EQ(quenk->ErrorBox(), nullptr);  // reading needs no write
  PostClose(main);
  Report("Unable to write to C:\\quenk\\quenk.ini.");
  EXPECT_TRUE(quenk->WaitExit());
  EXPECT_EQ(ReadFile(kSettings), "[Creative Sound]\r\nFiles=0\r\n");
  ::SetFileAttributesA(kSettings, FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WriteFailures, SettingsFileThatCannotBeMadeIsReportedAtStartAndExit) {
  Quenk::Options options;
  options.program = kLockedProgram;
  options.workingDir = kLockedCwd;
  Start(options);
  Report("Unable to write to C:\\quenk-locked\\quenk.ini.");
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_FALSE(FileExists(kLockedSettings));
  PostClose(quenk->Main());
  Report("Unable to write to C:\\quenk-locked\\quenk.ini.");
  EXPECT_TRUE(quenk->WaitExit());
}

TEST_F(WriteFailures, LogFolderThatCannotBeMadeIsReportedAfterTheRun) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n[Backup]\r\nBackup=0\r\n");
  seed::Seed(seed::LeftoversOf("Creative"));
  Quenk::Options options;
  options.arguments = {"Creative"};
  options.workingDir = kLockedCwd;
  Start(options);
  // The report names the log file that could not be written.
  Report("C:\\quenk-locked\\Logs\\", ".txt: Invalid filename.");
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_FALSE(FileExists("C:\\windows\\system32\\CTAGENT.EXE"));  // the run itself went through
}

// Nothing is deleted without its copy: with "Backups" unwritable every item
// stays, is recorded as not deleted, and the run goes on to its end.
TEST_F(WriteFailures, UnwritableBackupsKeepEveryItemAndRecordItAsNotDeleted) {
  Settings("[Logfiles]\r\nLogfiles=0\r\n");
  const auto leftovers = seed::LeftoversOf("Creative");
  seed::Seed(leftovers);
  Quenk::Options options;
  options.arguments = {"Creative"};
  options.workingDir = kLockedCwd;
  Start(options);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_EQ(quenk->ErrorBox(), nullptr);
  for (const auto& e : leftovers) EXPECT_TRUE(seed::Exists(e)) << seed::Describe(e);
  EXPECT_FALSE(FileExists("C:\\quenk-locked\\Backups"));
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->Window("TLogForm");
  EXPECT_TRUE(ListItems(Child(log, IDC_LOG_LISTBOX1)).empty());
  const Lines kept = ListItems(Child(log, IDC_LOG_LISTBOX2));
  for (const char* line :
       {"C:\\windows\\System32\\CTAGENT.EXE", "C:\\windows\\System32\\drivers\\CTGAME.sys",
        "C:\\Program Files\\InstallShield Installation Information\\{CREATIVE-1}",
        "HKCU\\Software\\CREATIVE TECH", "HKLM\\Software\\ASIO"})
    EXPECT_NE(std::find(kept.begin(), kept.end(), line), kept.end()) << line;
  // The progress bar went through every step of the run.
  const HWND bar = Child(quenk->Main(), IDC_VESK_PROGRESS);
  EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
}

}  // namespace
}  // namespace quenk::e2e
