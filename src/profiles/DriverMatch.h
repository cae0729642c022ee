#pragma once

#include "platform/DriverStore.h"
#include "profiles/ProfileData.h"

#include <string>

namespace quenk::profiles {

// Whether the package meets every criterion given. A package whose provider
// could not be read never does.
bool Matches(const DriverCriteria& criteria, const platform::DriverPackage& package);

}  // namespace quenk::profiles
