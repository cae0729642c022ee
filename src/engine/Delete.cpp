#include "engine/Delete.h"

#include "base/IoError.h"
#include "platform/LiteralPath.h"

namespace quenk::engine {

namespace attr = platform::attr;
using platform::RegKey;

namespace {

bool IsDots(const std::string& name) {
  return name == "." || name == "..";
}

}  // namespace

std::string EntryPath(const std::string& folder, const platform::FindEntry& entry) {
  if (entry.name.find('?') != std::string::npos && !entry.shortName.empty())
    return folder + entry.shortName;
  std::string path = folder + entry.name;
  if (!entry.name.empty() && (entry.name.back() == '.' || entry.name.back() == ' ')) {
    if (std::string literal = platform::LiteralPath(path); !literal.empty()) return literal;
  }
  return path;
}

std::string_view RootPrefix(platform::HKey root) {
  if (root == platform::kCurrentUser) return "HKCU\\";
  if (root == platform::kLocalMachine) return "HKLM\\";
  return "";
}

void Remover::Record(bool removed, std::string line) {
  if (removed)
    record_.AppendDeleted(std::move(line));
  else
    record_.AppendNotDeleted(std::move(line));
}

void Remover::RemoveFiles(const std::string& folder, Table masks) {
  for (const std::string_view mask : masks) {
    {
      auto search = fs_.Find(folder + std::string(mask), attr::kAnyFile);
      platform::FindEntry entry;
      while (search->Next(entry)) {
        if (IsDots(entry.name)) continue;
        const std::string path = EntryPath(folder, entry);
        const bool removed = (!keeper_ || keeper_->SaveFile(path)) && fs_.Delete(path) == 0;
        Record(removed, folder + entry.name);
      }
    }
    progress_.Advance();
  }
}

void Remover::RemoveFolder(const std::string& path) {
  Record(RemoveTree(path), path);
}

bool Remover::RemoveTree(const std::string& path) {
  if (keeper_ && !keeper_->SaveTree(path)) return false;
  const auto a = fs_.Attributes(path);
  if (!a) {
    // Nothing there to list: the folder-removal error tells what is missing.
    const std::uint32_t error = fs_.RemoveDir(path);
    if (error == platform::err::kFileNotFound || error == platform::err::kPathNotFound)
      throw IoError(error);
    if (error == 0) return true;
  } else if (*a & attr::kReparsePoint) {
    return RemoveLink(path, *a);
  }
  return RemoveContents(path);
}

bool Remover::RemoveLink(const std::string& path, std::uint32_t attributes) {
  const std::uint32_t error =
      (attributes & attr::kDirectory) ? fs_.RemoveDir(path) : fs_.Delete(path);
  return error == 0;
}

bool Remover::RemoveContents(const std::string& path) {
  bool result = true;
  {
    auto search = fs_.Find(path + "\\*.*", attr::kAnyFile);
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (IsDots(entry.name)) continue;
      const std::string child = EntryPath(path + "\\", entry);
      bool removed;
      if (entry.attributes & attr::kReparsePoint)
        removed = RemoveLink(child, entry.attributes);  // never descend into a link
      else if (entry.attributes & attr::kDirectory)
        removed = RemoveContents(child);
      else
        removed = fs_.Delete(child) == 0;
      if (!removed) result = false;
    }
    // A folder whose listing failed was not emptied: it stays like any
    // entry that resisted, and the run goes on.
    if (search->Error() != 0) result = false;
  }
  if (result) {
    const std::uint32_t error = fs_.RemoveDir(path);
    // Still not empty: something the listing could not show stays in it.
    if (error == platform::err::kDirNotEmpty) return false;
    if (error) throw IoError(error);
  }
  return result;
}

void Remover::RemoveInstallerFolders(const std::string& folder, std::string_view companyPrefix) {
  auto search = fs_.Find(folder + "*", attr::kFolders);
  platform::FindEntry entry;
  while (search->Next(entry)) {
    if (IsDots(entry.name)) continue;
    std::string path = folder + entry.name;
    const std::string company = ini_.Read(path + "\\setup.ini", "Startup", "CompanyName", "Not");
    if (std::string_view(company).substr(0, companyPrefix.size()) != companyPrefix) continue;
    const bool removed = RemoveTree(path);
    Record(removed, std::move(path));
  }
}

void Remover::RemoveKeys(platform::HKey root, std::string_view basePath, Table names) {
  const std::string base(basePath);
  RegKey baseKey = RegKey::Open(registry_, root, base, platform::access::kAllAccess);
  // A base key the user may only read still has its named keys tried, so
  // that leftovers which stay are recorded rather than silently skipped.
  if (!baseKey) baseKey = RegKey::Open(registry_, root, base, platform::access::kRead);
  const std::string prefix = std::string(RootPrefix(root)) + base + "\\";
  for (const std::string_view n : names) {
    const std::string name(n);
    if (baseKey && RegKey::OpenItself(registry_, baseKey.Get(), name, platform::access::kRead)) {
      const bool saved = !keeper_ || keeper_->SaveKey(baseKey.Get(), name, prefix + name);
      Record(saved && DeleteKeyTree(baseKey.Get(), name), prefix + name);
    }
    progress_.Advance();
  }
}

bool Remover::DeleteKeyTree(platform::HKey parent, const std::string& name) {
  if (const RegKey self = RegKey::OpenItself(registry_, parent, name, platform::access::kRead);
      self && IsLink(self.Get())) {
    // A link goes as a link: what it points to keeps everything.
    const RegKey link = RegKey::OpenItself(registry_, parent, name,
                                           platform::access::kRead | platform::access::kDelete);
    return link && registry_.DeleteOpenKey(link.Get()) == 0;
  }
  {
    const RegKey key = RegKey::Open(registry_, parent, name, platform::access::kAllAccess);
    platform::KeyInfo info;
    if (key && registry_.QueryInfo(key.Get(), info) == 0) {
      for (std::uint32_t i = info.subKeys; i-- > 0;) {
        std::string sub;
        if (registry_.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) == 0)
          DeleteKeyTree(key.Get(), sub);
      }
    }
  }
  return registry_.DeleteKey(parent, name) == 0;
}

bool Remover::IsLink(platform::HKey key) {
  std::uint32_t type = 0;
  std::string data;
  return registry_.QueryValue(key, platform::kLinkValueName, type, data) == 0 &&
         type == platform::regtype::kLink;
}

}  // namespace quenk::engine
