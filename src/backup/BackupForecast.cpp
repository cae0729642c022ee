#include "backup/BackupForecast.h"

#include "backup/ExactKey.h"

#include "backup/RegFile.h"
#include "backup/RunBackup.h"

namespace quenk::backup {

namespace attr = platform::attr;

bool BackupForecast::CouldBeMade() {
  if (!couldBeMade_) {
    // The nearest folder on the way that is there must take a new folder.
    std::string existing = folder_;
    std::optional<std::uint32_t> a = fs_.Attributes(existing);
    while (!a) {
      const std::size_t slash = existing.find_last_of('\\');
      if (slash == std::string::npos) break;
      existing.resize(slash);
      a = fs_.Attributes(existing.size() == 2 ? existing + "\\" : existing);
    }
    couldBeMade_ = a && (*a & attr::kDirectory) &&
                   fs_.ProbeMakeDirIn(existing.size() == 2 ? existing + "\\" : existing) == 0;
  }
  return *couldBeMade_;
}

bool BackupForecast::SaveFile(const std::string& path) {
  const auto a = fs_.Attributes(path);
  if (!a) return false;
  if ((*a & attr::kDirectory) && !(*a & attr::kReparsePoint)) return true;
  return CouldBeMade();
}

bool BackupForecast::SaveTree(const std::string& path) {
  const auto a = fs_.Attributes(path);
  if (!a || !(*a & attr::kDirectory)) return true;
  if (!(*a & attr::kReparsePoint) && TreeHolds(fs_, path, folder_)) return false;
  return CouldBeMade();
}

bool BackupForecast::SaveKey(platform::HKey parent, const std::string& name,
                             const std::string& line) {
  refusal_.clear();
  if (FullKeyName(line).empty()) return false;
  refusal_ = WhyNotKeptExactly(registry_, parent, name, line);
  return refusal_.empty() && CouldBeMade();
}

std::string BackupForecast::FailureReason() const {
  return refusal_.empty() ? Keeper::FailureReason() : refusal_;
}

}  // namespace quenk::backup
