#include "engine/Delete.h"

#include "base/IoError.h"
#include "base/Text.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"

namespace quenk::engine {

namespace attr = platform::attr;
using platform::RegKey;

std::string EntryPath(const std::string& folder, const platform::FindEntry& entry) {
  if (entry.name.find('?') != std::string::npos && !entry.shortName.empty())
    return folder + entry.shortName;
  std::string path = folder + entry.name;
  if (!entry.name.empty() && (entry.name.back() == '.' || entry.name.back() == ' ' ||
                              platform::IsDeviceName(entry.name))) {
    if (std::string literal = platform::LiteralPath(path); !literal.empty()) return literal;
  }
  return path;
}

// Masks whose matching the platform's rules pin down: "?" and the DOS
// wildcards behave differently on different systems, and so does a
// trailing dot ("*." takes every name under Wine).
bool MatchableInMemory(std::string_view mask) {
  return mask.find_first_of("?<>\"") == std::string_view::npos &&
         (mask.empty() || mask.back() != '.');
}

// A name matches through its long or its short form, as a search finds it.
bool MatchesListed(const platform::FindEntry& entry, std::string_view mask) {
  return platform::MatchesMask(entry.name, mask) ||
         (!entry.shortName.empty() && platform::MatchesMask(entry.shortName, mask));
}

std::string_view RootPrefix(platform::HKey root) {
  if (root == platform::kCurrentUser) return "HKCU\\";
  if (root == platform::kLocalMachine) return "HKLM\\";
  return "";
}

std::string ReasonFor(std::uint32_t error, std::uint32_t attributes) {
  if (error == platform::err::kAccessDenied && (attributes & attr::kReadOnly)) return "read-only";
  switch (error) {
    case platform::err::kAccessDenied:
      return "access denied";
    case platform::err::kSharingViolation:
    case 33:  // a lock on part of the file
      return "in use";
    case platform::err::kFileNotFound:
    case platform::err::kPathNotFound:
      return "not found";
    case platform::err::kDiskFull:
      return "disk full";
    case platform::err::kFilenameTooLong:
      return "path too long";
    case platform::err::kDirNotEmpty:
      return "not empty";
    default:
      return "error " + std::to_string(error);
  }
}

void Remover::Record(bool removed, std::string line) {
  if (removed) {
    record_.AppendDeleted(std::move(line));
  } else {
    record_.AppendNotDeleted(std::move(line), why_.empty() ? "could not be removed" : why_);
  }
  why_.clear();
}

void Remover::Because(std::string reason) {
  if (why_.empty()) why_ = std::move(reason);
}

bool Remover::Saved(bool saved) {
  if (!saved) Because(keeper_->FailureReason());
  return saved;
}

bool Remover::DeleteFile(const std::string& path, const platform::FindEntry& entry) {
  if (keeper_ && !Saved(keeper_->SaveFile(path))) return false;
  return Done(fs_.DeleteListed(path, entry), entry.attributes);
}

bool Remover::Done(std::uint32_t error, std::uint32_t attributes) {
  if (error) Because(ReasonFor(error, attributes));
  return error == 0;
}

void Remover::RemoveFiles(const std::string& folder, Table masks) {
  RemoveFilesIn(folder, masks);
  if (const auto twin = halves_.FilesTwin(folder)) RemoveFilesIn(*twin, masks);
}

void Remover::RemoveFilesIn(const std::string& folder, Table masks) {
  // Each mask takes the entries of the run's listing that a search with it
  // would return, in listing order.
  for (const std::string_view mask : masks) {
    if (!MatchableInMemory(mask)) {
      SearchAndRemove(folder, mask);
    } else if (!mask.empty()) {
      for (Listed& l : listings_.Of(folder)) {
        if (l.gone || !MatchesListed(l.entry, mask)) continue;
        l.gone = DeleteFile(EntryPath(folder, l.entry), l.entry);
        Record(l.gone, folder + l.entry.name);
      }
    }
    progress_.Advance();
  }
}

// A mask the in-memory matcher cannot be sure of goes to the platform's own
// search; what it deletes is gone from the run's listing too.
void Remover::SearchAndRemove(const std::string& folder, std::string_view mask) {
  auto search = fs_.Find(folder + std::string(mask), attr::kAnyFile);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (platform::IsDotName(entry.name)) continue;
    const bool removed = DeleteFile(EntryPath(folder, entry), entry);
    Record(removed, folder + entry.name);
    if (removed) listings_.Removed(folder, entry.name);
  }
}

void Remover::RemoveFolder(const std::string& path) {
  Record(RemoveTree(path), path);
}

bool Remover::RemoveTree(const std::string& path) {
  if (keeper_ && !Saved(keeper_->SaveTree(path))) return false;
  bool whole = false;
  try {
    whole = RemoveTreeItself(path);
  } catch (...) {
    listings_.TreeRemoved(path, false);
    throw;
  }
  listings_.TreeRemoved(path, whole);
  return whole;
}

bool Remover::RemoveTreeItself(const std::string& path) {
  const auto a = fs_.Attributes(path);
  if (!a) {
    // Nothing there to list: the folder-removal error tells what is missing.
    const std::uint32_t error = fs_.RemoveDir(path);
    if (error == platform::err::kFileNotFound || error == platform::err::kPathNotFound)
      throw IoError(error, path);
    if (error == 0) return true;
    Because(ReasonFor(error, 0));
  } else if (*a & attr::kReparsePoint) {
    return RemoveLink(path, *a);
  }
  return RemoveContents(path);
}

bool Remover::RemoveLink(const std::string& path, std::uint32_t attributes) {
  return Done((attributes & attr::kDirectory) ? fs_.RemoveDir(path) : fs_.Delete(path), attributes);
}

bool Remover::RemoveContents(const std::string& path) {
  bool result = true;
  {
    auto search = fs_.Find(path + "\\*.*", attr::kAnyFile);
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (platform::IsDotName(entry.name)) continue;
      const std::string child = EntryPath(path + "\\", entry);
      bool removed;
      if (entry.attributes & attr::kReparsePoint)
        removed = RemoveLink(child, entry.attributes);  // never descend into a link
      else if (entry.attributes & attr::kDirectory)
        removed = RemoveContents(child);
      else
        removed = Done(fs_.DeleteListed(child, entry), entry.attributes);
      if (!removed) result = false;
    }
    // A folder whose listing failed was not emptied: it stays like any
    // entry that resisted, and the run goes on.
    if (search->Error() != 0) {
      Because("a folder inside could not be listed");
      result = false;
    }
  }
  if (result) {
    const std::uint32_t error = fs_.RemoveDir(path);
    // Still not empty: something the listing could not show stays in it.
    if (error == platform::err::kDirNotEmpty) {
      Because("something inside could not be listed");
      return false;
    }
    if (error) throw IoError(error, path);
  }
  return result;
}

void Remover::RemoveInstallerFolders(const std::string& folder, std::string_view companyPrefix) {
  RemoveInstallersIn(folder, companyPrefix);
  if (const auto twin = halves_.InstallersTwin(folder)) RemoveInstallersIn(*twin, companyPrefix);
}

void Remover::RemoveInstallersIn(const std::string& folder, std::string_view companyPrefix) {
  // What a search for folders returns: hidden and system entries pass it by.
  constexpr std::uint32_t kPassedBy = attr::kHidden | attr::kSystem | attr::kVolumeLabel;
  for (Listed& l : listings_.Of(folder)) {
    if (l.gone || (l.entry.attributes & kPassedBy)) continue;
    const platform::FindEntry& entry = l.entry;
    // "{X}." would read and remove "{X}" unless reached literally.
    const std::string path = EntryPath(folder, entry);
    const std::string company = ini_.Read(path + "\\setup.ini", "Startup", "CompanyName", "Not");
    if (std::string_view(company).substr(0, companyPrefix.size()) != companyPrefix) continue;
    const bool removed = RemoveTree(path);
    Record(removed, folder + entry.name);
  }
}

void Remover::RemoveKeys(platform::HKey root, std::string_view basePath, Table names) {
  const std::string base(basePath);
  RemoveKeysIn(root, base, names, 0);
  if (halves_.KeysTwin(root, base)) RemoveKeysIn(root, base, names, platform::access::kWow64_32Key);
}

void Remover::RemoveKeysIn(platform::HKey root, const std::string& base, Table names,
                           std::uint32_t view) {
  const auto open = [&](std::uint32_t rights) {
    return view ? Open32BitKey(registry_, root, base, rights)
                : RegKey::Open(registry_, root, base, rights);
  };
  RegKey baseKey = open(platform::access::kAllAccess);
  // A base key the user may only read still has its named keys tried, so
  // that leftovers which stay are recorded rather than silently skipped.
  if (!baseKey) baseKey = open(platform::access::kRead);
  const std::string prefix =
      (view ? Wow64KeyPath(base) : std::string(RootPrefix(root)) + base) + "\\";
  for (const std::string_view n : names) {
    const std::string name(n);
    if (baseKey &&
        RegKey::OpenItself(registry_, baseKey.Get(), name, platform::access::kRead | view)) {
      // Reached through a link, the key belongs to what the link points to.
      if (ReachedThroughLink(root, base + "\\" + name, view)) {
        Because("reached through a registry link");
        Record(false, prefix + name);
      } else {
        const bool saved = !keeper_ || Saved(keeper_->SaveKey(baseKey.Get(), name, prefix + name));
        Record(saved && DeleteKeyTree(baseKey.Get(), name, view), prefix + name);
      }
    }
    progress_.Advance();
  }
}

bool Remover::DeleteKeyTree(platform::HKey parent, const std::string& name, std::uint32_t view) {
  if (const RegKey self =
          RegKey::OpenItself(registry_, parent, name, platform::access::kRead | view);
      self && IsLink(self.Get())) {
    // A link goes as a link: what it points to keeps everything.
    const RegKey link = RegKey::OpenItself(
        registry_, parent, name, platform::access::kRead | platform::access::kDelete | view);
    return link ? Done(registry_.DeleteOpenKey(link.Get()), 0)
                : Done(platform::err::kAccessDenied, 0);
  }
  {
    const RegKey key = RegKey::Open(registry_, parent, name, platform::access::kAllAccess | view);
    platform::KeyInfo info;
    if (key && registry_.QueryInfo(key.Get(), info) == 0) {
      for (std::uint32_t i = info.subKeys; i-- > 0;) {
        std::string sub;
        if (registry_.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) == 0)
          DeleteKeyTree(key.Get(), sub, view);
      }
    }
  }
  // RegDeleteKey cannot reach the 32-bit view.
  return Done(view ? registry_.DeleteKeyEx(parent, name, view) : registry_.DeleteKey(parent, name),
              0);
}

bool Remover::ReachedThroughLink(platform::HKey root, const std::string& path, std::uint32_t view) {
  for (std::size_t slash = path.find('\\'); slash != std::string::npos;
       slash = path.find('\\', slash + 1)) {
    const std::string above = path.substr(0, slash);
    // The system's own link to the control set in use, which the sweep means.
    if (root == platform::kLocalMachine && EqualsNoCase(above, "System\\CurrentControlSet"))
      continue;
    const RegKey key = RegKey::OpenItself(registry_, root, above, platform::access::kRead | view);
    if (key && IsLink(key.Get())) return true;
  }
  return false;
}

bool Remover::IsLink(platform::HKey key) {
  std::uint32_t type = 0;
  std::string data;
  return registry_.QueryValue(key, platform::kLinkValueName, type, data) == 0 &&
         type == platform::regtype::kLink;
}

}  // namespace quenk::engine
