#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>

namespace quenk::backup {

// What a backup folder holds.
inline constexpr const char* kManifestFile = "manifest.txt";
inline constexpr const char* kRegistryFile = "registry.reg";
inline constexpr const char* kAttributesFile = "attributes.txt";
inline constexpr const char* kFilesFolder = "files";

// "Backups" below the current folder, taken anew each time, ended by "\".
std::string BackupsFolder(platform::FileSystem& fs);
// The backup of the run with that stamp (the stamp its log file carries).
std::string BackupFolder(platform::FileSystem& fs, const std::string& stamp);

// Where the copy of a saved file or folder lies below "files\": the drive
// letter and the rest of the path ("C:\x\y" -> "C\x\y"), or "UNC" and the
// share ("\\server\share\x" -> "UNC\server\share\x"). Empty for a path that
// is not absolute.
std::string CopyPathFor(std::string_view path);

// The path as the file functions must be given it: in its literal form
// when a name ends in a dot or a blank, which the plain form would drop.
std::string Reachable(const std::string& path);


// Whether a backup folder of that stamp exists.
bool HasBackup(platform::FileSystem& fs, const std::string& stamp);

// The folder of the backup that `stamp` names; "latest" names the backup
// made last, by the time its manifest was last written (stamps follow the
// regional date format, so their names do not sort by time). Throws
// std::runtime_error with a message for the user when there is none.
std::string FindBackup(platform::FileSystem& fs, const std::string& stamp);

}  // namespace quenk::backup
