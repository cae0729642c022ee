#include "E2e.h"

#include <algorithm>
#include <cstdio>

namespace quenk::e2e {
namespace {

// Text as the wide calls store it.
std::string Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// Set through the wide calls: names and data the 8-bit calls may not carry.
void SetWide(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
             const std::string& data) {
  HKEY k = nullptr;
  ASSERT_EQ(
      ::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(::RegSetValueExW(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  ::RegCloseKey(k);
}

// A key as the wide calls read it, so that what the 8-bit calls would
// change shows: names and data as stored, in hex.
void SnapWide(HKEY parent, const std::wstring& path, const std::string& name, Lines& out) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key)) return;
  out.push_back("key " + name);
  Lines values;
  for (DWORD i = 0;; ++i) {
    wchar_t n[512];
    BYTE data[4096];
    DWORD nl = 512, dl = sizeof data, type = 0;
    if (::RegEnumValueW(key, i, n, &nl, nullptr, &type, data, &dl)) break;
    values.push_back(name + " [" + Hex(Bytes(std::wstring(n, nl))) +
                     "] type=" + std::to_string(type) +
                     " data=" + Hex(std::string(reinterpret_cast<char*>(data), dl)));
  }
  std::sort(values.begin(), values.end());
  out.insert(out.end(), values.begin(), values.end());
  std::vector<std::wstring> subs;
  for (DWORD i = 0;; ++i) {
    wchar_t n[512];
    DWORD nl = 512;
    if (::RegEnumKeyExW(key, i, n, &nl, nullptr, nullptr, nullptr, nullptr)) break;
    subs.emplace_back(n, nl);
  }
  std::sort(subs.begin(), subs.end());
  for (const auto& s : subs) SnapWide(key, s, name + "\\" + Hex(Bytes(s)), out);
  ::RegCloseKey(key);
}

Lines CreativeKeys() {
  Lines out;
  SnapWide(HKEY_CURRENT_USER, L"Software\\Creative Tech", "HKCU", out);
  SnapWide(HKEY_LOCAL_MACHINE, L"Software\\Creative Tech", "HKLM", out);
  SnapWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO", "HKLM ASIO", out);
  return out;
}

bool Has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class RegistryE2e : public E2e {
 protected:
  // Creative's keys only, cleaned from the command line with the log on.
  std::pair<Lines, Lines> Clean() {
    Settings("[Logfiles]\r\nLogfiles=1\r\n[Creative Sound]\r\nFiles=0\r\n");
    DeleteTree(kLogs);
    const HWND main = StartShown({"Creative"});
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit());
    const auto logs = LogNames();
    if (logs.size() != 1) {
      ADD_FAILURE() << "one log file expected";
      return {};
    }
    stamp_ = logs[0].substr(0, logs[0].size() - 4);
    return LogSections(logs[0]);
  }
  // "/silent /restore latest" to its end: the exit code and the lines not restored.
  DWORD SilentRestore(Lines& notRestored) {
    DeleteTree(kLogs);
    Start({"/silent", "/restore", "latest"});
    EXPECT_TRUE(quenk->WaitExit());
    const auto logs = LogNames();
    EXPECT_EQ(logs.size(), 1u);
    Lines* into = nullptr;
    for (const auto& line : Split(ReadFile(std::string(kLogs) + "\\" + logs.at(0)))) {
      if (line == "[Not restored]")
        into = &notRestored;
      else if (!line.empty() && line.front() == '[')
        into = nullptr;
      else if (into)
        into->push_back(line);
    }
    return quenk->ExitCode();
  }
  std::string RegFile() {
    return ReadFile(std::string(kBackups) + "\\" + stamp_ + "\\registry.reg");
  }

  std::string stamp_;
};

// Whether the 8-bit code page spells the text; under a Cyrillic one it would.
bool CodePageSpells(const std::wstring& text) {
  BOOL lost = FALSE;
  char out[16];
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, out, sizeof out, nullptr,
                        &lost);
  return !lost;
}

TEST_F(RegistryE2e, KeysWithValuesTheAnsiCallsCannotCarryStayAndTheRestComeBackExactly) {
  seed::Seed(seed::LeftoversOf("Creative"));
  const std::string nul2(2, '\0');
  SetWide(HKEY_CURRENT_USER, L"Software\\Creative Tech\\Audio", L"\x0416name", REG_SZ,
          Bytes(L"x") + nul2);
  SetWide(HKEY_CURRENT_USER, L"Software\\Creative Tech\\Audio", L"List", REG_MULTI_SZ,
          Bytes(std::wstring(L"a\0\x0416\0\0", 5)));
  // A text of odd byte length comes back short whatever the code page.
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\Creative Tech\\Installation", L"Odd", REG_SZ,
          Bytes(L"ab") + "c");
  // What the code page spells goes, and comes back as it was.
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO", L"caf\x00e9", REG_SZ,
          Bytes(L"\x00e9t\x00e9") + nul2);
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO", L"Driver", REG_EXPAND_SZ,
          Bytes(L"%SystemRoot%\\ct.dll") + nul2);
  const Lines before = CreativeKeys();
  ASSERT_GT(before.size(), 8u);

  const auto [deleted, kept] = Clean();
  const bool userKept = !CodePageSpells(L"\x0416");
  EXPECT_EQ(Has(kept, "HKCU\\Software\\CREATIVE TECH"), userKept);
  EXPECT_EQ(Has(deleted, "HKCU\\Software\\CREATIVE TECH"), !userKept);
  EXPECT_TRUE(Has(kept, "HKLM\\Software\\Creative Tech"));
  EXPECT_TRUE(Has(deleted, "HKLM\\Software\\ASIO"));
  const std::string reg = RegFile();
  EXPECT_EQ(reg.find("[HKEY_LOCAL_MACHINE\\Software\\Creative Tech"), std::string::npos);
  EXPECT_NE(reg.find("[HKEY_LOCAL_MACHINE\\Software\\ASIO\\Creative ASIO]"), std::string::npos);

  Lines notRestored;
  EXPECT_EQ(SilentRestore(notRestored), 0u);
  EXPECT_TRUE(notRestored.empty()) << notRestored.front();
  EXPECT_EQ(CreativeKeys(), before);
}

TEST_F(RegistryE2e, AKeyMadeAgainBeforeTheRestoreNamesTheValuesItLacksAndExitsOne) {
  seed::Seed(seed::LeftoversOf("Creative"));
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO", L"Driver", REG_SZ,
          Bytes(L"ct.dll") + std::string(2, '\0'));
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO", L"", REG_SZ,
          Bytes(L"asio") + std::string(2, '\0'));
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO\\Sub", L"x", REG_DWORD,
          std::string("\x01\0\0\0", 4));
  const auto [deleted, kept] = Clean();
  ASSERT_TRUE(Has(deleted, "HKLM\\Software\\ASIO"));
  // Reinstalled meanwhile: the key is there again, with a value of its own.
  SetWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO", L"Driver", REG_SZ,
          Bytes(L"new.dll") + std::string(2, '\0'));
  Lines notRestored;
  EXPECT_EQ(SilentRestore(notRestored), 1u);
  for (const char* line :
       {"HKLM\\Software\\ASIO\\Creative ASIO [(default)]: skipped, the key exists",
        "HKLM\\Software\\ASIO\\Creative ASIO [Driver]: skipped, the key exists"})
    EXPECT_TRUE(Has(notRestored, line)) << line;
  Lines now;
  SnapWide(HKEY_LOCAL_MACHINE, L"Software\\ASIO\\Creative ASIO", "k", now);
  EXPECT_EQ(now, (Lines{"key k",
                        "k [440072006900760065007200] type=1 data=" +
                            Hex(Bytes(L"new.dll") + std::string(2, '\0')),
                        "key k\\530075006200", "k\\530075006200 [7800] type=4 data=01000000"}));
}

}  // namespace
}  // namespace quenk::e2e
