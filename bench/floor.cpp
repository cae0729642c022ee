// The floor: the removals of a run of all five cleaning items, both phases,
// made with nothing but the raw Win32 calls and one search per mask, each
// followed by its 32-bit half where the machine has one. The
// Wine benchmark times quenk.exe against it. It takes its tables from the
// profiles' headers and calls nothing of the program.
//
//   quenk-floor.exe /bench [RECORD]
//
// Without "/bench" it does nothing. RECORD, when given, receives what was
// deleted and what stayed, in the two sections of a log file, so that the
// benchmark can check that both programs did the same.
#include "profiles/ATi.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/Realtek.h"

#include <windows.h>

#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quenk::profiles;
using Table = std::span<const std::string_view>;

bool IsDots(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

std::string Env(const char* name) {
  char buffer[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// "X:\" followed by at least one name.
bool FullyQualified(const std::string& path) {
  return path.size() > 3 && path[1] == ':' && path[2] == '\\' && path[3] != '\\';
}

class Floor {
 public:
  Floor()
      : windows_(Env("SYSTEMROOT")),
        programFiles_(Env("Programfiles")),
        programFilesX86_(Env("ProgramFiles(x86)")) {
    const DWORD a = ::GetFileAttributesA((windows_ + "\\SysWOW64").c_str());
    wow64_ = a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) &&
             !(a & FILE_ATTRIBUTE_REPARSE_POINT);
    const DWORD x = ::GetFileAttributesA(programFilesX86_.c_str());
    const bool same = programFilesX86_.size() == programFiles_.size() &&
                      StartsWith(programFilesX86_, programFiles_);
    if (!FullyQualified(programFilesX86_) || x == INVALID_FILE_ATTRIBUTES ||
        !(x & FILE_ATTRIBUTE_DIRECTORY) || (x & FILE_ATTRIBUTE_REPARSE_POINT) || same)
      programFilesX86_.clear();
  }

  // False, touching nothing, when the environment names no Windows or
  // Program Files folder.
  bool Run() {
    if (!FullyQualified(windows_) || !FullyQualified(programFiles_)) return false;
    const std::string w = windows_ + "\\";
    const std::string s = w + "System32\\";
    const std::string installers = programFiles_ + "\\InstallShield Installation Information\\";

    Files(s, nvidia::System32Masks);
    Files(s + "drivers\\", nvidia::DriversMasks);
    Files(s + "dllcache\\", nvidia::DllCacheMasks);
    Files(w + "prefetch\\", nvidia::PrefetchMasks);
    Folder(w + "Help\\nvcpl");
    Keys(HKEY_CURRENT_USER, "Software", nvidia::UserKeys);
    Keys(HKEY_LOCAL_MACHINE, "Software\\NVIDIA Corporation", nvidia::MachineKeys);
    Sweep(nvidia::EnumRootKeys, nvidia::ServiceKeys);

    Files(s + "drivers\\", nvidia_chipset::DriversMasks);
    Keys(HKEY_LOCAL_MACHINE, "Software\\NVIDIA Corporation", nvidia_chipset::MachineKeys);
    Sweep(nvidia_chipset::EnumRootKeys, nvidia_chipset::ServiceKeys);

    Files(s, ati::System32Masks);
    RegisteredFolders("Software\\ATi Technologies\\Install", "InstallDir");
    Keys(HKEY_CURRENT_USER, "Software", ati::UserKeys);
    Keys(HKEY_LOCAL_MACHINE, "Software", ati::MachineKeys);

    Files(s, creative::System32Masks);
    Files(s + "drivers\\", creative::DriversMasks);
    Installers(installers, creative::CompanyPrefix);
    Keys(HKEY_CURRENT_USER, "Software", creative::UserKeys);
    Keys(HKEY_LOCAL_MACHINE, "Software", creative::MachineKeys);

    RegisteredFolders("Software\\Realtek\\InstallShield", "ProgramFilesDir");
    Files(s, realtek::System32Masks);
    Files(s + "drivers\\", realtek::DriversMasks);
    Installers(installers, realtek::CompanyPrefix);
    Keys(HKEY_CURRENT_USER, "Software", realtek::UserKeys);
    Keys(HKEY_LOCAL_MACHINE, "Software", realtek::MachineKeys);
    return true;
  }

  bool Write(const char* path) const {
    std::string text = "[Deleted]\r\n";
    for (const auto& line : deleted_) text += line + "\r\n";
    text += "[Not deleted]\r\n";
    for (const auto& line : notDeleted_) text += line + "\r\n";
    const HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    return ::CloseHandle(h) && ok;
  }

 private:
  void Record(bool removed, std::string line) {
    (removed ? deleted_ : notDeleted_).push_back(std::move(line));
  }

  void Files(const std::string& folder, Table masks) {
    FilesIn(folder, masks);
    const std::string system32 = windows_ + "\\System32\\";
    if (wow64_ && StartsWith(folder, system32))
      FilesIn(windows_ + "\\SysWOW64\\" + folder.substr(system32.size()), masks);
  }

  // One search per mask, each entry deleted as it is found.
  void FilesIn(const std::string& folder, Table masks) {
    for (const std::string_view mask : masks) {
      if (mask.empty()) continue;
      WIN32_FIND_DATAA fd;
      const HANDLE h = ::FindFirstFileA((folder + std::string(mask)).c_str(), &fd);
      if (h == INVALID_HANDLE_VALUE) continue;
      do {
        if (IsDots(fd.cFileName)) continue;
        std::string path = folder + fd.cFileName;
        const bool removed = ::DeleteFileA(path.c_str()) != 0;
        Record(removed, std::move(path));
      } while (::FindNextFileA(h, &fd));
      ::FindClose(h);
    }
  }

  // A folder the benchmark prefix holds: nothing in the Windows folder, nor
  // a drive, the Windows or the Program Files folder or one above them, is
  // ever taken, whatever a registry value says.
  bool Removable(const std::string& path) const {
    if (!FullyQualified(path) || path.find("..") != std::string::npos) return false;
    return !StartsWith(path, windows_) && !StartsWith(windows_, path) &&
           !StartsWith(programFiles_, path);
  }

  static bool StartsWith(const std::string& text, const std::string& start) {
    return text.size() >= start.size() &&
           ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                            static_cast<int>(start.size()), start.c_str(),
                            static_cast<int>(start.size())) == CSTR_EQUAL;
  }

  // `allowed` false: a folder there is recorded as not deleted, untouched.
  void Folder(const std::string& path, bool allowed = true) {
    const DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) return;
    const bool removed = allowed && Tree(path, a);
    Record(removed, path);
  }

  void RegisteredFolder(const std::string& path) { Folder(path, Removable(path)); }

  // The value in the 64-bit view, then in the 32-bit one; one folder once.
  void RegisteredFolders(const char* key, const char* value) {
    const std::string folder = ValueText(key, value, 0);
    const std::string folder32 = ValueText(key, value, KEY_WOW64_32KEY);
    RegisteredFolder(folder);
    if (folder32.size() != folder.size() || !StartsWith(folder32, folder))
      RegisteredFolder(folder32);
  }

  // Depth first; a link is removed itself, never followed. Only a path
  // below a drive's root is ever walked.
  static bool Tree(const std::string& path, DWORD attributes) {
    if (!FullyQualified(path)) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return ::RemoveDirectoryA(path.c_str()) != 0;
    bool all = true;
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA((path + "\\*.*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (IsDots(fd.cFileName)) continue;
        const std::string child = path + "\\" + fd.cFileName;
        const bool removed = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                 ? Tree(child, fd.dwFileAttributes)
                                 : ::DeleteFileA(child.c_str()) != 0;
        all = all && removed;
      } while (::FindNextFileA(h, &fd));
      ::FindClose(h);
    }
    return all && ::RemoveDirectoryA(path.c_str()) != 0;
  }

  void Installers(const std::string& folder, std::string_view companyPrefix) {
    InstallersIn(folder, companyPrefix);
    if (!programFilesX86_.empty() && StartsWith(folder, programFiles_ + "\\"))
      InstallersIn(programFilesX86_ + folder.substr(programFiles_.size()), companyPrefix);
  }

  void InstallersIn(const std::string& folder, std::string_view companyPrefix) {
    WIN32_FIND_DATAA fd;
    const HANDLE h = ::FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
      constexpr DWORD kVolumeLabel = 0x8;
      constexpr DWORD kPassedOver = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | kVolumeLabel;
      if (IsDots(fd.cFileName) || (fd.dwFileAttributes & kPassedOver)) continue;
      std::string path = folder + fd.cFileName;
      char company[2048];
      const DWORD n = ::GetPrivateProfileStringA("Startup", "CompanyName", "Not", company,
                                                 sizeof company, (path + "\\setup.ini").c_str());
      if (std::string_view(company, n).substr(0, companyPrefix.size()) != companyPrefix) continue;
      const bool removed = Tree(path, fd.dwFileAttributes);
      Record(removed, std::move(path));
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }

  // The folder a string value below HKEY_LOCAL_MACHINE names, or nothing.
  static std::string ValueText(const char* key, const char* value, REGSAM view) {
    HKEY k = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &k) != ERROR_SUCCESS)
      return {};
    std::string text(MAX_PATH, '\0');
    DWORD type = 0, size = static_cast<DWORD>(text.size());
    const LONG error =
        ::RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    ::RegCloseKey(k);
    if (error != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    text.resize(size);
    return text.substr(0, text.find('\0'));
  }

  void Keys(HKEY root, const char* base, Table names) {
    KeysIn(root, base, names, 0);
    if (root == HKEY_LOCAL_MACHINE && std::string_view(base).substr(0, 8) == "Software")
      KeysIn(root, base, names, KEY_WOW64_32KEY);
  }

  void KeysIn(HKEY root, const char* base, Table names, REGSAM view) {
    HKEY baseKey = nullptr;
    if (::RegOpenKeyExA(root, base, 0, KEY_ALL_ACCESS | view, &baseKey) != ERROR_SUCCESS &&
        ::RegOpenKeyExA(root, base, 0, KEY_READ | view, &baseKey) != ERROR_SUCCESS)
      return;
    std::string shown = base;
    if (view) shown.insert(8, "\\WOW6432Node");
    const std::string prefix =
        std::string(root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") + shown + "\\";
    for (const std::string_view n : names) {
      const std::string name(n);
      HKEY key = nullptr;
      if (::RegOpenKeyExA(baseKey, name.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        continue;
      ::RegCloseKey(key);
      Record(KeyTree(baseKey, name, view), prefix + name);
    }
    ::RegCloseKey(baseKey);
  }

  // Subkeys first, last to first, then the key itself.
  static bool KeyTree(HKEY parent, const std::string& name, REGSAM view) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
      DWORD count = 0, longest = 0;
      if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        std::string sub(longest + 1, '\0');
        for (DWORD i = count; i-- > 0;) {
          DWORD size = longest + 1;
          if (::RegEnumKeyExA(key, i, sub.data(), &size, nullptr, nullptr, nullptr, nullptr) ==
              ERROR_SUCCESS)
            KeyTree(key, sub.substr(0, size), view);
        }
      }
      ::RegCloseKey(key);
    }
    return ::RegDeleteKeyExA(parent, name.c_str(), view, 0) == ERROR_SUCCESS;
  }

  void Sweep(Table enumRootKeys, Table serviceKeys) {
    for (const std::string_view base : kEnumRootBases)
      Keys(HKEY_LOCAL_MACHINE, std::string(base).c_str(), enumRootKeys);
    for (const std::string_view base : kServicesBases)
      Keys(HKEY_LOCAL_MACHINE, std::string(base).c_str(), serviceKeys);
  }

  std::string windows_;
  std::string programFiles_;
  std::string programFilesX86_;  // empty without a Program Files (x86) of its own
  bool wow64_ = false;
  std::vector<std::string> deleted_;
  std::vector<std::string> notDeleted_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2 || std::string_view(__argv[1]) != "/bench") return 3;
  Floor floor;
  if (!floor.Run()) return 2;
  if (__argc > 2 && !floor.Write(__argv[2])) return 2;
  return 0;
}
