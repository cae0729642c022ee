// Writes a Windows batch file that does the removals of all five profiles
// the plain way: "del" per mask, "rd /s /q" per folder, "reg delete" per
// key, in both halves of a 64-bit machine. The Wine benchmark runs it beside
// quenk.exe on the same prefix.
#include "profiles/ATi.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/Realtek.h"

#include <cstdio>
#include <string>

namespace {

using namespace quenk::profiles;

const std::string kWin = "C:\\windows\\";
const std::string kSys = kWin + "System32\\";
const std::string kWow = kWin + "SysWOW64\\";

template <class Table>
void Del(const std::string& folder, const Table& masks) {
  for (auto mask : masks)
    if (!mask.empty())
      std::printf("del /f /q \"%s%.*s\" 2>nul\r\n", folder.c_str(), static_cast<int>(mask.size()),
                  mask.data());
}

template <class Table>
void Reg(const char* root, std::string_view base, const Table& names) {
  for (auto name : names)
    std::printf("reg delete \"%s\\%.*s\\%.*s\" /f >nul 2>nul\r\n", root,
                static_cast<int>(base.size()), base.data(), static_cast<int>(name.size()),
                name.data());
}

// A System32 folder, then its SysWOW64 twin.
template <class Table>
void DelSys(const std::string& sub, const Table& masks) {
  Del(kSys + sub, masks);
  Del(kWow + sub, masks);
}

// A base below HKLM\Software, then the same in the 32-bit view.
template <class Table>
void RegSoftware(std::string_view base, const Table& names) {
  Reg("HKLM", base, names);
  Reg("HKLM", "Software\\Wow6432Node" + std::string(base.substr(8)), names);
}

void Rd(const std::string& folder) {
  std::printf("rd /s /q \"%s\" 2>nul\r\n", folder.c_str());
}

template <class EnumTable, class ServiceTable>
void Sweep(const EnumTable& enumRoot, const ServiceTable& services) {
  for (auto base : kEnumRootBases) Reg("HKLM", base, enumRoot);
  for (auto base : kServicesBases) Reg("HKLM", base, services);
}

}  // namespace

int main() {
  const std::string is = "\\InstallShield Installation Information\\";
  std::printf("@echo off\r\n");
  DelSys("", nvidia::System32Masks);
  DelSys("drivers\\", nvidia::DriversMasks);
  DelSys("dllcache\\", nvidia::DllCacheMasks);
  Del(kWin + "prefetch\\", nvidia::PrefetchMasks);
  Rd(kWin + "Help\\nvcpl");
  Reg("HKCU", "Software", nvidia::UserKeys);
  RegSoftware("Software\\NVIDIA Corporation", nvidia::MachineKeys);
  Sweep(nvidia::EnumRootKeys, nvidia::ServiceKeys);

  DelSys("drivers\\", nvidia_chipset::DriversMasks);
  RegSoftware("Software\\NVIDIA Corporation", nvidia_chipset::MachineKeys);
  Sweep(nvidia_chipset::EnumRootKeys, nvidia_chipset::ServiceKeys);

  DelSys("", ati::System32Masks);
  Rd("C:\\ATI\\Support");
  Rd("C:\\Program Files (x86)\\ATI\\Support");
  Reg("HKCU", "Software", ati::UserKeys);
  RegSoftware("Software", ati::MachineKeys);

  DelSys("", creative::System32Masks);
  DelSys("drivers\\", creative::DriversMasks);
  Rd("C:\\Program Files" + is + "{CREATIVE-1}");
  Rd("C:\\Program Files (x86)" + is + "{CREATIVE-32}");
  Reg("HKCU", "Software", creative::UserKeys);
  RegSoftware("Software", creative::MachineKeys);

  Rd("C:\\Program Files\\Realtek\\Audio");
  Rd("C:\\Program Files (x86)\\Realtek\\Audio");
  DelSys("", realtek::System32Masks);
  DelSys("drivers\\", realtek::DriversMasks);
  Rd("C:\\Program Files" + is + "{REALTEK-1}");
  Rd("C:\\Program Files (x86)" + is + "{REALTEK-32}");
  Reg("HKCU", "Software", realtek::UserKeys);
  RegSoftware("Software", realtek::MachineKeys);
  return 0;
}
