#include "backup/BackupFolder.h"

#include "base/Text.h"
#include "platform/Paths.h"

#include <stdexcept>

namespace quenk::backup {
namespace {

// A stamp is one plain name: no folder, no wildcard, nothing relative, and
// no trailing dot or blank, which the system would drop ("..." names the
// backups folder itself).
bool PlainName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  return true;
}

std::string WithoutSlash(std::string folder) {
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

std::string BackupsFolder(platform::FileSystem& fs) {
  return fs.InCurrentDir("Backups\\");
}

std::string BackupFolder(platform::FileSystem& fs, const std::string& stamp) {
  return BackupsFolder(fs) + stamp;
}

std::string CopyPathFor(std::string_view path) {
  if (platform::IsLiteralPath(path)) {
    path.remove_prefix(4);
    if (StartsWithNoCase(path, "UNC\\")) return "UNC\\" + std::string(path.substr(4));
  } else if (path.substr(0, 2) == "\\\\") {
    return path.size() > 2 ? "UNC\\" + std::string(path.substr(2)) : std::string();
  }
  if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return {};
  const char drive = FoldCase(path[0]);
  if (drive < 'A' || drive > 'Z') return {};
  return std::string(1, drive) + std::string(path.substr(2));
}

std::string Reachable(const std::string& path) {
  if (platform::IsLiteralPath(path)) return path;
  for (std::size_t start = 0; start < path.size();) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view name = std::string_view(path).substr(start, end - start);
    if (!name.empty() && !platform::IsDotName(name) &&
        (name.back() == '.' || name.back() == ' ' || platform::IsDeviceName(name))) {
      std::string literal = platform::LiteralPath(path);
      return literal.empty() ? path : literal;
    }
    start = end + 1;
  }
  return path;
}

bool HasBackup(platform::FileSystem& fs, const std::string& stamp) {
  return PlainName(stamp) && fs.FolderExists(BackupFolder(fs, stamp));
}

std::string FindBackup(platform::FileSystem& fs, const std::string& stamp) {
  const std::string backups = BackupsFolder(fs);
  if (stamp.empty())
    throw std::runtime_error(
        "Name the backup to restore: /restore followed by its stamp, or "
        "/restore latest");
  const auto a = fs.Attributes(WithoutSlash(backups));
  if (!a) throw std::runtime_error("There are no backups in " + WithoutSlash(backups));
  if (!(*a & platform::attr::kDirectory))
    throw std::runtime_error(WithoutSlash(backups) + " is not a folder");
  if (!EqualsNoCase(stamp, "latest")) {
    if (!HasBackup(fs, stamp))
      throw std::runtime_error("There is no backup \"" + stamp + "\" in " + WithoutSlash(backups));
    return BackupFolder(fs, stamp);
  }
  std::string latest;
  std::uint64_t latestTime = 0;
  auto search = fs.Find(backups + "*", platform::attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (!(entry.attributes & platform::attr::kDirectory) || platform::IsDotName(entry.name))
      continue;
    const auto times = fs.Times(backups + entry.name + "\\" + kManifestFile);
    if (times && (latest.empty() || times->lastWrite > latestTime)) {
      latest = entry.name;
      latestTime = times->lastWrite;
    }
  }
  if (latest.empty()) throw std::runtime_error("There are no backups in " + WithoutSlash(backups));
  return backups + latest;
}

}  // namespace quenk::backup
