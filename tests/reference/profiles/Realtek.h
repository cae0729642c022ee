#pragma once

#include "profiles/Profile.h"

namespace quenk::profiles::realtek {

// "Realtek - Sound": the sound drivers, their program folder and installer folders.
// The empty last mask is part of the table: it matches nothing and takes its step.
inline constexpr std::array<std::string_view, 13> System32Masks{"RtkAPO*.*",
                                                                "RtkCoInst*.*",
                                                                "RtkPgExt*.*",
                                                                "SRSHP360*.*",
                                                                "SRSTS*.*",
                                                                "SRSWOW*.*",
                                                                "RTKVHDA*.*",
                                                                "RtlCPAPI*.*",
                                                                "RTCOMDLL*.*",
                                                                "RtlUpd*.*",
                                                                "RTSndMgr*.*",
                                                                "RtHDVCpl*.*",
                                                                ""};
inline constexpr std::array<std::string_view, 2> DriversMasks{"RTKVHDA*.*", "Rtnicxp*.*"};
inline constexpr std::array<std::string_view, 1> UserKeys{"Realtek"};
inline constexpr std::array<std::string_view, 3> MachineKeys{"Realtek", "Avance",
                                                             "Realtek Semiconductor Corp."};
inline constexpr std::string_view CompanyPrefix = "Realtek";

int StepCount(bool files, bool registry, const engine::Halves& halves);
void Clean(ProfileContext& ctx, bool files, bool registry);
void CleanFiles(ProfileContext& ctx);
void CleanRegistry(ProfileContext& ctx);

}  // namespace quenk::profiles::realtek
