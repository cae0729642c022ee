#include "Leftovers.h"

#include "DriverPackages.h"
#include "Files.h"
#include "Services.h"

namespace quenk::seed {
namespace {

const std::string kWin = "C:\\windows\\";
const std::string kSys = kWin + "system32\\";
const std::string kDrv = kSys + "drivers\\";
const std::string kPf = "C:\\Program Files\\";
const std::string kIs = kPf + "InstallShield Installation Information\\";
// The 32-bit halves of the 64-bit machine.
const std::string kWow = kWin + "syswow64\\";
const std::string kWowDrv = kWow + "drivers\\";
const std::string kPf86 = "C:\\Program Files (x86)\\";
const std::string kIs86 = kPf86 + "InstallShield Installation Information\\";
const std::string kSw32 = "Software\\Wow6432Node\\";

Entry File(const char* vendor, std::string path, bool survives = false, std::string data = "x") {
  return {Entry::kFile, vendor, std::move(path), survives, nullptr, {}, std::move(data)};
}
Entry Key(const char* vendor, HKEY root, std::string path, bool survives = false) {
  return {Entry::kKey, vendor, std::move(path), survives, root, {}, {}};
}
Entry Value(const char* vendor, std::string key, std::string name, std::string text,
            bool survives) {
  return {Entry::kValue,      vendor,          std::move(key), survives,
          HKEY_LOCAL_MACHINE, std::move(name), std::move(text)};
}

const char* RootName(HKEY root) {
  return root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\";
}

}  // namespace

std::vector<Entry> Leftovers() {
  const HKEY cu = HKEY_CURRENT_USER, lm = HKEY_LOCAL_MACHINE;
  return {
      // NVIDIA - Display
      File("NVIDIA", kSys + "nvcpl.dll"),
      File("NVIDIA", kSys + "nvapi64.dll"),
      File("NVIDIA", kSys + "nvmctray.dll"),
      File("NVIDIA", kSys + "nvdspsch.exe"),
      File("NVIDIA", kSys + "keystone.exe"),
      File("NVIDIA", kSys + "nv4_disp.dll"),
      File("NVIDIA", kSys + "nvcuda.dll", true),
      File("NVIDIA", kDrv + "nvlddmkm.sys"),
      File("NVIDIA", kDrv + "nv4_mini.sys"),
      // Not the System32 file's bytes, so a move of one onto the other shows.
      File("NVIDIA", kSys + "dllcache\\nv4_disp.dll", false, "dllcache copy"),
      File("NVIDIA", kWin + "prefetch\\NVCPL.EXE-1A2B3C4D.pf"),
      File("NVIDIA", kWin + "prefetch\\NWIZ.EXE-5E6F7A8B.pf"),
      File("NVIDIA", kWin + "Help\\nvcpl\\nvcpl.chm"),
      File("NVIDIA", kWin + "Help\\nvcpl\\de\\nvcpl.chm"),
      File("NVIDIA", kWin + "Help\\quenk-keep.chm", true),
      Key("NVIDIA", cu, "Software\\NVIDIA Corporation\\Global\\NvCplApi\\Policies"),
      Key("NVIDIA", cu, "Software\\NVIDIA Corporation\\NVControlPanel"),
      Key("NVIDIA", cu, "Software\\NVIDIA nvCpl Container\\Settings"),
      Key("NVIDIA", cu, "Software\\NVIDIA Corporation\\QuenkKeep", true),
      Key("NVIDIA", lm, "Software\\NVIDIA Corporation\\Global\\nvcpl"),
      Key("NVIDIA", lm, "Software\\NVIDIA Corporation\\Installer"),
      Key("NVIDIA", lm, "System\\ControlSet001\\Services\\nvlddmkm\\Enum"),
      Key("NVIDIA", lm, "System\\ControlSet002\\Services\\nvlddmkm"),
      Key("NVIDIA", lm, "System\\CurrentControlSet\\Services\\nvlddmkm"),
      Key("NVIDIA", lm, "System\\ControlSet001\\Enum\\Root\\LEGACY_NVSVC\\0000"),
      File("NVIDIA", kWow + "nvapi.dll"),
      File("NVIDIA", kWow + "nvcpl.dll"),
      File("NVIDIA", kWow + "nvcuda.dll", true),
      File("NVIDIA", kWowDrv + "nv4_mini.sys"),
      File("NVIDIA", kWow + "prefetch\\NVCPL.EXE-9F8E7D6C.pf", true),
      Key("NVIDIA", lm, kSw32 + "NVIDIA Corporation\\Global\\nvcpl"),
      Key("NVIDIA", lm, kSw32 + "NVIDIA Corporation\\QuenkKeep", true),
      Key("NVIDIA", cu, kSw32 + "NVIDIA Corporation\\Global", true),
      // NVIDIA - Chipset
      File("NVIDIAChipset", kDrv + "nvstor.sys"),
      File("NVIDIAChipset", kDrv + "nvraid.sys"),
      File("NVIDIAChipset", kDrv + "nvport.sys"),
      File("NVIDIAChipset", kDrv + "nvagp.sys"),
      File("NVIDIAChipset", kDrv + "nvquenkkeep.sys", true),
      Key("NVIDIAChipset", lm, "Software\\NVIDIA Corporation\\nForce\\Setup"),
      Key("NVIDIAChipset", lm, "System\\ControlSet001\\Services\\nvstor\\Parameters"),
      Key("NVIDIAChipset", lm, "System\\ControlSet001\\Services\\nvraid"),
      Key("NVIDIAChipset", lm, "System\\CurrentControlSet\\Services\\NVENETFD"),
      Key("NVIDIAChipset", lm, "System\\ControlSet001\\Enum\\Root\\LEGACY_NVPORT\\0000"),
      Key("NVIDIAChipset", lm, "System\\ControlSet001\\Services\\nvquenkkeep", true),
      File("NVIDIAChipset", kWowDrv + "nvstor32.sys"),
      File("NVIDIAChipset", kWowDrv + "nvquenkkeep32.sys", true),
      Key("NVIDIAChipset", lm, kSw32 + "NVIDIA Corporation\\nForce"),
      // ATi - Display
      File("ATi", kSys + "atiogl.xml"),
      File("ATi", kSys + "ati2evxx.exe"),
      File("ATi", kSys + "ATIDEMGX.dll"),
      File("ATi", kSys + "atiicdxx.dat"),
      File("ATi", kSys + "atipdl64.dll"),
      File("ATi", kSys + "atitmm64.dll"),
      File("ATi", kSys + "atiumd64.dll"),
      File("ATi", kSys + "atiadlxx.dll", true),
      File("ATi", "C:\\ATI\\Support\\setup.exe"),
      File("ATi", "C:\\ATI\\Support\\Packages\\ccc.msi"),
      Value("ATi", "Software\\ATI Technologies\\Install", "InstallDir", "C:\\ATI\\Support", true),
      Key("ATi", cu, "Software\\ATI\\ACE\\Settings"),
      Key("ATi", lm, "Software\\ATI\\Display"),
      Key("ATi", lm, "Software\\ATI Technologies\\Install\\ccc-core-static\\Files"),
      Key("ATi", lm, "Software\\ATI Technologies\\Install\\ccc-branding"),
      Key("ATi", lm, "Software\\ATI Technologies\\Install\\ccc-quenk-keep", true),
      Key("ATi", lm, "Software\\ATI Technologies\\CBT", true),
      File("ATi", kWow + "atioglxx.dll"),
      File("ATi", kWow + "atiumdag.dll"),
      File("ATi", kWow + "atiadlxx.dll", true),
      File("ATi", kPf86 + "ATI\\Support\\setup.exe"),
      Value("ATi", kSw32 + "ATI Technologies\\Install", "InstallDir", kPf86 + "ATI\\Support", true),
      Key("ATi", lm, kSw32 + "ATI Technologies\\Install\\ccc-utility"),
      Key("ATi", lm, kSw32 + "ATI Technologies\\Install\\ccc-quenk-keep", true),
      // Creative - Sound
      File("Creative", kSys + "CTAGENT.EXE"),
      File("Creative", kSys + "ctasio.dll"),
      File("Creative", kSys + "CTxfi.dll"),
      File("Creative", kSys + "ct_oal.dll"),
      File("Creative", kSys + "ctfmon-quenk-keep.exe", true),
      File("Creative", kDrv + "ctaud2k.sys"),
      File("Creative", kDrv + "CTGAME.sys"),
      File("Creative", kIs + "{CREATIVE-1}\\setup.ini", false,
           "[Startup]\r\nCompanyName=Creative Technology Ltd\r\n"),
      File("Creative", kIs + "{CREATIVE-1}\\setup.exe"),
      File("Creative", kIs + "{CREATIVE-CAPS}\\setup.ini", true,
           "[Startup]\r\nCompanyName=CREATIVE TECHNOLOGY\r\n"),
      Key("Creative", cu, "Software\\Creative Tech\\Audio"),
      Key("Creative", lm, "Software\\Creative Tech\\Installation"),
      Key("Creative", lm, "Software\\ASIO\\Creative ASIO"),
      Key("Creative", lm, "Software\\Creative Labs", true),
      File("Creative", kWow + "CTAPO32.dll"),
      File("Creative", kWow + "ctasio.dll"),
      File("Creative", kWow + "ctfmon-quenk-keep.exe", true),
      File("Creative", kWowDrv + "ctac32k.sys"),
      File("Creative", kIs86 + "{CREATIVE-32}\\setup.ini", false,
           "[Startup]\r\nCompanyName=Creative Labs\r\n"),
      File("Creative", kIs86 + "{CREATIVE-32-CAPS}\\setup.ini", true,
           "[Startup]\r\nCompanyName=CREATIVE LABS\r\n"),
      Key("Creative", lm, kSw32 + "Creative Tech\\Installation"),
      Key("Creative", lm, kSw32 + "ASIO\\Creative ASIO"),
      Key("Creative", lm, kSw32 + "Creative Labs", true),
      // Realtek - Sound
      File("Realtek", kSys + "RtkAPO64.dll"),
      File("Realtek", kSys + "RTSndMgr.cpl"),
      File("Realtek", kSys + "SRSTS64.dll"),
      File("Realtek", kSys + "RtHDVCpl.exe"),
      File("Realtek", kSys + "RtkAudUService64.exe", true),
      File("Realtek", kDrv + "RTKVHDA64.sys"),
      File("Realtek", kDrv + "Rtnicxp.sys"),
      File("Realtek", kPf + "Realtek\\Audio\\HDA\\RtkNGUI64.exe"),
      Value("Realtek", "Software\\Realtek\\InstallShield", "ProgramFilesDir",
            "C:\\Program Files\\Realtek\\Audio", false),
      File("Realtek", kIs + "{REALTEK-1}\\setup.ini", false,
           "[Startup]\r\nCompanyName=Realtek Semiconductor Corp.\r\n"),
      File("Realtek", kIs + "{REALTEK-SHORT}\\setup.ini", true,
           "[Startup]\r\nCompanyName=Realte\r\n"),
      File("Realtek", kIs + "{NO-SETUP-INI}\\readme.txt", true),
      Key("Realtek", cu, "Software\\Realtek\\Audio"),
      Key("Realtek", lm, "Software\\Realtek\\InstallShield"),
      Key("Realtek", lm, "Software\\Avance\\Audio"),
      Key("Realtek", lm, "Software\\Realtek Semiconductor Corp.\\RtkNGUI"),
      Key("Realtek", lm, "Software\\RealtekQuenkKeep", true),
      File("Realtek", kWow + "RtkAPO.dll"),
      File("Realtek", kWow + "RtkAudUService.exe", true),
      File("Realtek", kWowDrv + "RTKVHDA.sys"),
      File("Realtek", kPf86 + "Realtek\\Audio\\RtkNGUI.exe"),
      Value("Realtek", kSw32 + "Realtek\\InstallShield", "ProgramFilesDir",
            kPf86 + "Realtek\\Audio", false),
      File("Realtek", kIs86 + "{REALTEK-32}\\setup.ini", false,
           "[Startup]\r\nCompanyName=Realtek Semiconductor Corp.\r\n"),
      Key("Realtek", lm, kSw32 + "Avance\\Audio"),
      Key("Realtek", lm, kSw32 + "RealtekQuenkKeep", true),
  };
}

std::vector<Entry> LeftoversOf(const std::string& vendor) {
  std::vector<Entry> out;
  for (auto& e : Leftovers())
    if (vendor.empty() || vendor == e.vendor) out.push_back(std::move(e));
  return out;
}

// Each time its server starts, Wine boots the prefix and moves every file of
// System32\dllcache into System32, replacing what is there. Seeding waits
// for that boot to end; a server started after the seeding still moves them,
// which Unlike() then shows. Windows has no such event.
void WaitForWineBoot() {
  HANDLE booted = ::OpenEventA(SYNCHRONIZE, FALSE, "__wineboot_event");
  if (!booted) return;
  ::WaitForSingleObject(booted, 60000);
  ::CloseHandle(booted);
}

void Seed(const std::vector<Entry>& entries) {
  WaitForWineBoot();
  for (const auto& e : entries) {
    if (e.kind == Entry::kFile) {
      MakeFolders(e.path.substr(0, e.path.find_last_of('\\')));
      HANDLE h = ::CreateFileA(e.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(h, e.data.data(), static_cast<DWORD>(e.data.size()), &written, nullptr);
        ::CloseHandle(h);
      }
      if (e.attributes) ::SetFileAttributesA(e.path.c_str(), e.attributes);
    } else if (e.kind == Entry::kService) {
      MakeService(e.path, e.attributes, e.data);
    } else if (e.kind == Entry::kPackage) {
      StagePackage(e.path, e.data);
    } else if (e.kind == Entry::kDevice) {
      MakeDevice(e.path, e.name, e.data);
    } else {
      HKEY k = nullptr;
      if (::RegCreateKeyExA(e.root, e.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                            nullptr) != ERROR_SUCCESS)
        continue;
      if (e.kind == Entry::kValue)
        ::RegSetValueExA(k, e.name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(e.data.c_str()),
                         static_cast<DWORD>(e.data.size() + 1));
      ::RegCloseKey(k);
    }
  }
}

bool Exists(const Entry& e) {
  if (e.kind == Entry::kFile)
    return ::GetFileAttributesA(e.path.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (e.kind == Entry::kService) return ServiceExists(e.path);
  if (e.kind == Entry::kPackage) return !PublishedAs(e.data).empty();
  if (e.kind == Entry::kDevice) return DeviceUsesPackage(e.path, e.data);
  HKEY k = nullptr;
  if (::RegOpenKeyExA(e.root, e.path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  bool present = true;
  if (e.kind == Entry::kValue)
    present =
        ::RegQueryValueExA(k, e.name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(k);
  return present;
}

std::vector<std::string> Unlike(const std::vector<Entry>& entries) {
  std::vector<std::string> unlike;
  for (const auto& e : entries) {
    bool same = Exists(e);
    if (same && e.kind == Entry::kFile) {
      std::string bytes(e.data.size() + 1, '\0');
      DWORD read = 0;
      HANDLE h = ::CreateFileA(e.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
      same = h != INVALID_HANDLE_VALUE &&
             ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == e.data.size() && bytes.compare(0, read, e.data) == 0;
      if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    // Windows publishes every package it stages as oemN.inf.
    if (same && e.kind == Entry::kPackage && !IsInboxPackage(e))
      same = PublishedAs(e.data).compare(0, 3, "oem") == 0;
    if (!same) unlike.push_back(Describe(e));
  }
  return unlike;
}

std::string Describe(const Entry& e) {
  if (e.kind == Entry::kFile) return e.path;
  if (e.kind == Entry::kService) return "service " + e.path;
  if (e.kind == Entry::kDevice) return DescribeDevice(e.path);
  if (e.kind == Entry::kPackage) {
    const std::string published = PublishedAs(e.data);
    return "driver package " + (published.empty() ? "" : published + " ") + "(" + e.path + ": " +
           PackageSummary(e.data) + (IsInboxPackage(e) ? ", inbox" : "") + ")";
  }
  if (e.kind == Entry::kKey) return RootName(e.root) + e.path;
  return RootName(e.root) + e.path + " [" + e.name + "]";
}

void Clear() {
  for (const auto& e : Leftovers()) {
    if (e.kind == Entry::kFile) {
      ::SetFileAttributesA(e.path.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(e.path.c_str());
    }
  }
  for (const char* folder : {"C:\\windows\\Help\\nvcpl", "C:\\ATI", "C:\\Program Files\\Realtek",
                             "C:\\Program Files\\InstallShield Installation Information",
                             "C:\\Program Files (x86)\\ATI", "C:\\Program Files (x86)\\Realtek",
                             "C:\\Program Files (x86)\\InstallShield Installation Information"})
    DeleteTree(folder);
  ::RemoveDirectoryA("C:\\windows\\syswow64\\prefetch");  // made for a decoy, when empty
  for (const auto& [root, path] : std::vector<std::pair<HKEY, const char*>>{
           {HKEY_CURRENT_USER, "Software\\NVIDIA Corporation"},
           {HKEY_CURRENT_USER, "Software\\NVIDIA nvCpl Container"},
           {HKEY_CURRENT_USER, "Software\\ATI"},
           {HKEY_CURRENT_USER, "Software\\Creative Tech"},
           {HKEY_CURRENT_USER, "Software\\Realtek"},
           {HKEY_LOCAL_MACHINE, "Software\\NVIDIA Corporation"},
           {HKEY_LOCAL_MACHINE, "Software\\ATI"},
           {HKEY_LOCAL_MACHINE, "Software\\ATI Technologies"},
           {HKEY_LOCAL_MACHINE, "Software\\Creative Tech"},
           {HKEY_LOCAL_MACHINE, "Software\\Creative Labs"},
           {HKEY_LOCAL_MACHINE, "Software\\ASIO"},
           {HKEY_LOCAL_MACHINE, "Software\\Realtek"},
           {HKEY_LOCAL_MACHINE, "Software\\RealtekQuenkKeep"},
           {HKEY_LOCAL_MACHINE, "Software\\Avance"},
           {HKEY_LOCAL_MACHINE, "Software\\Realtek Semiconductor Corp."},
           {HKEY_CURRENT_USER, "Software\\Wow6432Node\\NVIDIA Corporation"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\NVIDIA Corporation"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\ATI Technologies"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Creative Tech"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Creative Labs"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\ASIO"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Realtek"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\RealtekQuenkKeep"},
           {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Avance"},
           {HKEY_LOCAL_MACHINE, "System\\ControlSet001"},
           {HKEY_LOCAL_MACHINE, "System\\ControlSet002"},
           {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\nvlddmkm"},
           {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\NVENETFD"}})
    ::RegDeleteTreeA(root, path);
}

}  // namespace quenk::seed
