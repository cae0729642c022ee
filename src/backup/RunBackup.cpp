#include "backup/RunBackup.h"

#include "backup/BackupFolder.h"
#include "backup/ExactKey.h"
#include "backup/RegFile.h"
#include "base/Text.h"
#include "engine/Delete.h"
#include "platform/Paths.h"

namespace quenk::backup {
namespace {

namespace attr = platform::attr;
using platform::RegKey;

}  // namespace

RunBackup::RunBackup(platform::Ports ports, std::string folder)
    : fs_(ports.fs), registry_(ports.registry), folder_(std::move(folder)) {}

bool RunBackup::Ready() {
  if (!ready_) ready_ = fs_.ForceDirectories(folder_);
  if (!ready_) why_ = "the backup folder cannot be made";
  return ready_;
}

bool RunBackup::Failed(std::uint32_t error) {
  why_ = engine::ReasonFor(error, 0);
  return false;
}

std::string RunBackup::FailureReason() const {
  if (!failure_.empty()) return failure_;
  return why_.empty() ? "no copy in the backup" : "no copy in the backup: " + why_;
}

bool RunBackup::FirstTime(const std::string& item) {
  why_.clear();
  return saved_.count(UpperCase(item)) == 0;
}

bool TreeHolds(platform::FileSystem& fs, const std::string& tree, const std::string& inner) {
  const auto inside = [](const std::string& a, const std::string& b) {
    return EqualsNoCase(a, b) || (StartsWithNoCase(a, b + "\\") && !b.empty());
  };
  if (inside(inner, tree)) return true;
  const auto treeId = fs.Identify(tree);
  if (!treeId) return false;
  // The inner folder may not exist yet: compare its nearest existing parent.
  std::string existing = inner, rest;
  while (!fs.Attributes(existing)) {
    if (platform::FolderOf(existing).empty()) return false;
    rest = "\\" + platform::LastComponent(existing) + rest;
    existing = platform::ParentOf(existing);
  }
  const auto innerId = fs.Identify(existing);
  return innerId && inside(innerId->finalPath + rest, treeId->finalPath);
}

std::optional<platform::LongName> NameToKeep(platform::FileSystem& fs, const std::string& path) {
  const std::string_view plain =
      platform::IsLiteralPath(path) ? std::string_view(path).substr(4) : std::string_view(path);
  if (plain.find('?') != std::string_view::npos) return std::nullopt;
  auto name = fs.LongNameOf(path);
  if (!name || name->ansi.find('?') == std::string::npos) return platform::LongName{};
  for (const char c : name->utf8)
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '/') return std::nullopt;
  if (name->utf8.empty()) return std::nullopt;
  return name;
}

// A copy lies under the name that reached the entry; a long name the code
// page cannot spell goes into the manifest, for the restore to give back.
bool RunBackup::KeepName(const std::string& path, Pending& pending) {
  const auto name = NameToKeep(fs_, path);
  if (!name) {
    failure_ = kNameOutsideCodePage;
    return false;
  }
  if (!name->utf8.empty()) pending.manifest += FormatNameLine({path, *name});
  return true;
}

std::string RunBackup::CopyOf(const std::string& path) {
  return folder_ + "\\" + kFilesFolder + "\\" + CopyPathFor(path);
}

bool RunBackup::MakeFolderFor(const std::string& copy) {
  const std::string folder = platform::ParentOf(copy);
  if (folders_.count(UpperCase(folder))) return true;
  if (!fs_.ForceDirectories(Reachable(folder))) {
    why_ = "its folder in the backup cannot be made";
    return false;
  }
  folders_.insert(UpperCase(folder));
  return true;
}

// A second name on the same volume keeps every byte, attribute and time at
// the cost of one call; where none can be made, the system's copy does.
bool RunBackup::CopyFile(const std::string& path, const EntryFacts& facts, Pending& pending) {
  const std::string copy = CopyOf(path);
  if (CopyPathFor(path).empty() || !MakeFolderFor(copy)) return false;
  // A file this run saved before and could not delete: its copy stands.
  if (copies_.count(UpperCase(copy))) return true;
  const std::string target = Reachable(copy);
  const bool there = fs_.Exists(target);
  if (fs_.HardLink(path, target) != 0) {
    if (const std::uint32_t error = fs_.Copy(path, target, true)) {
      // What a copy cut short by a full disk left would only take more room;
      // a copy that was there before is another run's.
      if (!there) fs_.Delete(target);
      return Failed(error);
    }
  }
  copies_.insert(UpperCase(copy));
  pending.attributes += FormatAttributesLine(path, facts);
  return true;
}

bool RunBackup::CopyFolder(const std::string& path, const EntryFacts& facts, Pending& pending) {
  const std::string copy = CopyOf(path);
  if (CopyPathFor(path).empty() || !MakeFolderFor(copy)) return false;
  if (!folders_.count(UpperCase(copy))) {
    const std::string target = Reachable(copy);
    if (fs_.MakeDir(target) != 0 && !fs_.FolderExists(target)) return false;
    folders_.insert(UpperCase(copy));
  }
  auto search = fs_.Find(path + "\\*.*", attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (platform::IsDotName(entry.name)) continue;
    const std::string child = engine::EntryPath(path + "\\", entry);
    const EntryFacts childFacts{entry.attributes, entry.times};
    Pending named;
    if (entry.name.find('?') != std::string::npos && !KeepName(child, named)) return false;
    if (entry.attributes & attr::kReparsePoint) {
      AddLink((entry.attributes & attr::kDirectory) ? Kind::kFolder : Kind::kFile, child, pending);
      pending.manifest += named.manifest;
    } else if (entry.attributes & attr::kDirectory) {
      pending.manifest += named.manifest;
      if (!CopyFolder(child, childFacts, pending)) return false;
    } else if (!CopyFile(child, childFacts, pending)) {
      return false;
    } else {
      pending.manifest += named.manifest;
    }
  }
  // A listing that failed leaves what it did not show where it is: the
  // removal sees the same listing and takes nothing more.
  pending.attributes += FormatAttributesLine(path, facts);
  return true;
}

void RunBackup::AddLink(Kind kind, const std::string& path, Pending& pending) {
  std::string target;
  if (const auto id = fs_.Identify(path)) target = id->finalPath;
  pending.manifest += FormatManifestLine({kind, path, true, target});
}

bool RunBackup::SaveFile(const std::string& path) {
  failure_.clear();
  if (!FirstTime("file\t" + path)) return true;
  const auto a = fs_.Attributes(path);
  if (!a) {
    if (!NameToKeep(fs_, path)) failure_ = kNameOutsideCodePage;
    return false;
  }
  // A folder is never deleted as a file.
  if ((*a & attr::kDirectory) && !(*a & attr::kReparsePoint)) return true;
  Pending named;
  if (!KeepName(path, named) || !Ready()) return false;
  Pending pending;
  if (*a & attr::kReparsePoint) {
    AddLink((*a & attr::kDirectory) ? Kind::kFolder : Kind::kFile, path, pending);
  } else {
    const auto times = fs_.Times(path);
    if (!times || !CopyFile(path, {*a, *times}, pending)) return false;
    pending.manifest = FormatManifestLine({Kind::kFile, path, false, {}});
  }
  pending.manifest += named.manifest;
  if (!Commit(pending)) return false;
  saved_.insert(UpperCase("file\t" + path));
  return true;
}

bool RunBackup::SaveTree(const std::string& path) {
  failure_.clear();
  if (!FirstTime("folder\t" + path)) return true;
  const auto a = fs_.Attributes(path);
  if (!a) return true;                        // nothing there: the removal says so itself
  if (!(*a & attr::kDirectory)) return true;  // no folder: the removal takes nothing
  // A backup kept inside the tree would go with it.
  if (!(*a & attr::kReparsePoint) && TreeHolds(fs_, path, folder_)) return false;
  Pending named;
  if (!KeepName(path, named) || !Ready()) return false;
  Pending pending;
  if (*a & attr::kReparsePoint) {
    AddLink(Kind::kFolder, path, pending);
    pending.manifest += named.manifest;
  } else {
    const auto times = fs_.Times(path);
    if (!times) return false;
    Pending inside;
    if (!CopyFolder(path, {*a, *times}, inside)) return false;
    pending.attributes = std::move(inside.attributes);
    pending.manifest =
        FormatManifestLine({Kind::kFolder, path, false, {}}) + named.manifest + inside.manifest;
  }
  if (!Commit(pending)) return false;
  saved_.insert(UpperCase("folder\t" + path));
  return true;
}

bool RunBackup::SaveKey(platform::HKey parent, const std::string& name, const std::string& line) {
  failure_.clear();
  if (!FirstTime("key\t" + line)) return true;
  if (FullKeyName(line).empty()) return false;
  // What the backup cannot bring back as it is stays on the machine.
  failure_ = WhyNotKeptExactly(registry_, parent, name, line);
  if (!failure_.empty()) return false;
  // The key as the registry spells it, which may differ from the record's
  // spelling in case: a restore brings back the registry's.
  const std::string prefix = line.substr(0, line.size() - name.size());
  const std::string fullName = FullKeyName(prefix) + Spelling(parent, name);
  std::string reg;
  Pending pending;
  if (!ExportKey(parent, name, line, fullName, reg, pending)) return false;
  if (!Ready() || !Commit(pending, reg)) return false;
  saved_.insert(UpperCase("key\t" + line));
  return true;
}

bool RunBackup::SaveValue(platform::HKey key, const std::string& keyLine, const std::string& name) {
  failure_.clear();
  if (!FirstTime("value\t" + ValueLine(keyLine, name))) return true;
  if (FullKeyName(keyLine).empty()) return false;
  failure_ = WhyValueNotKeptExactly(registry_, key, keyLine, name);
  if (!failure_.empty()) return false;
  RegValue value{name, 0, {}};
  if (registry_.QueryValue(key, name, value.type, value.data) != 0) return true;
  const std::string reg = FormatRegSection({FullKeyName(keyLine), {value}});
  Pending pending;
  pending.manifest = FormatManifestLine({Kind::kValue, keyLine, false, {}, name});
  if (!Ready() || !Commit(pending, reg)) return false;
  saved_.insert(UpperCase("value\t" + ValueLine(keyLine, name)));
  return true;
}

std::string RunBackup::Spelling(platform::HKey parent, const std::string& name) {
  std::string spelt;
  RegKey owned;
  platform::HKey at = parent;
  for (std::size_t start = 0; start <= name.size();) {
    std::size_t end = name.find('\\', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    std::string found = part;
    platform::KeyInfo info;
    if (registry_.QueryInfo(at, info) == 0) {
      std::string sub;
      for (std::uint32_t i = 0; i < info.subKeys; ++i)
        if (registry_.EnumKey(at, i, info.maxSubKeyLen + 1, sub) == 0 && EqualsNoCase(sub, part)) {
          found = sub;
          break;
        }
    }
    spelt += (spelt.empty() ? "" : "\\") + found;
    start = end + 1;
    if (start > name.size()) break;
    owned = RegKey::Open(registry_, at, part, platform::access::kRead);
    if (!owned) return spelt + "\\" + name.substr(start);
    at = owned.Get();
  }
  return spelt;
}

bool RunBackup::ExportKey(platform::HKey parent, const std::string& name, const std::string& line,
                          const std::string& fullName, std::string& reg, Pending& pending) {
  const RegKey key = RegKey::OpenItself(registry_, parent, name, platform::access::kRead);
  if (!key) return false;
  std::uint32_t type = 0;
  std::string data;
  if (registry_.QueryValue(key.Get(), platform::kLinkValueName, type, data) == 0 &&
      type == platform::regtype::kLink) {
    const auto target = LinkTargetText(data);
    if (!target) return false;
    pending.manifest += FormatManifestLine({Kind::kKey, line, true, *target});
    return true;
  }
  if (pending.manifest.empty())
    pending.manifest = FormatManifestLine({Kind::kKey, line, false, {}});
  RegSection section{fullName, {}};
  RegValue value;
  std::uint32_t index = 0;
  std::uint32_t error = 0;
  while ((error = registry_.EnumValue(key.Get(), index, value.name, value.type, value.data)) == 0) {
    section.values.push_back(value);
    ++index;
  }
  if (error != platform::err::kNoMoreItems) return false;
  reg += FormatRegSection(section);
  platform::KeyInfo info;
  if (registry_.QueryInfo(key.Get(), info) != 0) return false;
  for (std::uint32_t i = 0; i < info.subKeys; ++i) {
    std::string sub;
    if (registry_.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) != 0) return false;
    if (!ExportKey(key.Get(), sub, line + "\\" + sub, fullName + "\\" + sub, reg, pending))
      return false;
  }
  return true;
}

// The item's text goes in last: registry.reg and attributes.txt first, the
// manifest line after them, so that a manifest line always has its data.
bool RunBackup::Commit(const Pending& pending, const std::string& reg) {
  if (!reg.empty()) {
    const std::string path = folder_ + "\\" + kRegistryFile;
    if (!Append(kRegistryFile, (fs_.Exists(path) ? std::string() : RegFileHeader()) + reg))
      return false;
  }
  if (!pending.attributes.empty() && !Append(kAttributesFile, pending.attributes)) return false;
  return Append(kManifestFile, pending.manifest);
}

bool RunBackup::Append(const char* file, const std::string& text) {
  auto opened = fs_.Open(folder_ + "\\" + file, platform::OpenMode::kAppend);
  if (opened.error) return Failed(opened.error);
  // After a write that stopped part way, start on a line of its own, so the
  // next item's line is not glued to the fragment.
  std::uint32_t error = opened.file->Write(damaged_.count(file) ? "\r\n" + text : text);
  if (const std::uint32_t closed = opened.file->Close(); !error) error = closed;
  if (error == 0) return true;
  damaged_.insert(file);
  return Failed(error);
}

}  // namespace quenk::backup
