#include "run/ProfileCheck.h"

#include "profiles/ProfileFolder.h"

namespace quenk::run {

ProfileCheck CheckProfileFiles(platform::FileSystem& fs, const platform::CodePage& codePage,
                               const std::vector<std::string>& files) {
  ProfileCheck check{true, "Checked in the ANSI code page " + codePage.name + ".\r\n"};
  std::vector<profiles::ProfileData> sound;
  for (const auto& file : files) {
    profiles::ReadProfileResult read = profiles::ReadProfileFile(fs, file, file, codePage, sound);
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
