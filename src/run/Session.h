#pragma once

#include "engine/CleaningRecord.h"
#include "platform/Ports.h"
#include "profiles/Catalog.h"
#include "profiles/ProfileReader.h"
#include "run/OptionFlags.h"
#include "run/SettingsFile.h"

#include <string>
#include <vector>

namespace quenk::run {

// What the program keeps from its start to its end, with the windows or
// without: the profiles it found, the settings file beside the program, the
// option flags last read from it, and the record of the process's cleaning runs.
class Session {
 public:
  // Reads the profiles folder beside the program; a file that does not
  // read is left out and kept in `refusedProfiles`.
  explicit Session(platform::Ports ports);

  void LoadSettings() { flags = settings.ReadAll(); }
  void SaveSettings() const { settings.WriteAll(flags); }

  // The lines that tell the user about the profile files: each file left
  // out with its first error, then each entry left out with its reason.
  std::vector<std::string> ProfileReport() const;

  profiles::Catalog catalog;
  std::vector<profiles::ProfileMessage> refusedProfiles;
  std::vector<profiles::ProfileMessage> skippedEntries;
  SettingsFile settings;
  OptionFlags flags;
  CleaningRecord record;
};

// The profiles folder beside the program at `programPath`.
std::string ProfilesFolderFor(const std::string& programPath);

}  // namespace quenk::run
