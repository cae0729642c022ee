#include "E2e.h"

#include <functional>

namespace quenk::e2e {
namespace {

constexpr const char* kAtiKey = "Software\\ATI Technologies\\Install";
constexpr const char* kProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
  HKEY k = nullptr;
  ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  ::RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  ::RegCloseKey(k);
}

bool IsLink(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string Profile() {
  char buffer[MAX_PATH] = {};
  ::GetEnvironmentVariableA("USERPROFILE", buffer, MAX_PATH);
  return buffer;
}

// What a registry value names, under Wine with the links, drive letter and
// share that scripts/test makes: quenk.exe ATi runs with the value as
// "InstallDir" and the log file tells what it did.
class Safety : public E2e {
 protected:
  struct Record {
    Lines deleted, notDeleted;
  };
  Record RunAti(const std::string& installDir, const char* word = "ATi") {
    SetText(HKEY_LOCAL_MACHINE, kAtiKey, "InstallDir", installDir);
    SetText(HKEY_LOCAL_MACHINE, "Software\\Realtek\\InstallShield", "ProgramFilesDir", installDir);
    DeleteTree(kLogs);
    Settings(
        "[Logfiles]\r\nLogfiles=1\r\n[ATi Display]\r\nRegistry=0\r\n"
        "[Realtek Sound]\r\nRegistry=0\r\n");
    const HWND main = StartShown({word});
    EXPECT_TRUE(WaitFor([&] { return LogNames().size() == 1; })) << installDir;
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit()) << installDir;
    const auto logs = LogNames();
    if (logs.empty()) return {};
    auto [deleted, notDeleted] = LogSections(logs[0]);
    return {std::move(deleted), std::move(notDeleted)};
  }
  static bool Has(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  void TearDown() override {
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kAtiKey, "InstallDir");
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Realtek\\InstallShield", "ProgramFilesDir");
    E2e::TearDown();
  }
};

TEST_F(Safety, ValuesNamingProtectedFoldersAreRefusedHoweverSpelt) {
  const std::string me = Profile();
  ASSERT_FALSE(me.empty());
  // A profile folder that still leads to this machine's home would be deleted for real.
  ASSERT_FALSE(IsLink(me + "\\Documents")) << "scripts/test replaces Wine's profile links";
  const std::string user = me.substr(me.find_last_of('\\') + 1);
  SetText(HKEY_LOCAL_MACHINE, std::string(kProfileList) + "\\S-1-5-21-7-7-7-1001",
          "ProfileImagePath", "C:\\users\\other");
  const Lines precious{"C:\\windows\\system32\\kernel32.dll",
                       "C:\\windows\\system32\\drivers\\quenk-precious.sys",
                       "C:\\windows\\explorer.exe",
                       "C:\\users\\other\\Documents\\precious.doc",
                       "C:\\users\\Default\\precious.dat",
                       me + "\\Documents\\precious.doc",
                       me + "\\precious.txt",
                       "C:\\Program Files\\Common Files\\precious.dll"};
  for (const auto& file : precious)
    if (!FileExists(file)) WriteFile(file, "precious");

  for (const std::string& value :
       Lines{"C:\\W\\system32", "C:\\quenk-fixtures\\mid\\win\\system32",
             "C:\\quenk-fixtures\\last", "C:\\Documents and Settings\\" + user, "Q:\\windows",
             "\\\\localhost\\c$\\windows", "C:\\users\\other", "C:\\users\\Default",
             me + "\\Documents", "C:\\windows\\system32\\drivers",
             "C:\\Program Files\\Common Files", "Q:\\", "C:\\W\\..\\users"}) {
    const Record r = RunAti(value);
    EXPECT_TRUE(Has(r.notDeleted, value)) << value;
    EXPECT_FALSE(Has(r.deleted, value)) << value;
    for (const auto& file : precious) ASSERT_TRUE(FileExists(file)) << file << " after " << value;
  }
  // The same rule for Realtek's value.
  const Record r = RunAti("C:\\W", "Realtek");
  EXPECT_TRUE(Has(r.notDeleted, "C:\\W"));
  EXPECT_TRUE(FileExists("C:\\windows\\explorer.exe"));

  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                  (std::string(kProfileList) + "\\S-1-5-21-7-7-7-1001").c_str());
  for (const char* mine : {"C:\\windows\\system32\\drivers\\quenk-precious.sys",
                           "C:\\Program Files\\Common Files\\precious.dll"})
    ::DeleteFileA(mine);
}

TEST_F(Safety, ValuesThatLeadNowhereRecordNothing) {
  for (const char* value : {"R:\\Vendor\\Driver", "C:\\quenk-fixtures\\loop1",
                            "\\\\localhost\\nosuchshare\\x", "C:\\W\\nosuchfolder"}) {
    const Record r = RunAti(value);
    EXPECT_FALSE(Has(r.deleted, value) || Has(r.notDeleted, value)) << value;
  }
}

TEST_F(Safety, FoldersTheAnsiNamesCannotReachDoNotEndTheRun) {
  // A Cyrillic name outside the code page, a name ending in a dot and a
  // tree deeper than MAX_PATH, all made through the wide entry points.
  const std::wstring top = L"\\\\?\\C:\\quenk-odd";
  ::CreateDirectoryW(top.c_str(), nullptr);
  ::CreateDirectoryW((top + L"\\\x0434\x0440\x0430\x0439\x0432\x0435\x0440").c_str(), nullptr);
  WriteFile("C:\\quenk-odd\\plain.txt", "x");
  ::CreateDirectoryW((top + L"\\dir.").c_str(), nullptr);
  // Names that reach a device unless taken literally.
  ::CreateDirectoryW((top + L"\\aux").c_str(), nullptr);
  ::CloseHandle(::CreateFileW((top + L"\\aux\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr));
  ::CloseHandle(::CreateFileW((top + L"\\com1.log").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr));
  std::wstring deep = top + L"\\deep";
  for (int level = 0; level < 300; ++level) {
    ::CreateDirectoryW(deep.c_str(), nullptr);
    deep += L"\\d";
  }
  ::CreateDirectoryW(deep.c_str(), nullptr);
  HANDLE h = ::CreateFileW((deep + L"\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ::CloseHandle(h);
  Record r = RunAti("C:\\quenk-odd");
  EXPECT_EQ(r.deleted, Lines{"C:\\quenk-odd"});
  EXPECT_FALSE(FileExists("C:\\quenk-odd"));

  // Wine does not list a dangling link: the folder cannot be emptied, stays,
  // and the run goes on to its log file.
  WriteFile("C:\\quenk-fixtures\\dangling\\plain.txt", "x");
  r = RunAti("C:\\quenk-fixtures\\dangling");
  EXPECT_EQ(r.notDeleted, Lines{"C:\\quenk-fixtures\\dangling"});
  EXPECT_FALSE(FileExists("C:\\quenk-fixtures\\dangling\\plain.txt"));
}

// Wine deletes the target through a link to a file, and to an empty folder:
// such links stay, their targets stay, and the tree is recorded as not deleted.
TEST_F(Safety, LinksInATreeNeverCostTheirTargets) {
  const Record r = RunAti("C:\\quenk-fixtures\\filelinks");
  EXPECT_EQ(r.notDeleted, Lines{"C:\\quenk-fixtures\\filelinks"});
  EXPECT_TRUE(r.deleted.empty());
  EXPECT_EQ(ReadFile("C:\\quenk-fixtures\\precious\\thesis.doc"), "precious\n");
  EXPECT_TRUE(FileExists("C:\\quenk-fixtures\\precious\\empty"));
  EXPECT_FALSE(FileExists("C:\\quenk-fixtures\\filelinks\\plain.txt"));

  // A path too long for Wine to give its final path: the link still stays.
  const Record deep = RunAti("C:\\quenk-fixtures\\longlink");
  EXPECT_EQ(deep.notDeleted, Lines{"C:\\quenk-fixtures\\longlink"});
  EXPECT_EQ(ReadFile("C:\\quenk-fixtures\\precious\\deep.doc"), "precious\n");
}

void MakeKeyLink(const char* path, const std::wstring& target) {
  HKEY k = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_CREATE_LINK,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(k, L"SymbolicLinkValue", 0, REG_LINK,
                   reinterpret_cast<const BYTE*>(target.data()),
                   static_cast<DWORD>(target.size() * sizeof(wchar_t)));
  ::RegCloseKey(k);
}

TEST_F(Safety, RegistryLinksAreDeletedAsLinks) {
  // HKLM\Software\ATi, a name of the ATi profile, links to a key that must
  // stay; so does "Install", a key on the way to others of its names.
  HKEY k = nullptr;
  for (const char* precious :
       {"Software\\QuenkPrecious\\Sub", "Software\\QuenkPrecious2\\ccc-skins"}) {
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, precious, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      nullptr);
    ::RegCloseKey(k);
  }
  MakeKeyLink("Software\\ATi", L"\\REGISTRY\\MACHINE\\Software\\QuenkPrecious");
  ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\ATI Technologies\\Install");
  MakeKeyLink("Software\\ATI Technologies\\Install",
              L"\\REGISTRY\\MACHINE\\Software\\QuenkPrecious2");
  Settings("[Logfiles]\r\nLogfiles=1\r\n[ATi Display]\r\nFiles=0\r\n");
  const HWND main = StartShown({"ATi"});
  ASSERT_TRUE(WaitFor([&] { return LogNames().size() == 1; }));
  PostClose(main);
  ASSERT_TRUE(quenk->WaitExit());
  const std::string log = ReadFile(std::string(kLogs) + "\\" + LogNames()[0]);
  EXPECT_NE(log.find("[Deleted]\r\nHKLM\\Software\\ATi\r\n"), std::string::npos) << log;
  EXPECT_EQ(
      ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\ATi", REG_OPTION_OPEN_LINK, KEY_READ, &k),
      ERROR_FILE_NOT_FOUND);
  EXPECT_NE(log.find("HKLM\\Software\\ATI Technologies\\Install\\ccc-skins\r\n",
                     log.find("[Not deleted]")),
            std::string::npos)
      << log;
  for (const char* precious :
       {"Software\\QuenkPrecious\\Sub", "Software\\QuenkPrecious2\\ccc-skins"}) {
    EXPECT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, precious, 0, KEY_READ, &k), ERROR_SUCCESS)
        << precious;
    ::RegCloseKey(k);
  }
  // RegDeleteKey would follow the link: the link goes through its own handle.
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\ATI Technologies\\Install",
                      REG_OPTION_OPEN_LINK, DELETE | KEY_READ, &k) == ERROR_SUCCESS) {
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    const auto deleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    EXPECT_EQ(deleteKey(k), 0);
    ::RegCloseKey(k);
  }
  ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\QuenkPrecious");
  ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\QuenkPrecious2");
}

}  // namespace
}  // namespace quenk::e2e
