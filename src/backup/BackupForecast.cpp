#include "backup/BackupForecast.h"

#include "platform/Paths.h"

#include "backup/ExactKey.h"

#include "backup/RegFile.h"
#include "backup/RunBackup.h"
#include "engine/Delete.h"

namespace quenk::backup {

namespace attr = platform::attr;

bool BackupForecast::CouldBeMade() {
  if (!couldBeMade_) {
    // The nearest folder on the way that is there must take a new folder.
    std::string existing = folder_;
    std::optional<std::uint32_t> a = fs_.Attributes(existing);
    while (!a && !platform::FolderOf(existing).empty()) {
      existing = platform::ParentOf(existing);
      a = fs_.Attributes(existing.size() == 2 ? existing + "\\" : existing);
    }
    couldBeMade_ = a && (*a & attr::kDirectory) &&
                   fs_.ProbeMakeDirIn(existing.size() == 2 ? existing + "\\" : existing) == 0;
  }
  return *couldBeMade_;
}

std::string BackupForecast::FailureReason() const {
  return failure_.empty() ? engine::Keeper::FailureReason() : failure_;
}

bool BackupForecast::NameKept(const std::string& path) {
  if (NameToKeep(fs_, path)) return true;
  failure_ = kNameOutsideCodePage;
  return false;
}

// What the backup's copy of the tree would meet: an entry whose long name
// it cannot keep. Links are not entered.
bool BackupForecast::NamesKept(const std::string& path) {
  auto search = fs_.Find(path + "\\*.*", attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (platform::IsDotName(entry.name)) continue;
    const std::string child = engine::EntryPath(path + "\\", entry);
    if (entry.name.find('?') != std::string::npos && !NameKept(child)) return false;
    if ((entry.attributes & attr::kDirectory) && !(entry.attributes & attr::kReparsePoint) &&
        !NamesKept(child))
      return false;
  }
  return true;
}

bool BackupForecast::SaveFile(const std::string& path) {
  failure_.clear();
  const auto a = fs_.Attributes(path);
  if (!a) {
    NameKept(path);
    return false;
  }
  if ((*a & attr::kDirectory) && !(*a & attr::kReparsePoint)) return true;
  return NameKept(path) && CouldBeMade();
}

bool BackupForecast::SaveTree(const std::string& path) {
  failure_.clear();
  const auto a = fs_.Attributes(path);
  if (!a || !(*a & attr::kDirectory)) return true;
  if (!(*a & attr::kReparsePoint) && TreeHolds(fs_, path, folder_)) return false;
  if (!NameKept(path) || !CouldBeMade()) return false;
  return (*a & attr::kReparsePoint) || NamesKept(path);
}

bool BackupForecast::SaveKey(platform::HKey parent, const std::string& name,
                             const std::string& line) {
  failure_.clear();
  if (FullKeyName(line).empty()) return false;
  failure_ = WhyNotKeptExactly(registry_, parent, name, line);
  return failure_.empty() && CouldBeMade();
}

bool BackupForecast::SaveValue(platform::HKey key, const std::string& keyLine,
                               const std::string& name) {
  failure_.clear();
  if (FullKeyName(keyLine).empty()) return false;
  failure_ = WhyValueNotKeptExactly(registry_, key, keyLine, name);
  return failure_.empty() && CouldBeMade();
}

}  // namespace quenk::backup

namespace quenk::backup {

bool BackupForecast::SavePackage(const platform::DriverPackage& package) {
  failure_.clear();
  return CouldBeMade() && (package.storeFolder.empty() || NamesKept(package.storeFolder));
}

}  // namespace quenk::backup
