#include "DriverPackages.h"
#include "Files.h"
#include "Leftovers.h"
#include "Services.h"

#include <algorithm>

namespace quenk::seed {
namespace {

bool SameText(std::string a, std::string b) {
  for (auto* s : {&a, &b})
    std::transform(s->begin(), s->end(), s->begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return a == b;
}

// Folders that were there before seeding (or belong to the system): the
// removal of a seeded file's emptied folders stops at them.
bool IsBase(const std::string& folder) {
  static const char* const kBases[] = {
      "C:\\windows",
      "C:\\windows\\system32",
      "C:\\windows\\system32\\drivers",
      "C:\\Program Files",
      "C:\\Program Files (x86)",
      "C:\\Program Files\\Common Files",
      "C:\\ProgramData",
      "C:\\users",
  };
  if (std::any_of(std::begin(kBases), std::end(kBases),
                  [&](const char* b) { return SameText(folder, b); }))
    return true;
  // A profile's own folders: AppData, Local, Roaming, LocalLow, Temp.
  for (const char* tail : {"\\AppData", "\\AppData\\Local", "\\AppData\\Roaming",
                           "\\AppData\\LocalLow", "\\AppData\\Local\\Temp"}) {
    const std::string t = tail;
    if (folder.size() > t.size() && SameText(folder.substr(folder.size() - t.size()), t))
      return true;
  }
  return folder.size() <= 3;
}

void RemoveFileAndEmptyFolders(const std::string& path) {
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(path.c_str());
  for (std::string folder = path.substr(0, path.find_last_of('\\')); !IsBase(folder);
       folder = folder.substr(0, folder.find_last_of('\\')))
    if (!::RemoveDirectoryA(folder.c_str())) break;
}

// Removes the key, then its parents while they hold nothing, up to Software or System.
void RemoveKeyAndEmptyParents(HKEY root, std::string path) {
  ::RegDeleteTreeA(root, path.c_str());
  for (auto slash = path.find_last_of('\\'); slash != std::string::npos;
       slash = path.find_last_of('\\')) {
    path.resize(slash);
    if (path.find('\\') == std::string::npos || SameText(path, "System\\ControlSet001\\Enum") ||
        SameText(path, "System\\ControlSet001\\Enum\\Root"))
      break;
    HKEY k = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k)) break;
    DWORD keys = 0, values = 0;
    const bool empty = !::RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &keys, nullptr, nullptr,
                                           &values, nullptr, nullptr, nullptr, nullptr) &&
                       keys == 0 && values == 0;
    ::RegCloseKey(k);
    if (!empty || ::RegDeleteKeyA(root, path.c_str())) break;
  }
}

}  // namespace

void ClearCurrent() {
  auto entries = CurrentInUseOf("");
  // Devices before the packages their driver keys name.
  std::stable_partition(entries.begin(), entries.end(),
                        [](const Entry& e) { return e.kind == Entry::kDevice; });
  for (const auto& e : entries) {
    switch (e.kind) {
      case Entry::kDevice:
        RemoveDevice(e.path);
        break;
      case Entry::kPackage:
        RemovePublished(e.path, e.data);
        break;
      case Entry::kService:
        RemoveService(e.path);
        break;
      case Entry::kFile:
        RemoveFileAndEmptyFolders(e.path);
        break;
      case Entry::kKey:
        RemoveKeyAndEmptyParents(e.root, e.path);
        break;
      case Entry::kValue:
        ::RegDeleteKeyValueA(e.root, e.path.c_str(), e.name.c_str());
        break;
    }
  }
}

}  // namespace quenk::seed
