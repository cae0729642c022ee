#include "ProgramFixture.h"

namespace quenk::test {
namespace {

using platform::kLocalMachine;

// The Preview window over a machine with Creative leftovers, one of which
// resists, and the log flag on.
class Preview : public ProgramFixture {
 protected:
  void SetUp() override {
    Settings("[Logfiles]\r\nLogfiles=1\r\n");
    Files({kSys + "CTAGENT.EXE", kSys + "ctasio.dll", kDrv + "ctaud2k.sys"});
    machine.fs.AddFile(kSys + "ctzap.dll", "", platform::attr::kReadOnly);
    Keys(platform::kCurrentUser, {"Software\\Creative Tech\\Audio"});
  }
  TPreviewForm& Window() { return windows->preview; }
  Lines WillGo() { return Window().ListBoxDeleted.Items().Lines(); }
  Lines WillStay() { return Window().ListBoxStay.Items().Lines(); }
  std::string State() {
    return Window().LabelDeleted.Caption() + " | " + Window().LabelStay.Caption() + " | " +
           Window().LabelStatus.Caption();
  }
};

TEST_F(Preview, ForecastsTheCleanListAndChangesNothing) {
  Start();
  Main().ListBoxCleanItems.Add("Creative - Sound");
  const int position = Main().ProgressBar.Position();
  UserClick(Main().PreviewButton);
  EXPECT_TRUE(Window().Visible());
  EXPECT_EQ(WillGo(), (Lines{kSys + "CTAGENT.EXE", kSys + "ctasio.dll", kDrv + "ctaud2k.sys",
                             "HKCU\\Software\\CREATIVE TECH"}));
  EXPECT_EQ(WillStay(), Lines{kSys + "ctzap.dll"});
  EXPECT_EQ(State(), "Will be deleted: 4 | Will stay: 1 | Nothing has been deleted.");
  EXPECT_TRUE(Exists(kSys + "CTAGENT.EXE") &&
              Key(platform::kCurrentUser, "Software\\Creative Tech"));
  EXPECT_TRUE(RecordDeleted().empty() && RecordNotDeleted().empty());
  EXPECT_EQ(Main().ProgressBar.Position(), position);
  EXPECT_TRUE(LogFiles().empty());

  // Clean now: the run records exactly the forecast, then the window hides.
  UserClick(Window().ButtonCleanNow);
  EXPECT_FALSE(Window().Visible());
  EXPECT_EQ(RecordDeleted(), WillGo());
  EXPECT_EQ(RecordNotDeleted(), WillStay());
  EXPECT_EQ(LogFiles().size(), 1u);
}

TEST_F(Preview, EmptyListErrorsAndTheMenuEntry) {
  Start();
  UserClick(Main().Preview1);
  EXPECT_EQ(State(), "Will be deleted: 0 | Will stay: 0 | Nothing to clean.");
  EXPECT_TRUE(Window().Visible());
  UserClick(Window().ButtonClose);
  EXPECT_FALSE(Window().Visible());

  machine.registry.SetValue(kLocalMachine, "Software\\ATi Technologies\\Install", "InstallDir",
                            platform::regtype::kDword, std::string("\x01\0\0\0", 4));
  Main().ListBoxCleanItems.Add("Creative - Sound");
  Main().ListBoxCleanItems.Add("ATi - Display");
  UserClick(Main().Preview1);
  EXPECT_EQ(State(),
            "Will be deleted: 4 | Will stay: 1 | The cleaning would stop here: Invalid data type "
            "for 'InstallDir'");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(Preview, CommandLineSwitchPreviewsInsteadOfCleaning) {
  Start({"NVIDIA", "/PREVIEW", "Creative"});
  EXPECT_EQ(CleanList(), (Lines{"NVIDIA - Display", "Creative - Sound"}));
  EXPECT_TRUE(Window().Visible());
  EXPECT_EQ(WillGo().size(), 4u);
  EXPECT_TRUE(RecordDeleted().empty());
  EXPECT_TRUE(Exists(kSys + "ctasio.dll"));
}

TEST_F(Preview, CleanWithTheWindowOpenLeavesAFreshForecast) {
  Start();
  Main().ListBoxCleanItems.Add("Creative - Sound");
  UserClick(Main().PreviewButton);
  UserClick(Main().CleanButton);
  EXPECT_TRUE(Window().Visible());
  EXPECT_TRUE(WillGo().empty());
  EXPECT_EQ(WillStay(), Lines{kSys + "ctzap.dll"});
}

// A run that stops with the error report has still deleted what came
// before the error: no forecast stays on screen that says otherwise.
TEST_F(Preview, CleanThatStopsLeavesNoStaleForecast) {
  machine.registry.SetValue(kLocalMachine, "Software\\ATi Technologies\\Install", "InstallDir",
                            platform::regtype::kDword, std::string("\x01\0\0\0", 4));
  Start();
  Main().ListBoxCleanItems.Add("Creative - Sound");
  Main().ListBoxCleanItems.Add("ATi - Display");
  UserClick(Main().PreviewButton);
  ASSERT_EQ(WillGo().size(), 4u);
  UserClick(Main().CleanButton);
  EXPECT_EQ(Reports().size(), 1u);
  EXPECT_TRUE(Window().Visible());
  EXPECT_TRUE(WillGo().empty());
  EXPECT_EQ(State(),
            "Will be deleted: 0 | Will stay: 1 | The cleaning would stop here: Invalid data type "
            "for 'InstallDir'");

  Files({kSys + "ctasio64.dll"});
  UserClick(Main().PreviewButton);
  UserClick(Window().ButtonCleanNow);
  EXPECT_EQ(Reports().size(), 2u);
  EXPECT_FALSE(Window().Visible());
  EXPECT_FALSE(Exists(kSys + "ctasio64.dll"));
}

}  // namespace
}  // namespace quenk::test
