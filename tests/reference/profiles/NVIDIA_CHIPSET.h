#pragma once

#include "profiles/Profile.h"

namespace quenk::profiles::nvidia_chipset {

// "NVIDIA - Chipset": the chipset drivers.
inline constexpr std::array<std::string_view, 6> DriversMasks{
    "nvagp*.*", "nvm60*.*", "nvmfd*.*", "nvport*.*", "nvraid*.*", "nvstor*.*"};
inline constexpr std::array<std::string_view, 1> MachineKeys{"nForce"};
inline constexpr std::array<std::string_view, 1> EnumRootKeys{"LEGACY_NVPORT"};
inline constexpr std::array<std::string_view, 5> ServiceKeys{"nv_agp", "NVENETFD", "nvport",
                                                             "nvraid", "nvstor"};

int StepCount(bool files, bool registry, const engine::Halves& halves);
void Clean(ProfileContext& ctx, bool files, bool registry);
void CleanFiles(ProfileContext& ctx);
void CleanRegistry(ProfileContext& ctx);

}  // namespace quenk::profiles::nvidia_chipset
