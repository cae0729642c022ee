#include "E2e.h"

namespace quenk::e2e {
namespace {

class ErrorReportE2e : public E2e {
 protected:
  // Places `window` right of `beside`, so that neither it nor a report over it covers `beside`.
  static void MoveBeside(HWND window, HWND beside) {
    RECT r{};
    ::GetWindowRect(beside, &r);
    ::SetWindowPos(window, nullptr, r.right + 16, r.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Whether the point shows `window` (or one of its controls), covered by nothing.
  static bool Shows(POINT screen, HWND window) {
    return ::GetAncestor(::WindowFromPoint(screen), GA_ROOT) == window;
  }
};

TEST_F(ErrorReportE2e, NoWindowOfTheProgramTakesInputUntilTheReportIsAnswered) {
  const HWND main = StartShown();
  const HWND items = Child(main, IDC_VESK_ITEMLIST);
  const HWND clean = Child(main, IDC_VESK_CLEANITEMS);
  // A double-click of the mouse reaches the list: what follows is no empty check.
  DoubleClickAt(ListItemCenter(items, 4));
  ASSERT_SOON_EQ(ListItems(clean), Lines{"Realtek - Sound"});

  // "...: File not found.": the Log window's Deleted page shows a picked older log that has gone.
  const std::string older = std::string(kLogs) + "\\older.txt";
  WriteFile(older, "[Deleted]\r\nold-d\r\n[Not deleted]\r\nold-n\r\n");
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->WaitShown("TLogForm");
  ASSERT_TRUE(log);
  MoveBeside(log, main);
  SelectListItem(log, IDC_LOG_ITEMS, 2);
  ASSERT_SOON_EQ(ListItems(Child(log, IDC_LOG_LISTBOX3)), Lines{"older"});
  DoubleClickListItem(log, IDC_LOG_LISTBOX3, 0);
  ASSERT_TRUE(::DeleteFileA(older.c_str()));
  SelectListItem(log, IDC_LOG_ITEMS, 0, Handler::kOpensReport);
  const HWND box = WaitReport(older + ": File not found.");
  ASSERT_TRUE(box);

  const std::vector<HWND> forms = quenk->Forms();
  ASSERT_EQ(forms.size(), 4u);
  for (HWND form : forms) EXPECT_SOON(!::IsWindowEnabled(form)) << Text(form);
  Send(main, QUENK_WM_TRAY, QUENK_TRAY_ID, WM_RBUTTONUP);  // a right-click on the tray icon
  EXPECT_FALSE(Visible(quenk->Window("#32768")));
  // A double-click in the main window's list, a shortcut of its menu, then Enter
  // for the report, which keeps the focus. Input is handled in order: once the
  // report has gone, what came before it has been handled.
  ASSERT_SOON_EQ(::GetForegroundWindow(), box);
  const POINT first = ListItemCenter(items, 0);
  ASSERT_TRUE(Shows(first, main));
  DoubleClickAt(first);
  PressKeys({VK_CONTROL, 'O'});
  PressKeys({VK_RETURN});
  ASSERT_SOON(quenk->ErrorBox() == nullptr);
  EXPECT_EQ(ListItems(clean), Lines{"Realtek - Sound"});
  EXPECT_FALSE(Visible(quenk->Window("TOptionsForm")));
  EXPECT_TRUE(Visible(log));

  for (HWND form : forms) EXPECT_SOON(::IsWindowEnabled(form)) << Text(form);
  DoubleClickAt(first);
  EXPECT_SOON_EQ(ListItems(clean), (Lines{"Realtek - Sound", "ATi - Display"}));
}

}  // namespace
}  // namespace quenk::e2e
