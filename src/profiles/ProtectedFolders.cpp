#include "profiles/ProtectedFolders.h"

#include "base/Text.h"
#include "profiles/FolderLookup.h"

#include <algorithm>
#include <array>
#include <set>

namespace quenk::profiles {
namespace {

using platform::SystemFolder;

constexpr const char* kProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The folders inside a profile that hold the user's own files.
constexpr std::array<const char*, 20> kKnownFolders{"Desktop",          "Documents",
                                                    "Downloads",        "Music",
                                                    "Pictures",         "Videos",
                                                    "AppData",          "AppData\\Local",
                                                    "AppData\\Roaming", "AppData\\LocalLow",
                                                    "Favorites",        "Links",
                                                    "Saved Games",      "Contacts",
                                                    "Searches",         "3D Objects",
                                                    "OneDrive",         "My Documents",
                                                    "Application Data", "Local Settings"};

// What Windows itself keeps in each Program Files folder.
constexpr std::array<const char*, 7> kProgramFilesParts{
    "Common Files",      "Common Files\\System", "Common Files\\Microsoft Shared",
    "Internet Explorer", "Windows Defender",     "Windows NT",
    "WindowsApps"};

// %NAME% replaced by the variable's value; unknown names stay as written.
std::string Expand(platform::FileSystem& fs, const std::string& text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t open = text.find('%', i);
    if (open == std::string::npos) break;
    const std::size_t close = text.find('%', open + 1);
    if (close == std::string::npos) break;
    out += text.substr(i, open - i);
    const std::string name = text.substr(open + 1, close - open - 1);
    if (const auto value = name.empty() ? std::nullopt : fs.Env(name)) {
      out += *value;
      i = close + 1;
    } else {
      out += '%';
      i = open + 1;
    }
  }
  return out + text.substr(i);
}

std::string TextValue(platform::Registry& registry, platform::HKey key, const std::string& name) {
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key, name, type, data) != 0) return {};
  if (type != platform::regtype::kString && type != platform::regtype::kExpandString) return {};
  if (const std::size_t nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
  return data;
}

std::string ParentOf(const std::string& path) {
  const auto parents = ParentsOf(path);
  return parents.empty() ? std::string() : parents.front();
}

}  // namespace

std::vector<std::string> ParentsOf(const std::string& path) {
  std::size_t rootEnd = 0;  // the root's length, without a trailing "\"
  if (path.size() >= 2 && path[1] == ':') {
    rootEnd = 2;
  } else if (path.rfind("\\\\", 0) == 0) {
    const std::size_t server = path.find('\\', 2);
    if (server == std::string::npos) return {};
    const std::size_t share = path.find('\\', server + 1);
    if (share == std::string::npos) return {};
    rootEnd = share;
  } else {
    return {};
  }
  std::string p = path;
  while (p.size() > rootEnd + 1 && p.back() == '\\') p.pop_back();
  std::vector<std::string> parents;
  for (;;) {
    const std::size_t slash = p.find_last_of('\\');
    if (slash == std::string::npos || slash < rootEnd || p.size() <= rootEnd + 1) break;
    p.resize(slash);
    parents.push_back(p.size() == rootEnd && rootEnd == 2 ? p + "\\" : p);
    if (p.size() == rootEnd) break;
  }
  return parents;
}

ProtectedFolders::ProtectedFolders(platform::FileSystem& fs, platform::Registry& registry)
    : fs_(fs) {
  Gather(registry);
  std::set<std::string> seen;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const std::string& name = names_[i];
    if (name.empty() || !seen.insert(UpperCase(name)).second) continue;
    Add(name, i < withContents_);
  }
}

void ProtectedFolders::Gather(platform::Registry& registry) {
  auto env = [this](const char* name) { return fs_.EnvOrEmpty(name); };
  auto sys = [this](SystemFolder folder) { return fs_.SystemFolderPath(folder); };
  auto& n = names_;

  for (const std::string& windows :
       {sys(SystemFolder::kWindows), env("SYSTEMROOT"), env("windir")}) {
    if (windows.empty()) continue;
    n.insert(n.end(), {windows, windows + "\\System32", windows + "\\SysWOW64"});
  }
  n.insert(n.end(), {sys(SystemFolder::kSystem), sys(SystemFolder::kSystemWow64)});
  withContents_ = n.size();

  const std::string drive = env("SystemDrive");
  for (const std::string& programFiles :
       {sys(SystemFolder::kProgramFiles), sys(SystemFolder::kProgramFilesX86), env("ProgramFiles"),
        env("ProgramFiles(x86)"), env("ProgramW6432"),
        drive.empty() ? std::string() : drive + "\\Program Files",
        drive.empty() ? std::string() : drive + "\\Program Files (x86)"}) {
    if (programFiles.empty()) continue;
    n.push_back(programFiles);
    for (const char* part : kProgramFilesParts) n.push_back(programFiles + "\\" + part);
  }
  n.insert(n.end(),
           {sys(SystemFolder::kCommonFiles), sys(SystemFolder::kCommonFilesX86),
            env("CommonProgramFiles"), env("CommonProgramFiles(x86)"), env("CommonProgramW6432"),
            sys(SystemFolder::kProgramData), env("ProgramData"), env("ALLUSERSPROFILE")});

  std::vector<std::string> profilesFolders{ParentOf(env("USERPROFILE")),
                                           ParentOf(sys(SystemFolder::kProfile))};
  if (!drive.empty())
    profilesFolders.insert(profilesFolders.end(),
                           {drive + "\\Users", drive + "\\Documents and Settings"});
  std::vector<std::string> profiles{env("USERPROFILE"), env("PUBLIC"), sys(SystemFolder::kProfile)};
  if (const platform::RegKey list = platform::RegKey::Open(registry, platform::kLocalMachine,
                                                           kProfileList, platform::access::kRead)) {
    profilesFolders.push_back(Expand(fs_, TextValue(registry, list.Get(), "ProfilesDirectory")));
    for (const char* value : {"Default", "Public", "ProgramData"})
      profiles.push_back(Expand(fs_, TextValue(registry, list.Get(), value)));
    platform::KeyInfo info;
    if (registry.QueryInfo(list.Get(), info) == 0) {
      for (std::uint32_t i = 0; i < info.subKeys; ++i) {
        std::string sid;
        if (registry.EnumKey(list.Get(), i, info.maxSubKeyLen + 1, sid) != 0) continue;
        if (const platform::RegKey user =
                platform::RegKey::Open(registry, list.Get(), sid, platform::access::kRead))
          profiles.push_back(Expand(fs_, TextValue(registry, user.Get(), "ProfileImagePath")));
      }
    }
  }
  for (const auto& folder : profilesFolders) {
    if (folder.empty()) continue;
    n.push_back(folder);
    for (const char* standard : {"Default", "Default User", "Public", "All Users"})
      profiles.push_back(folder + "\\" + standard);
    auto search = fs_.Find(folder + "\\*", platform::attr::kAnyFile);
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (!(entry.attributes & platform::attr::kDirectory) || entry.name == "." ||
          entry.name == "..")
        continue;
      const bool spelt = entry.name.find('?') == std::string::npos || entry.shortName.empty();
      profiles.push_back(folder + "\\" + (spelt ? entry.name : entry.shortName));
    }
  }
  for (const auto& profile : profiles) AddProfile(profile);

  for (SystemFolder known : {SystemFolder::kDesktop, SystemFolder::kDocuments, SystemFolder::kMusic,
                             SystemFolder::kPictures, SystemFolder::kVideos, SystemFolder::kAppData,
                             SystemFolder::kLocalAppData})
    n.push_back(sys(known));
  n.insert(n.end(), {env("APPDATA"), env("LOCALAPPDATA")});
}

void ProtectedFolders::AddProfile(const std::string& profile) {
  if (profile.empty()) return;
  names_.push_back(profile);
  for (const char* known : kKnownFolders) names_.push_back(profile + "\\" + known);
}

bool ProtectedFolders::Contains(const std::vector<platform::FolderIdentity>& set,
                                const platform::FolderIdentity& id) const {
  return std::any_of(set.begin(), set.end(),
                     [&id](const platform::FolderIdentity& other) { return other.SameAs(id); });
}

void ProtectedFolders::Add(const std::string& path, bool withContents) {
  const auto id = fs_.Identify(path);
  if (!id) return;
  if (withContents && !Contains(enclosing_, *id)) enclosing_.push_back(*id);
  if (Contains(holders_, *id)) return;
  holders_.push_back(*id);
  for (const auto& parent : ParentsOf(id->finalPath)) {
    const auto above = fs_.Identify(parent);
    if (!above) continue;
    if (Contains(holders_, *above)) break;  // and so is everything above it
    holders_.push_back(*above);
  }
}

bool ProtectedFolders::Refuses(const std::string& path) {
  return Refuses(path, true);
}

bool ProtectedFolders::Holds(const std::string& path) {
  return Refuses(path, false);
}

bool ProtectedFolders::Refuses(const std::string& path, bool inside) {
  const auto id = fs_.Identify(path);
  if (!id) return NamesOrHolds(fs_, path, names_);
  if (Contains(holders_, *id)) return true;
  const auto parents = ParentsOf(id->finalPath);
  if (parents.empty()) return true;  // a drive or share root
  if (!inside) return false;
  for (const auto& parent : parents) {
    if (const auto above = fs_.Identify(parent); above && Contains(enclosing_, *above)) return true;
  }
  return false;
}

}  // namespace quenk::profiles
