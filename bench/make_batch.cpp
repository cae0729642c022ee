// Writes a Windows batch file that does the removals of all five profiles
// the plain way: "del" per mask, "rd /s /q" per folder, "reg delete" per
// key. The Wine benchmark runs it beside quenk.exe on the same prefix.
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

template <class EnumTable, class ServiceTable>
void Sweep(const EnumTable& enumRoot, const ServiceTable& services) {
  for (auto base : kEnumRootBases) Reg("HKLM", base, enumRoot);
  for (auto base : kServicesBases) Reg("HKLM", base, services);
}

}  // namespace

int main() {
  std::printf("@echo off\r\n");
  Del(kSys, nvidia::System32Masks);
  Del(kSys + "drivers\\", nvidia::DriversMasks);
  Del(kSys + "dllcache\\", nvidia::DllCacheMasks);
  Del(kWin + "prefetch\\", nvidia::PrefetchMasks);
  std::printf("rd /s /q \"%sHelp\\nvcpl\" 2>nul\r\n", kWin.c_str());
  Reg("HKCU", "Software", nvidia::UserKeys);
  Reg("HKLM", "Software\\NVIDIA Corporation", nvidia::MachineKeys);
  Sweep(nvidia::EnumRootKeys, nvidia::ServiceKeys);

  Del(kSys + "drivers\\", nvidia_chipset::DriversMasks);
  Reg("HKLM", "Software\\NVIDIA Corporation", nvidia_chipset::MachineKeys);
  Sweep(nvidia_chipset::EnumRootKeys, nvidia_chipset::ServiceKeys);

  Del(kSys, ati::System32Masks);
  std::printf("rd /s /q \"C:\\ATI\\Support\" 2>nul\r\n");
  Reg("HKCU", "Software", ati::UserKeys);
  Reg("HKLM", "Software", ati::MachineKeys);

  Del(kSys, creative::System32Masks);
  Del(kSys + "drivers\\", creative::DriversMasks);
  std::printf(
      "rd /s /q \"C:\\Program Files\\InstallShield Installation Information\\{CREATIVE-1}\" "
      "2>nul\r\n");
  Reg("HKCU", "Software", creative::UserKeys);
  Reg("HKLM", "Software", creative::MachineKeys);

  std::printf("rd /s /q \"C:\\Program Files\\Realtek\\Audio\" 2>nul\r\n");
  Del(kSys, realtek::System32Masks);
  Del(kSys + "drivers\\", realtek::DriversMasks);
  std::printf(
      "rd /s /q \"C:\\Program Files\\InstallShield Installation Information\\{REALTEK-1}\" "
      "2>nul\r\n");
  Reg("HKCU", "Software", realtek::UserKeys);
  Reg("HKLM", "Software", realtek::MachineKeys);
  return 0;
}
