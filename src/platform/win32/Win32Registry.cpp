#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32CodePage.h"

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

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::string Bytes(const std::wstring& wide) {
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

struct WideValue {
  std::wstring name;
  DWORD type = 0;
  std::string data;
};

LONG EnumWideValue(HKEY key, DWORD index, WideValue& value) {
  DWORD maxName = 0, maxData = 0;
  LONG r = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              &maxName, &maxData, nullptr, nullptr);
  if (r != ERROR_SUCCESS) return r;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::vector<wchar_t> name(maxName + 2);
    std::vector<BYTE> data(maxData + 2);
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    r = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &value.type, data.data(),
                        &dataLength);
    if (r == ERROR_SUCCESS) {
      value.name.assign(name.data(), nameLength);
      value.data.assign(reinterpret_cast<const char*>(data.data()), dataLength);
      return r;
    }
    if (r != ERROR_MORE_DATA) break;
    maxName = std::max<DWORD>(maxName * 2, 256);
    maxData = std::max<DWORD>(std::max<DWORD>(maxData * 2, dataLength), 256);
  }
  return r;
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

std::uint32_t Win32Registry::DeleteValue(platform::HKey key, const std::string& name) {
  return static_cast<std::uint32_t>(::RegDeleteValueA(ToHkey(key), name.c_str()));
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

// The wide calls read what is stored; the key reads exactly when the 8-bit
// view of each name and value, widened again, is the same.
std::uint32_t Win32Registry::ReadsExactly(platform::HKey key, platform::ExactReading& exact) {
  exact = {};
  for (DWORD i = 0; exact.values; ++i) {
    WideValue wide;
    const LONG r = EnumWideValue(ToHkey(key), i, wide);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) return static_cast<std::uint32_t>(r);
    std::string name, data;
    std::uint32_t type = 0;
    exact.values = EnumValue(key, i, name, type, data) == 0 && type == wide.type &&
                   Widen(name) == wide.name &&
                   (IsText(type) ? Bytes(Widen(data)) : data) == wide.data;
  }
  DWORD subKeys = 0, maxLen = 0;
  LONG r = ::RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxLen, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr);
  if (r != ERROR_SUCCESS) return static_cast<std::uint32_t>(r);
  for (DWORD i = 0; i < subKeys && exact.subKeyNames; ++i) {
    std::vector<wchar_t> buffer(maxLen + 2);
    DWORD len = static_cast<DWORD>(buffer.size());
    r = ::RegEnumKeyExW(ToHkey(key), i, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) return static_cast<std::uint32_t>(r);
    std::string name;
    // Room for a multi-byte spelling of every character.
    exact.subKeyNames =
        EnumKey(key, i, 2 * len + 2, name) == 0 && Widen(name) == std::wstring(buffer.data(), len);
  }
  return 0;
}

}  // namespace quenk::win32
