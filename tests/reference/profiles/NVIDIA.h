#pragma once

#include "profiles/Profile.h"

namespace quenk::profiles::nvidia {

// "NVIDIA - Display": the display driver and its control panel.
inline constexpr std::array<std::string_view, 42> System32Masks{
    "nvapi*.*",    "nvapp*.*",    "nvcod*.*",    "nvcolor*.*",  "nvcpl*.*",    "nvd3d*.*",
    "nvdisp*.*",   "nvExpBar*.*", "nvgames*.*",  "nvmccs*.*",   "nvmctray*.*", "nvmobls*.*",
    "nvogl*.*",    "nvsvc*.*",    "nvudisp*.*",  "NVUNINST*.*", "nvvitvs*.*",  "nvwgf2um*.*",
    "nvwapps*.*",  "nvwss*.*",    "nvwsapps*.*", "nv4_disp*.*", "nvdsp*.*",    "nview*.*",
    "nvnt4cpl*.*", "nvshell*.*",  "nvtui*.*",    "nvucode*.*",  "nvwddi*.*",   "nvwdmcpl*.*",
    "nvwimg*.*",   "nwiz*.*",     "nv4disp*.*",  "nvgfx*.*",    "nvdccapp*.*", "nvmctray*.*",
    "nvwcpl*.*",   "keystone*.*", "nvdspsch*.*", "nvhwvid*.*",  "nvrs*.*",     "nvwrs*.*"};
inline constexpr std::array<std::string_view, 3> DriversMasks{"nvlddmkm*.*", "NV_Mini*.*",
                                                              "NV4_Mini*.*"};
inline constexpr std::array<std::string_view, 4> DllCacheMasks{"NV_Mini*.*", "NV4_Mini*.*",
                                                               "NV4_disp*.*", "NV_disp*.*"};
inline constexpr std::array<std::string_view, 4> PrefetchMasks{"nvcpl*.*", "nvudisp*.*", "nwiz*.*",
                                                               "nvuninst*.*"};
inline constexpr std::array<std::string_view, 4> UserKeys{
    "NVIDIA nvCpl Container", "NVIDIA Corporation\\NVIDIA Control Panel",
    "NVIDIA Corporation\\NVControlPanel", "NVIDIA Corporation\\Global"};
inline constexpr std::array<std::string_view, 4> MachineKeys{"Global", "NVControlPanel", "Filters",
                                                             "Installer"};
inline constexpr std::array<std::string_view, 1> EnumRootKeys{"LEGACY_NVSVC"};
inline constexpr std::array<std::string_view, 1> ServiceKeys{"nvlddmkm"};

int StepCount(bool files, bool registry, const engine::Halves& halves);
void Clean(ProfileContext& ctx, bool files, bool registry);
void CleanFiles(ProfileContext& ctx);
void CleanRegistry(ProfileContext& ctx);

}  // namespace quenk::profiles::nvidia
