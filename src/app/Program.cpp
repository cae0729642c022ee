#include "app/Program.h"

namespace quenk {

ProgramWindows CreateProgram(ui::Application& app, platform::Ports ports,
                             std::vector<std::string> arguments) {
  app.SetTitle("Quenk");
  auto& main = app.CreateForm<TVeskForm>(ports, std::move(arguments));
  auto& log = app.CreateForm<TLogForm>(ports.fs, ports.locale);
  auto& about = app.CreateForm<TAboutForm>();
  auto& options = app.CreateForm<TOptionsForm>(main.Settings(), main);
  auto& preview = app.CreateForm<TPreviewForm>(ports);
  auto& restore = app.CreateForm<TRestoreForm>(ports);
  main.SetWindows(log, about, options, preview, restore);
  log.SetRestoreWindow(restore);
  return {main, log, about, options, preview, restore};
}

}  // namespace quenk
