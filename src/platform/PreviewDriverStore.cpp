#include "platform/PreviewDriverStore.h"

#include "base/Text.h"
#include "platform/Errors.h"

namespace quenk::platform {

std::vector<DriverPackage> PreviewDriverStore::Packages() {
  std::vector<DriverPackage> packages;
  if (!real_) return packages;
  for (DriverPackage& p : real_->Packages())
    if (!gone_.count(UpperCase(p.published))) packages.push_back(std::move(p));
  return packages;
}

std::vector<DriverDevice> PreviewDriverStore::DevicesUsing(const DriverPackage& package) {
  if (!real_ || gone_.count(UpperCase(package.published))) return {};
  return real_->DevicesUsing(package);
}

DriverRemoval PreviewDriverStore::Remove(const DriverPackage& package) {
  DriverRemoval removal;
  if (gone_.insert(UpperCase(package.published)).second)
    removal.reportedSuccess = true;
  else
    removal.error = err::kFileNotFound;
  removal.gone = true;
  return removal;
}

std::uint32_t PreviewDriverStore::Stage(const std::string&, std::string&) {
  return err::kAccessDenied;
}

}  // namespace quenk::platform
