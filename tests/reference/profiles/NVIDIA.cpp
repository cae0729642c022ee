#include "profiles/NVIDIA.h"

namespace quenk::profiles::nvidia {

int StepCount(bool files, bool registry, const engine::Halves& halves) {
  const std::size_t f =
      halves.System32Steps(System32Masks.size() + DriversMasks.size() + DllCacheMasks.size()) +
      PrefetchMasks.size();
  const std::size_t r = UserKeys.size() + halves.SoftwareSteps(MachineKeys.size()) +
                        kEnumRootBases.size() * EnumRootKeys.size() +
                        kServicesBases.size() * ServiceKeys.size();
  return Steps(files, registry, f, r);
}

void Clean(ProfileContext& ctx, bool files, bool registry) {
  RunPhases(ctx, files, registry, &CleanFiles, &CleanRegistry);
}

void CleanFiles(ProfileContext& ctx) {
  const std::string w = WindowsFolder(ctx.fs);
  ctx.remover.RemoveFiles(w + "System32\\", System32Masks);
  ctx.remover.RemoveFiles(w + "System32\\" + "drivers\\", DriversMasks);
  ctx.remover.RemoveFiles(w + "System32\\" + "dllcache\\", DllCacheMasks);
  ctx.remover.RemoveFiles(w + "prefetch\\", PrefetchMasks);
  const std::string help = w + "Help\\nvcpl";
  if (ctx.fs.FolderExists(help)) ctx.remover.RemoveFolder(help);
}

void CleanRegistry(ProfileContext& ctx) {
  ctx.remover.RemoveKeys(platform::kCurrentUser, "Software", UserKeys);
  ctx.remover.RemoveKeys(platform::kLocalMachine, "Software\\NVIDIA Corporation", MachineKeys);
  SweepControlSets(ctx, EnumRootKeys, ServiceKeys);
}

}  // namespace quenk::profiles::nvidia
