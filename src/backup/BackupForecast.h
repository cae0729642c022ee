#pragma once

#include "engine/Keeper.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <optional>
#include <string>

namespace quenk::backup {

// The backup as a forecast sees it: an item goes only when the run's backup
// would take it, judged the way RunBackup decides, without making anything.
// The backup folder must be one that could be made; a folder tree that
// holds it is never deleted; a file that is not there is not saved; an
// entry whose long name cannot be kept is not saved, nor a tree holding one;
// a key the backup cannot keep exactly stays, for the same reason. What
// only a real copy would show (a full disk, a file the copy cannot read)
// is not foreseen.
class BackupForecast final : public engine::Keeper {
 public:
  BackupForecast(platform::FileSystem& fs, platform::Registry& registry, std::string folder)
      : fs_(fs), registry_(registry), folder_(std::move(folder)) {}

  bool SaveFile(const std::string& path) override;
  bool SaveTree(const std::string& path) override;
  bool SaveKey(platform::HKey parent, const std::string& name, const std::string& line) override;
  bool SaveValue(platform::HKey key, const std::string& keyLine, const std::string& name) override;
  bool SavePackage(const platform::DriverPackage& package) override;
  std::string FailureReason() const override;

 private:
  bool CouldBeMade();
  bool NamesKept(const std::string& path);
  bool NameKept(const std::string& path);

  platform::FileSystem& fs_;
  platform::Registry& registry_;
  std::string folder_;
  std::optional<bool> couldBeMade_;
  std::string failure_;
};

}  // namespace quenk::backup
