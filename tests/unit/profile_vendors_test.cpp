#include "ProfileFixture.h"

#include "base/IoError.h"
#include "profiles/ATi.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/Realtek.h"

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
namespace attr = platform::attr;

class Vendors : public ProfileFixture {};

TEST_F(Vendors, NvidiaDisplayCleansFoldersKeysAndControlSets) {
  Files({kSys + "nvcpl.dll", kSys + "nvdsp.dll", kSys + "nvdspsch.exe", kSys + "nvcuda.dll",
         kDrv + "nvlddmkm.sys", kSys + "dllcache\\NV4_disp.dll",
         "C:\\Windows\\prefetch\\NWIZ.EXE-1.pf", "C:\\Windows\\Help\\nvcpl\\nvcpl.chm",
         "C:\\Windows\\Help\\keep.chm"});
  machine.fs.AddFile(kSys + "nvmctray.dll", "", attr::kReadOnly);
  Keys(kCurrentUser,
       {"Software\\NVIDIA Corporation\\Global\\Sub", "Software\\NVIDIA Corporation\\Keep"});
  Keys(
      kLocalMachine,
      {"Software\\NVIDIA Corporation\\Installer", "Software\\NVIDIA Corporation\\nForce",
       "System\\ControlSet001\\Enum\\Root\\LEGACY_NVSVC\\0000",
       "System\\ControlSet001\\Services\\nvlddmkm", "System\\CurrentControlSet\\Services\\nvlddmkm",
       "System\\CurrentControlSet\\Services\\nvkeep"});

  profiles::nvidia::Clean(ctx, true, true);

  EXPECT_EQ(Deleted(), (Lines{kSys + "nvcpl.dll", kSys + "nvdsp.dll", kSys + "nvdspsch.exe",
                              kDrv + "nvlddmkm.sys", kSys + "dllcache\\NV4_disp.dll",
                              "C:\\Windows\\prefetch\\NWIZ.EXE-1.pf", "C:\\Windows\\Help\\nvcpl",
                              "HKCU\\Software\\NVIDIA Corporation\\Global",
                              "HKLM\\Software\\NVIDIA Corporation\\Installer",
                              "HKLM\\System\\ControlSet001\\Enum\\Root\\LEGACY_NVSVC",
                              "HKLM\\System\\ControlSet001\\Services\\nvlddmkm",
                              "HKLM\\System\\CurrentControlSet\\Services\\nvlddmkm"}));
  // "nvmctray*.*" stands twice in the table: what the first pass left is met again.
  EXPECT_EQ(NotDeleted(), (Lines{kSys + "nvmctray.dll", kSys + "nvmctray.dll"}));
  EXPECT_TRUE(Exists(kSys + "nvcuda.dll") && Exists("C:\\Windows\\Help\\keep.chm"));
  EXPECT_TRUE(Key(kCurrentUser, "Software\\NVIDIA Corporation\\Keep"));
  EXPECT_TRUE(Key(kLocalMachine, "Software\\NVIDIA Corporation\\nForce"));
  EXPECT_TRUE(Key(kLocalMachine, "System\\CurrentControlSet\\Services\\nvkeep"));
}

TEST_F(Vendors, SwitchesKeepThePhasesApart) {
  Files({kDrv + "nvport.sys", kSys + "atiogl.xml"});
  Keys(kLocalMachine, {"System\\ControlSet001\\Services\\nvport", "Software\\ATi"});
  Keys(kCurrentUser, {"Software\\ATi"});
  profiles::nvidia_chipset::Clean(ctx, true, false);
  profiles::ati::Clean(ctx, false, true);
  EXPECT_FALSE(Exists(kDrv + "nvport.sys"));
  EXPECT_TRUE(Key(kLocalMachine, "System\\ControlSet001\\Services\\nvport"));
  EXPECT_TRUE(Exists(kSys + "atiogl.xml"));
  EXPECT_FALSE(Key(kLocalMachine, "Software\\ATi") || Key(kCurrentUser, "Software\\ATi"));
  profiles::creative::Clean(ctx, false, false);
  profiles::realtek::Clean(ctx, false, false);
  EXPECT_EQ(Deleted().size(), 3u);
}

TEST_F(Vendors, NvidiaChipsetServicePassesRecordOnlyWhatIsThere) {
  Keys(kLocalMachine,
       {"System\\ControlSet002\\Services\\nvraid", "System\\ControlSet002\\Services\\NVSTOR",
        "System\\ControlSet004\\Enum\\Root\\LEGACY_NVPORT"});
  profiles::nvidia_chipset::Clean(ctx, false, true);
  EXPECT_EQ(Deleted(), (Lines{"HKLM\\System\\ControlSet004\\Enum\\Root\\LEGACY_NVPORT",
                              "HKLM\\System\\ControlSet002\\Services\\nvraid",
                              "HKLM\\System\\ControlSet002\\Services\\nvstor"}));
  EXPECT_EQ(progress.steps, 31);
}

TEST_F(Vendors, AtiRemovesTheRecordedInstallFolderExactlyAsRead) {
  Files({kSys + "ati2evxx.exe", kSys + "atiadlxx.dll", "C:\\ATI\\Support\\setup.exe",
         "C:\\ATI\\Support\\pkg\\ccc.msi"});
  machine.registry.SetString(kLocalMachine, "Software\\ATi Technologies\\Install", "InstallDir",
                             "c:\\ati\\SUPPORT");
  Keys(kLocalMachine, {"Software\\ATI Technologies\\Install\\ccc-skins",
                       "Software\\ATI Technologies\\Install\\ccc-other"});
  profiles::ati::Clean(ctx, true, true);
  EXPECT_EQ(Deleted(), (Lines{kSys + "ati2evxx.exe", "c:\\ati\\SUPPORT",
                              "HKLM\\Software\\ATI Technologies\\Install\\ccc-skins"}));
  EXPECT_FALSE(Exists("C:\\ATI\\Support"));
  EXPECT_TRUE(Exists(kSys + "atiadlxx.dll"));
  EXPECT_TRUE(Key(kLocalMachine, "Software\\ATI Technologies\\Install\\ccc-other"));
}

TEST_F(Vendors, LookedUpFolderValuesThatNameNoRemovableFolder) {
  machine.fs.AddFile("C:\\Program Files\\ATI\\x.dll");
  const struct {
    std::uint32_t type;
    std::string data;
    Lines notDeleted;
  } cases[] = {
      {platform::regtype::kString, std::string("C:\\Nowhere\0", 11), {}},
      {platform::regtype::kExpandString, std::string("%ProgramFiles%\\ATI\0", 19), {}},
      {platform::regtype::kString, std::string("", 0), {}},
      {platform::regtype::kString, std::string("C:\\\0", 4), {"C:\\"}},
      {platform::regtype::kString, std::string("C:\\WINDOWS\\\0", 12), {"C:\\WINDOWS\\"}},
      {platform::regtype::kString, std::string("C:\\PROGRA~1\0", 12), {"C:\\PROGRA~1"}},
      {platform::regtype::kString,
       std::string("C:\\Program Files\\ATI\\..\0", 24),
       {"C:\\Program Files\\ATI\\.."}},
  };
  for (const auto& c : cases) {
    record.Clear();
    machine.registry.SetValue(kLocalMachine, "Software\\ATi Technologies\\Install", "InstallDir",
                              c.type, c.data);
    profiles::ati::CleanFiles(ctx);
    EXPECT_TRUE(Deleted().empty()) << c.data;
    EXPECT_EQ(NotDeleted(), c.notDeleted) << c.data;
    EXPECT_TRUE(Exists("C:\\Program Files\\ATI\\x.dll")) << c.data;
    EXPECT_TRUE(Exists("C:\\Windows\\System32\\kernel32.dll")) << c.data;
  }
}

TEST_F(Vendors, NonTextFolderValueStopsTheProfileBeforeAnyFolderGoes) {
  Files({kSys + "RtkAPO.dll", "C:\\Realtek\\a.exe"});
  machine.registry.SetValue(kLocalMachine, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                            platform::regtype::kDword, std::string("\x01\0\0\0", 4));
  try {
    profiles::realtek::Clean(ctx, true, true);
    ADD_FAILURE() << "expected the registry read error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'ProgramFilesDir'");
  }
  EXPECT_TRUE(Exists(kSys + "RtkAPO.dll"));
  EXPECT_EQ(progress.steps, 0);
}

TEST_F(Vendors, CreativeInstallerFoldersAndKeysIgnoringCase) {
  Files({kSys + "CTAGENT.EXE", kSys + "ctfmon.exe", kDrv + "ctaud2k.sys", kIs + "{A}\\setup.ini",
         kIs + "{CAPS}\\setup.ini", kIs + "{SHORT}\\setup.ini"});
  machine.fs.AddFile(kIs + "{A}\\setup.ini",
                     "[Startup]\r\nCompanyName=Creative Technology Ltd\r\n");
  machine.fs.AddFile(kIs + "{CAPS}\\setup.ini", "[Startup]\r\nCompanyName=CREATIVE\r\n");
  machine.fs.AddFile(kIs + "{SHORT}\\setup.ini", "[Startup]\r\nCompanyName=Creativ\r\n");
  Keys(kCurrentUser, {"Software\\Creative Tech\\Audio"});
  Keys(kLocalMachine, {"Software\\ASIO\\Creative ASIO\\Sub", "Software\\Creative Labs"});
  profiles::creative::Clean(ctx, true, true);
  EXPECT_EQ(Deleted(), (Lines{kSys + "CTAGENT.EXE", kDrv + "ctaud2k.sys", kIs + "{A}",
                              "HKCU\\Software\\CREATIVE TECH", "HKLM\\Software\\ASIO"}));
  EXPECT_TRUE(Exists(kSys + "ctfmon.exe") && Exists(kIs + "{CAPS}") && Exists(kIs + "{SHORT}"));
  EXPECT_TRUE(Key(kLocalMachine, "Software\\Creative Labs"));
}

TEST_F(Vendors, CreativeWithoutProgramFilesLooksAtTheDriveRoot) {
  machine.fs.SetEnv("Programfiles", std::nullopt);
  machine.fs.AddFile("C:\\InstallShield Installation Information\\{X}\\setup.ini",
                     "[Startup]\r\nCompanyName=Creative\r\n");
  profiles::creative::CleanFiles(ctx);
  EXPECT_EQ(Deleted(), Lines{"\\InstallShield Installation Information\\{X}"});
}

TEST_F(Vendors, RealtekRemovesItsProgramFolderBeforeAnyMask) {
  Files({"C:\\Program Files\\Realtek\\Audio\\HDA\\RtkNGUI64.exe", kSys + "RTKVHDA64.sys",
         kDrv + "RTKVHDA64.sys", kSys + "RtkAudUService64.exe"});
  machine.fs.AddFile(kIs + "{R}\\setup.ini",
                     "[Startup]\r\nCompanyName=Realtek Semiconductor Corp.\r\n");
  machine.registry.SetString(kLocalMachine, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                             "C:\\Program Files\\Realtek\\Audio");
  Keys(kLocalMachine, {"Software\\Avance", "Software\\Realtek Semiconductor Corp."});
  profiles::realtek::Clean(ctx, true, true);
  EXPECT_EQ(Deleted(),
            (Lines{"C:\\Program Files\\Realtek\\Audio", kSys + "RTKVHDA64.sys",
                   kDrv + "RTKVHDA64.sys", kIs + "{R}", "HKLM\\Software\\Realtek",
                   "HKLM\\Software\\Avance", "HKLM\\Software\\Realtek Semiconductor Corp."}));
  EXPECT_TRUE(Exists(kSys + "RtkAudUService64.exe"));
  EXPECT_TRUE(Exists("C:\\Program Files\\Realtek"));
}

}  // namespace
}  // namespace quenk::test
