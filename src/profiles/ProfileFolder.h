#pragma once

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "profiles/ProfileReader.h"

#include <span>
#include <string>
#include <vector>

namespace quenk::profiles {

// The folder beside the program that holds profile files.
inline constexpr std::string_view kProfilesFolder = "Profiles";

// Reads the profile file at `path` (named `shownAs` in messages) and checks
// it against the profiles `loaded` before it; nothing is loaded on any error.
ReadProfileResult ReadProfileFile(platform::FileSystem& fs, const std::string& path,
                                  const std::string& shownAs, const platform::CodePage& codePage,
                                  std::span<const ProfileData> loaded);

struct FolderProfiles {
  std::vector<ProfileData> profiles;    // the sound ones, in file-name order
  std::vector<ProfileMessage> refused;  // the first error of each file left out
  std::vector<ProfileMessage> skipped;  // entries left out of profiles that loaded
};

// Every "*.toml" file in `folder`, in file-name order, each checked against
// the built-in profiles and those before it. Messages name the files as
// "Profiles\<name>". No folder gives no profiles.
FolderProfiles ReadProfileFolder(platform::FileSystem& fs, const std::string& folder,
                                 const platform::CodePage& codePage);

}  // namespace quenk::profiles
