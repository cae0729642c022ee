#pragma once

#include "profiles/BuiltinProfileTexts.h"
#include "profiles/ProfileData.h"

#include <array>

namespace quenk::profiles {

// The built-in profiles, read from their embedded text by the profile
// reader at first use, in item order. A built-in text that does not read
// is a fault of the build: std::logic_error with every error.
const std::array<ProfileData, kBuiltinProfileCount>& BuiltinProfiles();

}  // namespace quenk::profiles
