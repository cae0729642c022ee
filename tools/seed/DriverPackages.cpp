#include "DriverPackages.h"

#include "Files.h"

#include <windows.h>
#include <setupapi.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <type_traits>
#include <vector>

namespace quenk::seed {
namespace {

struct ClassName {
  const char* name;
  const char* guid;
};
constexpr ClassName kClasses[] = {
    {"Display", "{4d36e968-e325-11ce-bfc1-08002be10318}"},
    {"MEDIA", "{4d36e96c-e325-11ce-bfc1-08002be10318}"},
    {"Net", "{4d36e972-e325-11ce-bfc1-08002be10318}"},
    {"System", "{4d36e97d-e325-11ce-bfc1-08002be10318}"},
    {"Extension", "{e2f84ce7-8efa-411c-aa69-97454ca4cb57}"},
    {"SoftwareComponent", "{5c4c3332-344d-483c-8739-259e934c9cc8}"},
};

std::string GuidOf(const std::string& cls) {
  for (const auto& c : kClasses)
    if (cls == c.name) return c.guid;
  return {};
}

// The rest of the line that starts with `field` in an inf this file wrote.
std::string Field(const std::string& text, const std::string& field) {
  const auto at = text.find("\r\n" + field);
  if (at == std::string::npos) return {};
  const auto from = at + 2 + field.size();
  return text.substr(from, text.find("\r\n", from) - from);
}

std::string InfFolder() {
  char windows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\inf\\";
}

std::string ReadAll(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (::ReadFile(h, chunk, sizeof chunk, &read, nullptr) && read) bytes.append(chunk, read);
  ::CloseHandle(h);
  return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(h);
}

struct DestroyList {
  void operator()(HDEVINFO set) const { ::SetupDiDestroyDeviceInfoList(set); }
};
using DeviceList = std::unique_ptr<std::remove_pointer_t<HDEVINFO>, DestroyList>;

DeviceList NewList() {
  HDEVINFO set = ::SetupDiCreateDeviceInfoList(nullptr, nullptr);
  return DeviceList(set == INVALID_HANDLE_VALUE ? nullptr : set);
}

struct CloseKey {
  void operator()(HKEY k) const { ::RegCloseKey(k); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, CloseKey>;

void SetText(HKEY key, const char* name, const std::string& text) {
  ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

std::string Text(HKEY key, const char* name) {
  char data[1024] = {};
  DWORD size = sizeof data - 1, type = 0;
  if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ||
      type != REG_SZ)
    return {};
  return data;
}

// The device's driver key name, "{guid}\0000", or "".
std::string DriverOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
  char driver[256] = {};
  DWORD type = 0;
  if (!::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_DRIVER, &type,
                                           reinterpret_cast<BYTE*>(driver), sizeof driver - 1,
                                           nullptr))
    return {};
  return driver;
}

bool ParseGuid(const std::string& text, GUID& guid) {
  unsigned long d1 = 0;
  unsigned d2 = 0, d3 = 0, b[8] = {};
  if (std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d2, &d3, &b[0],
                  &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]) != 11)
    return false;
  guid.Data1 = d1;
  guid.Data2 = static_cast<unsigned short>(d2);
  guid.Data3 = static_cast<unsigned short>(d3);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<unsigned char>(b[i]);
  return true;
}

const std::string kClassKey = "System\\CurrentControlSet\\Control\\Class\\";

}  // namespace

std::string InfText(const std::string& inf, const std::string& provider, const std::string& cls,
                    const std::string& keyFile, const std::string& hardwareId) {
  return "; " + inf +
         "\r\n"
         "[Version]\r\n"
         "Signature=\"$Windows NT$\"\r\n"
         "Class=" +
         cls + "\r\nClassGuid=" + GuidOf(cls) +
         "\r\n"
         "Provider=%P%\r\n"
         "DriverVer=06/21/2024,31.0.101.5590\r\n"
         "\r\n"
         "[SourceDisksNames]\r\n"
         "1=%Disk%\r\n"
         "\r\n"
         "[SourceDisksFiles]\r\n" +
         keyFile +
         "=1\r\n"
         "\r\n"
         "[DestinationDirs]\r\n"
         "Files=12\r\n"
         "\r\n"
         "[Manufacturer]\r\n"
         "%P%=Models,NTamd64\r\n"
         "\r\n"
         "[Models.NTamd64]\r\n"
         "%Desc%=Install," +
         hardwareId +
         "\r\n"
         "\r\n"
         "[Install]\r\n"
         "CopyFiles=Files\r\n"
         "\r\n"
         "[Files]\r\n" +
         keyFile +
         "\r\n"
         "\r\n"
         "[Strings]\r\n"
         "P=\"" +
         provider +
         "\"\r\n"
         "Disk=\"" +
         provider +
         " installation disk\"\r\n"
         "Desc=\"" +
         provider + " " + cls + " (" + inf + ")\"\r\n";
}

namespace {

constexpr const char* kDriverInfFiles = "DRIVERS\\DriverDatabase\\DriverInfFiles\\";

// Where Windows keeps a published package: FileRepository\<inf>_amd64_<hash>.
std::string StoreNameOf(const std::string& inf, const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return inf + "_amd64_" + hex;
}

std::string StoreFolder() {
  char windows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\System32\\DriverStore\\FileRepository\\";
}

}  // namespace

void StagePackage(const std::string& inf, const std::string& text) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "quenk-seed-inf";
  MakeFolders(folder);
  const std::string source = folder + "\\" + inf;
  WriteAll(source, text);
  char published[MAX_PATH] = {};
  ::SetupCopyOEMInfA(source.c_str(), nullptr, SPOST_PATH, 0, published, MAX_PATH, nullptr, nullptr);
  DeleteTree(folder);
  // Windows also stages the package into its store and records where;
  // Wine does neither, so both are written as Windows writes them.
  const std::string name = PublishedAs(text);
  if (name.rfind("oem", 0) != 0) return;
  const std::string store = StoreNameOf(inf, text);
  MakeFolders(StoreFolder() + store);
  WriteAll(StoreFolder() + store + "\\" + inf, text);
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kDriverInfFiles + name).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExA(key, "Active", 0, REG_SZ, reinterpret_cast<const BYTE*>(store.c_str()),
                     static_cast<DWORD>(store.size() + 1));
    ::RegCloseKey(key);
  }
}

std::string PublishedAs(const std::string& text) {
  for (const auto& name : ListFolder(InfFolder() + "*.inf"))
    if (ReadAll(InfFolder() + name) == text) return name;
  return {};
}

std::string PackageSummary(const std::string& text) {
  const std::string provider = Field(text, "P=\"");
  const std::string files = Field(text, "[SourceDisksFiles]\r\n");
  return provider.substr(0, provider.find('"')) + " " + Field(text, "Class=") + " " +
         files.substr(0, files.find('='));
}

void RemovePublished(const std::string& inf, const std::string& text) {
  DeleteTree(StoreFolder() + StoreNameOf(inf, text));
  const std::string name = PublishedAs(text);
  if (name.empty()) return;
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kDriverInfFiles + name).c_str());
  const std::string path = InfFolder() + name;
  ::DeleteFileA(path.c_str());
  ::DeleteFileA((path.substr(0, path.size() - 4) + ".pnf").c_str());
}

void MakeDevice(const std::string& instanceId, const std::string& hardwareId,
                const std::string& text) {
  GUID guid{};
  if (!ParseGuid(Field(text, "ClassGuid="), guid)) return;
  const DeviceList set = NewList();
  if (!set) return;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  if (!::SetupDiOpenDeviceInfoA(set.get(), instanceId.c_str(), nullptr, 0, &device)) {
    if (!::SetupDiCreateDeviceInfoA(set.get(), instanceId.c_str(), &guid, nullptr, nullptr, 0,
                                    &device))
      return;
    const std::string ids = hardwareId + '\0' + '\0';
    ::SetupDiSetDeviceRegistryPropertyA(set.get(), &device, SPDRP_HARDWAREID,
                                        reinterpret_cast<const BYTE*>(ids.data()),
                                        static_cast<DWORD>(ids.size()));
    if (!::SetupDiRegisterDeviceInfo(set.get(), &device, 0, nullptr, nullptr, nullptr)) return;
  }
  const Key driver(::SetupDiCreateDevRegKeyA(set.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV,
                                             nullptr, nullptr));
  if (!driver || driver.get() == INVALID_HANDLE_VALUE) return;
  SetText(driver.get(), "InfPath", PublishedAs(text));
  SetText(driver.get(), "InfSection", "Install");
  const std::string provider = Field(text, "P=\"");
  SetText(driver.get(), "ProviderName", provider.substr(0, provider.find('"')));
  SetText(driver.get(), "DriverVersion", "31.0.101.5590");
  SetText(driver.get(), "MatchingDeviceId", hardwareId);
}

bool DeviceUsesPackage(const std::string& instanceId, const std::string& text) {
  const DeviceList set = NewList();
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  if (!set || !::SetupDiOpenDeviceInfoA(set.get(), instanceId.c_str(), nullptr, 0, &device))
    return false;
  const std::string driver = DriverOf(set.get(), device);
  HKEY k = nullptr;
  if (driver.empty() ||
      ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kClassKey + driver).c_str(), 0, KEY_READ, &k))
    return false;
  const Key key(k);
  const std::string published = PublishedAs(text);
  return !published.empty() && Text(key.get(), "InfPath") == published;
}

std::string DescribeDevice(const std::string& instanceId) {
  const DeviceList set = NewList();
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  if (!set || !::SetupDiOpenDeviceInfoA(set.get(), instanceId.c_str(), nullptr, 0, &device))
    return "device " + instanceId;
  const std::string driver = DriverOf(set.get(), device);
  HKEY k = nullptr;
  std::string inf;
  if (!driver.empty() &&
      !::RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kClassKey + driver).c_str(), 0, KEY_READ, &k)) {
    inf = Text(k, "InfPath");
    ::RegCloseKey(k);
  }
  return "device " + instanceId + " (driver " + driver + ", InfPath " + inf + ")";
}

void RemoveDevice(const std::string& instanceId) {
  const DeviceList set = NewList();
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  if (!set || !::SetupDiOpenDeviceInfoA(set.get(), instanceId.c_str(), nullptr, 0, &device)) return;
  const std::string driver = DriverOf(set.get(), device);
  ::SetupDiRemoveDevice(set.get(), &device);
  if (driver.empty()) return;
  ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kClassKey + driver).c_str());
  // Wine makes the class key with the first driver key of a class it lacked.
  const std::string cls = kClassKey + driver.substr(0, driver.find('\\'));
  HKEY k = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, cls.c_str(), 0, KEY_READ, &k)) return;
  DWORD keys = 1, values = 1;
  ::RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
  ::RegCloseKey(k);
  if (!keys && !values) ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, cls.c_str());
}

}  // namespace quenk::seed
