#include "platform/win32/Win32DriverStore.h"

#include "platform/win32/Win32CodePage.h"

#include "base/Text.h"
#include "platform/win32/Handles.h"

#include <windows.h>
#include <setupapi.h>

#include <memory>
#include <optional>
#include <type_traits>

namespace quenk::win32 {

namespace {

constexpr DWORD kDetachOnly = 0x1;  // DIURFLAG_NO_REMOVE_INF

std::string WindowsFolder() {
  char buffer[MAX_PATH + 1];
  const UINT length = ::GetWindowsDirectoryA(buffer, sizeof buffer);
  return length && length < sizeof buffer ? std::string(buffer, length) : "C:\\Windows";
}

// A function of a system library that may be missing there: never imported.
template <typename Fn>
Fn Optional(const char* module, const char* name) {
  HMODULE library = ::GetModuleHandleA(module);
  if (!library) library = ::LoadLibraryA(module);
  if (!library) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

struct InfCloser {
  void operator()(void* inf) const { ::SetupCloseInfFile(inf); }
};
using UniqueInf = std::unique_ptr<void, InfCloser>;

struct DeviceListCloser {
  void operator()(void* list) const { ::SetupDiDestroyDeviceInfoList(list); }
};
using UniqueDeviceList = std::unique_ptr<void, DeviceListCloser>;

struct KeyCloser {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

std::string LineText(HINF inf, const char* section, const char* key) {
  DWORD required = 0;
  if (!::SetupGetLineTextA(nullptr, inf, section, key, nullptr, 0, &required) || required == 0)
    return {};
  std::string text(required, '\0');
  if (!::SetupGetLineTextA(nullptr, inf, section, key, text.data(), required, &required)) return {};
  text.resize(required ? required - 1 : 0);
  return text;
}

std::string Field(INFCONTEXT& line, DWORD index) {
  DWORD required = 0;
  if (!::SetupGetStringFieldA(&line, index, nullptr, 0, &required) || required == 0) return {};
  std::string text(required, '\0');
  if (!::SetupGetStringFieldA(&line, index, text.data(), required, &required)) return {};
  text.resize(required ? required - 1 : 0);
  return text;
}

std::optional<std::string> StringValue(HKEY root, const std::string& path, const char* name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueKey key(opened);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_MULTI_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::string data(size, '\0');
  if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  return data.substr(0, data.find('\0'));  // the first string of a list
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The inf's path inside the driver store, as the system gives it.
std::string StoreLocation(const std::string& published) {
  using Fn = BOOL(WINAPI*)(PCWSTR, void*, PCWSTR, PWSTR, DWORD, PDWORD);
  static const Fn locate = Optional<Fn>("setupapi.dll", "SetupGetInfDriverStoreLocationW");
  if (!locate) return {};
  const std::wstring name = Widen(published);
  std::wstring buffer(MAX_PATH + 1, L'\0');
  DWORD required = 0;
  if (!locate(name.c_str(), nullptr, nullptr, buffer.data(), static_cast<DWORD>(buffer.size()),
              &required))
    return {};
  buffer.resize(buffer.find(L'\0'));
  return Narrow(buffer.c_str());
}

void ReadLocation(platform::DriverPackage& p, const std::string& windows) {
  if (const std::string stored = StoreLocation(p.published); !stored.empty()) {
    const std::size_t slash = stored.find_last_of('\\');
    p.original = stored.substr(slash + 1);
    p.storeFolder = stored.substr(0, slash);
    return;
  }
  const auto active = StringValue(
      HKEY_LOCAL_MACHINE, "DRIVERS\\DriverDatabase\\DriverInfFiles\\" + p.published, "Active");
  if (!active || active->empty()) return;
  p.original = platform::OriginalFromStoreName(*active);
  const std::string folder = windows + std::string(platform::kStoreRepository) + "\\" + *active;
  if (FolderExists(folder)) p.storeFolder = folder;
}

void ReadInf(platform::DriverPackage& p) {
  UINT errorLine = 0;
  const HINF opened = ::SetupOpenInfFileA(p.infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
  if (opened == INVALID_HANDLE_VALUE) {
    p.problem = "does not read as an INF file";
    return;
  }
  const UniqueInf inf(opened);
  p.provider = LineText(opened, "Version", "Provider");
  p.className = LineText(opened, "Version", "Class");
  p.driverVer = LineText(opened, "Version", "DriverVer");
  p.catalog = LineText(opened, "Version", "CatalogFile");
  for (const std::string_view section : platform::kSourceDisksSections) {
    const std::string name(section);
    INFCONTEXT line{};
    for (BOOL more = ::SetupFindFirstLineA(opened, name.c_str(), nullptr, &line); more;
         more = ::SetupFindNextLine(&line, &line))
      if (std::string key = Field(line, 0); !key.empty()) p.files.push_back(std::move(key));
  }
  p.problem = platform::ProviderProblem(p.provider);
}

std::string DeviceProperty(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD type = 0, required = 0;
  ::SetupDiGetDeviceRegistryPropertyA(list, &device, property, &type, nullptr, 0, &required);
  if (required == 0) return {};
  std::string data(required, '\0');
  if (!::SetupDiGetDeviceRegistryPropertyA(list, &device, property, &type,
                                           reinterpret_cast<BYTE*>(data.data()), required,
                                           &required))
    return {};
  return data.substr(0, data.find('\0'));
}

}  // namespace

std::vector<platform::DriverPackage> Win32DriverStore::Packages() {
  std::vector<platform::DriverPackage> packages;
  const std::string windows = WindowsFolder();
  const std::string folder = windows + std::string(platform::kInfFolder);
  WIN32_FIND_DATAA data{};
  const UniqueFind search(::FindFirstFileA((folder + "\\oem*.inf").c_str(), &data));
  if (!search.Valid()) return packages;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    platform::DriverPackage p;
    p.published = data.cFileName;
    p.infPath = folder + "\\" + p.published;
    ReadLocation(p, windows);
    ReadInf(p);
    packages.push_back(std::move(p));
  } while (::FindNextFileA(search.Get(), &data));
  return packages;
}

std::vector<platform::DriverDevice> Win32DriverStore::DevicesUsing(
    const platform::DriverPackage& package) {
  std::vector<platform::DriverDevice> devices;
  const HDEVINFO opened =
      ::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
  if (opened == INVALID_HANDLE_VALUE) return devices;
  const UniqueDeviceList list(opened);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; ::SetupDiEnumDeviceInfo(opened, i, &device); ++i) {
    const std::string driver = DeviceProperty(opened, device, SPDRP_DRIVER);
    if (driver.empty()) continue;
    const auto infPath = StringValue(
        HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Class\\" + driver, "InfPath");
    if (!infPath || !EqualsNoCase(*infPath, package.published)) continue;
    std::string description = DeviceProperty(opened, device, SPDRP_FRIENDLYNAME);
    if (description.empty()) description = DeviceProperty(opened, device, SPDRP_DEVICEDESC);
    devices.push_back({description, DeviceProperty(opened, device, SPDRP_HARDWAREID)});
  }
  return devices;
}

platform::DriverRemoval Win32DriverStore::Remove(const platform::DriverPackage& package) {
  platform::DriverRemoval removal;
  const std::string inf =
      WindowsFolder() + std::string(platform::kInfFolder) + "\\" + package.published;
  using DetachW = BOOL(WINAPI*)(HWND, PCWSTR, DWORD, PBOOL);
  using DetachA = BOOL(WINAPI*)(HWND, PCSTR, DWORD, PBOOL);
  static const DetachW detachW = Optional<DetachW>("newdev.dll", "DiUninstallDriverW");
  static const DetachA detachA = Optional<DetachA>("newdev.dll", "DiUninstallDriverA");
  const std::string target = package.storeFolder.empty() || package.original.empty()
                                 ? inf
                                 : package.storeFolder + "\\" + package.original;
  BOOL restart = FALSE;
  if (detachW) {
    const std::wstring wide = Widen(target);
    detachW(nullptr, wide.c_str(), kDetachOnly, &restart);
  } else if (detachA) {
    detachA(nullptr, target.c_str(), kDetachOnly, &restart);
  }
  removal.restart = restart != FALSE;
  removal.reportedSuccess =
      ::SetupUninstallOEMInfA(package.published.c_str(), SUOI_FORCEDELETE, nullptr) != FALSE;
  if (!removal.reportedSuccess) removal.error = ::GetLastError();
  removal.gone = !FileExists(inf);
  // Some systems delete the inf alone and leave its precompiled twin.
  if (removal.gone) ::DeleteFileA(platform::PnfOf(inf).c_str());
  return removal;
}

std::uint32_t Win32DriverStore::Stage(const std::string& infPath, std::string& published) {
  std::string buffer(MAX_PATH + 1, '\0');
  DWORD required = 0;
  char* component = nullptr;
  if (!::SetupCopyOEMInfA(infPath.c_str(), nullptr, SPOST_PATH, 0, buffer.data(),
                          static_cast<DWORD>(buffer.size()), &required, &component))
    return ::GetLastError();
  buffer.resize(buffer.find('\0'));
  published = buffer.substr(buffer.find_last_of('\\') + 1);
  return 0;
}

}  // namespace quenk::win32
