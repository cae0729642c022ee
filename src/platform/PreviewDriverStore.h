#pragma once

#include "platform/DriverStore.h"

#include <set>
#include <string>

namespace quenk::platform {

// The driver store as a cleaning would leave it: a removal is judged to go
// through, and the package is hidden from every later look; nothing is
// removed or staged.
class PreviewDriverStore final : public DriverStore {
 public:
  explicit PreviewDriverStore(DriverStore* real) : real_(real) {}

  std::vector<DriverPackage> Packages() override;
  std::vector<DriverDevice> DevicesUsing(const DriverPackage& package) override;
  DriverRemoval Remove(const DriverPackage& package) override;
  std::uint32_t Stage(const std::string& infPath, std::string& published) override;

 private:
  DriverStore* real_;
  std::set<std::string> gone_;  // upper-case published names
};

}  // namespace quenk::platform
