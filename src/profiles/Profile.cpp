#include "profiles/Profile.h"

namespace quenk::profiles {

void SweepControlSets(ProfileContext& ctx, engine::Table enumRootKeys, engine::Table serviceKeys) {
  for (const std::string_view base : kEnumRootBases)
    ctx.remover.RemoveKeys(platform::kLocalMachine, base, enumRootKeys);
  for (const std::string_view base : kServicesBases)
    ctx.remover.RemoveKeys(platform::kLocalMachine, base, serviceKeys);
}

std::string WindowsFolder(platform::FileSystem& fs) {
  return fs.EnvOrEmpty("SYSTEMROOT") + "\\";
}

}  // namespace quenk::profiles
