#include "Files.h"

#include <windows.h>

namespace quenk::seed {

void MakeFolders(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
  ::CreateDirectoryA(path.c_str(), nullptr);
}

void DeleteTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      const DWORD a = fd.dwFileAttributes;
      if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
        DeleteTree(child);
      else if (a & FILE_ATTRIBUTE_DIRECTORY)
        ::RemoveDirectoryA(child.c_str());
      else
        ::DeleteFileA(child.c_str());
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryA(path.c_str());
}

std::vector<std::string> ListFolder(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return names;
}

}  // namespace quenk::seed
