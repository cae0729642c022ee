#include "backup/BackupList.h"

#include "backup/BackupFolder.h"
#include "backup/Manifest.h"
#include "engine/Delete.h"

#include <algorithm>
#include <stdexcept>

namespace quenk::backup {
namespace {

namespace attr = platform::attr;

bool IsDots(const std::string& name) {
  return name == "." || name == "..";
}

std::uint64_t BytesIn(platform::FileSystem& fs, const std::string& folder) {
  std::uint64_t bytes = 0;
  auto search = fs.Find(folder + "\\*", attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (IsDots(entry.name)) continue;
    if (!(entry.attributes & attr::kDirectory))
      bytes += entry.size;
    else if (!(entry.attributes & attr::kReparsePoint))
      bytes += BytesIn(fs, folder + "\\" + entry.name);
  }
  return bytes;
}

std::size_t ItemsIn(platform::FileSystem& fs, const std::string& folder) {
  auto opened = fs.Open(folder + "\\" + kManifestFile, platform::OpenMode::kRead);
  std::string text;
  if (opened.error || opened.file->ReadAll(text)) return 0;
  return ParseManifest(text).items.size();
}

// Deletes what `folder` holds, then the folder; the first failure is kept.
void RemoveTree(platform::FileSystem& fs, const std::string& folder, std::string& failed) {
  {
    auto search = fs.Find(folder + "\\*", attr::kAnyFile);
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (IsDots(entry.name)) continue;
      const std::string path = folder + "\\" + entry.name;
      if ((entry.attributes & attr::kDirectory) && !(entry.attributes & attr::kReparsePoint)) {
        RemoveTree(fs, path, failed);
        continue;
      }
      if (entry.attributes & attr::kReadOnly)
        fs.SetAttributes(path, entry.attributes & attr::kSettable & ~attr::kReadOnly);
      const std::uint32_t error =
          (entry.attributes & attr::kDirectory) ? fs.RemoveDir(path) : fs.Delete(path);
      if (error && failed.empty()) failed = path + ": " + engine::ReasonFor(error, 0);
    }
  }
  if (const std::uint32_t error = fs.RemoveDir(folder); error && failed.empty())
    failed = folder + ": " + engine::ReasonFor(error, 0);
}

}  // namespace

std::vector<BackupSummary> ListBackups(platform::FileSystem& fs) {
  std::string backups = BackupsFolder(fs);
  std::vector<BackupSummary> list;
  auto search = fs.Find(backups + "*", attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (!(entry.attributes & attr::kDirectory) || (entry.attributes & attr::kReparsePoint) ||
        IsDots(entry.name))
      continue;
    const std::string folder = backups + entry.name;
    const auto manifest = fs.Times(folder + "\\" + kManifestFile);
    list.push_back({entry.name, ItemsIn(fs, folder), BytesIn(fs, folder),
                    manifest ? manifest->lastWrite : entry.times.lastWrite});
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const BackupSummary& a, const BackupSummary& b) { return a.made > b.made; });
  return list;
}

std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKB = 1024, kMB = 1024 * 1024;
  if (bytes < kKB) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < kMB) return std::to_string((bytes + kKB - 1) / kKB) + " KB";
  const std::uint64_t tenths = (bytes * 10 + kMB / 2) / kMB;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

std::string DescribeBackup(const BackupSummary& backup) {
  return backup.stamp + ": " + std::to_string(backup.items) +
         (backup.items == 1 ? " item, " : " items, ") + SizeText(backup.bytes);
}

void RemoveBackup(platform::FileSystem& fs, const std::string& stamp) {
  if (!HasBackup(fs, stamp))
    throw std::runtime_error("There is no backup \"" + stamp + "\" in " + BackupsFolder(fs));
  std::string failed;
  RemoveTree(fs, BackupFolder(fs, stamp), failed);
  if (!failed.empty())
    throw std::runtime_error("The backup " + stamp + " was not removed completely: " + failed);
}

}  // namespace quenk::backup
