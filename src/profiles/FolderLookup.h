#pragma once

#include "profiles/Profile.h"

#include <string>
#include <vector>

namespace quenk::profiles {

// The text of a registry value below HKEY_LOCAL_MACHINE that names a folder:
// REG_SZ and REG_EXPAND_SZ as stored up to the first NUL, nothing expanded;
// empty when the key or value is missing or empty. Any other type with data
// throws "Invalid data type for '<value>'".
std::string ReadFolderValue(platform::Registry& registry, const std::string& keyPath,
                            const std::string& valueName);

// Whether the name alone says that a folder named by a registry value must
// never be removed: a drive or share root, the Windows folder or anything
// above it, a system folder, a Program Files folder, a profile folder or
// anything above those, a path that is not fully qualified or that holds a
// "." or ".." segment. ProtectedFolders judges the folder itself.
bool IsProtectedFolder(platform::FileSystem& fs, const std::string& path);

// Whether `path` names one of `folders` or a folder above one, once short
// names, case and spelling are resolved.
bool NamesOrHolds(platform::FileSystem& fs, const std::string& path,
                  const std::vector<std::string>& folders);

// Removes the folder a registry value named, when it exists. A protected
// folder, by name or by what it is, is recorded as not deleted and nothing
// below it is touched.
void RemoveRegisteredFolder(ProfileContext& ctx, const std::string& path);

// Removes the folders that the value names, as ReadFolderValue reads it: in
// the 64-bit view, then, on a machine with one, in the 32-bit view. Both are
// read before either folder goes, so a value of the wrong type in either
// view removes nothing.
void RemoveRegisteredFolders(ProfileContext& ctx, const std::string& keyPath,
                             const std::string& valueName);

}  // namespace quenk::profiles
