#include "profiles/ProfileFolder.h"

#include "base/IoError.h"
#include "base/Text.h"
#include "platform/Paths.h"
#include "profiles/BuiltinProfiles.h"

#include <algorithm>

namespace quenk::profiles {

namespace {

ReadProfileResult Refused(const std::string& shownAs, std::string what) {
  ReadProfileResult result;
  result.errors.push_back({shownAs, {1, 1}, std::move(what)});
  return result;
}

}  // namespace

ReadProfileResult ReadProfileFile(platform::FileSystem& fs, const std::string& path,
                                  const std::string& shownAs, const platform::CodePage& codePage,
                                  std::span<const ProfileData> loaded) {
  // Opening "aux.toml" or "con.toml" reaches a device, which may never answer.
  if (platform::IsDeviceName(platform::LastComponent(path)))
    return Refused(shownAs, "the name is a device's: rename the file");
  const auto attributes = fs.Attributes(path);
  if (!attributes) return Refused(shownAs, "there is no such file");
  if (*attributes & platform::attr::kDirectory) return Refused(shownAs, "this is a folder");
  platform::OpenResult opened = fs.Open(path, platform::OpenMode::kRead);
  if (!opened.file)
    return Refused(shownAs, "the file cannot be read: " + IoError::MessageFor(opened.error));
  std::string text;
  if (const std::uint32_t error = opened.file->ReadAll(text))
    return Refused(shownAs, "the file cannot be read: " + IoError::MessageFor(error));
  ReadProfileResult read = ReadProfile(text, shownAs, codePage);
  if (!read.profile) return read;
  auto clashes = Clashes(*read.profile, BuiltinProfiles());
  const auto more = Clashes(*read.profile, loaded);
  clashes.insert(clashes.end(), more.begin(), more.end());
  if (!clashes.empty()) {
    read.profile.reset();
    read.errors = std::move(clashes);
  }
  return read;
}

FolderProfiles ReadProfileFolder(platform::FileSystem& fs, const std::string& folder,
                                 const platform::CodePage& codePage) {
  FolderProfiles result;
  std::vector<platform::FindEntry> files;
  if (auto search = fs.Find(platform::Join(folder, "*.toml"), platform::attr::kAnyFile)) {
    platform::FindEntry entry;
    while (search->Next(entry))
      // The system's match of "*.toml" also takes longer extensions through short names.
      if (!(entry.attributes & platform::attr::kDirectory) &&
          EndsWith(UpperCase(entry.name), ".TOML"))
        files.push_back(entry);
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return LessNoCase(a.name, b.name) || (!LessNoCase(b.name, a.name) && a.name < b.name);
  });
  for (const auto& file : files) {
    const std::string shownAs = std::string(kProfilesFolder) + "\\" + file.name;
    ReadProfileResult read = file.size > kMaxProfileBytes
                                 ? Refused(shownAs, "the file is larger than 1 MB")
                                 : ReadProfileFile(fs, platform::Join(folder, file.name), shownAs,
                                                   codePage, result.profiles);
    if (read.profile) {
      result.profiles.push_back(std::move(*read.profile));
      result.skipped.insert(result.skipped.end(), read.skipped.begin(), read.skipped.end());
    } else if (!read.errors.empty()) {
      result.refused.push_back(read.errors.front());
    }
  }
  return result;
}

}  // namespace quenk::profiles
