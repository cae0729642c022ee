#pragma once

#include "engine/Delete.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "profiles/ProtectedFolders.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::profiles {

// What a vendor profile works with during one run.
struct ProfileContext {
  platform::FileSystem& fs;
  platform::Registry& registry;
  engine::Remover& remover;
  // Gathered at the first folder a registry value names and kept for the
  // run: gathering opens some hundred folders, and no run changes them.
  std::optional<ProtectedFolders> protectedFolders{};
  // Where a profile says why it left a step out, a line each; dropped when null.
  std::vector<std::string>* messages = nullptr;
};

// The control sets that the NVIDIA profiles sweep, Enum\Root and Services
// below each, top to bottom.
inline constexpr std::array<std::string_view, 5> kEnumRootBases{
    "System\\ControlSet001\\Enum\\Root", "System\\ControlSet002\\Enum\\Root",
    "System\\ControlSet003\\Enum\\Root", "System\\ControlSet004\\Enum\\Root",
    "System\\CurrentControlSet\\Enum\\Root"};
inline constexpr std::array<std::string_view, 5> kServicesBases{
    "System\\ControlSet001\\Services", "System\\ControlSet002\\Services",
    "System\\ControlSet003\\Services", "System\\ControlSet004\\Services",
    "System\\CurrentControlSet\\Services"};

// The steps of a run with the two switches, given the file and registry steps.
constexpr int Steps(bool files, bool registry, std::size_t fileSteps, std::size_t registrySteps) {
  return static_cast<int>((files ? fileSteps : 0) + (registry ? registrySteps : 0));
}

// Runs the phases the switches ask for, the file phase first.
inline void RunPhases(ProfileContext& ctx, bool files, bool registry,
                      void (*cleanFiles)(ProfileContext&), void (*cleanRegistry)(ProfileContext&)) {
  if (files) cleanFiles(ctx);
  if (registry) cleanRegistry(ctx);
}

// Five Enum\Root passes with one table, then five Services passes with the other.
void SweepControlSets(ProfileContext& ctx, engine::Table enumRootKeys, engine::Table serviceKeys);

// The Windows folder followed by "\", as the profiles build their folders.
std::string WindowsFolder(platform::FileSystem& fs);

}  // namespace quenk::profiles
