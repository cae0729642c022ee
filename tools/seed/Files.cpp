#include "Files.h"

#include <windows.h>

namespace quenk::seed {

void MakeFolders(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
  ::CreateDirectoryA(path.c_str(), nullptr);
}

namespace {

// Wide calls in the "\\?\" form reach paths past MAX_PATH, which a backup
// of a deep tree holds.
void DeleteTreeWide(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      const DWORD a = fd.dwFileAttributes;
      if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
        DeleteTreeWide(child);
      else if (a & FILE_ATTRIBUTE_DIRECTORY)
        ::RemoveDirectoryW(child.c_str());
      else
        ::DeleteFileW(child.c_str());
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(path.c_str());
}

}  // namespace

void DeleteTree(const std::string& path) {
  const int n =
      ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  while (wide.size() > 3 && wide.back() == L'\\') wide.pop_back();
  const bool absolute = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
  DeleteTreeWide(absolute ? L"\\\\?\\" + wide : wide);
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
