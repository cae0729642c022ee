#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quenk::backup {

// One folder below "Backups\", whether or not a log file names it.
struct BackupSummary {
  std::string stamp;
  std::size_t items = 0;    // saved items its manifest lists
  std::uint64_t bytes = 0;  // of every file in the folder
  std::uint64_t made = 0;   // when its manifest was last written (the folder's time without one)
};

// Every backup folder, newest first.
std::vector<BackupSummary> ListBackups(platform::FileSystem& fs);

// "12-7-2026-3-40-57 PM: 16 items, 24 KB"
std::string DescribeBackup(const BackupSummary& backup);
// "512 bytes", "24 KB", "3.5 MB"
std::string SizeText(std::uint64_t bytes);

// Deletes the backup folder of `stamp` with all it holds; a link inside is
// removed, never followed. Throws std::runtime_error with a message for
// the user when something of it stays.
void RemoveBackup(platform::FileSystem& fs, const std::string& stamp);

}  // namespace quenk::backup
