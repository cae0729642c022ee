#include "E2e.h"
#include "QuenkVersion.h"

#include <commctrl.h>

#include <algorithm>

namespace quenk::e2e {
namespace {

struct ControlRect {
  int id;
  RECT rect;  // left, top, right, bottom at 96 dpi
};

RECT R(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

class WindowsE2e : public E2e {
 protected:
  UINT dpi = 96;
  int S(int v) const { return ::MulDiv(v, static_cast<int>(dpi), 96); }
  // `growing` controls keep their place and height and may be wider than designed.
  void ExpectLayout(HWND form, SIZE client, const std::vector<ControlRect>& controls,
                    const std::vector<int>& growing = {}) {
    const SIZE got = ClientSize(form);
    EXPECT_EQ(got.cx, S(client.cx)) << Text(form);
    EXPECT_EQ(got.cy, S(client.cy)) << Text(form);
    for (const auto& c : controls) {
      const RECT r = ChildRect(form, c.id);
      EXPECT_EQ(r.left, S(c.rect.left)) << c.id;
      EXPECT_EQ(r.top, S(c.rect.top)) << c.id;
      if (std::find(growing.begin(), growing.end(), c.id) != growing.end())
        EXPECT_GE(r.right, S(c.rect.right)) << c.id;
      else
        EXPECT_EQ(r.right, S(c.rect.right)) << c.id;
      EXPECT_EQ(r.bottom, S(c.rect.bottom)) << c.id;
    }
  }
  // A label's text fits it in the font it was given.
  void ExpectLabelFits(HWND form, int id) {
    const HWND label = Child(form, id);
    HDC dc = ::GetDC(label);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE text{};
    const std::string caption = Text(label);
    ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    const RECT r = ChildRect(form, id);
    EXPECT_LE(text.cx, r.right - r.left) << caption;
    EXPECT_LE(text.cy, r.bottom - r.top) << caption;
  }
  // A control's caption fits it at this dpi in Tahoma 8 pt, with `extra`
  // (at 96 dpi) left for a check box's box or a button's edges.
  void ExpectFits(HWND control, int extra) {
    const std::string text = Text(control);
    HDC dc = ::GetDC(control);
    HFONT font = ::CreateFontA(-::MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                               FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    const HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::ReleaseDC(control, dc);
    RECT r{};
    ::GetClientRect(control, &r);
    EXPECT_LE(size.cx + S(extra), r.right) << text;
  }
  void ReadDpi(HWND window) {
    using DpiFn = UINT(WINAPI*)(HWND);
    if (auto f = reinterpret_cast<DpiFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow"))))
      dpi = f(window);
  }
  // Ids of the controls that Tab visits, in order, starting at the first.
  static std::vector<int> TabOrder(HWND form) {
    std::vector<int> ids;
    HWND first = ::GetNextDlgTabItem(form, nullptr, FALSE);
    for (HWND h = first; h;) {
      ids.push_back(::GetDlgCtrlID(h));
      h = ::GetNextDlgTabItem(form, h, FALSE);
      if (h == first) break;
    }
    return ids;
  }
};

TEST_F(WindowsE2e, EveryWindowIsLaidOutAsDesigned) {
  const HWND main = StartShown();
  using DpiFn = UINT(WINAPI*)(HWND);
  if (auto f = reinterpret_cast<DpiFn>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow"))))
    dpi = f(main);
  ExpectLayout(main, {428, 252},
               {{IDC_VESK_LABEL2, R(8, 7, 29, 13)},
                {IDC_VESK_LABEL1, R(250, 7, 27, 13)},
                {IDC_VESK_ITEMLIST, R(8, 26, 161, 151)},
                {IDC_VESK_SELECT, R(175, 38, 69, 26)},
                {IDC_VESK_DELETE, R(175, 138, 69, 26)},
                {IDC_VESK_CLEANITEMS, R(250, 26, 170, 151)},
                {IDC_VESK_CLEAN, R(8, 183, 92, 26)},
                {IDC_VESK_PREVIEW, R(106, 183, 92, 26)},
                {IDC_VESK_PROGRESS, R(0, 215, 428, 17)},
                {IDC_VESK_STATUS, R(4, 234, 420, 16)}});
  EXPECT_EQ(TabOrder(main),
            (std::vector<int>{IDC_VESK_CLEAN, IDC_VESK_ITEMLIST, IDC_VESK_SELECT,
                              IDC_VESK_CLEANITEMS, IDC_VESK_DELETE, IDC_VESK_PREVIEW}));

  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->WaitShown("TLogForm");
  ASSERT_TRUE(Visible(log));
  EXPECT_EQ(::GetWindow(log, GW_OWNER), main);
  ExpectLayout(log, {383, 295},
               {{IDC_LOG_ITEMS, R(8, 8, 105, 230)},
                {IDC_LOG_LISTBOX1, R(119, 8, 256, 230)},
                {IDC_LOG_LISTBOX2, R(119, 8, 256, 230)},
                {IDC_LOG_LISTBOX3, R(119, 8, 256, 230)},
                {IDC_LOG_OK, R(119, 245, 75, 25)},
                {IDC_LOG_REMOVE, R(195, 245, 75, 25)},
                {IDC_LOG_REMOVEALL, R(300, 245, 75, 25)},
                {IDC_LOG_RESTORE, R(8, 245, 105, 25)},
                {IDC_LOG_REASON, R(8, 276, 367, 16)}});
  ExpectFits(Child(log, IDC_LOG_RESTORE), 8);
  EXPECT_EQ(TabOrder(log), (std::vector<int>{IDC_LOG_ITEMS, IDC_LOG_OK, IDC_LOG_REMOVE,
                                             IDC_LOG_REMOVEALL, IDC_LOG_LISTBOX1}));

  Menu(IDM_HELP_ABOUT);
  const HWND about = quenk->WaitShown("TAboutForm");
  ASSERT_TRUE(Visible(about));
  ExpectLayout(about, {396, 267},
               {{IDC_ABOUT_OK, R(95, 235, 75, 25)},
                {IDC_ABOUT_LISTBOX1, R(8, 8, 81, 221)},
                {IDC_ABOUT_MEMOABOUT, R(95, 8, 294, 221)},
                {IDC_ABOUT_MEMODONATE, R(95, 8, 294, 221)},
                {IDC_ABOUT_MEMOCONTACT, R(95, 8, 294, 221)}});

  Menu(IDM_TOOLS_OPTIONS);
  const HWND options = quenk->WaitShown("TOptionsForm");
  ASSERT_TRUE(Visible(options));
  ExpectLayout(options, {382, 286},
               {{IDC_OPT_ITEMS, R(8, 8, 106, 270)},
                {IDC_OPT_FRAME_CLEANING, R(120, 8, 270, 233)},
                {IDC_OPT_OK, R(120, 254, 75, 25)},
                {IDC_OPT_CANCEL, R(196, 254, 75, 25)},
                {IDC_OPT_APPLY, R(301, 254, 75, 25)},
                {IDC_OPT_FRAME_LOGFILES, R(114, 0, 247, 240)},
                {IDC_OPT_FRAME_SYSTEMTRAY, R(114, 0, 320, 240)},
                {IDC_OPT_NVCFILE, R(104, 3, 97, 17)},
                {IDC_OPT_NVCREG, R(104, 26, 97, 17)},
                {IDC_OPT_NVFILE, R(104, 50, 97, 17)},
                {IDC_OPT_NVREG, R(104, 73, 97, 17)},
                {IDC_OPT_ATIFILE, R(104, 98, 97, 17)},
                {IDC_OPT_ATIREG, R(104, 121, 97, 17)},
                {IDC_OPT_CTFILE, R(104, 146, 97, 17)},
                {IDC_OPT_CTREG, R(104, 169, 97, 17)},
                {IDC_OPT_RTFILE, R(104, 192, 97, 17)},
                {IDC_OPT_RTREG, R(104, 215, 97, 17)},
                {IDC_OPT_LOGFILES, R(165, 10, 97, 17)},
                {IDC_OPT_SYSTEMTRAY, R(165, 10, 97, 17)},
                {IDC_OPT_FRAME_BACKUP, R(114, 0, 260, 240)},
                {IDC_OPT_BACKUP, R(11, 10, 240, 17)},
                {IDC_OPT_LABEL_BACKUP, R(11, 34, 246, 16)},
                {IDC_OPT_FRAME_MORE, R(114, 0, 260, 240)},
                {IDC_OPT_MORE_LIST, R(8, 8, 246, 147)},
                {IDC_OPT_MORE_FILE, R(8, 163, 120, 17)},
                {IDC_OPT_MORE_REG, R(8, 186, 120, 17)},
                {IDC_OPT_MORE_LABEL, R(8, 210, 246, 16)}},
               {IDC_OPT_NVCFILE, IDC_OPT_NVCREG, IDC_OPT_NVFILE, IDC_OPT_NVREG, IDC_OPT_ATIFILE,
                IDC_OPT_ATIREG, IDC_OPT_CTFILE, IDC_OPT_CTREG, IDC_OPT_RTFILE, IDC_OPT_RTREG,
                IDC_OPT_BACKUP, IDC_OPT_MORE_FILE, IDC_OPT_MORE_REG});
  ExpectFits(Child(options, IDC_OPT_BACKUP), 20);
  for (const int id : {IDC_OPT_MORE_FILE, IDC_OPT_MORE_REG}) ExpectFits(Child(options, id), 18);
  ExpectFits(Child(options, IDC_OPT_MORE_LABEL), 0);
  // Every caption whole in the font of this dpi: a check box grows to its text.
  for (const int id :
       {IDC_OPT_NVCFILE, IDC_OPT_NVCREG, IDC_OPT_NVFILE, IDC_OPT_NVREG, IDC_OPT_ATIFILE,
        IDC_OPT_ATIREG, IDC_OPT_CTFILE, IDC_OPT_CTREG, IDC_OPT_RTFILE, IDC_OPT_RTREG})
    ExpectFits(Child(options, id), 18);
  for (const int id : {IDC_OPT_LABEL_BACKUP, IDC_OPT_LABEL_LOGFILES, IDC_OPT_LABEL_SYSTEMTRAY})
    ExpectFits(Child(options, id), 0);
  EXPECT_EQ(TabOrder(options),
            (std::vector<int>{IDC_OPT_ITEMS, IDC_OPT_NVFILE, IDC_OPT_NVREG, IDC_OPT_ATIFILE,
                              IDC_OPT_ATIREG, IDC_OPT_CTFILE, IDC_OPT_CTREG, IDC_OPT_NVCFILE,
                              IDC_OPT_NVCREG, IDC_OPT_RTFILE, IDC_OPT_RTREG, IDC_OPT_OK,
                              IDC_OPT_CANCEL, IDC_OPT_APPLY}));
  Menu(IDM_TOOLS_PREVIEW);
  const HWND preview = quenk->Window("TPreviewForm");
  ASSERT_TRUE(quenk->WaitVisible("TPreviewForm"));
  EXPECT_EQ(::GetWindow(preview, GW_OWNER), main);
  ExpectLayout(preview, {520, 339},
               {{IDC_PREVIEW_LABELDELETED, R(8, 8, 300, 16)},
                {IDC_PREVIEW_DELETED, R(8, 26, 504, 136)},
                {IDC_PREVIEW_LABELSTAY, R(8, 170, 300, 16)},
                {IDC_PREVIEW_STAY, R(8, 188, 504, 88)},
                {IDC_PREVIEW_STATUS, R(8, 284, 504, 16)},
                {IDC_PREVIEW_CLEANNOW, R(356, 306, 75, 25)},
                {IDC_PREVIEW_CLOSE, R(437, 306, 75, 25)},
                {IDC_PREVIEW_REASON, R(8, 310, 342, 16)}});
  EXPECT_EQ(TabOrder(preview), (std::vector<int>{IDC_PREVIEW_DELETED, IDC_PREVIEW_STAY,
                                                 IDC_PREVIEW_CLEANNOW, IDC_PREVIEW_CLOSE}));
  // Labels keep their text whole at every dpi.
  for (const int id : {IDC_PREVIEW_LABELDELETED, IDC_PREVIEW_LABELSTAY, IDC_PREVIEW_STATUS}) {
    const HWND label = Child(preview, id);
    HDC dc = ::GetDC(label);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE text{};
    const std::string caption = Text(label);
    ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    const RECT r = ChildRect(preview, id);
    EXPECT_LE(text.cx, r.right - r.left) << caption;
    EXPECT_LE(text.cy, r.bottom - r.top) << caption;
  }
  EXPECT_EQ(Text(main), "Halvix - Scourix - " QUENK_VERSION);
  EXPECT_EQ(Text(log) + "|" + Text(about) + "|" + Text(options) + "|" + Text(preview),
            "Log|About|Options|Preview");
}

TEST_F(WindowsE2e, EveryWindowOfTheRestoreIsLaidOutAsDesigned) {
  WriteFile(std::string(kBackups) + "\\12-7-2026-3-40-57 PM\\manifest.txt", "");
  Start({"/restore", "latest"});
  ASSERT_TRUE(quenk->WaitVisible("TRestoreForm"));
  const HWND restore = quenk->Window("TRestoreForm");
  ReadDpi(restore);
  EXPECT_EQ(::GetWindow(restore, GW_OWNER), quenk->Main());
  EXPECT_EQ(Text(restore), "Restore");
  ExpectLayout(restore, {480, 436},
               {{IDC_RESTORE_LABEL_BACKUP, R(8, 8, 464, 13)},
                {IDC_RESTORE_LABEL1, R(8, 27, 80, 13)},
                {IDC_RESTORE_RESTORED, R(8, 43, 464, 110)},
                {IDC_RESTORE_LABEL2, R(8, 161, 80, 13)},
                {IDC_RESTORE_NOTRESTORED, R(8, 177, 464, 110)},
                {IDC_RESTORE_OK, R(397, 295, 75, 25)},
                {IDC_RESTORE_LABEL3, R(8, 328, 383, 16)},
                {IDC_RESTORE_BACKUPS, R(8, 346, 383, 82)},
                {IDC_RESTORE_RESTORE, R(397, 346, 75, 25)},
                {IDC_RESTORE_REMOVE, R(397, 377, 75, 25)}});
  // Restore and Remove wait for a backup to be picked: Tab passes them by.
  EXPECT_EQ(TabOrder(restore), (std::vector<int>{IDC_RESTORE_RESTORED, IDC_RESTORE_NOTRESTORED,
                                                 IDC_RESTORE_OK, IDC_RESTORE_BACKUPS}));
  EXPECT_EQ(Text(Child(restore, IDC_RESTORE_LABEL_BACKUP)), "Backup 12-7-2026-3-40-57 PM");
  for (const int id :
       {IDC_RESTORE_LABEL_BACKUP, IDC_RESTORE_LABEL1, IDC_RESTORE_LABEL2, IDC_RESTORE_LABEL3})
    ExpectFits(Child(restore, id), 0);
  for (const int id : {IDC_RESTORE_OK, IDC_RESTORE_RESTORE, IDC_RESTORE_REMOVE})
    ExpectFits(Child(restore, id), 8);
  EXPECT_SOON_EQ(ListItems(Child(restore, IDC_RESTORE_BACKUPS)).size(), 1u);
  PostClose(restore);
  EXPECT_TRUE(WaitFor([&] { return !Visible(restore); }));
  EXPECT_TRUE(quenk->Running());
}

TEST_F(WindowsE2e, ShortcutsWorkFromEveryWindow) {
  const HWND main = StartShown();
  PressKeys(main, {VK_CONTROL, 'L'});
  ASSERT_TRUE(quenk->WaitVisible("TLogForm"));
  PressKeys(quenk->Window("TLogForm"), {VK_CONTROL, 'O'});
  ASSERT_TRUE(quenk->WaitVisible("TOptionsForm"));
  EXPECT_SOON(!Visible(quenk->Window("TLogForm")));
  PressKeys(quenk->Window("TOptionsForm"), {VK_CONTROL, 'H'});
  ASSERT_TRUE(quenk->WaitVisible("TAboutForm"));
  EXPECT_TRUE(Visible(quenk->Window("TOptionsForm")));
  PressKeys(quenk->Window("TAboutForm"), {VK_CONTROL, 'L'});
  ASSERT_TRUE(quenk->WaitVisible("TLogForm"));
  EXPECT_SOON(!(Visible(quenk->Window("TAboutForm")) || Visible(quenk->Window("TOptionsForm"))));
  ::DeleteFileA(kSettings);
  PressKeys(quenk->Window("TLogForm"), {VK_CONTROL, 'Q'});
  ASSERT_TRUE(quenk->WaitExit());
  EXPECT_EQ(SettingsKeys().size(), 13u);
}

TEST_F(WindowsE2e, CloseBoxEndsTheProgramAndRewritesTheSettings) {
  const HWND main = StartShown();
  ::DeleteFileA(kSettings);
  ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(quenk->WaitExit());
  EXPECT_EQ(SettingsKeys().size(), 13u);
}

TEST_F(WindowsE2e, DoubleClicksMoveItemsAndEnterPressesTheFocusedButton) {
  const HWND main = StartShown();
  DoubleClickListItem(main, IDC_VESK_ITEMLIST, 4);
  SelectListItem(main, IDC_VESK_ITEMLIST, 0);
  ClickButton(main, IDC_VESK_SELECT);
  const HWND clean = Child(main, IDC_VESK_CLEANITEMS);
  EXPECT_SOON_EQ(ListItems(clean), (Lines{"Realtek - Sound", "ATi - Display"}));
  DoubleClickListItem(main, IDC_VESK_CLEANITEMS, 0);
  EXPECT_SOON_EQ(ListItems(clean), Lines{"ATi - Display"});
  EXPECT_SOON_EQ(ListSelection(clean), -1);
  // Enter presses the focused button only: focus on "<<" with a selection removes it.
  SelectListItem(main, IDC_VESK_CLEANITEMS, 0);
  ASSERT_SOON_EQ(FocusedId(main), IDC_VESK_CLEAN);
  PressKeys(main, {VK_TAB, VK_TAB, VK_TAB, VK_TAB});  // Clean, list, >>, clean list, <<
  ASSERT_SOON_EQ(FocusedId(main), IDC_VESK_DELETE);
  PressKeys(main, {VK_RETURN});
  EXPECT_SOON(ListItems(clean).empty());
}

// Escape closes every window but the main one, wherever the focus is; in the
// main window Tab after it is the proof that it has been handled, along with
// anything it posted.
TEST_F(WindowsE2e, EscapeClosesEveryWindowButTheMainOne) {
  struct Case {
    int menu;  // the menu entry that opens the window, 0 for the main window
    const char* form;
    int focus;
  };
  const HWND main = StartShown();
  for (const Case& c :
       {Case{0, "TVeskForm", IDC_VESK_ITEMLIST}, Case{IDM_TOOLS_LOG, "TLogForm", IDC_LOG_ITEMS},
        Case{IDM_TOOLS_OPTIONS, "TOptionsForm", IDC_OPT_NVREG},
        Case{IDM_HELP_ABOUT, "TAboutForm", IDC_ABOUT_LISTBOX1},
        Case{IDM_HELP_ABOUT, "TAboutForm", IDC_ABOUT_MEMOABOUT},
        Case{IDM_TOOLS_PREVIEW, "TPreviewForm", IDC_PREVIEW_CLOSE},
        Case{IDM_TOOLS_RESTORE, "TRestoreForm", IDC_RESTORE_OK}}) {
    SCOPED_TRACE(std::string(c.form) + " with the focus on " + std::to_string(c.focus));
    if (c.menu) Menu(c.menu);
    const HWND form = quenk->WaitShown(c.form);
    ASSERT_TRUE(form);
    Activate(form);
    for (int tabs = 0; FocusedId(form) != c.focus && tabs < 20; ++tabs) {
      const int before = FocusedId(form);
      TypeKeys(form, {VK_TAB});
      ASSERT_SOON(FocusedId(form) != before);
    }
    ASSERT_EQ(FocusedId(form), c.focus);
    if (form == main) {
      TypeKeys(form, {VK_ESCAPE, VK_TAB});
      ASSERT_SOON(FocusedId(main) != c.focus);
      EXPECT_TRUE(Visible(form));
      EXPECT_EQ(::GetForegroundWindow(), form);
    } else {
      TypeKeys(form, {VK_ESCAPE});
      EXPECT_SOON(!Visible(form));
      EXPECT_TRUE(Visible(main));
    }
  }
  EXPECT_TRUE(quenk->Running());
}

// Alt and a menu's letter open it; an entry's letter picks it.
TEST_F(WindowsE2e, AltAndALetterOpenTheMenus) {
  const HWND main = StartShown();
  for (const auto& [key, window] : {std::pair<WORD, const char*>{'O', "TOptionsForm"},
                                    {'L', "TLogForm"},
                                    {'R', "TRestoreForm"}}) {
    SCOPED_TRACE(window);
    PressKeys(main, {VK_MENU, 'T'});
    ASSERT_TRUE(WaitFor([&] { return quenk->VisibleWindow("#32768") != nullptr; }));
    PressKeys({key});
    ASSERT_TRUE(quenk->WaitVisible(window));
    EXPECT_SOON(quenk->VisibleWindow("#32768") == nullptr);
    // Each letter is tried from the same start: the window it opened closed.
    const HWND opened = quenk->Window(window);
    TypeKeys(opened, {VK_ESCAPE});
    ASSERT_SOON(!Visible(opened));
  }
  PressKeys(main, {VK_MENU, 'H'});
  ASSERT_TRUE(WaitFor([&] { return quenk->VisibleWindow("#32768") != nullptr; }));
  PressKeys({'A'});
  EXPECT_TRUE(quenk->WaitVisible("TAboutForm"));
}

// After each Clean the main window tells what it did, in a line that fits.
TEST_F(WindowsE2e, EveryWindowTellsTheEndOfARun) {
  const auto creative = seed::LeftoversOf("Creative");
  seed::Seed(creative);
  const HWND main = StartShown({"Creative"});
  ReadDpi(main);
  const auto status = [&] { return Text(Child(main, IDC_VESK_STATUS)); };
  ASSERT_SOON(!status().empty());
  EXPECT_NE(status().find(", not deleted 0. Backup made. See the Log window."), std::string::npos)
      << status();
  EXPECT_EQ(status().rfind("Deleted ", 0), 0u) << status();
  ExpectLabelFits(main, IDC_VESK_STATUS);
  const int max =
      static_cast<int>(::SendMessageA(Child(main, IDC_VESK_PROGRESS), PBM_GETRANGE, FALSE, 0));
  EXPECT_EQ(::SendMessageA(Child(main, IDC_VESK_PROGRESS), PBM_GETPOS, 0, 0), max);

  // A backup that cannot be made: nothing is deleted and the line says so.
  seed::Seed(creative);
  DeleteTree(kBackups);
  WriteFile(kBackups, "a file where the folder goes");
  ASSERT_FALSE(::GetFileAttributesA(kBackups) & FILE_ATTRIBUTE_DIRECTORY);
  ClickButton(main, IDC_VESK_CLEAN);
  const std::string failed = status();
  ::DeleteFileA(kBackups);
  EXPECT_EQ(failed.rfind("Deleted 0, not deleted ", 0), 0u) << failed;
  EXPECT_NE(failed.find(". Backup failed for "), std::string::npos) << failed;
  ExpectLabelFits(main, IDC_VESK_STATUS);
}

TEST_F(WindowsE2e, ANotDeletedLineSaysWhyItStayed) {
  const std::string kept = "C:\\windows\\System32\\nvdspsch-ro.dll";
  WriteFile(kept, "x");
  ::SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_READONLY);
  StartShown({"NVIDIA"});
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->WaitShown("TLogForm");
  ASSERT_TRUE(log);
  SelectListItem(log, IDC_LOG_ITEMS, 1);
  const Lines stayed = ListItems(Child(log, IDC_LOG_LISTBOX2));
  const auto at = std::find(stayed.begin(), stayed.end(), kept);
  ASSERT_NE(at, stayed.end());
  SelectListItem(log, IDC_LOG_LISTBOX2, static_cast<int>(at - stayed.begin()));
  EXPECT_SOON_EQ(Text(Child(log, IDC_LOG_REASON)), std::string("Why it stayed: read-only"));
  ExpectLabelFits(log, IDC_LOG_REASON);
  ::SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(kept.c_str());
}

TEST_F(WindowsE2e, LogWindowShowsTheRecordAndOlderLogs) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  seed::Seed(seed::LeftoversOf("Creative"));
  const HWND main = StartShown({"Creative"});
  WriteFile(std::string(kLogs) + "\\older.txt", "[Deleted]\r\nold-d\r\n[Not deleted]\r\nold-n\r\n");
  Menu(IDM_TOOLS_LOG);
  const HWND log = quenk->WaitShown("TLogForm");
  ASSERT_TRUE(log);
  const HWND list1 = Child(log, IDC_LOG_LISTBOX1);
  EXPECT_SOON(Visible(list1));
  ASSERT_SOON(!ListItems(list1).empty());
  EXPECT_EQ(ListItems(list1).front(), "C:\\windows\\System32\\ct_oal.dll");

  SelectListItem(log, IDC_LOG_ITEMS, 2);
  const HWND list3 = Child(log, IDC_LOG_LISTBOX3);
  EXPECT_SOON(Visible(list3) && !Visible(list1));
  ASSERT_SOON_EQ(ListItems(list3).size(), 2u);
  const Lines names = ListItems(list3);
  const int older = names[0] == "older" ? 0 : 1;
  DoubleClickListItem(log, IDC_LOG_LISTBOX3, older);
  SelectListItem(log, IDC_LOG_ITEMS, 0);
  EXPECT_SOON_EQ(ListItems(list1), Lines{"old-d"});
  SelectListItem(log, IDC_LOG_ITEMS, 1);
  EXPECT_SOON_EQ(ListItems(Child(log, IDC_LOG_LISTBOX2)), Lines{"old-n"});

  SelectListItem(log, IDC_LOG_ITEMS, 2);
  SelectListItem(log, IDC_LOG_LISTBOX3, older);
  ClickButton(log, IDC_LOG_REMOVE);
  EXPECT_SOON(!FileExists(std::string(kLogs) + "\\older.txt"));
  EXPECT_SOON_EQ(ListItems(list3).size(), 1u);
  ClickButton(log, IDC_LOG_REMOVEALL);
  EXPECT_SOON(LogNames().empty());
  EXPECT_SOON(ListItems(list3).empty());
  ClickButton(log, IDC_LOG_OK);
  EXPECT_SOON(!Visible(log));
  (void)main;
}

TEST_F(WindowsE2e, OptionsWriteExactlyTheirPage) {
  StartShown();
  Menu(IDM_TOOLS_OPTIONS);
  const HWND options = quenk->WaitShown("TOptionsForm");
  ASSERT_TRUE(options);
  ::DeleteFileA(kSettings);
  SetCheck(options, IDC_OPT_CTFILE, false);
  ClickButton(options, IDC_OPT_APPLY);
  EXPECT_SOON_EQ(SettingsKeys(), (Lines{"NVIDIA Chipset/Registry=1", "NVIDIA Chipset/Files=1",
                                        "NVIDIA Display/Registry=1", "NVIDIA Display/Files=1",
                                        "ATi Display/Registry=1", "ATi Display/Files=1",
                                        "Creative Sound/Registry=1", "Creative Sound/Files=0",
                                        "Realtek Sound/Registry=1", "Realtek Sound/Files=1"}));
  EXPECT_TRUE(Visible(options));

  ::DeleteFileA(kSettings);
  SelectListItem(options, IDC_OPT_ITEMS, 1);
  SetCheck(options, IDC_OPT_LOGFILES, true);
  ClickButton(options, IDC_OPT_OK);
  EXPECT_SOON_EQ(SettingsKeys(), Lines{"Logfiles/Logfiles=1"});
  EXPECT_SOON(!Visible(options));

  Menu(IDM_TOOLS_OPTIONS);
  ASSERT_TRUE(quenk->WaitVisible("TOptionsForm"));
  SetCheck(options, IDC_OPT_LOGFILES, false);
  ClickButton(options, IDC_OPT_CANCEL);
  EXPECT_SOON(!Visible(options));
  EXPECT_EQ(SettingsKeys(), Lines{"Logfiles/Logfiles=1"});
  Menu(IDM_TOOLS_OPTIONS);
  ASSERT_TRUE(quenk->WaitVisible("TOptionsForm"));
  EXPECT_FALSE(Checked(options, IDC_OPT_LOGFILES));  // the cancelled tick is still shown
}

}  // namespace
}  // namespace quenk::e2e
