#pragma once

#include "engine/Halves.h"
#include "engine/Keeper.h"
#include "engine/Listings.h"
#include "engine/Progress.h"
#include "engine/CleaningRecord.h"
#include "platform/Ports.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quenk::engine {

// A constant table of masks or key names, always handed over whole.
using Table = std::span<const std::string_view>;

// Performs every removal of a cleaning run: files by masks, folder trees,
// installer folders chosen by their setup.ini, registry keys. Each attempt
// lands in the cleaning record; each table entry is one progress step.
// Files, installer folders and keys that have a twin in the machine's 32-bit
// halves are looked for there too, right after. With a keeper, each item is
// saved right before it is deleted, and an item that cannot be saved is left
// as it is. One Remover serves one run: each folder it lists is listed once
// and kept for the rest of the run (see Listings).
class Remover {
 public:
  Remover(platform::Ports ports, CleaningRecord& record, Progress& progress, Halves halves = {},
          Keeper* keeper = nullptr)
      : fs_(ports.fs),
        ini_(ports.ini),
        registry_(ports.registry),
        record_(record),
        progress_(progress),
        halves_(std::move(halves)),
        keeper_(keeper),
        services_(ports.services),
        listings_(ports.fs),
        drivers_(ports.drivers) {}

  const Halves& MachineHalves() const { return halves_; }
  // How many folders the run has listed so far.
  int FoldersListed() const { return listings_.Count(); }

  // `folder` ends in "\". One step per mask, and per pass: a folder under
  // System32 is followed by its twin under SysWOW64. The masks pick from the
  // run's listing of the folder what their searches would find.
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
  // company that begins with `companyPrefix` (case counts). A folder under
  // Program Files is followed by its twin under Program Files (x86).
  void RemoveInstallerFolders(const std::string& folder, std::string_view companyPrefix);
  // One step per name, and per pass: a base below HKLM\Software is followed
  // by the same base in the 32-bit view.
  void RemoveKeys(platform::HKey root, std::string_view basePath, Table names);
  // One step: the value `name` of the key at `keyPath` below `root`, in
  // the view both halves share; recorded as "KEY [NAME]" when it is there.
  void RemoveValue(platform::HKey root, const std::string& keyPath, const std::string& name);
  // One step: the service `name`, stopped and deleted through the service
  // control manager where it knows it, its key under
  // HKLM\System\CurrentControlSet\Services removed otherwise; recorded as that key.
  void RemoveService(const std::string& name);
  // For a step that found nothing to do.
  void SkipStep() { progress_.Advance(); }
  // Whether something the run removed goes only at the next restart.
  bool RestartNeeded() const { return restartNeeded_; }
  // Records a folder that must not be removed as not deleted, touching nothing.
  void RefuseFolder(const std::string& path) {
    Because("a protected folder");
    Record(false, path);
  }

  using PackageFilter = std::function<bool(const platform::DriverPackage&)>;
  // One step: removes every published driver package `wanted` picks that no
  // present device uses, each saved first. The packages are listed once per run.
  void RemoveDriverPackages(const PackageFilter& wanted);
  // The same step, recording each package it picks as not deleted.
  void KeepDriverPackages(const PackageFilter& wanted, const std::string& reason);
  // The present device ("description (hardware id)") that uses a package
  // `wanted` picks, if any.
  std::optional<std::string> DeviceOnPackage(const PackageFilter& wanted);
  // The published inf whose store folder `path` is, if any.
  std::optional<std::string> PublishedFrom(const std::string& path);
  // Records `line` as not deleted, touching nothing; `steps` progress steps
  // go by with it.
  void Keep(std::string line, std::string reason, int steps = 0);

 private:
  void SearchAndRemove(const std::string& folder, std::string_view mask);
  void RemoveFilesIn(const std::string& folder, Table masks);
  void RemoveInstallersIn(const std::string& folder, std::string_view companyPrefix);
  // `view` is 0 or kWow64_32Key, added to every open and delete of the pass.
  void RemoveKeysIn(platform::HKey root, const std::string& base, Table names, std::uint32_t view);
  bool RemoveTreeItself(const std::string& path);
  bool RemoveContents(const std::string& path);
  bool RemoveLink(const std::string& path, std::uint32_t attributes);
  bool DeleteKeyTree(platform::HKey parent, const std::string& name, std::uint32_t view);
  // Whether a key on the way to `path`, short of the key itself, is a
  // registry link.
  bool ReachedThroughLink(platform::HKey root, const std::string& path, std::uint32_t view);
  bool IsLink(platform::HKey key);
  void Record(bool removed, std::string line);
  // The first reason an item meets stays its reason: what went wrong inside
  // a tree is why the tree stayed.
  void Because(std::string reason);
  bool Saved(bool saved);
  bool DeleteFile(const std::string& path, const platform::FindEntry& entry);
  bool Done(std::uint32_t error, std::uint32_t attributes);
  std::vector<platform::DriverPackage>& Packages();

  platform::FileSystem& fs_;
  platform::Ini& ini_;
  platform::Registry& registry_;
  CleaningRecord& record_;
  Progress& progress_;
  Halves halves_;
  Keeper* keeper_;
  platform::Services* services_;
  bool restartNeeded_ = false;
  Listings listings_;
  platform::DriverStore* drivers_;
  std::optional<std::vector<platform::DriverPackage>> packages_;  // listed at the first need
  std::string why_;
};

// "DriverStore\oem12.inf (nv_dispi.inf, NVIDIA, Display)".
std::string PackageLine(const platform::DriverPackage& package);

// Whether the engine can pick from a listing what a search with `mask`
// finds: "?", the DOS wildcards and a trailing dot are left to the platform.
bool MatchableInMemory(std::string_view mask);
// Whether a search with `mask` finds the listed entry (by its long or short name).
bool MatchesListed(const platform::FindEntry& entry, std::string_view mask);

// The reason a not-deleted line gives for a platform error met on an entry
// with `attributes`.
std::string ReasonFor(std::uint32_t error, std::uint32_t attributes);

// Why a deletion refused for want of rights stays.
inline constexpr const char* kNeedsAdministrator = "needs administrator rights";
// Why a service the system deletes only once it stops stays.
inline constexpr const char* kMarkedForDeletion =
    "marked for deletion: removed at the next restart";

// "HKCU\", "HKLM\", or nothing for any other root.
std::string_view RootPrefix(platform::HKey root);

// The path that reaches a listed entry of `folder` (which ends in "\"). A
// long name the ANSI code page cannot spell comes back with "?" in it: the
// short name still reaches it. A name that ends in a dot or blank would lose
// it to path parsing: the literal form keeps it.
std::string EntryPath(const std::string& folder, const platform::FindEntry& entry);

}  // namespace quenk::engine
