#pragma once

#include "about/AboutUnit.h"
#include "app/PreviewUnit.h"
#include "app/CommandLine.h"
#include "app/VeskUnit.h"
#include "log/LogUnit.h"
#include "log/RestoreUnit.h"
#include "run/Session.h"
#include "settings/OptionsUnit.h"

#include <string>
#include <vector>

namespace quenk {

struct ProgramWindows {
  TVeskForm& main;
  TLogForm& log;
  TAboutForm& about;
  TOptionsForm& options;
  TPreviewForm& preview;
  TRestoreForm& restore;
};

// The start-up sequence up to the message loop: title, then the windows in
// their order, the later ones owned by the first, all over one session.
// `arguments`: the command line after the program path.
ProgramWindows CreateProgram(ui::Application& app, platform::Ports ports, run::Session& session,
                             Arguments arguments);

}  // namespace quenk
