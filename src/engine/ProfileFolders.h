#pragma once

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <string>
#include <vector>

namespace quenk::engine {

// The folder of every profile the machine knows: the ProfileImagePath of
// each key below HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList,
// the service profiles included, variables expanded, in the registry's
// order, each once. A path that is not a full path is left out.
std::vector<std::string> ProfileFolders(platform::FileSystem& fs, platform::Registry& registry);

}  // namespace quenk::engine
