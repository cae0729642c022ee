#include "E2e.h"

#include <shellapi.h>

#include <tuple>

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
  // Right-clicks the icon and picks the entry at `index` of its menu. The
  // click is posted, as the shell does: the menu it opens holds the handler.
  void TrayMenu(int index) {
    ::PostMessageA(quenk->Main(), QUENK_WM_TRAY, QUENK_TRAY_ID, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = quenk->VisibleWindow("#32768")) != nullptr; }));
    for (int i = 0; i <= index; ++i) ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    WaitFor([&] { return quenk->VisibleWindow("#32768") == nullptr; });
  }
  void Minimize() { Send(quenk->Main(), WM_SYSCOMMAND, SC_MINIMIZE); }
};

TEST_F(TrayE2e, IconFromStartMinimiseToTrayAndRestore) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  const HWND main = StartShown();
  EXPECT_SOON(IconExists());
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->WaitShown("TLogForm");
  ASSERT_TRUE(Visible(log));
  Minimize();
  EXPECT_SOON(!Visible(main));
  EXPECT_SOON(!Visible(log));
  TrayMenu(1);  // Restore
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_SOON(Visible(log));
  EXPECT_SOON(!::IsIconic(main));
  EXPECT_SOON(IconExists());
}

TEST_F(TrayE2e, TrayCloseEndsTheProgramAndRewritesTheSettings) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  StartShown();
  Minimize();
  ASSERT_SOON(!Visible(quenk->Main()));
  ::DeleteFileA(kSettings);
  TrayMenu(2);  // Close
  ASSERT_TRUE(quenk->WaitExit());
  EXPECT_EQ(SettingsKeys().size(), 13u);
}

TEST_F(TrayE2e, WithoutTheFlagMinimiseKeepsTheTaskbarWindow) {
  const HWND main = StartShown();
  EXPECT_FALSE(IconExists());
  PressKeys(main, {VK_TAB, VK_TAB});  // from Clean to ">>"
  ASSERT_SOON_EQ(FocusedId(main), IDC_VESK_SELECT);
  Menu(IDM_HELP_ABOUT);
  ASSERT_TRUE(quenk->WaitVisible("TAboutForm"));
  Activate(main);
  Minimize();
  EXPECT_SOON(::IsIconic(main));
  EXPECT_TRUE(Visible(main));
  EXPECT_SOON(!Visible(quenk->Window("TAboutForm")));
  Send(main, WM_SYSCOMMAND, SC_RESTORE);
  EXPECT_SOON(!::IsIconic(main));
  EXPECT_SOON(Visible(quenk->Window("TAboutForm")));
  Activate(main);
  EXPECT_SOON_EQ(FocusedId(main), IDC_VESK_SELECT);  // the control that had the focus has it again
}

TEST_F(TrayE2e, SystemtrayPageAddsAndRemovesTheIconAtOnce) {
  StartShown();
  Menu(IDM_TOOLS_OPTIONS);
  const HWND options = quenk->WaitShown("TOptionsForm");
  ASSERT_TRUE(options);
  SelectListItem(options, IDC_OPT_ITEMS, 2);
  SetCheck(options, IDC_OPT_SYSTEMTRAY, true);
  ClickButton(options, IDC_OPT_APPLY);
  EXPECT_SOON(IconExists());
  Minimize();
  EXPECT_SOON(!Visible(quenk->Main()));
  EXPECT_SOON(!Visible(options));
  TrayMenu(1);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  ASSERT_SOON(Visible(options));  // the last step of restoring
  SetCheck(options, IDC_OPT_SYSTEMTRAY, false);
  ClickButton(options, IDC_OPT_OK);
  EXPECT_SOON(!IconExists());
}

TEST_F(TrayE2e, MinimisedStartLeavesTheWindowReachable) {
  for (const bool tray : {true, false}) {
    Settings(tray ? "[SystemTray]\r\nSystemTray=1\r\n" : "");
    Quenk::Options options;
    options.showCommand = SW_SHOWMINNOACTIVE;
    Start(options);
    ASSERT_TRUE(quenk->WaitWindow("TVeskForm"));
    const HWND main = quenk->Main();
    if (tray) {
      EXPECT_SOON(IconExists());
      EXPECT_SOON(!Visible(main) && ::IsIconic(main));
      TrayMenu(1);
      EXPECT_TRUE(quenk->WaitVisible("TVeskForm"));
      EXPECT_SOON(!::IsIconic(main));
    } else {
      EXPECT_SOON(Visible(main) && ::IsIconic(main));
      Send(main, WM_SYSCOMMAND, SC_RESTORE);
      EXPECT_SOON(!::IsIconic(main));
    }
    PostClose(main);
    EXPECT_TRUE(quenk->WaitExit());
  }
}

TEST_F(TrayE2e, RestoreFromTheTrayDoesNotCleanAgain) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::LeftoversOf("Creative"));
  const HWND main = StartShown({"Creative"});
  ASSERT_SOON_EQ(LogNames().size(), 1u);
  Minimize();
  ASSERT_SOON(!Visible(main));
  // A second run would write a log file of another name, once the clock has
  // moved on to the next second.
  const auto second = [] {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return std::make_tuple(t.wDay, t.wHour, t.wMinute, t.wSecond);
  };
  const auto ran = second();
  ASSERT_TRUE(WaitFor([&] { return second() != ran; }));
  TrayMenu(1);
  ASSERT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_SOON_EQ(ListItems(Child(main, IDC_VESK_CLEANITEMS)), Lines{"Creative - Sound"});
  EXPECT_EQ(LogNames().size(), 1u);
}

TEST_F(TrayE2e, DoubleClickOnTheIconRestoresAsTheMenuDoes) {
  Settings("[SystemTray]\r\nSystemTray=1\r\n");
  const HWND main = StartShown();
  Menu(IDM_TOOLS_LOG);
  ASSERT_TRUE(quenk->WaitVisible("TLogForm"));
  Minimize();
  ASSERT_SOON(!Visible(main));
  ASSERT_SOON(!Visible(quenk->Window("TLogForm")));
  ::PostMessageA(main, QUENK_WM_TRAY, QUENK_TRAY_ID, WM_LBUTTONDOWN);
  ::PostMessageA(main, QUENK_WM_TRAY, QUENK_TRAY_ID, WM_LBUTTONUP);
  ::PostMessageA(main, QUENK_WM_TRAY, QUENK_TRAY_ID, WM_LBUTTONDBLCLK);
  ::PostMessageA(main, QUENK_WM_TRAY, QUENK_TRAY_ID, WM_LBUTTONUP);
  EXPECT_TRUE(quenk->WaitVisible("TVeskForm"));
  EXPECT_SOON(Visible(quenk->Window("TLogForm")));
  EXPECT_SOON(!::IsIconic(main));
  EXPECT_SOON(IconExists());
}

}  // namespace
}  // namespace quenk::e2e
