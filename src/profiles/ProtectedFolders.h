#pragma once

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <string>
#include <vector>

namespace quenk::profiles {

// The folders that a registry value must never make the program remove,
// nor any folder above them: the Windows folder with everything in it, the
// system folders, every Program Files folder and its Common Files,
// ProgramData, the profiles folder, every profile and the known folders
// inside each, and every drive or share root. Installer folders live inside
// Program Files and profiles, so only the Windows and system folders protect
// what lies inside them. They are taken from the system as well as from the
// environment, and compared by what they are (volume and file index), not by
// how they are spelt: links, other drive letters and shares lead to the same
// answer.
class ProtectedFolders {
 public:
  ProtectedFolders(platform::FileSystem& fs, platform::Registry& registry);

  // Whether the folder at `path` is or contains a protected folder, lies
  // inside the Windows or a system folder, or is a root. A folder that
  // cannot be opened is judged by its name.
  bool Refuses(const std::string& path);
  // The same without looking at what lies inside the Windows and system
  // folders: whether the folder is or contains a protected folder, or is a root.
  bool Holds(const std::string& path);

  // The names the protected folders were gathered from (tests, diagnostics).
  const std::vector<std::string>& Names() const { return names_; }

 private:
  bool Refuses(const std::string& path, bool inside);
  void Gather(platform::Registry& registry);
  void Add(const std::string& path, bool withContents);
  void AddProfile(const std::string& profile);
  bool Contains(const std::vector<platform::FolderIdentity>& set,
                const platform::FolderIdentity& id) const;

  platform::FileSystem& fs_;
  std::vector<std::string> names_;
  std::size_t withContents_ = 0;                     // names_ before this protect their contents
  std::vector<platform::FolderIdentity> enclosing_;  // folders whose contents are protected
  std::vector<platform::FolderIdentity> holders_;    // protected folders and every folder above
};

// Every parent of a path, nearest first, down to its root ("C:\", "\\server\share").
std::vector<std::string> ParentsOf(const std::string& path);

}  // namespace quenk::profiles
