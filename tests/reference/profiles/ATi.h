#pragma once

#include "profiles/Profile.h"

namespace quenk::profiles::ati {

// "ATi - Display": the display driver and the folder its installer recorded.
inline constexpr std::array<std::string_view, 7> System32Masks{
    "ati2e*.*", "ATIDE*.*", "atiicd*.*", "atiogl*.*", "atipd*.*", "atitm*.*", "atium*.*"};
inline constexpr std::array<std::string_view, 1> UserKeys{"ATi"};
inline constexpr std::array<std::string_view, 13> MachineKeys{
    "ATi",
    "ATI Technologies\\Install\\ccc-branding",
    "ATI Technologies\\Install\\ccc-core-implementation",
    "ATI Technologies\\Install\\ccc-core-static",
    "ATI Technologies\\Install\\ccc-graphics-full-existing",
    "ATI Technologies\\Install\\CCC-Graphics-Full-New",
    "ATI Technologies\\Install\\ccc-graphics-light",
    "ATI Technologies\\Install\\ccc-graphics-previews-common",
    "ATI Technologies\\Install\\ccc-graphics-previews-vista",
    "ATI Technologies\\Install\\ccc-help-en-US",
    "ATI Technologies\\Install\\ccc-install",
    "ATI Technologies\\Install\\ccc-skins",
    "ATI Technologies\\Install\\ccc-utility"};

int StepCount(bool files, bool registry, const engine::Halves& halves);
void Clean(ProfileContext& ctx, bool files, bool registry);
void CleanFiles(ProfileContext& ctx);
void CleanRegistry(ProfileContext& ctx);

}  // namespace quenk::profiles::ati
