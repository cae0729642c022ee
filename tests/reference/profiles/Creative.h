#pragma once

#include "profiles/Profile.h"

namespace quenk::profiles::creative {

// "Creative - Sound": the sound card drivers and their installer folders.
inline constexpr std::array<std::string_view, 35> System32Masks{
    "Ct20x*.*",    "ct_oal*.*",   "CTAGENT*.*",  "CTAPO32*.*",  "ctasio*.*",   "CTAUDFX*.*",
    "ctcoinst*.*", "CTDC000*.*",  "CTDCIFCE*.*", "CTDCRES*.*",  "CTDPROXY*.*", "ctdvinst*.*",
    "CTEAPSFX*.*", "ctedasio*.*", "CTEDSP*.*",   "ctemupia*.*", "CTERFXFX*.*", "CTEXFIFX*.*",
    "CTHELPER*.*", "CTHWIUT*.*",  "CTMMACTL*.*", "CTMMEP*.*",   "CTOSUSER*.*", "CTpcmcia*.*",
    "ctppld*.*",   "CTPRES*.*",   "ctpxinst*.*", "CTSBLFX*.*",  "ctscal*.*",   "CTSFINST*.*",
    "CTSPKHLP*.*", "cttele*.*",   "ctthxcal*.*", "CTxfi*.*",    "ctzap*.*"};
inline constexpr std::array<std::string_view, 9> DriversMasks{
    "CT0531FL*.*", "ctac32*.*", "ctaud2*.*",  "ctdvda2*.*", "CTGAME*.*",
    "CTMMFILT*.*", "ctoss2*.*", "ctprxy2*.*", "ctsfm2*.*"};
inline constexpr std::array<std::string_view, 1> UserKeys{"CREATIVE TECH"};
inline constexpr std::array<std::string_view, 2> MachineKeys{"Creative Tech", "ASIO"};
inline constexpr std::string_view CompanyPrefix = "Creative";

int StepCount(bool files, bool registry, const engine::Halves& halves);
void Clean(ProfileContext& ctx, bool files, bool registry);
void CleanFiles(ProfileContext& ctx);
void CleanRegistry(ProfileContext& ctx);

}  // namespace quenk::profiles::creative
