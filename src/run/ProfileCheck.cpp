#include "run/ProfileCheck.h"

#include "base/Text.h"
#include "platform/Paths.h"
#include "profiles/ProfileFolder.h"

namespace quenk::run {

namespace {

std::string FullPath(platform::FileSystem& fs, const std::string& path) {
  const bool full = (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
                    path.rfind("\\\\", 0) == 0;
  return full ? path : platform::Join(fs.CurrentDir(), path);
}

}  // namespace

ProfileCheck CheckProfileFiles(platform::FileSystem& fs, const platform::CodePage& codePage,
                               const std::vector<std::string>& files,
                               const profiles::Catalog& beside, const std::string& besideFolder) {
  ProfileCheck check{true, "Checked in the ANSI code page " + codePage.name + ".\r\n"};
  std::vector<profiles::ProfileData> sound;
  for (const auto& file : files) {
    // The file is judged as it would load: beside the profiles that loaded
    // there, itself left out where it is one of them.
    std::vector<profiles::ProfileData> others;
    const std::string full = FullPath(fs, file);
    for (const auto& row : beside.More())
      if (!EqualsNoCase(platform::Join(besideFolder, platform::LastComponent(row.profile->file)),
                        full))
        others.push_back(*row.profile);
    others.insert(others.end(), sound.begin(), sound.end());
    profiles::ReadProfileResult read = profiles::ReadProfileFile(fs, file, file, codePage, others);
    if (read.profile) {
      check.text +=
          file + ": sound: " + read.profile->word + ", \"" + read.profile->name + "\".\r\n";
      sound.push_back(std::move(*read.profile));
    } else {
      check.sound = false;
      check.text += file + ": not loaded.\r\n";
    }
    for (const auto& error : read.errors) check.text += error.Text() + "\r\n";
    for (const auto& skipped : read.skipped) check.text += skipped.Text() + "\r\n";
  }
  return check;
}

}  // namespace quenk::run
