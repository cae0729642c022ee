#include "E2e.h"

#include <algorithm>
#include <cstdio>

namespace quenk::e2e {
namespace {

constexpr const char* kHelp = "C:\\windows\\Help\\nvcpl";
const std::vector<std::string> kAllVendors{"NVIDIA", "NVIDIAChipset", "ATi", "Creative", "Realtek"};

std::string Binary() {
  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes += static_cast<char>((i * 31) % 256);
  return bytes;
}

// Files and folders get times of their own, far from the run's.
void Age(const std::string& path, int days) {
  HANDLE h = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  ULARGE_INTEGER t;
  t.QuadPart = 132'539'328'000'000'000ull + static_cast<ULONGLONG>(days) * 864'000'000'000ull;
  const FILETIME ft{t.LowPart, t.HighPart};
  ::SetFileTime(h, &ft, &ft, &ft);
  ::CloseHandle(h);
}

void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
              const std::string& data) {
  HKEY k = nullptr;
  ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  ::RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
  ::RegCloseKey(k);
}

// Values of every type, with the names a .reg file finds awkward.
void SeedValues(HKEY root, const std::string& key) {
  SetValue(root, key, "", REG_SZ, std::string("default\0", 8));
  SetValue(root, key, "Path \\ \"q\" = \xe9", REG_SZ, std::string("C:\\x \"y\"\0", 10));
  SetValue(root, key, "Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 16));
  SetValue(root, key, "Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9));
  SetValue(root, key, "Dword", REG_DWORD, std::string("\x0a\0\0\x80", 4));
  SetValue(root, key, "Qword", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
  SetValue(root, key, "Binary", REG_BINARY, Binary());
  SetValue(root, key, "None", REG_NONE, "");
  SetValue(root, key, "Odd type", 0x80000000u, "\xaa\xbb");
  SetValue(root, key + "\\Sub \xfc", "Lines", REG_BINARY, "\r\n");
  HKEY empty = nullptr;
  ::RegCreateKeyExA(root, (key + "\\Empty").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &empty,
                    nullptr);
  ::RegCloseKey(empty);
}

// The sample leftovers, and in what they hold every kind of file, folder
// and value a backup must carry.
void SeedAll() {
  seed::Seed(seed::Leftovers());
  WriteFile(std::string(kHelp) + "\\bin\\driver.bin", Binary());
  WriteFile(std::string(kHelp) + "\\sub\\deeper\\x.txt", "x");
  MakeFolders(std::string(kHelp) + "\\empty");
  WriteFile("C:\\ATI\\Support\\Packages\\hidden.dat", "h");
  ::SetFileAttributesA((std::string(kHelp) + "\\bin\\driver.bin").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ::SetFileAttributesA("C:\\ATI\\Support\\Packages\\hidden.dat", FILE_ATTRIBUTE_HIDDEN);
  ::SetFileAttributesA((std::string(kHelp) + "\\empty").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ::SetFileAttributesA("C:\\windows\\system32\\nvapi64.dll", FILE_ATTRIBUTE_HIDDEN);
  int day = 0;
  for (const auto& e : seed::Leftovers())
    if (e.kind == seed::Entry::kFile) Age(e.path, ++day);
  for (const char* p : {"\\bin\\driver.bin", "\\sub\\deeper\\x.txt", "\\sub\\deeper", "\\sub",
                        "\\bin", "\\empty", "\\de", ""})
    Age(kHelp + std::string(p), ++day);
  for (const char* p :
       {"C:\\ATI\\Support\\Packages\\hidden.dat", "C:\\ATI\\Support\\Packages", "C:\\ATI\\Support"})
    Age(p, ++day);
  SeedValues(HKEY_CURRENT_USER, "Software\\NVIDIA Corporation\\Global\\Values \xe9=x");
  SeedValues(HKEY_LOCAL_MACHINE, "Software\\ASIO\\Creative ASIO");
}

using Snap = std::vector<std::string>;

// A file or folder tree as a restore must bring it back: names, bytes,
// attributes and last-write times. (Wine keeps no creation time of its
// own, and reading a file to compare it moves its last-access time.)
void SnapFiles(const std::string& path, const std::string& name, Snap& out) {
  WIN32_FILE_ATTRIBUTE_DATA d{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d)) return;
  char facts[64];
  std::snprintf(facts, sizeof facts, " attributes=%lx write=%lx%08lx", d.dwFileAttributes,
                d.ftLastWriteTime.dwHighDateTime, d.ftLastWriteTime.dwLowDateTime);
  const bool folder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  out.push_back(name + facts + (folder ? "" : " bytes=" + Hex(ReadFile(path))));
  if (!folder) return;
  auto names = ListFolder(path + "\\*");
  std::sort(names.begin(), names.end());
  for (const auto& n : names) SnapFiles(path + "\\" + n, name + "\\" + n, out);
}

void SnapKey(HKEY parent, const std::string& path, const std::string& name, Snap& out) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key)) return;
  out.push_back("key " + name);
  Snap values;
  for (DWORD i = 0;; ++i) {
    char n[1024];
    BYTE data[8192];
    DWORD nl = sizeof n, dl = sizeof data, type = 0;
    if (::RegEnumValueA(key, i, n, &nl, nullptr, &type, data, &dl)) break;
    values.push_back(name + " [" + std::string(n, nl) + "] type=" + std::to_string(type) +
                     " data=" + Hex(std::string(reinterpret_cast<char*>(data), dl)));
  }
  std::sort(values.begin(), values.end());
  out.insert(out.end(), values.begin(), values.end());
  Snap subs;
  for (DWORD i = 0;; ++i) {
    char n[1024];
    DWORD nl = sizeof n;
    if (::RegEnumKeyExA(key, i, n, &nl, nullptr, nullptr, nullptr, nullptr)) break;
    subs.emplace_back(n, nl);
  }
  std::sort(subs.begin(), subs.end());
  for (const auto& s : subs) SnapKey(key, s, name + "\\" + s, out);
  ::RegCloseKey(key);
}

// Everything below each recorded line.
Snap Snapshot(const Lines& recorded) {
  Snap out;
  for (const auto& line : recorded) {
    if (line.rfind("HKCU\\", 0) == 0)
      SnapKey(HKEY_CURRENT_USER, line.substr(5), line, out);
    else if (line.rfind("HKLM\\", 0) == 0)
      SnapKey(HKEY_LOCAL_MACHINE, line.substr(5), line, out);
    else
      SnapFiles(line, line, out);
  }
  return out;
}

bool Present(const std::string& line) {
  if (line.rfind("HK", 0) == 0) return !Snapshot({line}).empty();
  return FileExists(line);
}

class BackupE2e : public E2e {
 protected:
  void TearDown() override {
    E2e::TearDown();
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\ASIO");
  }
  // A command-line run with the log on, to its end; the log's two sections.
  std::pair<Lines, Lines> Run(const std::vector<std::string>& words) {
    Settings("[Logfiles]\r\nLogfiles=1\r\n");
    DeleteTree(kLogs);
    const HWND main = StartShown(words);
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit());
    const auto logs = LogNames();
    if (logs.size() != 1) {
      ADD_FAILURE() << "one log file expected";
      return {};
    }
    return LogSections(logs[0]);
  }
  std::string Stamp() {
    const auto logs = LogNames();
    return logs.size() == 1 ? logs[0].substr(0, logs[0].size() - 4) : std::string();
  }
  // The Restore window after "/restore STAMP": its two lists.
  std::pair<Lines, Lines> RestoreFromTheCommandLine(const std::string& stamp) {
    Start({"/restore", "\"" + stamp + "\""});
    std::pair<Lines, Lines> lists;
    if (!quenk->WaitVisible("TRestoreForm")) {
      ADD_FAILURE() << "no Restore window";
      return lists;
    }
    const HWND window = quenk->Window("TRestoreForm");
    lists = {ListItems(Child(window, IDC_RESTORE_RESTORED)),
             ListItems(Child(window, IDC_RESTORE_NOTRESTORED))};
    PostClose(quenk->Main());
    EXPECT_TRUE(quenk->WaitExit());
    return lists;
  }
};

TEST_F(BackupE2e, RoundTripOverAllVendorsBringsBackTreesAndKeysAsTheyWere) {
  // A first run tells what a run deletes; the second, on the same leftovers
  // seeded anew, is the one restored.
  SeedAll();
  const Lines deleted = Run(kAllVendors).first;
  ASSERT_GT(deleted.size(), 30u);
  seed::Clear();
  DeleteTree(kBackups);
  SeedAll();
  const Snap before = Snapshot(deleted);
  ASSERT_GT(before.size(), deleted.size());
  const auto [again, kept] = Run(kAllVendors);
  EXPECT_EQ(again, deleted);
  EXPECT_TRUE(kept.empty());
  for (const auto& line : deleted) EXPECT_FALSE(Present(line)) << line;
  // The log and the backup carry the run's one stamp.
  const std::string stamp = Stamp();
  ASSERT_FALSE(stamp.empty());
  EXPECT_EQ(ListFolder(std::string(kBackups) + "\\*"), Lines{stamp});
  Lines manifest;
  for (const auto& line : Split(ReadFile(std::string(kBackups) + "\\" + stamp + "\\manifest.txt")))
    if (line.rfind("link\t", 0) != 0) manifest.push_back(line.substr(line.find('\t') + 1));
  EXPECT_EQ(manifest, deleted);

  const auto [restored, notRestored] = RestoreFromTheCommandLine("latest");
  EXPECT_EQ(restored, deleted);
  EXPECT_TRUE(notRestored.empty()) << notRestored.front();
  EXPECT_EQ(Snapshot(deleted), before);

  // Restoring again finds everything in place and changes nothing.
  const auto [twice, skipped] = RestoreFromTheCommandLine(stamp);
  EXPECT_TRUE(twice.empty());
  EXPECT_EQ(skipped.size(), deleted.size());
  for (const auto& line : skipped) EXPECT_NE(line.find(": skipped, it exists"), std::string::npos);
  EXPECT_EQ(Snapshot(deleted), before);
}

TEST_F(BackupE2e, WhatExistsAgainIsSkippedAndLeftAsItIs) {
  seed::Seed(seed::LeftoversOf("Creative"));
  Run({"Creative"});
  WriteFile("C:\\windows\\system32\\CTAGENT.EXE", "reinstalled");
  SetValue(HKEY_CURRENT_USER, "Software\\Creative Tech\\Audio", "Mode", REG_SZ,
           std::string("new\0", 4));
  const auto [restored, notRestored] = RestoreFromTheCommandLine("latest");
  EXPECT_EQ(ReadFile("C:\\windows\\system32\\CTAGENT.EXE"), "reinstalled");
  Snap key;
  SnapKey(HKEY_CURRENT_USER, "Software\\Creative Tech", "k", key);
  EXPECT_EQ(key, (Snap{"key k", "key k\\Audio", "k\\Audio [Mode] type=1 data=6e657700"}));
  for (const char* line : {"C:\\windows\\System32\\CTAGENT.EXE: skipped, it exists",
                           "HKCU\\Software\\CREATIVE TECH: skipped, it exists"})
    EXPECT_NE(std::find(notRestored.begin(), notRestored.end(), line), notRestored.end()) << line;
  EXPECT_NE(std::find(restored.begin(), restored.end(), "C:\\windows\\System32\\ctasio.dll"),
            restored.end());
  EXPECT_TRUE(FileExists("C:\\windows\\system32\\ctasio.dll"));
}

TEST_F(BackupE2e, TheSystemRegistryEditorImportsTheBackupAsItWasDeleted) {
  seed::Seed(seed::LeftoversOf("Creative"));
  SeedValues(HKEY_LOCAL_MACHINE, "Software\\ASIO\\Creative ASIO");
  SeedValues(HKEY_CURRENT_USER, "Software\\Creative Tech\\Audio");
  const Lines keys{"HKCU\\Software\\CREATIVE TECH", "HKLM\\Software\\Creative Tech",
                   "HKLM\\Software\\ASIO"};
  const Snap before = Snapshot(keys);
  Settings("[Logfiles]\r\nLogfiles=1\r\n[Creative Sound]\r\nFiles=0\r\n");
  const HWND main = StartShown({"Creative"});
  PostClose(main);
  ASSERT_TRUE(quenk->WaitExit());
  EXPECT_TRUE(Snapshot(keys).empty());
  const std::string reg = std::string(kBackups) + "\\" + Stamp() + "\\registry.reg";
  ASSERT_EQ(ReadFile(reg).substr(0, 10), "REGEDIT4\r\n");
  std::string command = "regedit.exe /S \"" + reg + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
  ::WaitForSingleObject(pi.hProcess, 30000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  EXPECT_EQ(Snapshot(keys), before);
}

TEST_F(BackupE2e, TheLogWindowRestoresTheRunOfTheSelectedLog) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::LeftoversOf("Creative"));
  const HWND main = StartShown({"Creative"});
  EXPECT_FALSE(FileExists("C:\\windows\\system32\\CTAGENT.EXE"));
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->Window("TLogForm");
  const HWND button = Child(log, IDC_LOG_RESTORE);
  ASSERT_TRUE(button);
  EXPECT_EQ(Text(button), "Restore");
  EXPECT_FALSE(::IsWindowEnabled(button));
  WriteFile(std::string(kLogs) + "\\without backup.txt", "[Deleted]\r\n[Not deleted]\r\n");
  SelectListItem(log, IDC_LOG_ITEMS, 2);
  const Lines logs = ListItems(Child(log, IDC_LOG_LISTBOX3));
  ASSERT_EQ(logs.size(), 2u);
  const int withBackup = logs[0] == "without backup" ? 1 : 0;
  SelectListItem(log, IDC_LOG_LISTBOX3, 1 - withBackup);
  EXPECT_FALSE(::IsWindowEnabled(button));
  SelectListItem(log, IDC_LOG_LISTBOX3, withBackup);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(button) != FALSE; }));
  ClickButton(log, IDC_LOG_RESTORE);
  ASSERT_TRUE(quenk->WaitVisible("TRestoreForm"));
  const HWND restore = quenk->Window("TRestoreForm");
  EXPECT_EQ(Text(restore), "Restore");
  EXPECT_EQ(::GetWindow(restore, GW_OWNER), main);
  const Lines restored = ListItems(Child(restore, IDC_RESTORE_RESTORED));
  EXPECT_NE(std::find(restored.begin(), restored.end(), "C:\\windows\\System32\\CTAGENT.EXE"),
            restored.end());
  EXPECT_TRUE(ListItems(Child(restore, IDC_RESTORE_NOTRESTORED)).empty());
  EXPECT_TRUE(FileExists("C:\\windows\\system32\\CTAGENT.EXE"));
  EXPECT_TRUE(Visible(log));
  ClickButton(restore, IDC_RESTORE_OK);
  EXPECT_TRUE(WaitFor([&] { return !Visible(restore); }));
  EXPECT_TRUE(quenk->Running());
}

// Logs are off by default; the backups are reachable all the same, and a
// removed log file hides none of them.
TEST_F(BackupE2e, TheRestoreMenuListsEveryBackupRestoresOneAndRemovesOne) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::LeftoversOf("Creative"));
  const HWND main = StartShown({"Creative"});
  ASSERT_SOON(!Text(Child(main, IDC_VESK_STATUS)).empty());
  WriteFile("C:\\windows\\system32\\CTAGENT.EXE", "second");
  ClickButton(main, IDC_VESK_CLEAN);
  ASSERT_SOON_EQ(ListFolder(std::string(kBackups) + "\\*").size(), 2u);
  ASSERT_SOON_EQ(LogNames().size(), 2u);
  DeleteTree(kLogs);
  EXPECT_FALSE(FileExists("C:\\windows\\system32\\CTAGENT.EXE"));

  Menu(IDM_TOOLS_RESTORE);
  const HWND restore = quenk->WaitShown("TRestoreForm");
  ASSERT_TRUE(restore);
  const HWND list = Child(restore, IDC_RESTORE_BACKUPS);
  ASSERT_SOON_EQ(ListItems(list).size(), 2u);
  const Lines listed = ListItems(list);
  const std::string older = listed[1].substr(0, listed[1].find(": "));
  const std::string newer = listed[0].substr(0, listed[0].find(": "));
  EXPECT_NE(listed[0].find(": 1 item, "), std::string::npos) << listed[0];
  EXPECT_FALSE(::IsWindowEnabled(Child(restore, IDC_RESTORE_RESTORE)));

  SelectListItem(restore, IDC_RESTORE_BACKUPS, 0);
  ClickButton(restore, IDC_RESTORE_RESTORE);
  EXPECT_SOON_EQ(Text(Child(restore, IDC_RESTORE_LABEL_BACKUP)), "Backup " + newer);
  EXPECT_SOON_EQ(ReadFile("C:\\windows\\system32\\CTAGENT.EXE"), std::string("second"));
  EXPECT_SOON_EQ(ListItems(Child(restore, IDC_RESTORE_RESTORED)),
                 Lines{"C:\\windows\\System32\\CTAGENT.EXE"});

  SelectListItem(restore, IDC_RESTORE_BACKUPS, 1);
  ClickButton(restore, IDC_RESTORE_REMOVE, Handler::kOpensReport);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; }));
  ::PostMessageA(box, WM_COMMAND, IDNO, 0);
  ASSERT_SOON(quenk->ErrorBox() == nullptr);
  EXPECT_EQ(ListFolder(std::string(kBackups) + "\\*").size(), 2u);
  SelectListItem(restore, IDC_RESTORE_BACKUPS, 1);
  ClickButton(restore, IDC_RESTORE_REMOVE, Handler::kOpensReport);
  ASSERT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; }));
  ::PostMessageA(box, WM_COMMAND, IDYES, 0);
  EXPECT_SOON_EQ(ListFolder(std::string(kBackups) + "\\*"), Lines{newer});
  EXPECT_SOON_EQ(ListItems(list).size(), 1u);
  EXPECT_TRUE(quenk->Running());
  (void)older;
}

TEST_F(BackupE2e, AStampThatNamesNoBackupIsReported) {
  WriteFile(std::string(kBackups) + "\\other\\manifest.txt", "");
  Start({"/restore", "nope"});
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; }));
  const auto says = [box] {
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
      if (Text(c) == "There is no backup \"nope\" in C:\\quenk\\Backups.") return true;
    return false;
  };
  EXPECT_TRUE(WaitFor(says));
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_FALSE(Visible(quenk->Window("TRestoreForm")));
}

TEST_F(BackupE2e, TheBackupPageWritesItsKeyAndARunWithoutItKeepsNoCopy) {
  StartShown();
  Menu(IDM_TOOLS_OPTIONS);
  const HWND options = quenk->Window("TOptionsForm");
  EXPECT_EQ(ListItems(Child(options, IDC_OPT_ITEMS)),
            (Lines{"Cleaning", "Logfiles", "Systemtray", "Backup"}));
  SelectListItem(options, IDC_OPT_ITEMS, 3);
  const HWND box = Child(options, IDC_OPT_BACKUP);
  EXPECT_TRUE(Visible(box));
  EXPECT_FALSE(Visible(Child(options, IDC_OPT_FRAME_CLEANING)));
  EXPECT_EQ(Text(box), "Back up everything before deleting it");
  EXPECT_TRUE(Checked(options, IDC_OPT_BACKUP));
  ::DeleteFileA(kSettings);
  SetCheck(options, IDC_OPT_BACKUP, false);
  ClickButton(options, IDC_OPT_OK);
  EXPECT_EQ(SettingsKeys(), Lines{"Backup/Backup=0"});
  PostClose(quenk->Main());
  ASSERT_TRUE(quenk->WaitExit());
  const Lines keys = SettingsKeys();  // written back in full at the exit
  EXPECT_EQ(keys.size(), 13u);
  EXPECT_NE(std::find(keys.begin(), keys.end(), "Backup/Backup=0"), keys.end());

  seed::Seed(seed::LeftoversOf("Creative"));
  const HWND main = StartShown({"Creative"});
  EXPECT_FALSE(FileExists("C:\\windows\\system32\\CTAGENT.EXE"));
  EXPECT_FALSE(FileExists(kBackups));
  PostClose(main);
  EXPECT_TRUE(quenk->WaitExit());
}

std::wstring Wide(const std::string& utf8) {
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

void WriteWide(const std::string& utf8Path, const std::string& bytes) {
  HANDLE h = ::CreateFileW(Wide(utf8Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << utf8Path;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(h);
}

// A file or tree by its real names, read through the wide calls: names (as
// hex of their UTF-16), bytes, attributes and last-write times.
void SnapWide(const std::wstring& path, const std::string& name, Snap& out) {
  WIN32_FILE_ATTRIBUTE_DATA d{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return;
  char facts[64];
  std::snprintf(facts, sizeof facts, " attributes=%lx write=%lx%08lx", d.dwFileAttributes,
                d.ftLastWriteTime.dwHighDateTime, d.ftLastWriteTime.dwLowDateTime);
  const bool folder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::string bytes;
  if (!folder) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    char buffer[4096];
    DWORD got = 0;
    while (h != INVALID_HANDLE_VALUE && ::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got)
      bytes.append(buffer, got);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  out.push_back(name + facts + (folder ? "" : " bytes=" + Hex(bytes)));
  if (!folder) return;
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring n = fd.cFileName;
      if (n != L"." && n != L"..") names.push_back(n);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  std::sort(names.begin(), names.end());
  for (const auto& n : names) {
    std::string hex;
    for (const wchar_t c : n) {
      char b[8];
      std::snprintf(b, sizeof b, "%04x", static_cast<unsigned>(c));
      hex += b;
    }
    SnapWide(path + L"\\" + n, name + "\\" + hex, out);
  }
}

// Names the code page cannot spell, made by the wide calls: a file a mask
// finds, and inside a tree a file and a folder; cleaned, then restored with
// their long names and every byte.
TEST_F(BackupE2e, NamesOutsideTheCodePageComeBackByTheirLongNames) {
  const std::string zhe = "\xd0\x96", beetle = "\xd0\x96\xd1\x83\xd0\xba.txt";
  const std::string dll = "C:\\windows\\system32\\nvcpl" + zhe + ".dll";
  seed::Seed(seed::LeftoversOf("NVIDIA"));
  WriteWide(dll, "MZ wide");
  WriteWide(std::string(kHelp) + "\\" + beetle, "beetle");
  ASSERT_TRUE(::CreateDirectoryW(Wide(std::string(kHelp) + "\\" + zhe + "dir").c_str(), nullptr));
  WriteWide(std::string(kHelp) + "\\" + zhe + "dir\\" + beetle, "inner");
  const auto snap = [&] {
    Snap out;
    SnapWide(Wide(dll), "dll", out);
    SnapWide(Wide(kHelp), "help", out);
    return out;
  };
  const Snap before = snap();
  ASSERT_EQ(before.size(), 8u);

  const auto [deleted, kept] = Run({"NVIDIA"});
  EXPECT_TRUE(kept.empty()) << kept.front();
  EXPECT_NE(std::find(deleted.begin(), deleted.end(), "C:\\windows\\System32\\nvcpl?.dll"),
            deleted.end());
  EXPECT_TRUE(snap().empty());
  const std::string manifest = ReadFile(std::string(kBackups) + "\\" + Stamp() + "\\manifest.txt");
  for (const std::string& name : {"nvcpl" + zhe + ".dll", beetle, zhe + "dir"})
    EXPECT_NE(manifest.find("\t" + name + "\r\n"), std::string::npos) << name;

  const auto [restored, notRestored] = RestoreFromTheCommandLine("latest");
  EXPECT_EQ(restored, deleted);
  EXPECT_TRUE(notRestored.empty()) << notRestored.front();
  EXPECT_EQ(snap(), before);
  ::DeleteFileW(Wide(dll).c_str());
}

}  // namespace
}  // namespace quenk::e2e
