#include "ProgramFixture.h"

namespace quenk::test {
namespace {

class Tray : public ProgramFixture {
 protected:
  void WithTray() { Settings("[SystemTray]\r\nSystemTray=1\r\n"); }
};

TEST_F(Tray, FlagAtStartShowsTheIconWithTheTitleAsTip) {
  WithTray();
  Start();
  EXPECT_TRUE(machine.shell.HasIcon());
  EXPECT_EQ(machine.shell.lastTip, "Quenk");
  app.Shutdown();
  EXPECT_FALSE(machine.shell.HasIcon());
}

TEST_F(Tray, ShellRefusingTheIconIsReportedAndTheProgramRunsOn) {
  WithTray();
  machine.shell.refuseAdd = true;
  Start();
  EXPECT_EQ(Reports(), Lines{"Cannot create shell notification icon."});
  EXPECT_TRUE(Main().Visible());
  EXPECT_FALSE(Main().TrayIcon1.Visible());
}

TEST_F(Tray, MinimiseAndRestoreByTheTrayFlag) {
  const struct {
    bool tray;
    bool mainVisibleWhenMinimised;
  } cases[] = {{true, false}, {false, true}};
  for (const auto& c : cases) {
    run::Session session(machine.ports());
    ui::Application local;
    if (c.tray)
      WithTray();
    else
      Settings("");
    const auto w = CreateProgram(local, machine.ports(), session, ParseArguments({}));
    local.Start();
    w.log.Show();
    local.Guard([&] { w.main.Minimize1.Click(); });
    EXPECT_TRUE(local.Minimized());
    EXPECT_EQ(w.main.Visible(), c.mainVisibleWhenMinimised);
    EXPECT_FALSE(w.log.Visible());
    local.Guard([&] { w.main.Minimize1.Click(); });  // already minimised: no change
    EXPECT_FALSE(w.log.Visible());
    local.Guard([&] { w.main.Restore1.Click(); });
    EXPECT_FALSE(local.Minimized());
    EXPECT_TRUE(w.main.Visible() && w.log.Visible());
    local.Guard([&] { w.main.Restore1.Click(); });  // not minimised: front only
    EXPECT_TRUE(w.main.Visible() && w.log.Visible());
    local.Shutdown();
  }
}

TEST_F(Tray, OptionsPageShowsAndHidesTheIconAtOnce) {
  Start();
  auto& page = windows->options.FrameOptions_SystemTray1;
  UserPick(windows->options.ListBoxItems, 2);
  page.CheckBoxSystemtray.UserToggled(true);
  UserClick(windows->options.Button3);
  EXPECT_TRUE(machine.shell.HasIcon());
  EXPECT_TRUE(Main().Flags().systemTray);
  page.CheckBoxSystemtray.UserToggled(false);
  machine.shell.refuseDelete = true;
  UserClick(windows->options.Button3);
  EXPECT_EQ(Reports(), Lines{"Cannot remove shell notification icon."});
  EXPECT_TRUE(Main().Flags().systemTray);  // the handler ended before the flags were reloaded
  machine.shell.refuseDelete = false;
  UserClick(windows->options.Button3);
  EXPECT_FALSE(machine.shell.HasIcon());
  EXPECT_FALSE(Main().Flags().systemTray);
}

TEST_F(Tray, TaskbarRestartAddsAVisibleIconAgain) {
  WithTray();
  Start();
  machine.shell.icons.clear();  // the shell restarted and forgot its icons
  Main().TrayIcon1.TaskbarCreated();
  EXPECT_TRUE(machine.shell.HasIcon());
  Main().TrayIcon1.SetVisible(false);
  const int adds = machine.shell.adds;
  Main().TrayIcon1.TaskbarCreated();
  EXPECT_EQ(machine.shell.adds, adds);
}

TEST_F(Tray, CloseEntryEndsTheProgramAndWritesTheSettings) {
  WithTray();
  Start();
  UserClick(Main().Exit1);
  EXPECT_TRUE(app.Terminated());
  app.Shutdown();
  EXPECT_NE(SettingsText().find("[NVIDIA Chipset]\r\nRegistry=1"), std::string::npos);
  EXPECT_FALSE(machine.shell.HasIcon());
}

}  // namespace
}  // namespace quenk::test
