#include "E2e.h"

#include <commctrl.h>

namespace quenk::e2e {
namespace {

class Cleaning : public E2e {
 protected:
  // Every entry of `vendor` is gone unless it is a decoy; everything else is there.
  void ExpectCleaned(const std::vector<std::string>& vendors) {
    for (const auto& e : seed::Leftovers()) {
      const bool cleaned = std::find(vendors.begin(), vendors.end(), e.vendor) != vendors.end();
      EXPECT_EQ(seed::Exists(e), e.survives || !cleaned) << seed::Describe(e);
    }
  }
};

TEST_F(Cleaning, CommandLineRunCleansBeforeTheWindowIsDrawnAndLogsTheRecord) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::Leftovers());
  Start({"NVIDIA", "Creative"});
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  ExpectCleaned({"NVIDIA", "Creative"});  // already done when the window first shows
  const HWND main = quenk->Main();
  EXPECT_SOON_EQ(ListItems(Child(main, IDC_VESK_CLEANITEMS)),
                 (Lines{"NVIDIA - Display", "Creative - Sound"}));

  ASSERT_SOON_EQ(LogNames().size(), 1u);
  const auto logs = LogNames();
  const std::string text = ReadFile(std::string(kLogs) + "\\" + logs[0]);
  const HWND log = quenk->Window("TLogForm");
  Lines expected{"[Deleted]"};
  for (const auto& line : ListItems(Child(log, IDC_LOG_LISTBOX1))) expected.push_back(line);
  expected.push_back("[Not deleted]");
  for (const auto& line : ListItems(Child(log, IDC_LOG_LISTBOX2))) expected.push_back(line);
  std::string bytes;
  for (const auto& line : expected) bytes += line + "\r\n";
  EXPECT_EQ(text, bytes);
  EXPECT_GT(expected.size(), 20u);
  EXPECT_NE(std::find(expected.begin(), expected.end(), "HKCU\\Software\\CREATIVE TECH"),
            expected.end());

  PostClose(main);
  ASSERT_TRUE(quenk->WaitExit());
  EXPECT_EQ(SettingsKeys(),
            (Lines{"Logfiles/Logfiles=1", "NVIDIA Chipset/Registry=1", "NVIDIA Chipset/Files=1",
                   "NVIDIA Display/Registry=1", "NVIDIA Display/Files=1", "ATi Display/Registry=1",
                   "ATi Display/Files=1", "Creative Sound/Registry=1", "Creative Sound/Files=1",
                   "Realtek Sound/Registry=1", "Realtek Sound/Files=1", "SystemTray/SystemTray=0",
                   "Backup/Backup=1"}));
}

TEST_F(Cleaning, EachVendorCleansItsOwnAndSparesDecoysAndOthers) {
  for (const char* vendor : {"NVIDIA", "NVIDIAChipset", "ATi", "Creative", "Realtek"}) {
    seed::Clear();
    seed::Seed(seed::Leftovers());
    const HWND main = StartShown({vendor});
    ExpectCleaned({vendor});
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit()) << vendor;
    EXPECT_TRUE(LogNames().empty());
  }
}

// What each vendor's run records on the seeded 64-bit prefix, in order: each
// pass over SysWOW64, Program Files (x86) or the 32-bit view right after its
// own pass, table order within a pass, listing order within a mask.
TEST_F(Cleaning, RecordOfEachVendorHasEachTwinPassRightAfterItsPass) {
  const std::string w = "C:\\windows\\";
  const std::string s = w + "System32\\", d = s + "drivers\\";
  const std::string s32 = w + "SysWOW64\\", d32 = s32 + "drivers\\";
  const std::string is = "C:\\Program Files\\InstallShield Installation Information\\";
  const std::string is32 = "C:\\Program Files (x86)\\InstallShield Installation Information\\";
  const std::string lm = "HKLM\\Software\\", lm32 = "HKLM\\Software\\WOW6432Node\\";
  const std::string nv = "NVIDIA Corporation\\", ccc = "ATI Technologies\\Install\\";
  // The steps count the 32-bit passes too: the bar's maximum, and where a
  // first run leaves it.
  const struct {
    const char* vendor;
    int steps;
    Lines deleted;
  } cases[] = {
      {"NVIDIA",
       124,
       {s + "nvapi64.dll",
        s + "nvcpl.dll",
        s + "nvmctray.dll",
        s + "nv4_disp.dll",
        s + "nvdspsch.exe",
        s + "keystone.exe",
        s32 + "nvapi.dll",
        s32 + "nvcpl.dll",
        d + "nvlddmkm.sys",
        d + "nv4_mini.sys",
        d32 + "nv4_mini.sys",
        s + "dllcache\\nv4_disp.dll",
        w + "prefetch\\NVCPL.EXE-1A2B3C4D.pf",
        w + "prefetch\\NWIZ.EXE-5E6F7A8B.pf",
        w + "Help\\nvcpl",
        "HKCU\\Software\\NVIDIA nvCpl Container",
        "HKCU\\Software\\" + nv + "NVControlPanel",
        "HKCU\\Software\\" + nv + "Global",
        lm + nv + "Global",
        lm + nv + "Installer",
        lm32 + nv + "Global",
        "HKLM\\System\\ControlSet001\\Enum\\Root\\LEGACY_NVSVC",
        "HKLM\\System\\ControlSet001\\Services\\nvlddmkm",
        "HKLM\\System\\ControlSet002\\Services\\nvlddmkm",
        "HKLM\\System\\CurrentControlSet\\Services\\nvlddmkm"}},
      {"NVIDIAChipset",
       44,
       {d + "nvagp.sys", d + "nvport.sys", d + "nvraid.sys", d + "nvstor.sys", d32 + "nvstor32.sys",
        lm + nv + "nForce", lm32 + nv + "nForce",
        "HKLM\\System\\ControlSet001\\Enum\\Root\\LEGACY_NVPORT",
        "HKLM\\System\\ControlSet001\\Services\\nvraid",
        "HKLM\\System\\ControlSet001\\Services\\nvstor",
        "HKLM\\System\\CurrentControlSet\\Services\\NVENETFD"}},
      {"ATi",
       41,
       {s + "ati2evxx.exe", s + "ATIDEMGX.dll", s + "atiicdxx.dat", s + "atiogl.xml",
        s + "atipdl64.dll", s + "atitmm64.dll", s + "atiumd64.dll", s32 + "atioglxx.dll",
        s32 + "atiumdag.dll", "C:\\ATI\\Support", "C:\\Program Files (x86)\\ATI\\Support",
        "HKCU\\Software\\ATi", lm + "ATi", lm + ccc + "ccc-branding", lm + ccc + "ccc-core-static",
        lm32 + ccc + "ccc-utility"}},
      {"Creative",
       93,
       {s + "ct_oal.dll", s + "CTAGENT.EXE", s + "ctasio.dll", s + "CTxfi.dll", s32 + "CTAPO32.dll",
        s32 + "ctasio.dll", d + "ctaud2k.sys", d + "CTGAME.sys", d32 + "ctac32k.sys",
        is + "{CREATIVE-1}", is32 + "{CREATIVE-32}", "HKCU\\Software\\CREATIVE TECH",
        lm + "Creative Tech", lm + "ASIO", lm32 + "Creative Tech", lm32 + "ASIO"}},
      {"Realtek",
       37,
       {"C:\\Program Files\\Realtek\\Audio", "C:\\Program Files (x86)\\Realtek\\Audio",
        s + "RtkAPO64.dll", s + "SRSTS64.dll", s + "RTSndMgr.cpl", s + "RtHDVCpl.exe",
        s32 + "RtkAPO.dll", d + "RTKVHDA64.sys", d + "Rtnicxp.sys", d32 + "RTKVHDA.sys",
        is + "{REALTEK-1}", is32 + "{REALTEK-32}", "HKCU\\Software\\Realtek", lm + "Realtek",
        lm + "Avance", lm + "Realtek Semiconductor Corp.", lm32 + "Realtek", lm32 + "Avance"}},
  };
  for (const auto& c : cases) {
    seed::Clear();
    seed::Seed(seed::Leftovers());
    DeleteTree(kLogs);
    Settings("[Logfiles]\r\nLogfiles=1\r\n");
    const HWND main = StartShown({c.vendor});
    ASSERT_TRUE(WaitFor([&] { return LogNames().size() == 1; })) << c.vendor;
    const Lines log = Split(ReadFile(std::string(kLogs) + "\\" + LogNames()[0]));
    Lines expected{"[Deleted]"};
    expected.insert(expected.end(), c.deleted.begin(), c.deleted.end());
    expected.push_back("[Not deleted]");
    EXPECT_EQ(log, expected) << c.vendor;
    const HWND bar = Child(main, IDC_VESK_PROGRESS);
    EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), c.steps) << c.vendor;
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), c.steps) << c.vendor;
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit()) << c.vendor;
  }
}

TEST_F(Cleaning, ErrorDuringTheCommandLineRunIsReportedBeforeTheWindowComesUp) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::LeftoversOf("Realtek"));
  HKEY key = nullptr;
  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Realtek\\InstallShield", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const DWORD number = 7;
  ::RegSetValueExA(key, "ProgramFilesDir", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  ::RegCloseKey(key);

  Start({"Realtek"});
  const HWND box = WaitReport("Invalid data type for 'ProgramFilesDir'");
  ASSERT_TRUE(box);
  EXPECT_FALSE(Visible(quenk->Main()));
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_SOON_EQ(ListItems(Child(quenk->Main(), IDC_VESK_CLEANITEMS)), Lines{"Realtek - Sound"});
  EXPECT_TRUE(LogNames().empty());
  EXPECT_TRUE(FileExists("C:\\windows\\system32\\RtkAPO64.dll"));
}

}  // namespace
}  // namespace quenk::e2e
