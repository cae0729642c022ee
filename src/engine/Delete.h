#pragma once

#include "engine/Keeper.h"
#include "engine/Progress.h"
#include "log/CleaningRecord.h"
#include "platform/Ports.h"

#include <span>
#include <string>
#include <string_view>

namespace quenk::engine {

// A constant table of masks or key names, always handed over whole.
using Table = std::span<const std::string_view>;

// Performs every removal of a cleaning run: files by masks, folder trees,
// installer folders chosen by their setup.ini, registry keys. Each attempt
// lands in the cleaning record; each table entry is one progress step.
// With a keeper, each item is saved right before it is deleted, and an item
// that cannot be saved is left as it is. Keeps no state between calls.
class Remover {
 public:
  Remover(platform::Ports ports, CleaningRecord& record, Progress& progress,
          Keeper* keeper = nullptr)
      : fs_(ports.fs),
        ini_(ports.ini),
        registry_(ports.registry),
        record_(record),
        progress_(progress),
        keeper_(keeper) {}

  // `folder` ends in "\". One step per mask.
  void RemoveFiles(const std::string& folder, Table masks);
  // Removes the folder with all it holds and records the path once.
  void RemoveFolder(const std::string& path);
  // True when the folder is gone. Saves it first, and removes nothing when
  // that fails. Throws IoError when an emptied folder cannot be removed, or
  // when there is nothing at `path`. A subfolder that cannot be listed stays
  // and makes the result false. A link is removed itself, never what it
  // points to.
  bool RemoveTree(const std::string& path);
  // `folder` ends in "\". Removes the subfolders whose setup.ini names a
  // company that begins with `companyPrefix` (case counts).
  void RemoveInstallerFolders(const std::string& folder, std::string_view companyPrefix);
  // One step per name.
  void RemoveKeys(platform::HKey root, std::string_view basePath, Table names);
  // Records a folder that must not be removed as not deleted, touching nothing.
  void RefuseFolder(const std::string& path) { Record(false, path); }

 private:
  bool RemoveContents(const std::string& path);
  bool RemoveLink(const std::string& path, std::uint32_t attributes);
  bool DeleteKeyTree(platform::HKey parent, const std::string& name);
  bool IsLink(platform::HKey key);
  void Record(bool removed, std::string line);

  platform::FileSystem& fs_;
  platform::Ini& ini_;
  platform::Registry& registry_;
  CleaningRecord& record_;
  Progress& progress_;
  Keeper* keeper_;
};

// "HKCU\", "HKLM\", or nothing for any other root.
std::string_view RootPrefix(platform::HKey root);

// The path that reaches a listed entry of `folder` (which ends in "\"). A
// long name the ANSI code page cannot spell comes back with "?" in it: the
// short name still reaches it. A name that ends in a dot or blank would lose
// it to path parsing: the literal form keeps it.
std::string EntryPath(const std::string& folder, const platform::FindEntry& entry);

}  // namespace quenk::engine
