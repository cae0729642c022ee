#include "E2e.h"

#include <shellapi.h>

namespace quenk::e2e {
namespace {

class TrayE2e : public E2e {
 protected:
  // Whether the shell holds the program's icon: modifying works only on an icon that exists.
  bool IconExists() {
    NOTIFYICONDATAA d{};
    d.cbSize = sizeof d;
    d.hWnd = quenk->Main();
    d.uID = QUENK_TRAY_ID;
    d.uFlags = NIF_TIP;
    lstrcpyA(d.szTip, "Quenk");
    return ::Shell_NotifyIconA(NIM_MODIFY, &d) != FALSE;
  }
  // Right-clicks the icon and picks the entry at `index` of its menu.
  void TrayMenu(int index) {
    ::PostMessageA(quenk->Main(), QUENK_WM_TRAY, QUENK_TRAY_ID, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (menu = quenk->Window("#32768")) != nullptr && Visible(menu); }));
    for (int i = 0; i <= index; ++i) ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    WaitFor([&] { return !Visible(quenk->Window("#32768")); });
  }
  void Minimize() {
    ::PostMessageA(quenk->Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    quenk->Idle();
  }
};

TEST_F(TrayE2e, IconFromStartMinimiseToTrayAndRestore) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  const HWND main = StartShown();
  EXPECT_TRUE(IconExists());
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->Window("TLogForm");
  ASSERT_TRUE(Visible(log));
  Minimize();
  EXPECT_FALSE(Visible(main));
  EXPECT_FALSE(Visible(log));
  TrayMenu(1);  // Restore
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  quenk->Idle();
  EXPECT_TRUE(Visible(log));
  EXPECT_FALSE(::IsIconic(main));
  EXPECT_TRUE(IconExists());
}

TEST_F(TrayE2e, TrayCloseEndsTheProgramAndRewritesTheSettings) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  StartShown();
  Minimize();
  ::DeleteFileA(kSettings);
  TrayMenu(2);  // Close
  ASSERT_TRUE(quenk->WaitExit());
  EXPECT_EQ(SettingsKeys().size(), 13u);
}

TEST_F(TrayE2e, WithoutTheFlagMinimiseKeepsTheTaskbarWindow) {
  const HWND main = StartShown();
  EXPECT_FALSE(IconExists());
  PressKeys(main, {VK_TAB, VK_TAB});  // from Clean to ">>"
  quenk->Idle();
  const auto focus = [this] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(quenk->Main(), nullptr), &info);
    return ::GetDlgCtrlID(info.hwndFocus);
  };
  ASSERT_EQ(focus(), IDC_VESK_SELECT);
  Menu(IDM_HELP_ABOUT);
  ::SetForegroundWindow(main);
  quenk->Idle();
  Minimize();
  EXPECT_TRUE(Visible(main));
  EXPECT_TRUE(::IsIconic(main));
  EXPECT_FALSE(Visible(quenk->Window("TAboutForm")));
  ::PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  quenk->Idle();
  EXPECT_FALSE(::IsIconic(main));
  EXPECT_TRUE(Visible(quenk->Window("TAboutForm")));
  ::SetForegroundWindow(main);
  quenk->Idle();
  EXPECT_EQ(focus(), IDC_VESK_SELECT);  // the control that had the focus has it again
}

TEST_F(TrayE2e, SystemtrayPageAddsAndRemovesTheIconAtOnce) {
  StartShown();
  Menu(IDM_TOOLS_OPTIONS);
  const HWND options = quenk->Window("TOptionsForm");
  SelectListItem(options, IDC_OPT_ITEMS, 2);
  SetCheck(options, IDC_OPT_SYSTEMTRAY, true);
  ClickButton(options, IDC_OPT_APPLY);
  quenk->Idle();
  EXPECT_TRUE(IconExists());
  Minimize();
  EXPECT_FALSE(Visible(quenk->Main()));
  TrayMenu(1);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  SetCheck(options, IDC_OPT_SYSTEMTRAY, false);
  ClickButton(options, IDC_OPT_OK);
  quenk->Idle();
  EXPECT_FALSE(IconExists());
}

TEST_F(TrayE2e, MinimisedStartLeavesTheWindowReachable) {
  for (const bool tray : {true, false}) {
    Settings(tray ? "[SystemTray]\r\nSystemTray=1\r\n" : "");
    Quenk::Options options;
    options.showCommand = SW_SHOWMINNOACTIVE;
    Start(options);
    ASSERT_TRUE(quenk->WaitWindow("TVeskForm"));
    quenk->Idle();
    const HWND main = quenk->Main();
    if (tray) {
      EXPECT_FALSE(Visible(main));
      EXPECT_TRUE(IconExists());
      TrayMenu(1);
      EXPECT_TRUE(quenk->WaitVisible("TVeskForm"));
      EXPECT_FALSE(::IsIconic(main));
    } else {
      EXPECT_TRUE(Visible(main) && ::IsIconic(main));
      ::PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
      quenk->Idle();
      EXPECT_FALSE(::IsIconic(main));
    }
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit());
  }
}

TEST_F(TrayE2e, RestoreFromTheTrayDoesNotCleanAgain) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::LeftoversOf("Creative"));
  const HWND main = StartShown({"Creative"});
  EXPECT_EQ(LogNames().size(), 1u);
  Minimize();
  ::Sleep(1100);  // a second run would write a log file of another name
  TrayMenu(1);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  quenk->Idle();
  EXPECT_EQ(ListItems(Child(main, IDC_VESK_CLEANITEMS)), Lines{"Creative - Sound"});
  EXPECT_EQ(LogNames().size(), 1u);
}

}  // namespace
}  // namespace quenk::e2e
