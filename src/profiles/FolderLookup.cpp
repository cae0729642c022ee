#include "profiles/FolderLookup.h"

#include "base/Text.h"
#include "platform/Paths.h"
#include "profiles/ProtectedFolders.h"

#include <stdexcept>
#include <vector>

namespace quenk::profiles {

namespace {

std::string FolderValue(platform::Registry& registry, const platform::RegKey& key,
                        const std::string& valueName) {
  if (!key) return {};
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key.Get(), valueName, type, data) != 0 || data.empty()) return {};
  if (type != platform::regtype::kString && type != platform::regtype::kExpandString)
    throw std::runtime_error("Invalid data type for '" + valueName + "'");
  if (const std::size_t nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
  return data;
}

}  // namespace

std::string ReadFolderValue(platform::Registry& registry, const std::string& keyPath,
                            const std::string& valueName) {
  return FolderValue(registry,
                     platform::RegKey::Open(registry, platform::kLocalMachine, keyPath,
                                            platform::access::kAllAccess),
                     valueName);
}

namespace {

// A path's parts after the root, with the root ("C:" or "\\server\share")
// apart. Empty root when the path is not fully qualified.
struct SplitPath {
  std::string root;
  std::vector<std::string> parts;
  bool dotSegment = false;
};

SplitPath Split(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  if (path.rfind("\\\\.\\", 0) == 0)
    path.erase(0, 4);
  else
    path = platform::PlainPath(path);

  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }

  SplitPath out;
  std::size_t first = 0;
  if (path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] == '\\')) {
    out.root = UpperCase(path.substr(0, 2));
    first = 1;
  } else if (path.rfind("\\\\", 0) == 0) {
    // "\\server\share": parts are "", "", server, share, ...
    if (parts.size() >= 4 && !parts[2].empty() && !parts[3].empty())
      out.root = "\\\\" + UpperCase(parts[2]) + "\\" + UpperCase(parts[3]);
    else
      out.root = "\\\\";  // a server or nothing: a root of its own kind
    first = 4;
  } else {
    return out;  // relative, drive-relative or rooted without a drive
  }
  for (std::size_t i = first; i < parts.size(); ++i) {
    std::string part = parts[i];
    if (part == "." || part == "..") out.dotSegment = true;
    // The file system drops trailing dots and blanks of a name.
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) out.parts.push_back(part);
  }
  return out;
}

// The path with every part in its long form and upper case, so that short
// names, case and spelling cannot hide a protected folder.
std::vector<std::string> Canonical(platform::FileSystem& fs, const SplitPath& split) {
  std::vector<std::string> out{split.root};
  std::string sofar = split.root;
  for (const auto& part : split.parts) {
    sofar += "\\" + part;
    std::string name = part;
    if (part.find_first_of("*?") == std::string::npos) {
      auto search = fs.Find(sofar, platform::attr::kAnyFile);
      platform::FindEntry entry;
      if (search->Next(entry)) name = entry.name;
    }
    out.push_back(UpperCase(name));
  }
  return out;
}

bool IsSameOrAncestor(const std::vector<std::string>& candidate,
                      const std::vector<std::string>& protectedPath) {
  return candidate.size() <= protectedPath.size() &&
         std::equal(candidate.begin(), candidate.end(), protectedPath.begin());
}

}  // namespace

bool NamesOrHolds(platform::FileSystem& fs, const std::string& path,
                  const std::vector<std::string>& folders) {
  const SplitPath split = Split(path);
  if (split.root.empty() || split.root == "\\\\") return false;
  const auto candidate = Canonical(fs, split);
  for (const auto& folder : folders) {
    if (folder.empty()) continue;
    const SplitPath g = Split(folder);
    if (g.root.empty()) continue;
    if (IsSameOrAncestor(candidate, Canonical(fs, g))) return true;
  }
  return false;
}

bool IsProtectedFolder(platform::FileSystem& fs, const std::string& path) {
  const SplitPath split = Split(path);
  if (split.root.empty() || split.root == "\\\\" || split.dotSegment || split.parts.empty())
    return true;
  std::string windows = fs.EnvOrEmpty("SYSTEMROOT");
  if (windows.empty()) windows = fs.EnvOrEmpty("windir");
  const std::string drive = fs.EnvOrEmpty("SystemDrive");
  return NamesOrHolds(fs, path,
                      {
                          windows,
                          windows.empty() ? "" : windows + "\\System32",
                          windows.empty() ? "" : windows + "\\SysWOW64",
                          fs.EnvOrEmpty("Programfiles"),
                          fs.EnvOrEmpty("ProgramFiles(x86)"),
                          fs.EnvOrEmpty("ProgramW6432"),
                          drive.empty() ? "" : drive + "\\Program Files",
                          drive.empty() ? "" : drive + "\\Program Files (x86)",
                          fs.EnvOrEmpty("USERPROFILE"),
                          fs.EnvOrEmpty("ALLUSERSPROFILE"),
                          fs.EnvOrEmpty("PUBLIC"),
                      });
}

namespace {

bool Refused(ProfileContext& ctx, const std::string& path) {
  if (IsProtectedFolder(ctx.fs, path)) return true;
  if (!ctx.protectedFolders) ctx.protectedFolders.emplace(ctx.fs, ctx.registry);
  return ctx.protectedFolders->Refuses(path);
}

}  // namespace

void RemoveRegisteredFolder(ProfileContext& ctx, const std::string& path) {
  if (!ctx.fs.FolderExists(path)) return;
  if (Refused(ctx, path)) {
    ctx.remover.RefuseFolder(path);
    return;
  }
  ctx.remover.RemoveFolder(path);
}

void RemoveRegisteredFolders(ProfileContext& ctx, const std::string& keyPath,
                             const std::string& valueName) {
  std::vector<std::string> folders{ReadFolderValue(ctx.registry, keyPath, valueName)};
  if (ctx.remover.MachineHalves().registry32) {
    std::string folder = FolderValue(ctx.registry,
                                     engine::Open32BitKey(ctx.registry, platform::kLocalMachine,
                                                          keyPath, platform::access::kAllAccess),
                                     valueName);
    if (!EqualsNoCase(folder, folders.front())) folders.push_back(std::move(folder));
  }
  for (const auto& folder : folders) RemoveRegisteredFolder(ctx, folder);
}

}  // namespace quenk::profiles
