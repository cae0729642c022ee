#include "DriverPackages.h"
#include "Leftovers.h"

namespace quenk::seed {
namespace {

const std::string kWin = "C:\\windows\\";
const std::string kSys = kWin + "system32\\";
const std::string kDrv = kSys + "drivers\\";
const std::string kStore = kSys + "DriverStore\\FileRepository\\";
const std::string kPf = "C:\\Program Files\\";
const std::string kPf86 = "C:\\Program Files (x86)\\";
const std::string kPd = "C:\\ProgramData\\";
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char* const kInbox = "inbox";

struct Package {
  const char* word;
  const char* inf;  // its own file name, before it is published
  const char* provider;
  const char* cls;
  const char* keyFile;
  const char* hardwareId;
  bool survives;
  // In the in-use machine, the present device that uses it.
  const char* device = nullptr;
};

// Packages of one inf name follow each other and belong to one word: the
// first of each name is preceded by an inbox inf of that name, so that
// they are all published as oemN.inf, as Windows publishes every package.
constexpr Package kPackages[] = {
    {"NVIDIACurrent", "nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys", "PCI\\VEN_10DE&DEV_2484",
     false, "PCI\\VEN_10DE&DEV_2484\\QUENK0"},
    {"NVIDIACurrent", "nv_dispi.inf", "NVIDIAX", "Display", "nvlddmkm.sys",
     "PCI\\VEN_10DF&DEV_2484", true},
    {"NVIDIACurrent", "nvhda.inf", "NVIDIA", "MEDIA", "nvhda64v.sys",
     "HDAUDIO\\FUNC_01&VEN_10DE&DEV_0099", false},
    {"NVIDIACurrent", "nvswcfilter.inf", "NVIDIA", "SoftwareComponent", "NVSWCFilter64.sys",
     "SWC\\VEN_10DE&AID_0001", false},
    {"NVIDIACurrent", "nvkeep.inf", "NVIDIA", "Display", "nvquenkkeep.sys",
     "PCI\\VEN_10DE&DEV_0001", true},
    {"AMDCurrent", "u0407135.inf", "Advanced Micro Devices, Inc.", "Display", "amdkmdag.sys",
     "PCI\\VEN_1002&DEV_73BF", false, "PCI\\VEN_1002&DEV_73BF\\QUENK0"},
    {"AMDCurrent", "u0407135.inf", "ATI Technologies Inc.", "Display", "amdkmdag.sys",
     "PCI\\VEN_1002&DEV_6798", false},
    {"AMDCurrent", "atihdwt6.inf", "Advanced Micro Devices", "MEDIA", "AtihdWT6.sys",
     "HDAUDIO\\FUNC_01&VEN_1002&DEV_AA01", false},
    {"AMDCurrent", "amdgpio2.inf", "Advanced Micro Devices, Inc", "System", "amdgpio2.sys",
     "ACPI\\AMDI0030", true},
    {"IntelCurrent", "iigd_dch.inf", "Intel Corporation", "Display", "igdkmd64.sys",
     "PCI\\VEN_8086&DEV_9A49", false, "PCI\\VEN_8086&DEV_9A49\\QUENK0"},
    {"IntelCurrent", "intcdaud.inf", "Intel(R) Corporation", "MEDIA", "IntcDAud.sys",
     "INTELAUDIO\\FUNC_01&VEN_8086&DEV_2812", false},
    {"IntelCurrent", "SunrisePointSystem.inf", "Intel", "System", "iaLPSS2_GPIO2_SKL.sys",
     "PCI\\VEN_8086&DEV_9D20", true},
    {"IntelCurrent", "netwtw08.inf", "Intel", "Net", "Netwtw08.sys", "PCI\\VEN_8086&DEV_2723",
     true},
    {"RealtekCurrent", "hdxrt.inf", "Realtek Semiconductor Corp.", "MEDIA", "RTKVHD64.sys",
     "HDAUDIO\\FUNC_01&VEN_10EC&DEV_0887", false, "HDAUDIO\\FUNC_01&VEN_10EC&DEV_0887\\QUENK0"},
    {"RealtekCurrent", "realtekservice.inf", "Realtek", "SoftwareComponent", "RtkAudUService64.exe",
     "SWC\\VEN_10EC&AID_0001", false},
    {"RealtekCurrent", "rt640x64.inf", "Realtek", "Net", "rt640x64.sys", "PCI\\VEN_10EC&DEV_8168",
     true},
};

std::string TextOf(const Package& p) {
  return InfText(p.inf, p.provider, p.cls, p.keyFile, p.hardwareId);
}

Entry File(const char* word, std::string path, bool survives = false) {
  return {Entry::kFile, word, std::move(path), survives, nullptr, {}, "x"};
}
Entry Key(const char* word, HKEY root, std::string path, bool survives = false) {
  return {Entry::kKey, word, std::move(path), survives, root, {}, {}};
}
Entry Value(const char* word, HKEY root, std::string key, std::string name, bool survives = false) {
  return {Entry::kValue, word, std::move(key), survives, root, std::move(name), "C:\\quenk.exe"};
}
Entry Service(const char* word, std::string name, DWORD type, bool survives = false) {
  const std::string binary = type == SERVICE_KERNEL_DRIVER
                                 ? "\\SystemRoot\\System32\\drivers\\" + name + ".sys"
                                 : "C:\\Program Files\\Quenk Missing\\" + name + ".exe";
  return {Entry::kService, word, std::move(name), survives, nullptr, {}, binary, type};
}

// Every profile folder of the machine's ProfileList that exists.
std::vector<std::string> ProfileFolders() {
  std::vector<std::string> folders;
  HKEY list = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0, KEY_READ,
                      &list))
    return folders;
  char sid[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof sid;
    if (::RegEnumKeyExA(list, i, sid, &size, nullptr, nullptr, nullptr, nullptr)) break;
    char raw[1024] = {}, path[1024] = {};
    DWORD bytes = sizeof raw - 1;
    if (::RegGetValueA(list, sid, "ProfileImagePath",
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw, &bytes))
      continue;
    ::ExpandEnvironmentStringsA(raw, path, sizeof path);
    const DWORD a = ::GetFileAttributesA(path);
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) folders.push_back(path);
  }
  ::RegCloseKey(list);
  return folders;
}

void PerProfile(std::vector<Entry>& out, const char* word,
                const std::vector<std::pair<std::string, bool>>& files) {
  for (const auto& profile : ProfileFolders())
    for (const auto& [file, survives] : files)
      out.push_back(File(word, profile + "\\AppData\\" + file, survives));
}

void Packages(std::vector<Entry>& out, const char* word) {
  std::string last;
  for (const auto& p : kPackages) {
    if (std::string(p.word) != word) continue;
    if (last != p.inf)
      out.push_back({Entry::kPackage, p.word, p.inf, true, nullptr, kInbox,
                     InfText(p.inf, "Microsoft", p.cls, "quenk_inbox.sys", "ROOT\\QUENK_INBOX")});
    last = p.inf;
    out.push_back({Entry::kPackage, p.word, p.inf, p.survives, nullptr, {}, TextOf(p)});
  }
}

void Nvidia(std::vector<Entry>& out) {
  const char* w = "NVIDIACurrent";
  const HKEY cu = HKEY_CURRENT_USER, lm = HKEY_LOCAL_MACHINE;
  Packages(out, w);
  for (const char* f : {"nvml.dll", "nvidia-smi.exe", "nvEncodeAPI64.dll", "nv-vk64.json",
                        "nvdrsdb.bin", "nvspcap64.dll"})
    out.push_back(File(w, kSys + f));
  out.push_back(File(w, kSys + "nvmlkeep.dll", true));
  for (const char* f : {"nvhda64v.sys", "nvvhci.sys", "nvpcf.sys"})
    out.push_back(File(w, kDrv + f));
  out.push_back(File(w, kDrv + "nvpcfkeep.sys", true));
  out.push_back(File(w, kStore + "nv_dispi.inf_amd64_0123456789abcdef\\nv_dispi.inf"));
  out.push_back(File(w, kStore + "nv_dispi.inf_amd64_0123456789abcdef\\nvlddmkm.sys"));
  out.push_back(File(w, kStore + "nvhda.inf_amd64_fedcba9876543210\\nvhda.inf"));
  out.push_back(File(w, kStore + "nv_dispix.inf_amd64_0011223344556677\\nv_dispix.inf", true));
  for (const char* f :
       {"NVIDIA Corporation\\Drs\\nvdrsdb0.bin", "NVIDIA Corporation\\NV_Cache\\index.bin",
        "NVIDIA Corporation\\NvTelemetry\\NvTelemetryContainer.log",
        "NVIDIA Corporation\\GeForce Experience\\Logs\\log.txt", "NVIDIA\\Updatus\\updatus.log"})
    out.push_back(File(w, kPd + f));
  out.push_back(File(w, kPd + "NVIDIA Corporation\\KeepMe\\keep.txt", true));
  for (const char* f : {"NVIDIA Corporation\\Control Panel Client\\nvcplui.exe",
                        "NVIDIA Corporation\\Display.NvContainer\\NVDisplay.Container.exe",
                        "NVIDIA Corporation\\NVSMI\\nvml.dll",
                        "NVIDIA Corporation\\Ansel\\Tools\\NvCameraConfiguration.exe"})
    out.push_back(File(w, kPf + f));
  out.push_back(File(w, kPf + "NVIDIA Corporation\\PhysX\\Common\\PhysXDevice64.dll", true));
  out.push_back(File(w, kPf86 + "NVIDIA Corporation\\PhysX\\Common\\PhysXDevice.dll"));
  PerProfile(out, w,
             {{"Local\\NVIDIA\\GLCache\\cache.bin", false},
              {"Local\\NVIDIA Corporation\\NVIDIA App\\log.txt", false},
              {"Roaming\\NVIDIA\\ComputeCache\\index", false},
              {"LocalLow\\NVIDIA\\PerDriverVersion\\DXCache\\cache.bin", false},
              {"Local\\Temp\\NvidiaLogging\\log.txt", false},
              {"Local\\NVIDIA Share\\keep.txt", true}});
  out.push_back(Service(w, "NVDisplay.ContainerLocalSystem", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "NvContainerLocalSystem", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "NVHDA", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "nvvhci", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "NvQuenkKeep", SERVICE_WIN32_OWN_PROCESS, true));
  const std::string nv = "Software\\NVIDIA Corporation\\";
  for (const char* k : {"Global\\NVTweak", "NvControlPanel2\\Client", "Installer2\\Stripped",
                        "Logging", "NvContainer\\Plugins", "NvTray"})
    out.push_back(Key(w, lm, nv + k));
  for (const char* k : {"NvControlPanel2\\Client", "Logging", "NvTray"})
    out.push_back(Key(w, cu, nv + k));
  out.push_back(Key(w, lm, nv + "KeepMe", true));
  out.push_back(Key(w, cu, nv + "KeepMe", true));
  for (const char* v : {"NvBackend", "ShadowPlay", "NvCplDaemon"})
    out.push_back(Value(w, lm, kRun, v));
  out.push_back(Value(w, cu, kRun, "NvBackend"));
  out.push_back(Value(w, lm, kRun, "QuenkKeepTray", true));
  out.push_back(Value(w, cu, kRun, "QuenkKeepTray", true));
}

void Amd(std::vector<Entry>& out) {
  const char* w = "AMDCurrent";
  const HKEY cu = HKEY_CURRENT_USER, lm = HKEY_LOCAL_MACHINE;
  Packages(out, w);
  for (const char* f : {"amdxc64.dll", "amdvlk64.dll", "amfrt64.dll", "amdocl64.dll"})
    out.push_back(File(w, kSys + f));
  out.push_back(File(w, kSys + "amdkeep64.dll", true));
  for (const char* f : {"amdkmdag.sys", "atikmpag.sys"}) out.push_back(File(w, kDrv + f));
  out.push_back(File(w, kDrv + "amdgpio2.sys", true));
  out.push_back(File(w, kWin + "ativpsrm.bin"));
  out.push_back(File(w, kStore + "atihdwt6.inf_amd64_5a6b7c8d9e0f1a2b\\atihdwt6.inf"));
  out.push_back(File(w, kStore + "amdgpio2.inf_amd64_2b1a0f9e8d7c6b5a\\amdgpio2.inf", true));
  for (const char* f :
       {"ATI Technologies\\Multimedia\\amf-mft-mjpeg-decoder64.dll",
        "AMD APP\\bin\\x64\\clinfo.exe", "Common Files\\ATI Technologies\\Multimedia\\amf.dll"})
    out.push_back(File(w, kPf + f));
  out.push_back(File(w, kPf86 + "AMD AVT\\bin\\kdbsdk.dll"));
  out.push_back(File(w, kPf + "AMD\\Chipset_Software\\AMD_Chipset_Drivers.exe", true));
  for (const char* f :
       {"AMD\\kdb\\kdb.bin", "AMD\\ppc\\ppc.log", "AMD\\installuep\\uep.log", "ATI\\ace\\ace.log"})
    out.push_back(File(w, kPd + f));
  out.push_back(File(w, kPd + "AMD\\Chipset_Software\\install.log", true));
  PerProfile(out, w,
             {{"Local\\AMD\\DxCache\\cache.bin", false},
              {"Local\\RadeonInstaller\\cache\\manifest.json", false},
              {"Roaming\\ATI\\ace\\ace.log", false},
              {"LocalLow\\AMD\\DxcCache\\cache.bin", false}});
  out.push_back(Service(w, "amdkmdag", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "amdfendr", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "AMD External Events Utility", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "AMD Crash Defender Service", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "AODDriver4.3", SERVICE_KERNEL_DRIVER, true));
  for (const char* k : {"CN\\Settings", "DVR", "EEU", "Chill"})
    out.push_back(Key(w, lm, "Software\\AMD\\" + std::string(k)));
  for (const char* k : {"CN", "DVR"}) out.push_back(Key(w, cu, "Software\\AMD\\" + std::string(k)));
  out.push_back(Key(w, lm, "Software\\AUEP\\RSX"));
  out.push_back(Key(w, lm, "Software\\AMDDVR"));
  out.push_back(Key(w, lm, "Software\\AMD\\Chipset_Software", true));
  out.push_back(Key(w, cu, "Software\\AMD\\Chipset_Software", true));
  out.push_back(Key(w, lm, "System\\ControlSet001\\Enum\\Root\\LEGACY_AMDKMDAG\\0000"));
  for (const char* v : {"StartCN", "AMDNoiseSuppression"}) out.push_back(Value(w, lm, kRun, v));
  out.push_back(Value(w, lm, kEnvironment, "AMDAPPSDKROOT"));
  out.push_back(Value(w, lm, kRun, "AMD Chipset Tray", true));
}

void Intel(std::vector<Entry>& out) {
  const char* w = "IntelCurrent";
  const HKEY cu = HKEY_CURRENT_USER, lm = HKEY_LOCAL_MACHINE;
  Packages(out, w);
  for (const char* f : {"igd10iumd64.dll", "igfxEM.exe", "libmfxhw64.dll", "igfxcpl.cpl"})
    out.push_back(File(w, kSys + f));
  out.push_back(File(w, kSys + "IntelWifiKeep64.dll", true));
  for (const char* f : {"igdkmd64.sys", "IntcDAud.sys"}) out.push_back(File(w, kDrv + f));
  out.push_back(File(w, kDrv + "Netwtw08.sys", true));
  out.push_back(File(w, kStore + "iigd_dch.inf_amd64_3f2e1d0c9b8a7f6e\\iigd_dch.inf"));
  out.push_back(File(w, kStore + "netwtw08.inf_amd64_6e7f8a9b0c1d2e3f\\netwtw08.inf", true));
  out.push_back(File(w, kPf + "Intel\\Wifi\\bin\\ZeroConfigService.exe", true));
  out.push_back(File(w, kPd + "Intel\\Wifi\\log.txt", true));
  out.push_back(Service(w, "igfx", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "igfxn", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "igccservice", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "cplspcon", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "Netwtw08", SERVICE_KERNEL_DRIVER, true));
  for (const char* k : {"Display\\igfxcui", "IGD", "GFX", "MediaSDK\\Dispatch"})
    out.push_back(Key(w, lm, "Software\\Intel\\" + std::string(k)));
  out.push_back(Key(w, cu, "Software\\Intel\\Display\\igfxcui"));
  out.push_back(Key(w, lm, "Software\\Intel\\Wifi", true));
  out.push_back(Key(w, cu, "Software\\Intel\\Wifi", true));
  for (const char* v : {"IgfxTray", "HotKeysCmds", "Persistence"})
    out.push_back(Value(w, lm, kRun, v));
  out.push_back(Value(w, lm, kRun, "IntelWifiTray", true));
}

void Realtek(std::vector<Entry>& out) {
  const char* w = "RealtekCurrent";
  const HKEY lm = HKEY_LOCAL_MACHINE;
  Packages(out, w);
  for (const char* f : {"RAVCpl64.exe", "RAVBg64.exe", "RltkAPO64.dll", "RTCOM64.dll"})
    out.push_back(File(w, kSys + f));
  out.push_back(File(w, kDrv + "RTKVHD64.sys"));
  out.push_back(File(w, kDrv + "rt640x64.sys", true));
  out.push_back(File(w, kStore + "hdxrt.inf_amd64_9e8d7c6b5a4f3e2d\\hdxrt.inf"));
  out.push_back(File(w, kStore + "rt640x64.inf_amd64_4d3c2b1a0f9e8d7c\\rt640x64.inf", true));
  out.push_back(File(w, kPf + "Realtek\\Audio\\Drivers\\setup.exe"));
  out.push_back(File(w, kPf86 + "Realtek\\Audio\\HDA\\RAVCpl.exe"));
  out.push_back(File(w, kPf + "Realtek\\Ethernet Diagnostic Utility\\diag.exe", true));
  out.push_back(Service(w, "RtkAudioUniversalService", SERVICE_WIN32_OWN_PROCESS));
  out.push_back(Service(w, "IntcAzAudAddService", SERVICE_KERNEL_DRIVER));
  out.push_back(Service(w, "RtkBtManServ", SERVICE_WIN32_OWN_PROCESS, true));
  for (const char* k : {"Audio\\HDA", "RealtekEffects\\Profile", "RealtekOptions"})
    out.push_back(Key(w, lm, "Software\\Realtek\\" + std::string(k)));
  out.push_back(Key(w, lm, "Software\\Realtek\\Ethernet", true));
  out.push_back(Value(w, lm, kRun, "RtkAudUService"));
  out.push_back(Value(w, lm, kRun, "RtkBtTray", true));
}

}  // namespace

std::vector<Entry> CurrentLeftovers() {
  std::vector<Entry> out;
  Nvidia(out);
  Amd(out);
  Intel(out);
  Realtek(out);
  return out;
}

std::vector<Entry> CurrentLeftoversOf(const std::string& word) {
  std::vector<Entry> out;
  for (auto& e : CurrentLeftovers())
    if (word.empty() || word == e.vendor) out.push_back(std::move(e));
  return out;
}

std::vector<Entry> CurrentInUseOf(const std::string& word) {
  auto out = CurrentLeftoversOf(word);
  for (auto& e : out) e.survives = true;
  for (const auto& p : kPackages)
    if (p.device && (word.empty() || word == p.word))
      out.push_back({Entry::kDevice, p.word, p.device, true, nullptr, p.hardwareId, TextOf(p)});
  return out;
}

bool IsInboxPackage(const Entry& e) {
  return e.kind == Entry::kPackage && e.name == kInbox;
}

std::string PublishedName(const Entry& package) {
  return PublishedAs(package.data);
}

std::vector<std::string> PublishedNames(const std::vector<Entry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries)
    if (e.kind == Entry::kPackage) names.push_back(PublishedName(e));
  return names;
}

}  // namespace quenk::seed
