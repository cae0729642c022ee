#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/Win32CodePage.h"

#include "base/Text.h"
#include "platform/Paths.h"
#include "platform/win32/Handles.h"

#include <shlobj.h>

#include <cstdio>
#include <limits>
#include <vector>

namespace quenk::win32 {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::uint32_t LastErrorOr(BOOL ok) {
  return ok ? 0 : static_cast<std::uint32_t>(::GetLastError());
}

std::wstring FromUtf8(const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
  return wide;
}

std::string ToUtf8(const wchar_t* text) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string utf8(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(n - 1));
  return utf8;
}

// An ANSI path, and a UTF-8 name inside it, as one wide path; in the
// "\\?\" form when it reaches MAX_PATH. Empty for a name that is not one
// name of valid UTF-8.
std::wstring WidePath(const std::string& folder, const std::string& utf8Leaf = {}) {
  std::wstring leaf;
  if (!utf8Leaf.empty()) {
    leaf = FromUtf8(utf8Leaf);
    if (leaf.empty() || leaf.find_first_of(L"\\/") != std::wstring::npos) return {};
    if (folder.empty() || folder.back() != '\\') leaf.insert(0, 1, L'\\');
  }
  std::wstring path = Widen(folder) + leaf;
  if (path.size() < MAX_PATH) return path;
  const std::string literal = platform::LiteralPath(folder);
  return literal.empty() ? path : Widen(literal) + leaf;
}

// The ANSI entry points stop at MAX_PATH; longer paths go to the wide ones
// in their "\\?\" form, which has no such limit.
template <class Ansi, class Wide>
auto Call(const std::string& path, Ansi ansi, Wide wide) {
  if (path.size() < MAX_PATH) return ansi(path.c_str());
  const std::string literal = platform::LiteralPath(path);
  if (literal.empty()) return ansi(path.c_str());
  return wide(Widen(literal).c_str());
}

// The same for calls that take two paths: both go the wide way when either must.
template <class Ansi, class Wide>
auto Call2(const std::string& first, const std::string& second, Ansi ansi, Wide wide) {
  if (first.size() < MAX_PATH && second.size() < MAX_PATH)
    return ansi(first.c_str(), second.c_str());
  const std::string a = platform::LiteralPath(first), b = platform::LiteralPath(second);
  if (a.empty() || b.empty()) return ansi(first.c_str(), second.c_str());
  return wide(Widen(a).c_str(), Widen(b).c_str());
}

std::uint64_t Ticks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME FileTimeOf(std::uint64_t ticks) {
  return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

template <class FindData>
platform::FileTimes TimesOf(const FindData& d) {
  return {Ticks(d.ftCreationTime), Ticks(d.ftLastAccessTime), Ticks(d.ftLastWriteTime)};
}

class Win32Search final : public platform::FileSearch {
 public:
  explicit Win32Search(const std::string& pattern) : handle_(First(pattern)) {
    pending_ = handle_.Valid();
    if (!pending_) error_ = static_cast<std::uint32_t>(::GetLastError());
  }

  bool Next(platform::FindEntry& entry) override {
    if (!pending_) {
      if (!handle_.Valid()) return false;
      const BOOL more = wide_ ? ::FindNextFileW(handle_.Get(), &wideData_)
                              : ::FindNextFileA(handle_.Get(), &data_);
      if (!more) {
        const DWORD e = ::GetLastError();
        error_ = e == ERROR_NO_MORE_FILES ? 0 : static_cast<std::uint32_t>(e);
        handle_.Close();
        return false;
      }
    }
    pending_ = false;
    if (wide_) {
      entry.name = Narrow(wideData_.cFileName);
      entry.shortName = Narrow(wideData_.cAlternateFileName);
      entry.attributes = wideData_.dwFileAttributes;
      entry.times = TimesOf(wideData_);
      entry.size = (std::uint64_t{wideData_.nFileSizeHigh} << 32) | wideData_.nFileSizeLow;
    } else {
      entry.name = data_.cFileName;
      entry.shortName = data_.cAlternateFileName;
      entry.attributes = data_.dwFileAttributes;
      entry.times = TimesOf(data_);
      entry.size = (std::uint64_t{data_.nFileSizeHigh} << 32) | data_.nFileSizeLow;
    }
    return true;
  }

  std::uint32_t Error() const override { return error_; }

 private:
  HANDLE First(const std::string& pattern) {
    return Call(
        pattern, [this](const char* p) { return ::FindFirstFileA(p, &data_); },
        [this](const wchar_t* p) {
          wide_ = true;
          return ::FindFirstFileW(p, &wideData_);
        });
  }

  WIN32_FIND_DATAA data_{};
  WIN32_FIND_DATAW wideData_{};
  bool wide_ = false;
  UniqueFind handle_;
  bool pending_ = false;
  std::uint32_t error_ = 0;
};

class Win32File final : public platform::File {
 public:
  explicit Win32File(UniqueHandle h) : handle_(std::move(h)) {}

  std::uint32_t Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD chunk = static_cast<DWORD>(
          std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
      DWORD written = 0;
      if (!::WriteFile(handle_.Get(), bytes.data(), chunk, &written, nullptr))
        return static_cast<std::uint32_t>(::GetLastError());
      if (written == 0) return 101;
      bytes.remove_prefix(written);
    }
    return 0;
  }

  std::uint32_t ReadAll(std::string& bytes) override {
    bytes.clear();
    char buffer[65536];
    for (;;) {
      DWORD read = 0;
      if (!::ReadFile(handle_.Get(), buffer, sizeof buffer, &read, nullptr))
        return static_cast<std::uint32_t>(::GetLastError());
      if (read == 0) return 0;
      bytes.append(buffer, read);
    }
  }

  std::uint32_t Close() override {
    return handle_.Close() ? 0 : static_cast<std::uint32_t>(::GetLastError());
  }

 private:
  UniqueHandle handle_;
};

// Calls `get(buffer, size)` until the buffer holds the whole answer: both
// functions used here return at least `size` when the buffer was too small.
template <class Get>
std::string GrowingBuffer(Get get) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, n + 1));
  }
}

// Opens the entry for deletion the way the deleting call does, and closes it.
std::uint32_t Probe(const std::string& path, DWORD flags) {
  UniqueHandle h(Call(
      path,
      [flags](const char* p) {
        return ::CreateFileA(p, DELETE, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
      },
      [flags](const wchar_t* p) {
        return ::CreateFileW(p, DELETE, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
      }));
  return h.Valid() ? 0 : static_cast<std::uint32_t>(::GetLastError());
}

UniqueHandle OpenForLooking(const std::string& path, DWORD flags) {
  return UniqueHandle(Call(
      path,
      [flags](const char* p) {
        return ::CreateFileA(p, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, flags,
                             nullptr);
      },
      [flags](const wchar_t* p) {
        return ::CreateFileW(p, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, flags,
                             nullptr);
      }));
}

// The path the system gives an open handle, as "C:\x" or "\\server\share\x";
// empty when it gives none.
std::string FinalPathOf(HANDLE h) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (n == 0) return {};
    if (n < buffer.size()) break;
    buffer.resize(n + 1);
  }
  std::string final = platform::PlainPath(Narrow(buffer.data()));
  while (final.size() > 3 && final.back() == '\\') final.pop_back();
  return final;
}

// The volume's serial and the path within it, as "1A2B3C4D:\\dir\\name": for
// handles the system gives no final path for.
std::string PlaceInVolume(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return {};
  std::vector<DWORD> buffer(8192);
  if (!::GetFileInformationByHandleEx(h, FileNameInfo, buffer.data(),
                                      static_cast<DWORD>(buffer.size() * sizeof(DWORD))))
    return {};
  const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
  const std::wstring wide(name->FileName, name->FileNameLength / sizeof(wchar_t));
  char serial[16] = {};
  std::snprintf(serial, sizeof serial,
                "%08lX:", static_cast<unsigned long>(info.dwVolumeSerialNumber));
  return serial + Narrow(wide.c_str());
}

// A folder's path without its trailing "\\", or a root's with it ("C:\\").
std::string WithoutRootSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':')
    folder.pop_back();
  if (!folder.empty() && folder.back() == ':') folder += '\\';
  return folder;
}

// The entry's long name as its folder lists it.
std::string ListedName(const std::string& path) {
  WIN32_FIND_DATAA data{};
  WIN32_FIND_DATAW wide{};
  bool isWide = false;
  UniqueFind find(Call(
      path, [&data](const char* p) { return ::FindFirstFileA(p, &data); },
      [&wide, &isWide](const wchar_t* p) {
        isWide = true;
        return ::FindFirstFileW(p, &wide);
      }));
  if (!find.Valid()) return {};
  return isWide ? Narrow(wide.cFileName) : std::string(data.cFileName);
}

}  // namespace

bool Win32FileSystem::OpensAsItself(const std::string& path, const platform::FindEntry* listed) {
  const UniqueHandle h =
      OpenForLooking(path, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  if (!h.Valid()) return true;  // the call itself will say what stands in the way
  if (platform::FolderOf(path).empty()) return true;
  const std::string parent = platform::ParentOf(path), leaf = platform::LastComponent(path);
  const std::string parentOpened = parent.size() == 2 ? parent + "\\" : parent;
  // The folder is looked at again after a moment, in case it has been
  // replaced since; and closed at once: an open handle would keep it from
  // going when it is removed.
  const std::uint64_t now = ::GetTickCount64();
  if (parent != parentSpelt_ || now - parentLookedAt_ > 1000) {
    parentSpelt_ = parent;
    parentLookedAt_ = now;
    parentInVolume_.clear();
    const UniqueHandle p = OpenForLooking(parentOpened, FILE_FLAG_BACKUP_SEMANTICS);
    parentFinal_ = p.Valid() ? FinalPathOf(p.Get()) : std::string();
  }
  // Both named by their final paths, or where the system gives none (Wine
  // beyond some 270 characters) both by volume and path within it; where
  // neither can be had, the entry is not taken for itself.
  std::string place = parentFinal_.empty() ? std::string() : FinalPathOf(h.Get());
  std::string parentPlace = parentFinal_;
  if (place.empty()) {
    if (parentInVolume_.empty()) {
      const UniqueHandle p = OpenForLooking(parentOpened, FILE_FLAG_BACKUP_SEMANTICS);
      if (p.Valid()) parentInVolume_ = PlaceInVolume(p.Get());
    }
    place = PlaceInVolume(h.Get());
    parentPlace = parentInVolume_;
    if (place.empty() || parentPlace.empty()) return false;
  }
  if (platform::FolderOf(place).empty()) return false;
  const std::string placeLeaf = platform::LastComponent(place);
  if (!EqualsNoCase(leaf, placeLeaf) &&
      !EqualsNoCase(listed ? listed->name : ListedName(path), placeLeaf))
    return false;
  return EqualsNoCase(WithoutRootSlash(platform::FolderOf(place)), WithoutRootSlash(parentPlace));
}

std::unique_ptr<platform::FileSearch> Win32FileSystem::FindRaw(const std::string& pattern) {
  return std::make_unique<Win32Search>(pattern);
}

std::uint32_t Win32FileSystem::Delete(const std::string& path) {
  if (!OpensAsItself(path)) return ERROR_ACCESS_DENIED;
  return LastErrorOr(Call(path, ::DeleteFileA, ::DeleteFileW));
}

std::uint32_t Win32FileSystem::DeleteListed(const std::string& path,
                                            const platform::FindEntry& listed) {
  if (!OpensAsItself(path, &listed)) return ERROR_ACCESS_DENIED;
  return LastErrorOr(Call(path, ::DeleteFileA, ::DeleteFileW));
}

std::uint32_t Win32FileSystem::RemoveDir(const std::string& path) {
  if (LinkFollowed(path)) return ERROR_ACCESS_DENIED;
  return LastErrorOr(Call(path, ::RemoveDirectoryA, ::RemoveDirectoryW));
}

std::uint32_t Win32FileSystem::ProbeDelete(const std::string& path) {
  if (!OpensAsItself(path)) return ERROR_ACCESS_DENIED;
  return Probe(path, FILE_FLAG_OPEN_REPARSE_POINT);
}

std::uint32_t Win32FileSystem::ProbeRemoveDir(const std::string& path) {
  if (LinkFollowed(path)) return ERROR_ACCESS_DENIED;
  return Probe(path, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
}

bool Win32FileSystem::LinkFollowed(const std::string& path) {
  const auto a = Attributes(path);
  return a && (*a & FILE_ATTRIBUTE_REPARSE_POINT) && !OpensAsItself(path);
}

std::uint32_t Win32FileSystem::ProbeMakeDirIn(const std::string& folder) {
  const auto a = Attributes(folder);
  if (!a) return static_cast<std::uint32_t>(::GetLastError());
  if (!(*a & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_DIRECTORY;
  UniqueHandle h(Call(
      folder,
      [](const char* p) {
        return ::CreateFileA(p, FILE_ADD_SUBDIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      },
      [](const wchar_t* p) {
        return ::CreateFileW(p, FILE_ADD_SUBDIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      }));
  return h.Valid() ? 0 : static_cast<std::uint32_t>(::GetLastError());
}

std::uint32_t Win32FileSystem::MakeDir(const std::string& path) {
  return LastErrorOr(Call(
      path, [](const char* p) { return ::CreateDirectoryA(p, nullptr); },
      [](const wchar_t* p) { return ::CreateDirectoryW(p, nullptr); }));
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD a = Call(path, ::GetFileAttributesA, ::GetFileAttributesW);
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

platform::OpenResult Win32FileSystem::Open(const std::string& path, platform::OpenMode mode) {
  DWORD access = 0, share = 0, disposition = 0;
  switch (mode) {
    case platform::OpenMode::kCreateExclusive:
      access = GENERIC_READ | GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case platform::OpenMode::kRewrite:
      access = GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
    case platform::OpenMode::kRead:
      access = GENERIC_READ;
      share = FILE_SHARE_READ;
      disposition = OPEN_EXISTING;
      break;
    case platform::OpenMode::kAppend:
      access = GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = OPEN_ALWAYS;
      break;
    case platform::OpenMode::kCreateNew:
      access = GENERIC_WRITE;
      disposition = CREATE_NEW;
      break;
  }
  UniqueHandle h(Call(
      path,
      [&](const char* p) {
        return ::CreateFileA(p, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
      },
      [&](const wchar_t* p) {
        return ::CreateFileW(p, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
      }));
  if (!h.Valid()) return {static_cast<std::uint32_t>(::GetLastError()), nullptr};
  if (mode == platform::OpenMode::kAppend && !::SetFilePointerEx(h.Get(), {}, nullptr, FILE_END))
    return {static_cast<std::uint32_t>(::GetLastError()), nullptr};
  return {0, std::make_unique<Win32File>(std::move(h))};
}

std::string Win32FileSystem::CurrentDir() {
  return GrowingBuffer([](char* b, DWORD n) { return ::GetCurrentDirectoryA(n, b); });
}

std::string Win32FileSystem::ModulePath() {
  return GrowingBuffer([](char* b, DWORD n) { return ::GetModuleFileNameA(nullptr, b, n); });
}

std::optional<std::string> Win32FileSystem::Env(const std::string& name) {
  std::vector<char> buffer(256);
  for (;;) {
    ::SetLastError(0);
    const DWORD n =
        ::GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

std::optional<platform::FolderIdentity> Win32FileSystem::Identify(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const UniqueHandle h = OpenForLooking(path, FILE_FLAG_BACKUP_SEMANTICS);
  if (!h.Valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h.Get(), &info)) return std::nullopt;
  std::string final = FinalPathOf(h.Get());
  if (final.empty()) return std::nullopt;
  platform::FolderIdentity id;
  id.volume = info.dwVolumeSerialNumber;
  id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  id.finalPath = std::move(final);
  return id;
}

std::string Win32FileSystem::SystemFolderPath(platform::SystemFolder folder) {
  using platform::SystemFolder;
  char buffer[MAX_PATH + 1] = {};
  switch (folder) {
    case SystemFolder::kWindows:
      return GrowingBuffer([](char* b, DWORD n) { return ::GetWindowsDirectoryA(b, n); });
    case SystemFolder::kSystem:
      return GrowingBuffer([](char* b, DWORD n) { return ::GetSystemDirectoryA(b, n); });
    case SystemFolder::kSystemWow64:
      return GrowingBuffer([](char* b, DWORD n) { return ::GetSystemWow64DirectoryA(b, n); });
    default:
      break;
  }
  int csidl = 0;
  switch (folder) {
    case SystemFolder::kProgramFiles:
      csidl = CSIDL_PROGRAM_FILES;
      break;
    case SystemFolder::kProgramFilesX86:
      csidl = CSIDL_PROGRAM_FILESX86;
      break;
    case SystemFolder::kCommonFiles:
      csidl = CSIDL_PROGRAM_FILES_COMMON;
      break;
    case SystemFolder::kCommonFilesX86:
      csidl = CSIDL_PROGRAM_FILES_COMMONX86;
      break;
    case SystemFolder::kProgramData:
      csidl = CSIDL_COMMON_APPDATA;
      break;
    case SystemFolder::kProfile:
      csidl = CSIDL_PROFILE;
      break;
    case SystemFolder::kDesktop:
      csidl = CSIDL_DESKTOPDIRECTORY;
      break;
    case SystemFolder::kDocuments:
      csidl = CSIDL_PERSONAL;
      break;
    case SystemFolder::kMusic:
      csidl = CSIDL_MYMUSIC;
      break;
    case SystemFolder::kPictures:
      csidl = CSIDL_MYPICTURES;
      break;
    case SystemFolder::kVideos:
      csidl = CSIDL_MYVIDEO;
      break;
    case SystemFolder::kAppData:
      csidl = CSIDL_APPDATA;
      break;
    case SystemFolder::kLocalAppData:
      csidl = CSIDL_LOCAL_APPDATA;
      break;
    default:
      return {};
  }
  if (FAILED(::SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                SHGFP_TYPE_CURRENT, buffer)))
    return {};
  return buffer;
}

std::uint32_t Win32FileSystem::Copy(const std::string& from, const std::string& to,
                                    bool failIfExists) {
  const BOOL fail = failIfExists ? TRUE : FALSE;
  return LastErrorOr(Call2(
      from, to, [fail](const char* a, const char* b) { return ::CopyFileA(a, b, fail); },
      [fail](const wchar_t* a, const wchar_t* b) { return ::CopyFileW(a, b, fail); }));
}

std::uint32_t Win32FileSystem::HardLink(const std::string& existing, const std::string& link) {
  return LastErrorOr(Call2(
      existing, link, [](const char* e, const char* l) { return ::CreateHardLinkA(l, e, nullptr); },
      [](const wchar_t* e, const wchar_t* l) { return ::CreateHardLinkW(l, e, nullptr); }));
}

std::uint32_t Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  // Nothing settable means a plain file, which the system calls "normal".
  DWORD a = attributes & platform::attr::kSettable;
  if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
  return LastErrorOr(Call(
      path, [a](const char* p) { return ::SetFileAttributesA(p, a); },
      [a](const wchar_t* p) { return ::SetFileAttributesW(p, a); }));
}

std::optional<platform::FileTimes> Win32FileSystem::Times(const std::string& path) {
  std::optional<platform::FileTimes> times;
  Call(
      path,
      [&times](const char* p) {
        WIN32_FILE_ATTRIBUTE_DATA d{};
        if (::GetFileAttributesExA(p, GetFileExInfoStandard, &d)) times = TimesOf(d);
        return 0;
      },
      [&times](const wchar_t* p) {
        WIN32_FILE_ATTRIBUTE_DATA d{};
        if (::GetFileAttributesExW(p, GetFileExInfoStandard, &d)) times = TimesOf(d);
        return 0;
      });
  return times;
}

std::uint32_t Win32FileSystem::SetTimes(const std::string& path, const platform::FileTimes& times) {
  UniqueHandle h(Call(
      path,
      [](const char* p) {
        return ::CreateFileA(p, FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      },
      [](const wchar_t* p) {
        return ::CreateFileW(p, FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      }));
  if (!h.Valid()) return static_cast<std::uint32_t>(::GetLastError());
  const FILETIME c = FileTimeOf(times.creation), a = FileTimeOf(times.lastAccess),
                 w = FileTimeOf(times.lastWrite);
  return LastErrorOr(::SetFileTime(h.Get(), times.creation ? &c : nullptr,
                                   times.lastAccess ? &a : nullptr,
                                   times.lastWrite ? &w : nullptr));
}

std::uint32_t Win32FileSystem::MakeLink(const std::string& path, const std::string& target,
                                        bool folder) {
  // Without the privilege Windows 10 and later make links in developer mode
  // when asked to; older systems refuse the flag itself.
  constexpr DWORD kAllowUnprivileged = 0x2;
  const DWORD kind = folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  if (::CreateSymbolicLinkA(path.c_str(), target.c_str(), kind | kAllowUnprivileged)) return 0;
  const DWORD error = ::GetLastError();
  if (error != ERROR_INVALID_PARAMETER) return error;
  return LastErrorOr(::CreateSymbolicLinkA(path.c_str(), target.c_str(), kind) ? TRUE : FALSE);
}

std::optional<platform::LongName> Win32FileSystem::LongNameOf(const std::string& path) {
  const std::wstring wide = WidePath(path);
  if (wide.find_first_of(L"*?", wide.rfind(L'\\') + 1) != std::wstring::npos) return std::nullopt;
  WIN32_FIND_DATAW data{};
  const UniqueFind find(::FindFirstFileW(wide.c_str(), &data));
  if (!find.Valid()) return std::nullopt;
  return platform::LongName{Narrow(data.cFileName), ToUtf8(data.cFileName)};
}

std::optional<std::uint32_t> Win32FileSystem::AttributesIn(const std::string& folder,
                                                           const std::string& utf8Leaf) {
  const std::wstring wide = WidePath(folder, utf8Leaf);
  if (wide.empty()) return std::nullopt;
  const DWORD a = ::GetFileAttributesW(wide.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return a;
}

std::uint32_t Win32FileSystem::Rename(const std::string& path, const std::string& utf8Leaf) {
  if (platform::FolderOf(path).empty()) return ERROR_INVALID_NAME;
  const std::wstring to = WidePath(platform::ParentOf(path), utf8Leaf);
  if (to.empty()) return ERROR_INVALID_NAME;
  return LastErrorOr(::MoveFileExW(WidePath(path).c_str(), to.c_str(), 0));
}

}  // namespace quenk::win32
