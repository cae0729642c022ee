#include "Machine.h"

#include "Files.h"

#include "platform/win32/Win32DriverStore.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Ini.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32NamedLocks.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32Shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace quenk::test {
namespace {

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed: " + std::to_string(::GetLastError()));
}

using seed::DeleteTree;
using seed::MakeFolders;

std::wstring Wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// The registry's own name of a root ("\\REGISTRY\\USER\\S-1-5-...").
std::wstring NativeName(platform::HKey root) {
  using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<NtQueryKeyFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
  // A root opened as itself is a pseudo handle the native call does not
  // know: ask "Software" below it and drop that last part.
  HKEY key = nullptr;
  if (!query || ::RegOpenKeyExA(reinterpret_cast<HKEY>(root), "Software", 0, KEY_READ, &key))
    return {};
  std::vector<BYTE> info(4096);
  ULONG length = 0;
  constexpr int kKeyNameInformation = 3;
  const LONG status =
      query(key, kKeyNameInformation, info.data(), static_cast<ULONG>(info.size()), &length);
  ::RegCloseKey(key);
  if (status != 0) return {};
  ULONG bytes = 0;
  std::memcpy(&bytes, info.data(), sizeof bytes);
  const std::wstring name(reinterpret_cast<const wchar_t*>(info.data() + sizeof bytes), bytes / 2);
  return name.substr(0, name.rfind(L'\\'));
}

// RegDeleteTree would follow the links a test made and empty their targets.
void DeleteKeyTree(HKEY parent, const std::string& name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(parent, name.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key)) return;
  DWORD type = 0;
  if (::RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
          ERROR_SUCCESS &&
      type == REG_LINK) {
    using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
    const auto del = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    if (del) del(key);
    ::RegCloseKey(key);
    return;
  }
  for (;;) {
    char sub[256];
    DWORD length = sizeof sub;
    if (::RegEnumKeyExA(key, 0, sub, &length, nullptr, nullptr, nullptr, nullptr)) break;
    const std::string before = sub;
    DeleteKeyTree(key, before);
    char again[256];
    length = sizeof again;
    if (!::RegEnumKeyExA(key, 0, again, &length, nullptr, nullptr, nullptr, nullptr) &&
        before == again)
      break;  // a key that resists: give up rather than loop
  }
  ::RegCloseKey(key);
  ::RegDeleteKeyA(parent, name.c_str());
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

class Win32TestMachine final : public Machine {
 public:
  Win32TestMachine() {
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    originalDir_ = cwd;
  }

  ~Win32TestMachine() override {
    for (HANDLE h : held_) ::CloseHandle(h);
    ::SetCurrentDirectoryA(originalDir_.c_str());
    if (!scratch_.empty()) DeleteTree(scratch_);
    if (!scratchKey_.empty()) DeleteKeyTree(HKEY_CURRENT_USER, scratchKey_);
    if (window_) ::DestroyWindow(window_);
  }

  platform::Ports Ports() override {
    return {fs_, registry_, ini_, locale_, shell_, &locks_, &services_, &drivers_};
  }
  bool MakeService(const std::string& name) override {
    const SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    if (!manager) return false;
    const SC_HANDLE service = ::CreateServiceA(
        manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
        SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, "C:\\windows\\system32\\notepad.exe", nullptr,
        nullptr, nullptr, nullptr, nullptr);
    if (service) ::CloseServiceHandle(service);
    ::CloseServiceHandle(manager);
    return service != nullptr;
  }
  bool OnWine() const override {
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  }
  bool Simulated() const override { return false; }

  std::string Scratch() override {
    if (scratch_.empty()) {
      scratch_ = "C:\\quenk-contract\\" + TestName();
      DeleteTree(scratch_);
      MakeFolders(scratch_);
    }
    return scratch_;
  }

  void MakeFolder(const std::string& path, std::uint32_t attributes) override {
    MakeFolders(path);
    if (attributes) Check(::SetFileAttributesA(path.c_str(), attributes), "SetFileAttributes");
  }

  void MakeFile(const std::string& path, const std::string& content,
                std::uint32_t attributes) override {
    MakeFolders(path.substr(0, path.find_last_of('\\')));
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(h != INVALID_HANDLE_VALUE, "CreateFile " + path);
    DWORD written = 0;
    ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
    if (attributes) Check(::SetFileAttributesA(path.c_str(), attributes), "SetFileAttributes");
  }

  void HoldOpen(const std::string& path) override {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Check(h != INVALID_HANDLE_VALUE, "hold open " + path);
    held_.push_back(h);
  }

  LinkTree MakeLinkTree() override {
    if (OnWine()) {
      // Made by the test script: tree\link -> ..\outside, outside\keep.txt.
      const LinkTree fixture{"C:\\quenk-fixtures\\tree", "C:\\quenk-fixtures\\outside"};
      Check(::GetFileAttributesA((fixture.tree + "\\link").c_str()) != INVALID_FILE_ATTRIBUTES,
            "the link fixture (made by scripts/test)");
      MakeFile(fixture.tree + "\\a.txt", "a", 0);
      return fixture;
    }
    const std::string root = Scratch();
    const LinkTree made{root + "\\tree", root + "\\outside"};
    MakeFile(made.outside + "\\keep.txt", "keep", 0);
    MakeFile(made.tree + "\\a.txt", "a", 0);
    const std::string link = made.tree + "\\link";
    // Symbolic links need developer mode or the privilege; a junction does not.
    if (!::CreateSymbolicLinkA(link.c_str(), made.outside.c_str(), 0x1 | 0x2)) {
      const std::string cmd = "cmd.exe /c mklink /J \"" + link + "\" \"" + made.outside + "\"";
      std::vector<char> line(cmd.begin(), cmd.end());
      line.push_back('\0');
      STARTUPINFOA si{};
      si.cb = sizeof si;
      PROCESS_INFORMATION pi{};
      Check(::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &si, &pi),
            "mklink");
      ::WaitForSingleObject(pi.hProcess, INFINITE);
      ::CloseHandle(pi.hThread);
      ::CloseHandle(pi.hProcess);
    }
    return made;
  }

  // Made by the test script under Wine: Q: and \\localhost\c$ lead to drive C.
  std::string OtherDriveOfC() override {
    return ::GetFileAttributesA("Q:\\windows") != INVALID_FILE_ATTRIBUTES ? "Q:" : "";
  }
  std::string ShareOfC() override {
    const char* share = "\\\\localhost\\c$";
    return ::GetFileAttributesA((std::string(share) + "\\windows").c_str()) !=
                   INVALID_FILE_ATTRIBUTES
               ? share
               : "";
  }

  std::string ScratchKey() override {
    if (scratchKey_.empty()) {
      scratchKey_ = "Software\\QuenkContract\\" + TestName();
      DeleteKeyTree(HKEY_CURRENT_USER, scratchKey_);
      MakeKey(platform::kCurrentUser, scratchKey_);
    }
    return scratchKey_;
  }

  void MakeKey(platform::HKey root, const std::string& path) override {
    HKEY k = nullptr;
    Check(::RegCreateKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &k, nullptr) == ERROR_SUCCESS,
          "RegCreateKeyEx " + path);
    ::RegCloseKey(k);
  }

  void SetValue(platform::HKey root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::string& data) override {
    MakeKey(root, path);
    HKEY k = nullptr;
    ::RegOpenKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, KEY_SET_VALUE, &k);
    Check(::RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())) == ERROR_SUCCESS,
          "RegSetValueEx");
    ::RegCloseKey(k);
  }

  bool KeyExists(platform::HKey root, const std::string& path) override {
    HKEY k = nullptr;
    if (::RegOpenKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), REG_OPTION_OPEN_LINK, KEY_READ,
                        &k))
      return false;
    ::RegCloseKey(k);
    return true;
  }

  void MakeKeyLink(platform::HKey root, const std::string& path,
                   const std::string& target) override {
    HKEY link = nullptr;
    Check(::RegCreateKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, nullptr,
                            REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                            &link, nullptr) == ERROR_SUCCESS,
          "RegCreateKeyEx link " + path);
    const std::wstring value = NativeName(root) + L"\\" + Wide(target);
    const LONG set = ::RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                      reinterpret_cast<const BYTE*>(value.data()),
                                      static_cast<DWORD>(value.size() * sizeof(wchar_t)));
    ::RegCloseKey(link);
    Check(set == ERROR_SUCCESS, "SymbolicLinkValue");
  }

  void SetWideValue(platform::HKey root, const std::string& path, const std::u16string& name,
                    std::uint32_t type, const std::string& data) override {
    MakeKey(root, path);
    HKEY k = nullptr;
    ::RegOpenKeyExA(reinterpret_cast<HKEY>(root), path.c_str(), 0, KEY_SET_VALUE, &k);
    const std::wstring wide(name.begin(), name.end());
    Check(::RegSetValueExW(k, wide.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())) == ERROR_SUCCESS,
          "RegSetValueExW");
    ::RegCloseKey(k);
  }

  void MakeWideKey(platform::HKey root, const std::string& path,
                   const std::u16string& name) override {
    const std::wstring wide = Wide(path) + L"\\" + std::wstring(name.begin(), name.end());
    HKEY k = nullptr;
    Check(::RegCreateKeyExW(reinterpret_cast<HKEY>(root), wide.c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &k, nullptr) == ERROR_SUCCESS,
          "RegCreateKeyExW " + path);
    ::RegCloseKey(k);
  }

  std::vector<WideValue> WideValues(platform::HKey root, const std::string& path) override {
    std::vector<WideValue> values;
    HKEY k = nullptr;
    if (::RegOpenKeyExW(reinterpret_cast<HKEY>(root), Wide(path).c_str(), 0, KEY_READ, &k))
      return values;
    for (DWORD i = 0;; ++i) {
      wchar_t name[512];
      BYTE data[4096];
      DWORD nameLength = 512, dataLength = sizeof data, type = 0;
      if (::RegEnumValueW(k, i, name, &nameLength, nullptr, &type, data, &dataLength)) break;
      values.push_back({std::u16string(name, name + nameLength), type,
                        std::string(reinterpret_cast<const char*>(data), dataLength)});
    }
    ::RegCloseKey(k);
    return values;
  }

  std::vector<std::u16string> WideSubKeys(platform::HKey root, const std::string& path) override {
    std::vector<std::u16string> names;
    HKEY k = nullptr;
    if (::RegOpenKeyExW(reinterpret_cast<HKEY>(root), Wide(path).c_str(), 0, KEY_READ, &k))
      return names;
    wchar_t name[512];
    DWORD length = 512;
    for (DWORD i = 0; ::RegEnumKeyExW(k, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 512)
      names.emplace_back(name, name + length);
    ::RegCloseKey(k);
    return names;
  }

  void RemoveKeyTree(platform::HKey root, const std::string& path) override {
    DeleteKeyTree(reinterpret_cast<HKEY>(root), path);
  }

  void SetEnv(const std::string& name, const std::string& value) override {
    ::SetEnvironmentVariableA(name.c_str(), value.c_str());
  }
  void SetCurrentDir(const std::string& path) override {
    Check(::SetCurrentDirectoryA(path.c_str()), "SetCurrentDirectory");
  }

  std::uintptr_t IconOwner() override {
    if (!window_) {
      window_ = ::CreateWindowExA(0, "STATIC", "icon owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
      // Wine's tray lives in its desktop process, which starts with the
      // first window of a session; give it the time to come up.
      for (int i = 0; i < 100 && !::FindWindowA("Shell_TrayWnd", nullptr); ++i) ::Sleep(50);
    }
    return reinterpret_cast<std::uintptr_t>(window_);
  }

 private:
  win32::Win32FileSystem fs_;
  win32::Win32Registry registry_;
  win32::Win32Ini ini_;
  win32::Win32Locale locale_;
  win32::Win32Shell shell_;
  win32::Win32NamedLocks locks_;
  win32::Win32Services services_;
  win32::Win32DriverStore drivers_;
  std::string originalDir_;
  std::string scratch_;
  std::string scratchKey_;
  std::vector<HANDLE> held_;
  HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<Machine> MakeMachine() {
  return std::make_unique<Win32TestMachine>();
}

}  // namespace quenk::test
