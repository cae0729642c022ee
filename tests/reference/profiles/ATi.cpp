#include "profiles/ATi.h"

#include "profiles/FolderLookup.h"

namespace quenk::profiles::ati {

int StepCount(bool files, bool registry, const engine::Halves& halves) {
  const std::size_t f = halves.System32Steps(System32Masks.size());
  const std::size_t r = UserKeys.size() + halves.SoftwareSteps(MachineKeys.size());
  return Steps(files, registry, f, r);
}

void Clean(ProfileContext& ctx, bool files, bool registry) {
  RunPhases(ctx, files, registry, &CleanFiles, &CleanRegistry);
}

void CleanFiles(ProfileContext& ctx) {
  const std::string s = ctx.fs.EnvOrEmpty("SYSTEMROOT") + "\\System32\\";
  ctx.remover.RemoveFiles(s, System32Masks);
  RemoveRegisteredFolders(ctx, "Software\\ATi Technologies\\Install", "InstallDir");
}

void CleanRegistry(ProfileContext& ctx) {
  ctx.remover.RemoveKeys(platform::kCurrentUser, "Software", UserKeys);
  ctx.remover.RemoveKeys(platform::kLocalMachine, "Software", MachineKeys);
}

}  // namespace quenk::profiles::ati
