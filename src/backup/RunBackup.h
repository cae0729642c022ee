#pragma once

#include "backup/Manifest.h"
#include "engine/Keeper.h"
#include "platform/Ports.h"

#include <optional>
#include <set>
#include <string>

namespace quenk::backup {

// Whether `inner` is `tree` or lies inside it, by name and by what the
// names lead to.
bool TreeHolds(platform::FileSystem& fs, const std::string& tree, const std::string& inner);

// Why the backup keeps an entry whose name it cannot bring back.
inline constexpr const char* kNameOutsideCodePage = "name outside the code page";

// The long name the backup must keep for the entry at `path`: empty when
// the path's own spelling keeps it, nullopt when it cannot be kept (no
// short name reaches the entry, or the system gives no usable long name).
std::optional<platform::LongName> NameToKeep(platform::FileSystem& fs, const std::string& path);

// The backup of one cleaning run: copies of the files and folders it deletes
// below "files\", their attributes and times in attributes.txt, its keys in
// registry.reg, and manifest.txt listing each item in the order of deletion.
// The folder is made when the first item is saved, so a run that deletes
// nothing leaves none. A folder that is already there (a stamp taken by a
// run that did not hold the machine) is added to; a copy this run did not
// make is never overwritten, and then the item is not saved.
class RunBackup final : public engine::Keeper {
 public:
  RunBackup(platform::Ports ports, std::string folder);

  bool SaveFile(const std::string& path) override;
  bool SaveTree(const std::string& path) override;
  bool SaveKey(platform::HKey parent, const std::string& name, const std::string& line) override;
  bool SaveValue(platform::HKey key, const std::string& keyLine, const std::string& name) override;
  // Below "drivers\<published>\", listed in drivers.txt.
  bool SavePackage(const platform::DriverPackage& package) override;
  // What the backup refused the item for, or what stopped its copy.
  std::string FailureReason() const override;

  const std::string& Folder() const { return folder_; }

 private:
  // What an item adds to the backup's text files once all its copies are made.
  struct Pending {
    std::string attributes;
    std::string manifest;
  };

  bool Ready();
  std::string CopyOf(const std::string& path);
  bool MakeFolderFor(const std::string& copy);
  bool CopyFile(const std::string& path, const EntryFacts& facts, Pending& pending);
  bool CopyFolder(const std::string& path, const EntryFacts& facts, Pending& pending);
  void AddLink(Kind kind, const std::string& path, Pending& pending);
  bool ExportKey(platform::HKey parent, const std::string& name, const std::string& line,
                 const std::string& fullName, std::string& reg, Pending& pending);
  std::string Spelling(platform::HKey parent, const std::string& name);
  bool Commit(const Pending& pending, const std::string& reg = {});
  bool Append(const char* file, const std::string& text);
  bool FirstTime(const std::string& item);
  bool KeepName(const std::string& path, Pending& pending);
  bool Failed(std::uint32_t error);
  bool CopyTree(const std::string& from, const std::string& to);

  platform::FileSystem& fs_;
  platform::Registry& registry_;
  std::string folder_;
  bool ready_ = false;
  std::set<std::string> damaged_;  // backup files a write stopped in part way
  std::string failure_;            // why the last item was refused, when it was
  std::string why_;                // what stopped the last item's copy
  std::set<std::string> saved_;    // items saved by this run, upper case
  std::set<std::string> copies_;   // copies made by this run, upper case
  std::set<std::string> folders_;  // copy folders known to exist, upper case
};

}  // namespace quenk::backup
