#include "E2e.h"
#include "RunToEnd.h"
#include "JsonSchema.h"
#include "QuenkVersion.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>

namespace quenk::e2e {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class Unattended : public E2e {
 protected:
  std::string LogEnding(const std::string& suffix) {
    for (const auto& name : LogNames())
      if (name.size() >= suffix.size() &&
          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return ReadFile(std::string(kLogs) + "\\" + name);
    return {};
  }
};

TEST_F(Unattended, ExitCodesFromTheRealProcessAndNoWindowEver) {
  const auto readOnlyLeftover = [] {
    seed::Seed(seed::LeftoversOf("Creative"));
    const char* path = "C:\\windows\\system32\\ctzap-ro.dll";
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    WriteFile(path, "x");
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
  };
  const auto wrongValueType = [] {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\ATI Technologies\\Install", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const DWORD number = 7;
    ::RegSetValueExA(key, "InstallDir", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    ::RegCloseKey(key);
  };
  // A command line as long as deployment tools make them: every word counts.
  std::vector<std::string> many{"/silent", "Creative", "\"" + std::string(1500, 'x') + "\""};
  for (int i = 0; i < 200; ++i) many.push_back("word" + std::to_string(i));
  std::vector<std::string> manyWords{"/silent"};
  for (int i = 0; i < 200; ++i) manyWords.push_back(i % 2 ? "Creative" : "Realtek");
  const struct {
    const char* what;
    std::function<void()> seed;
    std::vector<std::string> line;
    DWORD code;
    std::string errors;  // what standard error begins with
    bool logged = true;  // whatever the log flag says, also when an error stopped the run
  } cases[] = {
      {"a long line of many arguments", [] { seed::Seed(seed::LeftoversOf("Creative")); }, many, 3,
       "Unknown vendor word " + std::string(1500, 'x') + ".", false},
      {"a long line of many vendor words", [] { seed::Seed(seed::LeftoversOf("Creative")); },
       manyWords, 0, ""},
      {"cleaned",
       [] { seed::Seed(seed::LeftoversOf("Creative")); },
       {"/silent", "Creative"},
       0,
       ""},
      {"a read-only leftover stays", readOnlyLeftover, {"Creative", "-SILENT"}, 1, ""},
      {"a wrong value type stops the run",
       wrongValueType,
       {"/silent", "ATi"},
       2,
       "Invalid data type for 'InstallDir'"},
      // A preview's file is its log.
      {"a preview of a read-only leftover",
       readOnlyLeftover,
       {"/silent", "/preview", "Creative"},
       1,
       ""},
      {"a preview that would stop",
       wrongValueType,
       {"-preview", "ATi", "/Silent"},
       2,
       "Invalid data type for 'InstallDir'"},
      {"a preview without a vendor word",
       [] {},
       {"/silent", "/preview"},
       3,
       "No vendor word",
       false},
      {"no vendor word", [] {}, {"/silent"}, 3, "No vendor word", false},
      {"an unknown switch", [] {}, {"/silent", "/x", "ATi"}, 3, "Unknown switch /x", false},
      {"a double dash", [] {}, {"--silent", "/silent", "ATi"}, 3, "Unknown switch --silent", false},
      {"restore without a stamp", [] {}, {"/silent", "/restore"}, 3, "/restore needs", false},
      {"help", [] {}, {"/silent", "/?"}, 0, "Quenk removes", false},
  };
  for (const auto& c : cases) {
    seed::Clear();
    DeleteTree(kLogs);
    c.seed();
    const Finished f = RunToEnd(c.line);
    EXPECT_EQ(f.code, c.code) << c.what << "\n" << f.errors << f.failure;
    EXPECT_EQ(f.errors.substr(0, c.errors.size()), c.errors) << c.what;
    EXPECT_FALSE(f.windowSeen) << c.what;
    EXPECT_EQ(LogNames().size(), c.logged ? 1u : 0u) << c.what;
  }
  ::SetFileAttributesA("C:\\windows\\system32\\ctzap-ro.dll", FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA("C:\\windows\\system32\\ctzap-ro.dll");
  ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\ATI Technologies\\Install", "InstallDir");
}

TEST_F(Unattended, SilentPreviewWritesTheForecastOnly) {
  seed::Seed(seed::LeftoversOf("Realtek"));
  const Finished f = RunToEnd({"/silent", "/preview", "Realtek"});
  EXPECT_EQ(f.code, 0u) << f.errors;
  EXPECT_FALSE(f.windowSeen);
  const std::string forecast = LogEnding(" preview.txt");
  EXPECT_EQ(forecast.rfind("[Will be deleted]\r\nC:\\Program Files\\Realtek\\Audio\r\n", 0), 0u)
      << forecast;
  EXPECT_NE(forecast.find("\r\n[Will stay]\r\n"), std::string::npos);
  EXPECT_EQ(LogNames().size(), 1u);
  for (const auto& e : seed::LeftoversOf("Realtek"))
    EXPECT_TRUE(seed::Exists(e)) << seed::Describe(e);
}

TEST_F(Unattended, SilentRestoreOfTheLatestBackup) {
  DeleteTree("C:\\quenk\\Backups");
  const auto creative = seed::LeftoversOf("Creative");
  seed::Seed(creative);
  ASSERT_EQ(RunToEnd({"/silent", "Creative"}).code, 0u);
  const struct {
    std::vector<std::string> line;
    DWORD code;
    std::string errors;
  } cases[] = {
      {{"/silent", "/restore", "\"no such stamp\""}, 3, "There is no backup"},
      {{"/silent", "/restore", "latest"}, 0, ""},
      {{"/restore", "latest", "/SILENT"}, 1, ""},  // everything is back: all skipped
  };
  for (const auto& c : cases) {
    DeleteTree(kLogs);
    const Finished f = RunToEnd(c.line);
    EXPECT_EQ(f.code, c.code) << c.line[2] << "\n" << f.errors << f.failure;
    EXPECT_EQ(f.errors.substr(0, c.errors.size()), c.errors) << c.line[2];
    EXPECT_FALSE(f.windowSeen) << c.line[2];
    const std::string report = LogEnding(" restore.txt");
    EXPECT_EQ(report.empty(), c.code == 3) << report;
    if (!report.empty()) {
      EXPECT_EQ(report.rfind("[Restored]\r\n", 0), 0u) << report;
    }
  }
  for (const auto& e : creative) {
    if (!e.survives) {
      EXPECT_TRUE(seed::Exists(e)) << seed::Describe(e);
    }
  }
  DeleteTree("C:\\quenk\\Backups");
}

TEST_F(Unattended, HelpWithoutSilentIsAMessageBoxAndExitZero) {
  for (const char* help : {"/?", "-HELP"}) {
    Start({help, "NVIDIA"});
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; })) << help;
    const auto saysUsage = [box] {
      for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (Text(c).find("Exit codes with /silent") != std::string::npos) return true;
      return false;
    };
    EXPECT_TRUE(WaitFor(saysUsage)) << help;
    EXPECT_EQ(quenk->Main(), nullptr) << "no window but the usage";
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(quenk->WaitExit()) << help;
    EXPECT_EQ(quenk->ExitCode(), 0u) << help;
  }
}

// Without a window every word is looked at: a typo cleans nothing.
TEST_F(Unattended, AWordThatNamesNoItemCleansNothing) {
  const auto realtek = seed::LeftoversOf("Realtek");
  seed::Seed(realtek);
  const struct {
    std::vector<std::string> line;
    std::string errors;  // what standard error begins with
  } cases[] = {
      {{"/silent", "NVIDIAX", "Realtek"}, "Unknown vendor word NVIDIAX.\r\n\r\nQuenk removes"},
      {{"/silent", "realtek"},
       "realtek: vendor words are matched exactly; did you mean Realtek?\r\n"},
  };
  for (const auto& c : cases) {
    const Finished f = RunToEnd(c.line);
    EXPECT_EQ(f.code, 3u) << c.line[1] << "\n" << f.errors << f.failure;
    EXPECT_EQ(f.errors.substr(0, c.errors.size()), c.errors) << c.line[1];
    EXPECT_EQ(f.output, "") << c.line[1];
  }
  EXPECT_TRUE(LogNames().empty());
  for (const auto& e : realtek) EXPECT_TRUE(seed::Exists(e)) << seed::Describe(e);
  const Finished f = RunToEnd({"/silent", "Realtek"});
  EXPECT_EQ(f.code, 0u) << f.errors;
  EXPECT_EQ(f.errors, "");
  ASSERT_EQ(LogNames().size(), 1u);
  EXPECT_EQ(f.output.rfind("Deleted ", 0), 0u) << f.output;
  EXPECT_NE(f.output.find("Log file: " + std::string(kLogs) + "\\" + LogNames()[0] + "."),
            std::string::npos)
      << f.output;
}

// Two runs started together: each has its own stamp and files and every
// deletion is in exactly one log, or the second is refused at once.
TEST_F(Unattended, TwoRunsStartedTogetherNeverShareTheirFiles) {
  const auto creative = seed::LeftoversOf("Creative");
  seed::Seed(creative);
  ASSERT_EQ(RunToEnd({"/silent", "Creative"}).code, 0u);
  ASSERT_EQ(LogNames().size(), 1u);
  const Lines reference = LogSections(LogNames()[0]).first;
  ASSERT_FALSE(reference.empty());
  for (int attempt = 0; attempt < 10; ++attempt) {
    DeleteTree(kLogs);
    DeleteTree(kBackups);
    seed::Seed(creative);
    Finished f[2];
    {
      Launched first({"/silent", "Creative"}), second({"/silent", "Creative"});
      f[0] = first.Finish();
      f[1] = second.Finish();
    }
    std::size_t ran = 0;
    for (const Finished& r : f) {
      if (r.code == 4) {
        EXPECT_EQ(r.errors, "Another cleaning, preview or restore is running on this machine.\r\n");
        EXPECT_EQ(r.output, "");
      } else {
        EXPECT_EQ(r.code, 0u) << attempt << "\n" << r.errors << r.failure;
        EXPECT_EQ(r.errors, "") << attempt;
        ++ran;
      }
    }
    const Lines logs = LogNames();
    EXPECT_EQ(logs.size(), ran) << attempt;
    for (const Finished& r : f) {
      if (r.code == 4) continue;
      const auto named = std::count_if(logs.begin(), logs.end(), [&](const std::string& name) {
        return r.output.find(std::string(kLogs) + "\\" + name + ".") != std::string::npos;
      });
      EXPECT_EQ(named, 1) << attempt << ": " << r.output;
    }
    std::map<std::string, int> times;
    for (const auto& name : logs)
      for (const auto& line : LogSections(name).first) ++times[line];
    for (const auto& line : reference) EXPECT_EQ(times[line], 1) << attempt << ": " << line;
    EXPECT_EQ(times.size(), reference.size()) << attempt;
    EXPECT_LE(ListFolder(std::string(kBackups) + "\\*").size(), ran) << attempt;
  }
}

// The backup on a drive that is full: a copy that does not fit keeps its
// item and the run goes on; where not even the log fits, the message names
// it and the record goes to standard error.
TEST_F(Unattended, ABackupDriveThatIsFullKeepsTheRecord) {
  const std::string marker = ReadFile("C:\\quenk-fixtures\\full-drive.txt");
  if (marker.rfind("F:", 0) != 0)
    GTEST_SKIP() << (marker.empty() ? "scripts/e2e-env.sh left no marker for the full drive"
                                    : marker);
  const auto clearDrive = [] {
    DeleteTree("F:\\Logs");
    DeleteTree("F:\\Backups");
    ::DeleteFileA("F:\\filler");
  };
  clearDrive();
  const char* big = "C:\\windows\\system32\\ctzap-big.dll";
  const auto creative = seed::LeftoversOf("Creative");
  seed::Seed(creative);
  WriteFile(big, std::string(512 * 1024, 'x'));

  Finished f = RunToEnd({"/silent", "Creative"}, "F:\\");
  EXPECT_EQ(f.code, 1u) << f.errors << f.failure;
  EXPECT_EQ(f.errors, "");
  const Lines logs = ListFolder("F:\\Logs\\*.txt");
  ASSERT_EQ(logs.size(), 1u) << f.output;
  const std::string log = ReadFile("F:\\Logs\\" + logs[0]);
  const std::size_t stayed = log.find("[Not deleted]\r\n");
  ASSERT_NE(stayed, std::string::npos) << log;
  EXPECT_EQ(Upper(log.substr(stayed)), "[NOT DELETED]\r\n" + Upper(big) + "\r\n") << log;
  EXPECT_NE(f.output.find(", not deleted 1. Log file: F:\\Logs\\" + logs[0] + "."),
            std::string::npos)
      << f.output;
  EXPECT_NE(::GetFileAttributesA(big), INVALID_FILE_ATTRIBUTES);
  const std::string stamp = logs[0].substr(0, logs[0].size() - 4);
  EXPECT_EQ(::GetFileAttributesA(
                ("F:\\Backups\\" + stamp + "\\files\\C\\windows\\System32\\ctzap-big.dll").c_str()),
            INVALID_FILE_ATTRIBUTES);

  // The drive full to its last byte.
  clearDrive();
  seed::Seed(creative);
  {
    const HANDLE filler = ::CreateFileA("F:\\filler", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(filler, INVALID_HANDLE_VALUE);
    const std::string chunk(512, 'f');
    DWORD written = 0;
    while (::WriteFile(filler, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) &&
           written == chunk.size()) {
    }
    ::CloseHandle(filler);
  }
  f = RunToEnd({"/silent", "Creative"}, "F:\\");
  EXPECT_EQ(f.code, 2u) << f.errors << f.failure;
  EXPECT_EQ(f.errors.rfind("F:\\Logs\\", 0), 0u) << f.errors;
  EXPECT_NE(f.errors.find(".txt: Disk full.\r\n[Deleted]\r\n"), std::string::npos) << f.errors;
  EXPECT_NE(f.errors.find("[Not deleted]\r\n"), std::string::npos) << f.errors;
  EXPECT_NE(f.errors.find(": no copy in the backup: "), std::string::npos) << f.errors;
  EXPECT_NE(f.output.find("No log file was written."), std::string::npos) << f.output;
  EXPECT_TRUE(ListFolder("F:\\Logs\\*.txt").empty());
  for (const auto& e : creative) EXPECT_TRUE(seed::Exists(e)) << seed::Describe(e);

  clearDrive();
  ::DeleteFileA(big);
}

// Text of the ANSI code page in UTF-8, as the report must give it.
std::string Utf8(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  const int m = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(m), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, utf8.data(), m, nullptr, nullptr);
  return utf8;
}

// The real process's JSON, parsed, against its log file line for line; on
// standard output and beside the log alike, of the documented schema.
TEST_F(Unattended, JsonOfASeededRunIsItsLogLineForLine) {
  const auto creative = seed::LeftoversOf("Creative");
  seed::Seed(creative);
  const char* eight = "C:\\windows\\system32\\CTAGENT\xE4\xE9.dll";
  WriteFile(eight, "x");
  const struct {
    std::vector<std::string> line;
    const char* suffix;
    const char* gone;
    const char* stayed;
    bool reasonsInLog;
  } cases[] = {
      {{"/silent", "/json", "/preview", "Creative"}, " preview", "willBeDeleted", "willStay", true},
      {{"/silent", "/json", "Creative"}, "", "deleted", "notDeleted", false},
      {{"/silent", "/restore", "latest", "/json"}, " restore", "restored", "notRestored", true},
  };
  for (const auto& c : cases) {
    const Finished f = RunToEnd(c.line);
    EXPECT_EQ(f.errors, "") << c.gone << f.failure;
    ASSERT_NO_THROW((void)nlohmann::json::parse(f.output)) << f.output;
    const auto doc = nlohmann::json::parse(f.output);
    EXPECT_EQ(schema::Problems(doc), std::vector<std::string>{}) << f.output;
    EXPECT_EQ(doc["exitCode"], f.code) << c.gone;
    EXPECT_EQ(doc["version"], QUENK_VERSION);
    char machine[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof machine;
    ::GetComputerNameA(machine, &size);
    EXPECT_EQ(doc["machine"], Utf8(machine));
    const std::string name = std::string(kLogs) + "\\" + doc["stamp"].get<std::string>() + c.suffix;
    EXPECT_EQ(ReadFile(name + ".json"), f.output) << c.gone;
    std::vector<std::string> logged, fromJson;
    for (const auto& line : Split(ReadFile(name + ".txt"))) logged.push_back(Utf8(line));
    ASSERT_FALSE(logged.empty()) << name;
    fromJson.push_back(logged.front());
    for (const auto& e : doc[c.gone]) fromJson.push_back(e["path"]);
    fromJson.push_back(logged.at(fromJson.size()));
    for (const auto& e : doc[c.stayed]) {
      const std::string reason = e["reason"];
      fromJson.push_back(e["path"].get<std::string>() +
                         (c.reasonsInLog && !reason.empty() ? ": " + reason : ""));
    }
    EXPECT_EQ(fromJson, logged) << c.gone;
    EXPECT_NE(f.output.find("CTAGENT\xC3\xA4\xC3\xA9.dll"), std::string::npos) << f.output;
  }
  ::DeleteFileA(eight);
}

}  // namespace
}  // namespace quenk::e2e

namespace quenk::e2e {
namespace {

// Two sound profiles and a broken one in the folder beside the program.
class BesideProfiles : public Unattended {
 protected:
  static constexpr const char* kFolder = "C:\\quenk\\Profiles";
  void SetUp() override {
    Unattended::SetUp();
    DeleteTree(kFolder);
    ::CreateDirectoryA(kFolder, nullptr);
    WriteFile(std::string(kFolder) + "\\alpha.toml",
              "format = 1\nname = \"Alpha - Display\"\nword = \"Alpha\"\n"
              "[[files]]\nfolder = '%SYSTEMROOT%\\System32\\'\nmasks = [\"alphx*.dll\"]\n"
              "[[registry]]\nroot = \"HKLM\"\nbase = \"Software\"\nkeys = [\"Alpha Corp\"]\n");
    WriteFile(std::string(kFolder) + "\\beta.toml",
              "format = 1\nname = \"Beta - Audio\"\nword = \"Beta\"\n"
              "[[files]]\ntrees = ['%ProgramFiles%\\Beta Audio']\n");
    WriteFile(std::string(kFolder) + "\\broken.toml",
              "format = 1\nname = \"Broken\nword = \"Broken\"\n");
  }
  void TearDown() override {
    Unattended::TearDown();
    DeleteTree(kFolder);
    DeleteTree("C:\\Program Files\\Beta Audio");
    ::DeleteFileA("C:\\windows\\system32\\alphx1.dll");
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Alpha Corp");
  }
  static void SeedBoth() {
    WriteFile("C:\\windows\\system32\\alphx1.dll", "alpha");
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Alpha Corp", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr);
    ::RegCloseKey(key);
    ::CreateDirectoryA("C:\\Program Files\\Beta Audio", nullptr);
    WriteFile("C:\\Program Files\\Beta Audio\\beta.cfg", "beta");
  }
  static bool AlphaKey() {
    HKEY key = nullptr;
    const bool there = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Alpha Corp", 0, KEY_READ,
                                       &key) == ERROR_SUCCESS;
    if (there) ::RegCloseKey(key);
    return there;
  }
  // The broken file's first error, as /check words it from the program's folder.
  static std::string BrokenError() {
    const Finished f = RunToEnd({"/check", "/silent", "Profiles\\broken.toml"});
    for (const auto& line : Split(f.output))
      if (line.rfind("Profiles\\broken.toml, line ", 0) == 0) return line;
    return "no error line in: " + f.output;
  }
};

TEST_F(BesideProfiles, EachWordCleansItsProfileWithBackupAndTheBrokenFileIsTold) {
  SeedBoth();
  const std::string broken = BrokenError();
  const struct {
    const char* word;
    Lines deleted;  // in upper case: the folders' spelling is the system's
  } runs[] = {
      {"Alpha", {"C:\\WINDOWS\\SYSTEM32\\ALPHX1.DLL", "HKLM\\SOFTWARE\\ALPHA CORP"}},
      {"Beta", {"C:\\PROGRAM FILES\\BETA AUDIO"}},
  };
  for (const auto& run : runs) {
    DeleteTree(kLogs);
    const Finished f = RunToEnd({"/silent", run.word});
    EXPECT_EQ(f.code, 0u) << run.word << "\n" << f.errors << f.failure;
    EXPECT_NE(f.errors.find(broken + "\r\n"), std::string::npos) << f.errors;
    ASSERT_EQ(LogNames().size(), 1u);
    Lines deleted = LogSections(LogNames().front()).first;
    for (auto& line : deleted) line = Upper(line);
    EXPECT_EQ(deleted, run.deleted) << run.word;
  }
  EXPECT_FALSE(FileExists("C:\\windows\\system32\\alphx1.dll"));
  EXPECT_FALSE(AlphaKey());
  EXPECT_FALSE(FileExists("C:\\Program Files\\Beta Audio\\beta.cfg"));
  const Lines stamps = ListFolder(std::string(kBackups) + "\\*");
  ASSERT_EQ(stamps.size(), 2u);
  for (const auto& stamp : stamps)
    EXPECT_EQ(RunToEnd({"/silent", "/restore", "\"" + stamp + "\""}).code, 0u) << stamp;
  EXPECT_EQ(ReadFile("C:\\windows\\system32\\alphx1.dll"), "alpha");
  EXPECT_TRUE(AlphaKey());
  EXPECT_EQ(ReadFile("C:\\Program Files\\Beta Audio\\beta.cfg"), "beta");

  const Finished refused = RunToEnd({"/silent", "Broken"});
  EXPECT_EQ(refused.code, 3u);
  EXPECT_NE(refused.errors.find("Unknown vendor word Broken."), std::string::npos);
  EXPECT_TRUE(AlphaKey());
}

TEST_F(BesideProfiles, CheckJudgesTheGivenFilesAndChangesNothing) {
  const struct {
    std::vector<std::string> line;
    DWORD code;
    const char* told;
  } checks[] = {
      {{"/check", "/silent", "Profiles\\alpha.toml", "Profiles\\beta.toml"},
       0,
       "Profiles\\beta.toml: sound: Beta, \"Beta - Audio\"."},
      {{"/silent", "/check", "Profiles\\alpha.toml", "Profiles\\broken.toml"},
       3,
       "Profiles\\broken.toml: not loaded."},
      {{"/silent", "/check", "Profiles\\alpha.toml", "Profiles\\alpha.toml"}, 3, "already taken"},
  };
  for (const auto& c : checks) {
    const Finished f = RunToEnd(c.line);
    EXPECT_EQ(f.code, c.code) << c.told << "\n" << f.output << f.errors;
    EXPECT_NE(f.output.find(c.told), std::string::npos) << f.output;
    EXPECT_EQ(f.output.rfind("Checked in the ANSI code page ", 0), 0u) << f.output;
    EXPECT_FALSE(f.windowSeen);
  }
  EXPECT_FALSE(FileExists(kSettings));
  EXPECT_TRUE(LogNames().empty());
}

TEST_F(BesideProfiles, TheWindowListsTheProfilesAndReportsTheBrokenOneOnce) {
  const std::string broken = BrokenError();
  Start();
  std::string text =
      "Some profiles beside the program were not loaded; the others were:\r\n" + broken;
  if (static_cast<unsigned char>(text.back()) > '.') text += '.';
  HWND report = WaitReport(text);
  ASSERT_NE(report, nullptr);
  PostClose(report);
  ASSERT_TRUE(WaitFor([&] { return quenk->ErrorBox() == nullptr; }));
  const Lines items = ListItems(Child(quenk->Main(), IDC_VESK_ITEMLIST));
  for (const char* name : {"Alpha - Display", "Beta - Audio"})
    EXPECT_NE(std::find(items.begin(), items.end(), name), items.end()) << name;
  EXPECT_EQ(std::find(items.begin(), items.end(), "Broken"), items.end());
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
                             [](const auto& a, const auto& b) { return Upper(a) < Upper(b); }));
}

}  // namespace
}  // namespace quenk::e2e
