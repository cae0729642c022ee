#include "profiles/NVIDIA_CHIPSET.h"

namespace quenk::profiles::nvidia_chipset {

int StepCount(bool files, bool registry, const engine::Halves& halves) {
  const std::size_t f = halves.System32Steps(DriversMasks.size());
  const std::size_t r = halves.SoftwareSteps(MachineKeys.size()) +
                        kEnumRootBases.size() * EnumRootKeys.size() +
                        kServicesBases.size() * ServiceKeys.size();
  return Steps(files, registry, f, r);
}

void Clean(ProfileContext& ctx, bool files, bool registry) {
  RunPhases(ctx, files, registry, &CleanFiles, &CleanRegistry);
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
