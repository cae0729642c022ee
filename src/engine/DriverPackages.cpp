#include "base/Text.h"
#include "engine/Delete.h"

namespace quenk::engine {

std::string PackageLine(const platform::DriverPackage& p) {
  return "DriverStore\\" + p.published + " (" + p.OriginalOrPublished() + ", " + p.provider + ", " +
         p.className + ")";
}

std::vector<platform::DriverPackage>& Remover::Packages() {
  if (!packages_)
    packages_ = drivers_ ? drivers_->Packages() : std::vector<platform::DriverPackage>{};
  return *packages_;
}

void Remover::Keep(std::string line, std::string reason, int steps) {
  Because(std::move(reason));
  Record(false, std::move(line));
  for (int i = 0; i < steps; ++i) progress_.Advance();
}

void Remover::KeepDriverPackages(const PackageFilter& wanted, const std::string& reason) {
  for (const platform::DriverPackage& p : Packages())
    if (wanted(p)) Keep(PackageLine(p), reason);
  progress_.Advance();
}

std::optional<std::string> Remover::DeviceOnPackage(const PackageFilter& wanted) {
  for (const platform::DriverPackage& p : Packages()) {
    if (!wanted(p)) continue;
    const auto devices = drivers_->DevicesUsing(p);
    if (devices.empty()) continue;
    const platform::DriverDevice& d = devices.front();
    return d.hardwareId.empty() ? d.description : d.description + " (" + d.hardwareId + ")";
  }
  return std::nullopt;
}

std::optional<std::string> Remover::PublishedFrom(const std::string& path) {
  for (const platform::DriverPackage& p : Packages())
    if (!p.storeFolder.empty() && EqualsNoCase(p.storeFolder, path)) return p.published;
  return std::nullopt;
}

void Remover::RemoveDriverPackages(const PackageFilter& wanted) {
  auto& packages = Packages();
  for (auto it = packages.begin(); it != packages.end();) {
    if (!wanted(*it)) {
      ++it;
      continue;
    }
    const std::string line = PackageLine(*it);
    if (const auto devices = drivers_->DevicesUsing(*it); !devices.empty()) {
      const platform::DriverDevice& d = devices.front();
      Because("in use by " + d.description +
              (d.hardwareId.empty() ? std::string() : " (" + d.hardwareId + ")"));
      Record(false, line);
      ++it;
      continue;
    }
    if (keeper_ && !Saved(keeper_->SavePackage(*it))) {
      Record(false, line);
      ++it;
      continue;
    }
    const platform::DriverRemoval removal = drivers_->Remove(*it);
    restartNeeded_ = restartNeeded_ || removal.restart;
    if (removal.gone) {
      Record(true, line);
      it = packages.erase(it);
      continue;
    }
    if (removal.error == platform::err::kAccessDenied)
      Because(kNeedsAdministrator);
    else if (removal.reportedSuccess)
      Because("removal reported success but the package is still there");
    else
      Because(ReasonFor(removal.error, 0));
    Record(false, line);
    ++it;
  }
  progress_.Advance();
}

}  // namespace quenk::engine
