#include "run/Session.h"

#include "platform/Paths.h"
#include "profiles/ProfileFolder.h"

namespace quenk::run {

std::string ProfilesFolderFor(const std::string& programPath) {
  return platform::FolderOf(programPath) + std::string(profiles::kProfilesFolder);
}

Session::Session(platform::Ports ports)
    : settings(ports.ini, SettingsPathFor(ports.fs.ModulePath())) {
  profiles::FolderProfiles read = profiles::ReadProfileFolder(
      ports.fs, ProfilesFolderFor(ports.fs.ModulePath()), ports.locale.AnsiCodePage());
  refusedProfiles = std::move(read.refused);
  skippedEntries = std::move(read.skipped);
  catalog = profiles::Catalog(std::move(read.profiles));
  std::vector<std::string> words;
  for (const auto& row : catalog.More()) words.emplace_back(row.word);
  settings.SetMoreSections(std::move(words));
}

std::vector<std::string> Session::ProfileReport() const {
  std::vector<std::string> lines;
  for (const auto& refused : refusedProfiles) lines.push_back(refused.Text());
  for (const auto& skipped : skippedEntries) lines.push_back(skipped.Text());
  return lines;
}

}  // namespace quenk::run
