#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

namespace quenk::win32 {
namespace {

HKEY ToHkey(platform::HKey k) {
  return reinterpret_cast<HKEY>(k);
}

template <class Fn>
Fn Load(const char* module, const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(module), name)));
}

}  // namespace

std::uint32_t Win32Registry::Open(platform::HKey parent, const std::string& path,
                                  std::uint32_t rights, platform::HKey& key) {
  HKEY out = nullptr;
  const LONG r = ::RegOpenKeyExA(ToHkey(parent), path.c_str(), 0, rights, &out);
  if (r == ERROR_SUCCESS) key = reinterpret_cast<platform::HKey>(out);
  return static_cast<std::uint32_t>(r);
}

void Win32Registry::Close(platform::HKey key) {
  ::RegCloseKey(ToHkey(key));
}

std::uint32_t Win32Registry::QueryValue(platform::HKey key, const std::string& name,
                                        std::uint32_t& type, std::string& data) {
  DWORD t = 0, size = 0;
  LONG r = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &t, nullptr, &size);
  // The value may grow between the two calls; ask again until it fits.
  for (int attempt = 0; r == ERROR_SUCCESS || r == ERROR_MORE_DATA; ++attempt) {
    std::vector<BYTE> buffer(size + 1);
    DWORD got = size;
    r = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &t, buffer.data(), &got);
    if (r == ERROR_SUCCESS) {
      type = t;
      data.assign(reinterpret_cast<const char*>(buffer.data()), got);
      return 0;
    }
    if (r != ERROR_MORE_DATA || attempt > 8) break;
    size = got;
  }
  return static_cast<std::uint32_t>(r);
}

std::uint32_t Win32Registry::QueryInfo(platform::HKey key, platform::KeyInfo& info) {
  DWORD subKeys = 0, maxLen = 0;
  const LONG r = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxLen,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (r == ERROR_SUCCESS) info = {subKeys, maxLen};
  return static_cast<std::uint32_t>(r);
}

std::uint32_t Win32Registry::EnumKey(platform::HKey key, std::uint32_t index,
                                     std::uint32_t bufferChars, std::string& name) {
  std::vector<char> buffer(bufferChars + 1);
  DWORD len = bufferChars;
  const LONG r =
      ::RegEnumKeyExA(ToHkey(key), index, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr);
  if (r == ERROR_SUCCESS) name.assign(buffer.data(), len);
  return static_cast<std::uint32_t>(r);
}

std::uint32_t Win32Registry::DeleteKey(platform::HKey parent, const std::string& path) {
  return static_cast<std::uint32_t>(::RegDeleteKeyA(ToHkey(parent), path.c_str()));
}

std::uint32_t Win32Registry::OpenItself(platform::HKey parent, const std::string& path,
                                        std::uint32_t rights, platform::HKey& key) {
  HKEY out = nullptr;
  const LONG r = ::RegOpenKeyExA(ToHkey(parent), path.c_str(), REG_OPTION_OPEN_LINK, rights, &out);
  if (r == ERROR_SUCCESS) key = reinterpret_cast<platform::HKey>(out);
  return static_cast<std::uint32_t>(r);
}

std::uint32_t Win32Registry::DeleteOpenKey(platform::HKey key) {
  // RegDeleteKey reopens the key by name and so follows a link to its
  // target; only the native call deletes what the handle holds.
  using NtDeleteKeyFn = LONG(WINAPI*)(HANDLE);
  static const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
  if (!ntDeleteKey) return ERROR_CALL_NOT_IMPLEMENTED;
  const LONG status = ntDeleteKey(ToHkey(key));
  if (status == 0) return 0;
  using RtlNtStatusToDosErrorFn = ULONG(WINAPI*)(LONG);
  static const auto toDosError = reinterpret_cast<RtlNtStatusToDosErrorFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlNtStatusToDosError")));
  return toDosError ? static_cast<std::uint32_t>(toDosError(status)) : ERROR_ACCESS_DENIED;
}

std::uint32_t Win32Registry::DeleteKeyEx(platform::HKey parent, const std::string& path,
                                         std::uint32_t view) {
  // Windows without RegDeleteKeyEx has no second view to reach either.
  using RegDeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
  static const auto deleteKeyEx = Load<RegDeleteKeyExFn>("advapi32.dll", "RegDeleteKeyExA");
  if (!deleteKeyEx)
    return static_cast<std::uint32_t>(::RegDeleteKeyA(ToHkey(parent), path.c_str()));
  return static_cast<std::uint32_t>(deleteKeyEx(ToHkey(parent), path.c_str(), view, 0));
}

std::uint32_t Win32Registry::KeyName(platform::HKey key, std::string& name) {
  using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  static const auto ntQueryKey = Load<NtQueryKeyFn>("ntdll.dll", "NtQueryKey");
  if (!ntQueryKey) return ERROR_CALL_NOT_IMPLEMENTED;
  constexpr int kKeyNameInformation = 3;
  constexpr LONG kBufferOverflow = static_cast<LONG>(0x80000005);
  constexpr LONG kBufferTooSmall = static_cast<LONG>(0xC0000023);
  // KEY_NAME_INFORMATION: the name's length in bytes, then the name in UTF-16.
  std::vector<ULONG> buffer(128);
  ULONG needed = 0;
  LONG status = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const ULONG bytes = static_cast<ULONG>(buffer.size() * sizeof(ULONG));
    status = ntQueryKey(ToHkey(key), kKeyNameInformation, buffer.data(), bytes, &needed);
    if (status != kBufferOverflow && status != kBufferTooSmall) break;
    buffer.resize(needed / sizeof(ULONG) + 2);
  }
  if (status != 0) return ERROR_INVALID_HANDLE;
  const auto* wide = reinterpret_cast<const wchar_t*>(buffer.data() + 1);
  const int chars = static_cast<int>(buffer[0] / sizeof(wchar_t));
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, chars, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, chars, text.data(), size, nullptr, nullptr);
  name = std::move(text);
  return 0;
}

std::uint32_t Win32Registry::EnumValue(platform::HKey key, std::uint32_t index, std::string& name,
                                       std::uint32_t& type, std::string& data) {
  DWORD maxName = 0, maxData = 0;
  LONG r = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, &maxName, &maxData, nullptr, nullptr);
  if (r != ERROR_SUCCESS) return static_cast<std::uint32_t>(r);
  // The value may grow between the calls; ask again with more room until it fits.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::vector<char> nameBuffer(maxName + 2);
    std::vector<BYTE> dataBuffer(maxData + 2);
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD dataLength = static_cast<DWORD>(dataBuffer.size());
    DWORD t = 0;
    r = ::RegEnumValueA(ToHkey(key), index, nameBuffer.data(), &nameLength, nullptr, &t,
                        dataBuffer.data(), &dataLength);
    if (r == ERROR_SUCCESS) {
      name.assign(nameBuffer.data(), nameLength);
      type = t;
      data.assign(reinterpret_cast<const char*>(dataBuffer.data()), dataLength);
      return 0;
    }
    if (r != ERROR_MORE_DATA) break;
    maxName = std::max<DWORD>(maxName * 2, 256);
    maxData = std::max<DWORD>(std::max<DWORD>(maxData * 2, dataLength), 256);
  }
  return static_cast<std::uint32_t>(r);
}

std::uint32_t Win32Registry::CreateKey(platform::HKey parent, const std::string& path, bool link,
                                       platform::HKey& key, bool& created) {
  HKEY out = nullptr;
  DWORD disposition = 0;
  const LONG r =
      ::RegCreateKeyExA(ToHkey(parent), path.c_str(), 0, nullptr,
                        link ? REG_OPTION_CREATE_LINK : REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | (link ? KEY_CREATE_LINK : 0), nullptr, &out, &disposition);
  if (r == ERROR_SUCCESS) {
    key = reinterpret_cast<platform::HKey>(out);
    created = disposition == REG_CREATED_NEW_KEY;
  }
  return static_cast<std::uint32_t>(r);
}

std::uint32_t Win32Registry::SetValue(platform::HKey key, const std::string& name,
                                      std::uint32_t type, const std::string& data) {
  return static_cast<std::uint32_t>(::RegSetValueExA(ToHkey(key), name.c_str(), 0, type,
                                                     reinterpret_cast<const BYTE*>(data.data()),
                                                     static_cast<DWORD>(data.size())));
}

}  // namespace quenk::win32
