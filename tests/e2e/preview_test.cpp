#include "E2e.h"

namespace quenk::e2e {
namespace {

class PreviewE2e : public E2e {
 protected:
  HWND Window() { return quenk->Window("TPreviewForm"); }
  Lines WillGo() { return ListItems(Child(Window(), IDC_PREVIEW_DELETED)); }
  Lines WillStay() { return ListItems(Child(Window(), IDC_PREVIEW_STAY)); }
  // Whether every seeded entry is where it was.
  static bool AllThere(const std::vector<seed::Entry>& entries) {
    for (const auto& e : entries)
      if (!seed::Exists(e)) return false;
    return true;
  }
};

TEST_F(PreviewE2e, ForecastOfAllFiveEqualsTheFollowingCleanAndChangesNothing) {
  Settings("[Logfiles]\r\nLogfiles=1\r\n");
  const auto leftovers = seed::Leftovers();
  seed::Seed(leftovers);
  // One that resists, and one that two masks of a table match.
  WriteFile("C:\\windows\\system32\\nvdspsch-ro.dll", "x");
  ::SetFileAttributesA("C:\\windows\\system32\\nvdspsch-ro.dll", FILE_ATTRIBUTE_READONLY);
  Start({"/preview", "NVIDIA", "NVIDIAChipset", "ATi", "Creative", "Realtek"});
  ASSERT_TRUE(quenk->WaitVisible("TPreviewForm"));
  ASSERT_TRUE(WaitFor(
      [&] { return Text(Child(Window(), IDC_PREVIEW_STATUS)) == "Nothing has been deleted."; }));
  const Lines willGo = WillGo(), willStay = WillStay();
  EXPECT_GT(willGo.size(), 30u);
  EXPECT_EQ(std::count(willStay.begin(), willStay.end(), "C:\\windows\\System32\\nvdspsch-ro.dll"),
            2);
  EXPECT_EQ(Text(Child(Window(), IDC_PREVIEW_LABELDELETED)),
            "Will be deleted: " + std::to_string(willGo.size()));
  EXPECT_TRUE(AllThere(leftovers));
  EXPECT_TRUE(FileExists("C:\\windows\\system32\\nvdspsch-ro.dll"));
  EXPECT_TRUE(LogNames().empty());

  ClickButton(Window(), IDC_PREVIEW_CLEANNOW);
  ASSERT_TRUE(WaitFor([&] { return LogNames().size() == 1; }));
  ASSERT_TRUE(WaitFor([&] { return !Visible(Window()); }));
  const HWND log = quenk->Window("TLogForm");
  EXPECT_EQ(ListItems(Child(log, IDC_LOG_LISTBOX1)), willGo);
  EXPECT_EQ(ListItems(Child(log, IDC_LOG_LISTBOX2)), willStay);
  ::SetFileAttributesA("C:\\windows\\system32\\nvdspsch-ro.dll", FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA("C:\\windows\\system32\\nvdspsch-ro.dll");
}

TEST_F(PreviewE2e, ButtonMenuAndShortcutOpenIt) {
  const HWND main = StartShown();
  EXPECT_FALSE(Visible(Window()));
  ClickButton(main, IDC_VESK_PREVIEW);
  ASSERT_TRUE(quenk->WaitVisible("TPreviewForm"));
  EXPECT_EQ(::GetWindow(Window(), GW_OWNER), main);
  EXPECT_TRUE(
      WaitFor([&] { return Text(Child(Window(), IDC_PREVIEW_STATUS)) == "Nothing to clean."; }));
  ClickButton(Window(), IDC_PREVIEW_CLOSE);
  ASSERT_TRUE(WaitFor([&] { return !Visible(Window()); }));
  Menu(IDM_TOOLS_PREVIEW);
  ASSERT_TRUE(quenk->WaitVisible("TPreviewForm"));
  PostClose(Window());
  ASSERT_TRUE(WaitFor([&] { return !Visible(Window()); }));
  PressKeys(main, {VK_CONTROL, 'P'});
  EXPECT_TRUE(quenk->WaitVisible("TPreviewForm"));
}

}  // namespace
}  // namespace quenk::e2e
