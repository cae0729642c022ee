#pragma once

#include "platform/FileSystem.h"
#include "platform/Registry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::engine {

// The 32-bit halves of a 64-bit Windows: SysWOW64 beside System32, Program
// Files (x86) beside Program Files, the 32-bit registry view beside the
// 64-bit one. Found once at the start of a run; the engine repeats each
// removal on the twin right after its own pass. Empty on a machine without
// them (32-bit Windows), where every run stays as it was.
struct Halves {
  std::string system32;         // "<Windows>\System32\", empty without a SysWOW64
  std::string sysWow64;         // "<Windows>\SysWOW64\"
  std::string programFiles;     // "<Program Files>\", empty without a Program Files (x86)
  std::string programFilesX86;  // "<Program Files (x86)>\"
  bool registry32 = false;      // HKLM\Software has a 32-bit view of its own
  // Not a half, but found at the same moment: every profile folder the
  // machine knows (see ProfileFolders), which steps for each profile repeat on.
  std::vector<std::string> profileFolders;

  // The same folder under SysWOW64, for a folder under System32 (files).
  std::optional<std::string> FilesTwin(const std::string& folder) const;
  // The same folder under Program Files (x86), for one under Program Files
  // (installer folders).
  std::optional<std::string> InstallersTwin(const std::string& folder) const;
  // Whether keys below this base are looked for in the 32-bit view too:
  // HKLM\Software and below. HKCU\Software and HKLM\System are shared.
  bool KeysTwin(platform::HKey root, std::string_view basePath) const;

  // The progress steps of tables with `entries` in all handed to RemoveFiles
  // on System32 or below, and to RemoveKeys below HKLM\Software: once per pass.
  std::size_t System32Steps(std::size_t entries) const;
  std::size_t SoftwareSteps(std::size_t entries) const;
};

// Looks at the machine through the ports. A SysWOW64 or Program Files (x86)
// counts only as a folder of its own: not a link, not a file, not the very
// folder System32 or Program Files is.
Halves FindHalves(platform::FileSystem& fs, platform::Registry& registry);

// The key at `path` below `root` in the 32-bit view, opened with `rights`;
// empty when it cannot be opened or is the key the 64-bit view opens (no
// second view, or a key both views share).
platform::RegKey Open32BitKey(platform::Registry& registry, platform::HKey root,
                              const std::string& path, std::uint32_t rights);

// How a base below HKLM\Software in the 32-bit view is recorded:
// "HKLM\Software\WOW6432Node" followed by the rest of the base.
std::string Wow64KeyPath(std::string_view basePath);

}  // namespace quenk::engine
