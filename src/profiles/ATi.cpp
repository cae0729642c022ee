#include "profiles/ATi.h"

#include "profiles/FolderLookup.h"

namespace quenk::profiles::ati {

int StepCount(bool files, bool registry) {
  constexpr int f = System32Masks.size();
  constexpr int r = UserKeys.size() + MachineKeys.size();
  return Steps(files, registry, f, r);
}

void Clean(ProfileContext& ctx, bool files, bool registry) {
  RunPhases(ctx, files, registry, &CleanFiles, &CleanRegistry);
}

void CleanFiles(ProfileContext& ctx) {
  const std::string s = ctx.fs.EnvOrEmpty("SYSTEMROOT") + "\\System32\\";
  ctx.remover.RemoveFiles(s, System32Masks);
  const std::string d =
      ReadFolderValue(ctx.registry, "Software\\ATi Technologies\\Install", "InstallDir");
  RemoveRegisteredFolder(ctx, d);
}

void CleanRegistry(ProfileContext& ctx) {
  ctx.remover.RemoveKeys(platform::kCurrentUser, "Software", UserKeys);
  ctx.remover.RemoveKeys(platform::kLocalMachine, "Software", MachineKeys);
}

}  // namespace quenk::profiles::ati
