#pragma once

#include "platform/DriverStore.h"
#include "platform/sim/SimFileSystem.h"

#include <map>
#include <string>
#include <vector>

namespace quenk::sim {

// The driver store of a simulated Windows 10: packages are files in the
// INF folder of the simulated volume (so a backup reaches them through the
// file system), store folders below FileRepository, and a device table.
// Switches show what Wine cannot: DiUninstallDriver, its restart flag, a
// removal that reports success and leaves the package, missing rights.
class SimDriverStore final : public platform::DriverStore {
 public:
  explicit SimDriverStore(SimFileSystem& fs) : fs_(fs) {}

  std::vector<platform::DriverPackage> Packages() override;
  std::vector<platform::DriverDevice> DevicesUsing(const platform::DriverPackage& package) override;
  platform::DriverRemoval Remove(const platform::DriverPackage& package) override;
  std::uint32_t Stage(const std::string& infPath, std::string& published) override;

  struct Device {
    std::string description;
    std::string hardwareId;
    std::string published;  // the inf its driver key names; empty for none
    bool present = true;
  };
  std::vector<Device> devices;
  bool hasDiUninstallDriver = false;  // Windows 10 1703 and later
  bool detachNeedsRestart = false;    // DiUninstallDriver then asks for a restart
  bool removalLeavesPackage = false;  // the uninstall reports success and does nothing
  bool leavesPnf = false;             // the uninstall deletes the inf only, as Wine does
  bool administrator = true;
  int detachCalls = 0;

  // Marks a published inf as the store's package from `storeFolder`.
  void Publish(const std::string& published, const std::string& original,
               const std::string& storeFolder);
  std::string InfFolder();
  std::string Repository();

 private:
  struct Entry {
    std::string original;
    std::string storeFolder;
  };
  void RemoveTree(const std::string& path);
  void CopyFolder(const std::string& from, const std::string& to);

  SimFileSystem& fs_;
  std::map<std::string, Entry> published_;  // by upper-case published name
};

}  // namespace quenk::sim
