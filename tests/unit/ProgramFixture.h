#pragma once

#include "ProfileFixture.h"
#include "app/Program.h"

#include <memory>

namespace quenk::test {

// The whole program, headless, around a simulated machine: the program file
// is C:\Quenk\quenk.exe and it runs in C:\Work.
class ProgramFixture : public ProfileFixture {
 protected:
  static constexpr const char* kSettings = "C:\\Quenk\\quenk.ini";

  ProgramFixture() {
    machine.fs.AddFolder("C:\\Quenk");
    machine.fs.AddFolder("C:\\Work");
    machine.fs.SetCurrentDir("C:\\Work");
  }
  ~ProgramFixture() override { app.Shutdown(); }

  void Start(std::vector<std::string> arguments = {}) {
    session = std::make_unique<run::Session>(machine.ports());
    windows = std::make_unique<ProgramWindows>(
        CreateProgram(app, machine.ports(), *session, ParseArguments(arguments)));
    app.Start();
  }
  void Settings(const std::string& text) { machine.fs.AddFile(kSettings, text); }
  std::string SettingsText() { return machine.fs.ReadFile(kSettings); }
  TVeskForm& Main() { return windows->main; }
  TLogForm& Log() { return windows->log; }
  TRestoreForm& RestoreWindow() { return windows->restore; }
  Lines CleanList() { return Main().ListBoxCleanItems.Items().Lines(); }
  Lines LogFiles() { return machine.fs.List("C:\\Work\\Logs"); }
  Lines Reports() { return app.Reports(); }
  Lines RecordDeleted() { return Log().Record().Deleted().Lines(); }
  Lines RecordNotDeleted() { return Log().Record().NotDeleted().Lines(); }
  // A user's click: through the error report, as the message loop delivers it.
  template <class Clickable>
  void UserClick(Clickable& target) {
    app.Guard([&target] { target.Click(); });
  }
  void UserPick(ui::ListBox& list, int index) {
    list.UserSelected(index);
    app.Guard([&list] { list.Click(); });
  }

  std::unique_ptr<run::Session> session;  // outlives the windows
  ui::Application app;
  std::unique_ptr<ProgramWindows> windows;
};

}  // namespace quenk::test
