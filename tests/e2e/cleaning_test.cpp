#include "E2e.h"

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
  quenk->Idle();
  const HWND main = quenk->Main();
  EXPECT_EQ(ListItems(Child(main, IDC_VESK_CLEANITEMS)),
            (Lines{"NVIDIA - Display", "Creative - Sound"}));

  const auto logs = LogNames();
  ASSERT_EQ(logs.size(), 1u);
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
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = quenk->ErrorBox()) != nullptr; }));
  EXPECT_FALSE(Visible(quenk->Main()));
  const auto saysWhy = [box] {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
      if (Text(child) == "Invalid data type for 'ProgramFilesDir'") return true;
    return false;
  };
  EXPECT_TRUE(WaitFor(saysWhy));
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  quenk->Idle();
  EXPECT_EQ(ListItems(Child(quenk->Main(), IDC_VESK_CLEANITEMS)), Lines{"Realtek - Sound"});
  EXPECT_TRUE(LogNames().empty());
  EXPECT_TRUE(FileExists("C:\\windows\\system32\\RtkAPO64.dll"));
}

}  // namespace
}  // namespace quenk::e2e
