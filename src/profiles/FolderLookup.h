#pragma once

#include "profiles/Profile.h"

#include <string>

namespace quenk::profiles {

// The text of a registry value below HKEY_LOCAL_MACHINE that names a folder:
// REG_SZ and REG_EXPAND_SZ as stored up to the first NUL, nothing expanded;
// empty when the key or value is missing or empty. Any other type with data
// throws "Invalid data type for '<value>'".
std::string ReadFolderValue(platform::Registry& registry, const std::string& keyPath,
                            const std::string& valueName);

// Whether a folder named by a registry value must never be removed: a drive
// or share root, the Windows folder or anything above it, a system folder,
// a Program Files folder, a profile folder or anything above those, a path
// that is not fully qualified or that holds a "." or ".." segment.
bool IsProtectedFolder(platform::FileSystem& fs, const std::string& path);

// Removes the folder a registry value named, when it exists. A protected
// folder is recorded as not deleted and nothing below it is touched.
void RemoveRegisteredFolder(ProfileContext& ctx, const std::string& path);

}  // namespace quenk::profiles
