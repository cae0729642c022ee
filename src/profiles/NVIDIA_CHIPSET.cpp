#include "profiles/NVIDIA_CHIPSET.h"

namespace quenk::profiles::nvidia_chipset {

int StepCount(bool files, bool registry) {
  constexpr int f = DriversMasks.size();
  constexpr int r = MachineKeys.size() + kEnumRootBases.size() * EnumRootKeys.size() +
                    kServicesBases.size() * ServiceKeys.size();
  return (files ? f : 0) + (registry ? r : 0);
}

void Clean(ProfileContext& ctx, bool files, bool registry) {
  if (files) CleanFiles(ctx);
  if (registry) CleanRegistry(ctx);
}

void CleanFiles(ProfileContext& ctx) {
  const std::string w = WindowsFolder(ctx.fs);
  ctx.remover.RemoveFiles(w + "System32\\" + "drivers\\", DriversMasks);
}

void CleanRegistry(ProfileContext& ctx) {
  ctx.remover.RemoveKeys(platform::kLocalMachine, "Software\\NVIDIA Corporation", MachineKeys);
  SweepControlSets(ctx, EnumRootKeys, ServiceKeys);
}

}  // namespace quenk::profiles::nvidia_chipset
