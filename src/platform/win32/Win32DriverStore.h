#pragma once

#include "platform/DriverStore.h"

namespace quenk::win32 {

// SetupAPI's INF and device functions through their ANSI forms; the calls
// newer systems add (DiUninstallDriver, SetupGetInfDriverStoreLocation) are
// looked up at run time, so the program loads where they are missing.
class Win32DriverStore final : public platform::DriverStore {
 public:
  std::vector<platform::DriverPackage> Packages() override;
  std::vector<platform::DriverDevice> DevicesUsing(const platform::DriverPackage& package) override;
  platform::DriverRemoval Remove(const platform::DriverPackage& package) override;
  std::uint32_t Stage(const std::string& infPath, std::string& published) override;
};

}  // namespace quenk::win32
