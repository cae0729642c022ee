#pragma once

#include "engine/Halves.h"
#include "profiles/Profile.h"
#include "profiles/ProfileData.h"

#include <optional>
#include <string>
#include <string_view>

namespace quenk::profiles {

// The progress steps of a run of `profile` with the two switches: one per
// mask and per key name, and again for each in the machine's 32-bit halves.
int StepCount(const ProfileData& profile, bool files, bool registry, const engine::Halves& halves);

// Runs the phases of `profile` the switches ask for, the file phase first,
// each step as written. A step of a profile not built in whose %NAME% is
// not set is left out, with a line in ctx.messages; a built-in profile
// reads an unset variable as nothing.
void Clean(ProfileContext& ctx, const ProfileData& profile, bool files, bool registry);

// `path` with each %NAME% replaced by the variable's value, as the profiles
// join paths: nothing normalised. An unset variable gives nothing, or, with
// `unset`, nullopt and its name there.
std::optional<std::string> ExpandVariables(platform::FileSystem& fs, std::string_view path,
                                           std::string* unset = nullptr);

}  // namespace quenk::profiles
