#include "engine/Halves.h"

#include "engine/ProfileFolders.h"

#include "base/Text.h"

namespace quenk::engine {

namespace access = platform::access;
using platform::RegKey;

namespace {

constexpr std::string_view kSoftware = "Software";

bool IsFullPath(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

// A folder of its own at `path`: not a link, not a file, nor `other` reached another way.
bool IsOtherFolder(platform::FileSystem& fs, const std::string& path, const std::string& other) {
  const auto a = fs.Attributes(path);
  if (!a || !(*a & platform::attr::kDirectory) || (*a & platform::attr::kReparsePoint))
    return false;
  const auto self = fs.Identify(path);
  if (!self) return false;
  const auto that = fs.Identify(other);
  return !that || !that->SameAs(*self);
}

std::optional<std::string> Replace(const std::string& folder, const std::string& from,
                                   const std::string& to) {
  if (from.empty() || !StartsWithNoCase(folder, from)) return std::nullopt;
  return to + folder.substr(from.size());
}

bool Has32BitView(platform::Registry& registry) {
  const RegKey view32 = RegKey::Open(registry, platform::kLocalMachine, std::string(kSoftware),
                                     access::kRead | access::kWow64_32Key);
  const RegKey view64 =
      RegKey::Open(registry, platform::kLocalMachine, std::string(kSoftware), access::kRead);
  std::string name32, name64;
  return view32 && view64 && registry.KeyName(view32.Get(), name32) == 0 &&
         registry.KeyName(view64.Get(), name64) == 0 && !EqualsNoCase(name32, name64);
}

}  // namespace

std::optional<std::string> Halves::FilesTwin(const std::string& folder) const {
  return Replace(folder, system32, sysWow64);
}

std::optional<std::string> Halves::InstallersTwin(const std::string& folder) const {
  return Replace(folder, programFiles, programFilesX86);
}

bool Halves::KeysTwin(platform::HKey root, std::string_view basePath) const {
  if (!registry32 || root != platform::kLocalMachine) return false;
  return EqualsNoCase(basePath, kSoftware) ||
         StartsWithNoCase(basePath, std::string(kSoftware) + "\\");
}

std::size_t Halves::System32Steps(std::size_t entries) const {
  return sysWow64.empty() ? entries : 2 * entries;
}

std::size_t Halves::SoftwareSteps(std::size_t entries) const {
  return registry32 ? 2 * entries : entries;
}

Halves FindHalves(platform::FileSystem& fs, platform::Registry& registry) {
  Halves h;
  if (const std::string windows = fs.EnvOrEmpty("SYSTEMROOT"); !windows.empty()) {
    const std::string system32 = windows + "\\System32";
    const std::string sysWow64 = windows + "\\SysWOW64";
    if (IsOtherFolder(fs, sysWow64, system32)) {
      h.system32 = system32 + "\\";
      h.sysWow64 = sysWow64 + "\\";
    }
  }
  const std::string programFiles = fs.EnvOrEmpty("ProgramFiles");
  const std::string programFilesX86 = fs.EnvOrEmpty("ProgramFiles(x86)");
  if (!programFiles.empty() && IsFullPath(programFilesX86) &&
      IsOtherFolder(fs, programFilesX86, programFiles)) {
    h.programFiles = programFiles + "\\";
    h.programFilesX86 = programFilesX86 + "\\";
  }
  h.registry32 = Has32BitView(registry);
  h.profileFolders = ProfileFolders(fs, registry);
  return h;
}

RegKey Open32BitKey(platform::Registry& registry, platform::HKey root, const std::string& path,
                    std::uint32_t rights) {
  RegKey key = RegKey::Open(registry, root, path, rights | access::kWow64_32Key);
  std::string name32, name64;
  if (!key || registry.KeyName(key.Get(), name32) != 0) return key;
  const RegKey native = RegKey::Open(registry, root, path, access::kRead);
  if (native && registry.KeyName(native.Get(), name64) == 0 && EqualsNoCase(name32, name64))
    return {};
  return key;
}

std::string Wow64KeyPath(std::string_view basePath) {
  return "HKLM\\" + std::string(basePath.substr(0, kSoftware.size())) + "\\WOW6432Node" +
         std::string(basePath.substr(kSoftware.size()));
}

}  // namespace quenk::engine
