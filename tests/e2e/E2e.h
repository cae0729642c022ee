#pragma once

#include "ControlIds.h"
#include "Driver.h"
#include "Leftovers.h"

#include <gtest/gtest.h>

#include <memory>

namespace quenk::e2e {

using Lines = std::vector<std::string>;

// Bytes as hexadecimal digits, so that snapshots compare them exactly.
std::string Hex(const std::string& bytes);

// Each test starts from a clean prefix state: no settings file, no logs, no
// seeded leftovers.
class E2e : public ::testing::Test {
 protected:
  static constexpr const char* kLogs = "C:\\quenk\\Logs";
  static constexpr const char* kBackups = "C:\\quenk\\Backups";

  void SetUp() override {
    ::SetFileAttributesA(kSettings, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(kSettings);
    DeleteTree(kLogs);
    DeleteTree(kBackups);
    DeleteTree("C:\\quenk\\Profiles");
    seed::Clear();
  }
  void TearDown() override {
    quenk.reset();
    seed::Clear();
  }

  Quenk& Start(Quenk::Options options = {}) {
    quenk = std::make_unique<Quenk>(options);
    return *quenk;
  }
  Quenk& Start(std::vector<std::string> arguments) {
    Quenk::Options options;
    options.arguments = std::move(arguments);
    return Start(options);
  }
  // Starts and waits until the main window is up with the focus on its first
  // control, which is the last thing the program does before its message loop.
  HWND StartShown(std::vector<std::string> arguments = {}) {
    Start(std::move(arguments));
    EXPECT_TRUE(quenk->WaitVisible("TVeskForm"));
    EXPECT_SOON_EQ(FocusedId(quenk->Main()), IDC_VESK_CLEAN);
    return quenk->Main();
  }
  // A menu entry of the main window, as its shortcut or a click delivers it.
  void Menu(int id) { Send(quenk->Main(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  // Waits for the error report and checks it says `text`; null when it does not come.
  HWND WaitReport(const std::string& text);
  void Settings(const std::string& text) { WriteFile(kSettings, text); }
  Lines LogNames() { return ListFolder(std::string(kLogs) + "\\*.txt"); }
  // The two sections of the log file `name` in the log folder: deleted, not deleted.
  std::pair<Lines, Lines> LogSections(const std::string& name);
  // The thirteen keys of the settings file, as "Section/Key=value", in file order.
  Lines SettingsKeys();
  static Lines Split(const std::string& text);

  std::unique_ptr<Quenk> quenk;
};

}  // namespace quenk::e2e
