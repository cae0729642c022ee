#include "app/Program.h"

namespace quenk {

ProgramWindows CreateProgram(ui::Application& app, platform::Ports ports, run::Session& session,
                             Arguments arguments) {
  app.SetTitle("Quenk");
  auto& main = app.CreateForm<TVeskForm>(ports, session, std::move(arguments));
  auto& log = app.CreateForm<TLogForm>(ports.fs, session.record);
  auto& about = app.CreateForm<TAboutForm>();
  auto& options = app.CreateForm<TOptionsForm>(session.settings, main, session.catalog);
  auto& preview = app.CreateForm<TPreviewForm>(ports, session.catalog);
  auto& restore = app.CreateForm<TRestoreForm>(ports);
  main.SetWindows(log, about, options, preview, restore);
  log.SetRestoreWindow(restore);
  return {main, log, about, options, preview, restore};
}

}  // namespace quenk
