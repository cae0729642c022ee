#include "E2e.h"

namespace quenk::e2e {
namespace {

// quenk.exe run to its end as a fleet tool runs it: standard error to a
// pipe, the exit code read, and its top-level windows watched throughout.
struct Finished {
  DWORD code = 0xFFFFFFFF;
  std::string failure;  // why the process could not be run
  std::string errors;
  bool windowSeen = false;
};

bool HasVisibleWindow(DWORD pid) {
  struct Search {
    DWORD pid;
    bool found;
  } s{pid, false};
  ::EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && ::IsWindowVisible(hwnd)) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

Finished RunToEnd(const std::vector<std::string>& arguments) {
  Finished out;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!::CreatePipe(&read, &write, &inherit, 1 << 16)) {
    out.failure = "CreatePipe " + std::to_string(::GetLastError());
    return out;
  }
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  std::string line = std::string("\"") + kProgram + "\"";
  for (const auto& a : arguments) line += " " + a;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdError = write;
  si.hStdOutput = write;
  si.hStdInput = nullptr;
  PROCESS_INFORMATION pi{};
  BOOL started = FALSE;
  // A start that fails is tried again: what the test watches is the run.
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    started = ::CreateProcessA(kProgram, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               kProgramDir, &si, &pi);
    if (!started) out.failure += "CreateProcess " + std::to_string(::GetLastError()) + "; ";
  }
  ::CloseHandle(write);
  if (started) {
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (::WaitForSingleObject(pi.hProcess, 5) == WAIT_TIMEOUT &&
           std::chrono::steady_clock::now() < end)
      out.windowSeen = out.windowSeen || HasVisibleWindow(pi.dwProcessId);
    if (::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi.hProcess, 99);
    ::GetExitCodeProcess(pi.hProcess, &out.code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got)
      out.errors.append(chunk, got);
  }
  ::CloseHandle(read);
  return out;
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
  // A command line as long as deployment tools make them.
  std::vector<std::string> many{"/silent", "Creative", "\"" + std::string(1500, 'x') + "\""};
  for (int i = 0; i < 200; ++i) many.push_back("word" + std::to_string(i));
  const struct {
    const char* what;
    std::function<void()> seed;
    std::vector<std::string> line;
    DWORD code;
    std::string errors;  // what standard error begins with
    bool logged = true;  // whatever the log flag says, also when an error stopped the run
  } cases[] = {
      {"a long line of many arguments", [] { seed::Seed(seed::LeftoversOf("Creative")); }, many, 0,
       ""},
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

}  // namespace
}  // namespace quenk::e2e
