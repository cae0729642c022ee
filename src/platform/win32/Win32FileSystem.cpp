#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/Handles.h"

#include <limits>
#include <vector>

namespace quenk::win32 {
namespace {

std::uint32_t LastErrorOr(BOOL ok) {
  return ok ? 0 : static_cast<std::uint32_t>(::GetLastError());
}

class Win32Search final : public platform::FileSearch {
 public:
  explicit Win32Search(const std::string& pattern)
      : handle_(::FindFirstFileA(pattern.c_str(), &data_)), pending_(handle_.Valid()) {}

  bool Next(platform::FindEntry& entry) override {
    if (!pending_) {
      if (!handle_.Valid() || !::FindNextFileA(handle_.Get(), &data_)) return false;
    }
    pending_ = false;
    entry.name = data_.cFileName;
    entry.attributes = data_.dwFileAttributes;
    return true;
  }

 private:
  WIN32_FIND_DATAA data_{};
  UniqueFind handle_;
  bool pending_;
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

}  // namespace

std::unique_ptr<platform::FileSearch> Win32FileSystem::FindRaw(const std::string& pattern) {
  return std::make_unique<Win32Search>(pattern);
}

std::uint32_t Win32FileSystem::Delete(const std::string& path) {
  return LastErrorOr(::DeleteFileA(path.c_str()));
}

std::uint32_t Win32FileSystem::RemoveDir(const std::string& path) {
  return LastErrorOr(::RemoveDirectoryA(path.c_str()));
}

std::uint32_t Win32FileSystem::MakeDir(const std::string& path) {
  return LastErrorOr(::CreateDirectoryA(path.c_str(), nullptr));
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
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
  }
  UniqueHandle h(::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return {static_cast<std::uint32_t>(::GetLastError()), nullptr};
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

}  // namespace quenk::win32
