#include "ProfileFixture.h"

#include "profiles/CleaningItems.h"

#include <functional>
#include <stdexcept>

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
namespace regtype = platform::regtype;

const std::string kWowKeys = "HKLM\\Software\\WOW6432Node\\";
const std::string kWowSoftware = "Software\\WOW6432Node\\";
const std::string kPf86 = "C:\\Program Files (x86)\\";

std::string Company(const std::string& name) {
  return "[Startup]\r\nCompanyName=" + name + "\r\n";
}

const profiles::CleaningItem& Item(std::string_view word) {
  for (const auto& row : profiles::kCleaningItems)
    if (row.word == word) return row;
  throw std::invalid_argument("no such word");
}

// Each profile on a 64-bit machine with leftovers in both halves: the record
// holds each 32-bit pass right after its 64-bit pass, in table order, and
// the decoys in SysWOW64, Program Files (x86) and WOW6432Node stay.
TEST(ProfilesInBothHalves, RecordFollowsEachPassWithItsTwin) {
  const struct {
    std::string_view word;
    Lines files;
    std::vector<std::pair<platform::HKey, std::string>> keys;
    std::function<void(MachineCase&)> more;
    Lines deleted;
    Lines decoys;
    std::vector<std::pair<platform::HKey, std::string>> decoyKeys;
  } cases[] = {
      {"NVIDIA",
       {kSys + "nvcpl.dll", kWow + "nvcpl.dll", kWow + "nvapi.dll", kWow + "nvcuda.dll",
        kDrv + "nvlddmkm.sys", kWowDrv + "nv4_mini.sys", kSys + "dllcache\\nv4_disp.dll",
        kWow + "dllcache\\NV_disp.dll", "C:\\Windows\\prefetch\\NVCPL.EXE-1.pf",
        kWow + "prefetch\\NWIZ.EXE-2.pf"},
       {{kCurrentUser, "Software\\NVIDIA Corporation\\Global"},
        {kCurrentUser, kWowSoftware + "NVIDIA Corporation\\Global"},
        {kLocalMachine, "Software\\NVIDIA Corporation\\Installer"},
        {kLocalMachine, kWowSoftware + "NVIDIA Corporation\\Global\\nvcpl"},
        {kLocalMachine, kWowSoftware + "NVIDIA Corporation\\Installer"},
        {kLocalMachine, kWowSoftware + "NVIDIA Corporation\\QuenkKeep"},
        {kLocalMachine, "System\\CurrentControlSet\\Services\\nvlddmkm"}},
       nullptr,
       {kSys + "nvcpl.dll", kWow + "nvapi.dll", kWow + "nvcpl.dll", kDrv + "nvlddmkm.sys",
        kWowDrv + "nv4_mini.sys", kSys + "dllcache\\nv4_disp.dll", kWow + "dllcache\\NV_disp.dll",
        "C:\\Windows\\prefetch\\NVCPL.EXE-1.pf", "HKCU\\Software\\NVIDIA Corporation\\Global",
        "HKLM\\Software\\NVIDIA Corporation\\Installer", kWowKeys + "NVIDIA Corporation\\Global",
        kWowKeys + "NVIDIA Corporation\\Installer",
        "HKLM\\System\\CurrentControlSet\\Services\\nvlddmkm"},
       {kWow + "nvcuda.dll", kWow + "prefetch\\NWIZ.EXE-2.pf"},
       {{kLocalMachine, kWowSoftware + "NVIDIA Corporation\\QuenkKeep"},
        {kCurrentUser, kWowSoftware + "NVIDIA Corporation\\Global"}}},
      {"NVIDIAChipset",
       {kDrv + "nvstor.sys", kWowDrv + "nvraid.sys", kWowDrv + "nvquenkkeep.sys"},
       {{kLocalMachine, "Software\\NVIDIA Corporation\\nForce\\Setup"},
        {kLocalMachine, kWowSoftware + "NVIDIA Corporation\\nForce"},
        {kLocalMachine, kWowSoftware + "NVIDIA Corporation\\nForceKeep"}},
       nullptr,
       {kDrv + "nvstor.sys", kWowDrv + "nvraid.sys", "HKLM\\Software\\NVIDIA Corporation\\nForce",
        kWowKeys + "NVIDIA Corporation\\nForce"},
       {kWowDrv + "nvquenkkeep.sys"},
       {{kLocalMachine, kWowSoftware + "NVIDIA Corporation\\nForceKeep"}}},
      {"ATi",
       {kSys + "atiogl.xml", kWow + "ati2evxx.exe", kWow + "atiadlxx.dll",
        "C:\\ATI\\Support\\setup.exe", kPf86 + "ATI\\Support\\Packages\\ccc.msi"},
       {{kCurrentUser, "Software\\ATi"},
        {kLocalMachine, "Software\\ATi"},
        {kLocalMachine, kWowSoftware + "ATI Technologies\\Install\\ccc-branding"},
        {kLocalMachine, kWowSoftware + "ATI Technologies\\Install\\ccc-keep"}},
       [](MachineCase& t) {
         t.machine.registry.SetString(kLocalMachine, "Software\\ATi Technologies\\Install",
                                      "InstallDir", "C:\\ATI\\Support");
         t.machine.registry.SetString(kLocalMachine, kWowSoftware + "ATi Technologies\\Install",
                                      "InstallDir", kPf86 + "ATI\\Support");
       },
       {kSys + "atiogl.xml", kWow + "ati2evxx.exe", "C:\\ATI\\Support", kPf86 + "ATI\\Support",
        "HKCU\\Software\\ATi", "HKLM\\Software\\ATi",
        kWowKeys + "ATI Technologies\\Install\\ccc-branding"},
       {kWow + "atiadlxx.dll"},
       {{kLocalMachine, kWowSoftware + "ATI Technologies\\Install\\ccc-keep"}}},
      {"Creative",
       {kSys + "CTAGENT.EXE", kWow + "ctasio.dll", kWow + "ctfmon-keep.exe", kDrv + "ctaud2k.sys",
        kWowDrv + "CTGAME.sys"},
       {{kCurrentUser, "Software\\Creative Tech"},
        {kLocalMachine, "Software\\Creative Tech\\Installation"},
        {kLocalMachine, kWowSoftware + "ASIO\\Creative ASIO"},
        {kLocalMachine, kWowSoftware + "Creative Labs"}},
       [](MachineCase& t) {
         t.machine.fs.AddFile(kIs + "{CT-1}\\setup.ini", Company("Creative Technology Ltd"));
         t.machine.fs.AddFile(kIs86 + "{CT-32}\\setup.ini", Company("Creative Technology Ltd"));
         t.machine.fs.AddFile(kIs86 + "{CT-CAPS}\\setup.ini", Company("CREATIVE TECHNOLOGY"));
       },
       {kSys + "CTAGENT.EXE", kWow + "ctasio.dll", kDrv + "ctaud2k.sys", kWowDrv + "CTGAME.sys",
        kIs + "{CT-1}", kIs86 + "{CT-32}", "HKCU\\Software\\CREATIVE TECH",
        "HKLM\\Software\\Creative Tech", kWowKeys + "ASIO"},
       {kWow + "ctfmon-keep.exe", kIs86 + "{CT-CAPS}\\setup.ini"},
       {{kLocalMachine, kWowSoftware + "Creative Labs"}}},
      {"Realtek",
       {kSys + "RtkAPO64.dll", kWow + "RtkAPO.dll", kWow + "RtkAudUService.exe",
        kWowDrv + "RTKVHDA.sys", "C:\\Program Files\\Realtek\\Audio\\RtkNGUI64.exe",
        kPf86 + "Realtek\\Audio\\RtkNGUI.exe"},
       {{kLocalMachine, kWowSoftware + "Avance\\Audio"},
        {kLocalMachine, kWowSoftware + "RealtekKeep"}},
       [](MachineCase& t) {
         t.machine.registry.SetString(kLocalMachine, "Software\\Realtek\\InstallShield",
                                      "ProgramFilesDir", "C:\\Program Files\\Realtek\\Audio");
         t.machine.registry.SetString(kLocalMachine, kWowSoftware + "Realtek\\InstallShield",
                                      "ProgramFilesDir", kPf86 + "Realtek\\Audio");
         t.machine.fs.AddFile(kIs86 + "{RTK-32}\\setup.ini", Company("Realtek Semiconductor"));
         t.machine.fs.AddFile(kIs86 + "{RTK-SHORT}\\setup.ini", Company("Realte"));
       },
       {"C:\\Program Files\\Realtek\\Audio", kPf86 + "Realtek\\Audio", kSys + "RtkAPO64.dll",
        kWow + "RtkAPO.dll", kWowDrv + "RTKVHDA.sys", kIs86 + "{RTK-32}", "HKLM\\Software\\Realtek",
        kWowKeys + "Realtek", kWowKeys + "Avance"},
       {kWow + "RtkAudUService.exe", kIs86 + "{RTK-SHORT}\\setup.ini"},
       {{kLocalMachine, kWowSoftware + "RealtekKeep"}}},
  };
  for (const auto& c : cases) {
    MachineCase t;
    t.Add32BitHalves();
    for (const auto& f : c.files) t.machine.fs.AddFile(f);
    for (const auto& [root, path] : c.keys) t.machine.registry.CreateKey(root, path);
    if (c.more) c.more(t);
    Item(c.word).clean(t.Start()->ctx, true, true);
    EXPECT_EQ(t.Deleted(), c.deleted) << c.word;
    EXPECT_TRUE(t.NotDeleted().empty()) << c.word;
    for (const auto& decoy : c.decoys) EXPECT_TRUE(t.Exists(decoy)) << c.word << " " << decoy;
    for (const auto& [root, key] : c.decoyKeys) EXPECT_TRUE(t.Key(root, key)) << c.word << key;
  }
}

// The folder lookups read both views, and whatever the 32-bit view names
// meets the same rules as the 64-bit one.
TEST(ProfilesInBothHalves, FolderLookupsInBothViews) {
  const std::string atiKey = "Software\\ATi Technologies\\Install";
  const std::string atiKey32 = kWowSoftware + "ATi Technologies\\Install";
  const struct {
    const char* what;
    std::string value64;
    std::function<void(sim::SimRegistry&)> set32;
    Lines deleted, notDeleted;
    std::string error;
  } cases[] = {
      {"a folder in each",
       "C:\\ATI\\Support",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "C:\\ATI32");
       },
       {"C:\\ATI\\Support", "C:\\ATI32"},
       {},
       ""},
      {"the same folder in both",
       "C:\\ATI\\Support",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "c:\\ati\\support");
       },
       {"C:\\ATI\\Support"},
       {},
       ""},
      {"only the 32-bit view",
       "",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "C:\\ATI32", regtype::kExpandString);
       },
       {"C:\\ATI32"},
       {},
       ""},
      {"32-bit view names Program Files (x86)",
       "C:\\ATI\\Support",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "C:\\Program Files (x86)");
       },
       {"C:\\ATI\\Support"},
       {"C:\\Program Files (x86)"},
       ""},
      {"32-bit view names SysWOW64",
       "",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "C:\\Windows\\SysWOW64");
       },
       {},
       {"C:\\Windows\\SysWOW64"},
       ""},
      {"32-bit key only readable",
       "C:\\ATI\\Support",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "C:\\ATI32");
         r.Find(kLocalMachine, atiKey32)->denyFullAccess = true;
       },
       {"C:\\ATI\\Support"},
       {},
       ""},
      {"32-bit key without read rights",
       "C:\\ATI\\Support",
       [&](sim::SimRegistry& r) {
         r.SetString(kLocalMachine, atiKey32, "InstallDir", "C:\\ATI32");
         r.Find(kLocalMachine, atiKey32)->denyRead = true;
       },
       {"C:\\ATI\\Support"},
       {},
       ""},
      {"wrong type in the 32-bit view only",
       "C:\\ATI\\Support",
       [&](sim::SimRegistry& r) {
         r.SetValue(kLocalMachine, atiKey32, "InstallDir", regtype::kDword,
                    std::string("\x01\0\0\0", 4));
       },
       {},
       {},
       "Invalid data type for 'InstallDir'"},
  };
  for (const auto& c : cases) {
    MachineCase t;
    t.Add32BitHalves();
    t.Files({"C:\\ATI\\Support\\setup.exe", "C:\\ATI32\\ccc.msi"});
    if (!c.value64.empty())
      t.machine.registry.SetString(kLocalMachine, atiKey, "InstallDir", c.value64);
    c.set32(t.machine.registry);
    std::string error;
    try {
      Item("ATi").clean(t.Start()->ctx, true, false);
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error) << c.what;
    EXPECT_EQ(t.Deleted(), c.deleted) << c.what;
    EXPECT_EQ(t.NotDeleted(), c.notDeleted) << c.what;
    for (const char* folder : {"C:\\ATI\\Support", "C:\\ATI32"}) {
      const bool gone = std::find(c.deleted.begin(), c.deleted.end(), folder) != c.deleted.end();
      EXPECT_EQ(t.Exists(folder), !gone) << c.what << " " << folder;
    }
    EXPECT_TRUE(t.Exists("C:\\Program Files (x86)") && t.Exists("C:\\Windows\\SysWOW64"));
    EXPECT_EQ(t.progress.steps, 2 * 7) << c.what;
  }
}

// Realtek looks its folder up before any mask: a bad 32-bit value stops the
// run before anything at all is removed.
TEST(ProfilesInBothHalves, BadValueIn32BitViewStopsRealtekBeforeAnyRemoval) {
  MachineCase t;
  t.Add32BitHalves();
  t.Files({kSys + "RtkAPO64.dll", kWow + "RtkAPO.dll", "C:\\Program Files\\Realtek\\Audio\\x.exe"});
  t.machine.registry.SetString(kLocalMachine, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                               "C:\\Program Files\\Realtek\\Audio");
  t.machine.registry.SetValue(kLocalMachine, kWowSoftware + "Realtek\\InstallShield",
                              "ProgramFilesDir", regtype::kBinary, "C:\\");
  EXPECT_THROW(Item("Realtek").clean(t.Start()->ctx, true, true), std::runtime_error);
  EXPECT_TRUE(t.Deleted().empty() && t.NotDeleted().empty());
  EXPECT_TRUE(t.Exists(kWow + "RtkAPO.dll") && t.Exists("C:\\Program Files\\Realtek\\Audio"));
  EXPECT_EQ(t.progress.steps, 0);
}

}  // namespace
}  // namespace quenk::test
