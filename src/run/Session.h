#pragma once

#include "engine/CleaningRecord.h"
#include "platform/Ports.h"
#include "run/OptionFlags.h"
#include "run/SettingsFile.h"

namespace quenk::run {

// What the program keeps from its start to its end, with the windows or
// without: the settings file beside the program, the option flags last read
// from it, and the record of the process's cleaning runs.
class Session {
 public:
  explicit Session(platform::Ports ports)
      : settings(ports.ini, SettingsPathFor(ports.fs.ModulePath())) {}

  void LoadSettings() { flags = settings.ReadAll(); }
  void SaveSettings() const { settings.WriteAll(flags); }

  SettingsFile settings;
  OptionFlags flags;
  CleaningRecord record;
};

}  // namespace quenk::run
