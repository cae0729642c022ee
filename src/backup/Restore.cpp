#include "backup/Restore.h"

#include "backup/PackageBackup.h"

#include "backup/BackupFolder.h"
#include "platform/Paths.h"
#include "backup/Manifest.h"
#include "backup/RegFile.h"
#include "base/Text.h"

#include <map>
#include <memory>
#include <optional>

namespace quenk::backup {
namespace {

namespace attr = platform::attr;
namespace err = platform::err;
using platform::RegKey;

std::string Reason(std::uint32_t code) {
  switch (code) {
    case err::kFileNotFound:
      return "not found";
    case err::kPathNotFound:
      return "its folder is missing";
    case err::kAccessDenied:
      return "access denied";
    case err::kSharingViolation:
      return "in use by another program";
    case err::kDiskFull:
      return "the disk is full";
    case err::kFilenameTooLong:
      return "the path is too long";
    case 1314:
      return "a privilege is needed";
    default:
      return "error " + std::to_string(code);
  }
}

std::string ValueLine(const std::string& key, const RegValue& v) {
  return backup::ValueLine(key, v.name.empty() ? "(default)" : v.name);
}

std::string Wide(const std::string& text) {
  std::string out;
  for (const char c : text) out += {c, '\0'};
  return out;
}

// What the restore of one item or part did.
struct Outcome {
  std::vector<std::string> restored;
  std::vector<std::string> notRestored;
  bool changed = false;  // something was put back
  bool failed = false;
  bool partial = false;  // saved values left out of a key that exists

  void Restored(std::string line) {
    restored.push_back(std::move(line));
    changed = true;
  }
  void Failed(const std::string& what, const std::string& why) {
    notRestored.push_back(what + ": " + why);
    failed = true;
  }
  void Skipped(const std::string& what) { notRestored.push_back(what + ": skipped, it exists"); }
  void SkippedValue(const std::string& what) {
    notRestored.push_back(what + ": skipped, the key exists");
    partial = true;
  }
  void Add(Outcome other) {
    for (auto& l : other.restored) restored.push_back(std::move(l));
    for (auto& l : other.notRestored) notRestored.push_back(std::move(l));
    changed = changed || other.changed;
    failed = failed || other.failed;
    partial = partial || other.partial;
  }
  // An existing folder or key of which nothing was missing: one line for all.
  void SkippedWhole(const std::string& what) {
    if (changed || failed || partial) return;
    notRestored.clear();
    Skipped(what);
  }
};

// A saved key with its values and subkeys, merged from every section of it.
struct KeyNode {
  std::string name;
  std::vector<RegValue> values;
  std::map<std::string, std::unique_ptr<KeyNode>> children;  // by upper-case name

  void SetValue(RegValue v) {
    for (auto& mine : values)
      if (EqualsNoCase(mine.name, v.name)) {
        mine = std::move(v);
        return;
      }
    values.push_back(std::move(v));
  }
};

class Restorer {
 public:
  Restorer(platform::Ports ports, std::string folder)
      : fs_(ports.fs), registry_(ports.registry), folder_(std::move(folder)) {}

  RestoreResult Run() {
    RestoreResult result;
    std::string text;
    if (const std::uint32_t error = Read(kManifestFile, text)) {
      result.notRestored.push_back(std::string(kManifestFile) + ": " + Reason(error));
      return result;
    }
    const Manifest manifest = ParseManifest(text);
    for (const auto& p : manifest.problems)
      result.notRestored.push_back(std::string(kManifestFile) + ", " + p);
    if (Read(kAttributesFile, text) == 0) facts_ = ParseAttributes(text);
    for (const auto& item : manifest.items)
      for (const auto& n : item.names) names_[UpperCase(platform::PlainPath(n.path))] = n.name;
    LoadRegistry(manifest, result);
    // Undone in the reverse order of deletion, so that a folder comes back
    // before what was deleted from it earlier; shown in the order of deletion.
    std::vector<Outcome> outcomes(manifest.items.size());
    for (std::size_t i = manifest.items.size(); i-- > 0;)
      outcomes[i] = RestoreItem(manifest.items[i]);
    for (auto& o : outcomes) {
      for (auto& l : o.restored) result.restored.push_back(std::move(l));
      for (auto& l : o.notRestored) result.notRestored.push_back(std::move(l));
    }
    return result;
  }

 private:
  std::uint32_t Read(const char* name, std::string& text) {
    text.clear();
    auto opened = fs_.Open(folder_ + "\\" + name, platform::OpenMode::kRead);
    if (opened.error) return opened.error;
    return opened.file->ReadAll(text);
  }

  void LoadRegistry(const Manifest& manifest, RestoreResult& result) {
    bool keys = false;
    for (const auto& item : manifest.items)
      keys = keys || item.entry.kind == Kind::kKey || item.entry.kind == Kind::kValue;
    if (!keys) return;
    std::string text;
    if (const std::uint32_t error = Read(kRegistryFile, text)) {
      registryMissing_ = Reason(error);
      return;
    }
    RegFile file = ParseRegFile(text);
    for (const auto& p : file.problems)
      result.notRestored.push_back(std::string(kRegistryFile) + ", " + p);
    for (auto& section : file.sections) {
      KeyNode* node = &registryRoot_;
      std::size_t start = 0;
      while (start <= section.key.size()) {
        std::size_t end = section.key.find('\\', start);
        if (end == std::string::npos) end = section.key.size();
        const std::string part = section.key.substr(start, end - start);
        auto& child = node->children[UpperCase(part)];
        if (!child) {
          child = std::make_unique<KeyNode>();
          child->name = part;
        }
        node = child.get();
        start = end + 1;
      }
      for (auto& v : section.values) node->SetValue(std::move(v));
    }
  }

  // The saved key and its path below the root as the registry spelt it.
  const KeyNode* SavedKey(const std::string& fullName, std::string& spelt) const {
    const KeyNode* node = &registryRoot_;
    spelt.clear();
    std::size_t start = 0;
    while (node && start <= fullName.size()) {
      std::size_t end = fullName.find('\\', start);
      if (end == std::string::npos) end = fullName.size();
      const auto it = node->children.find(UpperCase(fullName.substr(start, end - start)));
      node = it == node->children.end() ? nullptr : it->second.get();
      if (node && start > 0) spelt += (spelt.empty() ? "" : "\\") + node->name;
      start = end + 1;
    }
    return node;
  }

  std::optional<EntryFacts> FactsOf(const std::string& path) {
    const auto it = facts_.find(UpperCase(platform::PlainPath(path)));
    if (it == facts_.end()) return std::nullopt;
    return it->second;
  }

  // The long name to give back to the entry that `path` reached by its short name.
  const platform::LongName* NameOf(const std::string& path) const {
    if (names_.empty()) return nullptr;
    const auto it = names_.find(UpperCase(platform::PlainPath(path)));
    return it == names_.end() ? nullptr : &it->second;
  }

  // The path as the record worded it: each short name that stood in for a
  // long one replaced by that long name as the code page spells it.
  std::string Worded(const std::string& path) const {
    if (names_.empty()) return path;
    std::string worded;
    for (std::size_t start = 0; start <= path.size();) {
      std::size_t end = path.find('\\', start);
      if (end == std::string::npos) end = path.size();
      const platform::LongName* name = start > 0 ? NameOf(path.substr(0, end)) : nullptr;
      worded += name ? name->ansi : path.substr(start, end - start);
      if (end < path.size()) worded += '\\';
      start = end + 1;
    }
    return worded;
  }

  // Whether an entry with a long name of its own can come back at `path`,
  // which then serves as its name until the long one is given back. False,
  // with the line, when it exists or another entry holds that short name.
  bool NameFree(const std::string& path, const platform::LongName& name, Outcome& o) {
    const std::string line = Worded(path);
    if (fs_.AttributesIn(Reachable(platform::ParentOf(path)), name.utf8)) {
      o.Skipped(line);
      return false;
    }
    if (fs_.Attributes(Reachable(path))) {
      o.Failed(line, "another entry has its short name " + platform::LastComponent(path));
      return false;
    }
    return true;
  }

  // Gives a restored entry its long name back; it stays under the short
  // one, and is reported so, when the system refuses.
  bool GiveNameBack(const std::string& path, const platform::LongName& name, Outcome& o) {
    const std::uint32_t error = fs_.Rename(Reachable(path), name.utf8);
    if (error == 0) return true;
    o.Failed(Worded(path),
             "restored as " + path + ", its long name cannot be given back, " + Reason(error));
    return false;
  }

  std::string CopyOf(const std::string& path) {
    return Reachable(folder_ + "\\" + kFilesFolder + "\\" + CopyPathFor(path));
  }

  Outcome RestoreItem(const ManifestItem& item) {
    const ManifestEntry& e = item.entry;
    if (e.link) {
      Outcome o;
      if (e.kind == Kind::kKey)
        RestoreKeyLink(e, o);
      else
        RestoreLink(e, o);
      return o;
    }
    switch (e.kind) {
      case Kind::kFile:
        return RestoreFile(e.path, CopyOf(e.path));
      case Kind::kFolder:
        return RestoreFolder(e.path, CopyOf(e.path), item.links);
      case Kind::kKey:
        return RestoreKeyItem(item);
      case Kind::kValue:
        return RestoreValueItem(item.entry);
    }
    return {};
  }

  // Attributes and times go on last, the attributes after the times: a
  // read-only entry still takes its times.
  std::string ApplyFacts(const std::string& target, const EntryFacts& facts) {
    std::uint32_t error = fs_.SetTimes(target, facts.times);
    if (const std::uint32_t e = fs_.SetAttributes(target, facts.attributes); !error) error = e;
    return error ? " (its attributes or times could not be set: " + Reason(error) + ")"
                 : std::string();
  }

  // The facts of a copy: from attributes.txt, or else from the copy itself.
  std::optional<EntryFacts> FactsFor(const std::string& path, const std::string& copy) {
    if (auto f = FactsOf(path)) return f;
    const auto a = fs_.Attributes(copy);
    const auto t = fs_.Times(copy);
    if (!a || !t) return std::nullopt;
    return EntryFacts{*a, *t};
  }

  // The folders made on the way to one item: they go again unless the
  // item came back, so a failed item leaves nothing behind.
  class MadeFolders {
   public:
    explicit MadeFolders(platform::FileSystem& fs) : fs_(fs) {}
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    ~MadeFolders() {
      if (!kept_)
        for (const auto& folder : made_) fs_.RemoveDir(Reachable(folder));  // deepest first
    }
    void Add(std::string folder) { made_.push_back(std::move(folder)); }
    void Keep() { kept_ = true; }

   private:
    platform::FileSystem& fs_;
    std::vector<std::string> made_;
    bool kept_ = false;
  };

  bool MakeParent(const std::string& path, Outcome& o, MadeFolders& made) {
    std::vector<std::string> missing;
    for (std::string p = platform::ParentOf(path); !p.empty() && p.back() != ':';
         p = platform::ParentOf(p)) {
      if (fs_.FolderExists(Reachable(p))) break;
      missing.push_back(p);
    }
    if (missing.empty()) return true;
    const bool madeAll = fs_.ForceDirectories(Reachable(missing.front()));
    for (const auto& folder : missing)
      if (fs_.FolderExists(Reachable(folder))) made.Add(folder);
    if (madeAll) return true;
    o.Failed(path, "its folder cannot be made");
    return false;
  }

  Outcome RestoreFile(const std::string& path, const std::string& copy) {
    Outcome o;
    const std::string target = Reachable(path);
    const std::string line = Worded(path);
    const platform::LongName* name = NameOf(path);
    if (name ? !NameFree(path, *name, o) : fs_.Attributes(target).has_value()) {
      if (!name) o.Skipped(line);
      return o;
    }
    const auto copyAttributes = fs_.Attributes(copy);
    if (!copyAttributes || (*copyAttributes & attr::kDirectory)) {
      o.Failed(line, "the backup holds no copy of it");
      return o;
    }
    const auto facts = FactsFor(path, copy);  // before the copy is read
    MadeFolders folders(fs_);
    if (!MakeParent(path, o, folders)) return o;
    const std::uint32_t error = fs_.Copy(copy, target, true);
    if (error == err::kFileExists || error == err::kAlreadyExists) {
      o.Skipped(line);
      return o;
    }
    if (error) {
      o.Failed(line, Reason(error));
      return o;
    }
    folders.Keep();
    const std::string factsNote = facts ? ApplyFacts(target, *facts) : std::string();
    if (name && !GiveNameBack(path, *name, o)) return o;
    o.Restored(line + factsNote);
    return o;
  }

  Outcome RestoreFolder(const std::string& path, const std::string& copy,
                        const std::vector<ManifestEntry>& links) {
    Outcome o;
    const std::string target = Reachable(path);
    const std::string line = Worded(path);
    const platform::LongName* name = NameOf(path);
    // A folder of that long name takes what is missing only where the short
    // name still leads to it.
    if (name) {
      const auto there = fs_.LongNameOf(target);
      if (!(there && there->utf8 == name->utf8) && !NameFree(path, *name, o)) return o;
    }
    const auto a = fs_.Attributes(target);
    // A file or a link at its place: nothing goes into what a link leads to.
    if (a && (!(*a & attr::kDirectory) || (*a & attr::kReparsePoint))) {
      o.Skipped(line);
      return o;
    }
    if (!fs_.FolderExists(copy)) {
      o.Failed(line, "the backup holds no copy of it");
      return o;
    }
    const auto facts = FactsFor(path, copy);  // before the copy is listed
    bool made = false;
    if (!a) {
      MadeFolders folders(fs_);
      if (!MakeParent(path, o, folders)) return o;
      const std::uint32_t error = fs_.MakeDir(target);
      if (error && error != err::kAlreadyExists) {
        o.Failed(line, Reason(error));
        return o;
      }
      folders.Keep();
      made = error == 0;
    }
    Outcome inside;
    auto search = fs_.Find(copy + "\\*.*", attr::kAnyFile);
    platform::FindEntry entry;
    while (search->Next(entry)) {
      if (platform::IsDotName(entry.name)) continue;
      const std::string child = platform::Join(path, entry.name);
      const std::string childCopy = Reachable(platform::Join(copy, entry.name));
      if (entry.attributes & attr::kDirectory)
        inside.Add(RestoreFolder(child, childCopy, links));
      else
        inside.Add(RestoreFile(child, childCopy));
    }
    for (const auto& link : links) {
      if (EqualsNoCase(platform::PlainPath(platform::ParentOf(link.path)),
                       platform::PlainPath(path)))
        RestoreLink(link, inside);
    }
    if (!made) {
      inside.SkippedWhole(line);
      return inside;
    }
    // Its times last: each entry made inside changed them.
    const std::string factsNote = facts ? ApplyFacts(target, *facts) : std::string();
    if (!name || GiveNameBack(path, *name, o)) o.Restored(line + factsNote);
    for (auto& l : inside.notRestored) o.notRestored.push_back(std::move(l));
    o.failed = o.failed || inside.failed;
    return o;
  }

  void RestoreLink(const ManifestEntry& link, Outcome& o) {
    const std::string line = Worded(link.path);
    const platform::LongName* name = NameOf(link.path);
    if (name ? !NameFree(link.path, *name, o) : fs_.Attributes(Reachable(link.path)).has_value()) {
      if (!name) o.Skipped(line);
      return;
    }
    if (link.target.empty()) {
      o.Failed(line, "a link whose target was not known");
      return;
    }
    MadeFolders folders(fs_);
    if (!MakeParent(link.path, o, folders)) return;
    std::uint32_t error =
        fs_.MakeLink(Reachable(link.path), link.target, link.kind == Kind::kFolder);
    // Wine reports success for a link it does not make: trust what is there.
    if (!error && !fs_.Attributes(Reachable(link.path))) error = platform::err::kFileNotFound;
    if (error) {
      o.Failed(line, "the link to " + link.target + " cannot be made again, " + Reason(error));
    } else {
      folders.Keep();
      if (!name || GiveNameBack(link.path, *name, o))
        o.Restored(line + " (a link to " + link.target + ")");
    }
  }

  bool IsLink(platform::HKey key) {
    std::uint32_t type = 0;
    std::string data;
    return registry_.QueryValue(key, platform::kLinkValueName, type, data) == 0 &&
           type == platform::regtype::kLink;
  }

  static bool SplitKey(const std::string& line, platform::HKey& root, std::string& path) {
    root = StartsWithNoCase(line, "HKCU\\") ? platform::kCurrentUser : platform::kLocalMachine;
    path = line.substr(5);
    return IsKeyPath(line);
  }

  void RestoreKeyLink(const ManifestEntry& link, Outcome& o) {
    platform::HKey root = 0;
    std::string path;
    if (!SplitKey(link.path, root, path)) return;
    if (RegKey::OpenItself(registry_, root, path, platform::access::kRead)) {
      o.Skipped(link.path);
      return;
    }
    platform::HKey key = 0;
    bool created = false;
    std::uint32_t error = registry_.CreateKey(root, path, true, key, created);
    if (error) {
      o.Failed(link.path, Reason(error));
      return;
    }
    const RegKey made(registry_, key);
    if (!created) {
      o.Skipped(link.path);
      return;
    }
    error = registry_.SetValue(made.Get(), platform::kLinkValueName, platform::regtype::kLink,
                               Wide(link.target));
    if (error)
      o.Failed(link.path, "the link to " + link.target + " cannot be made again, " + Reason(error));
    else
      o.Restored(link.path + " (a link to " + link.target + ")");
  }

  // Why a key or value the registry file should hold is not put back.
  std::string NoSavedKey() const {
    return registryMissing_.empty()
               ? std::string(kRegistryFile) + " holds no copy of it"
               : std::string(kRegistryFile) + " cannot be read, " + registryMissing_;
  }

  Outcome RestoreKeyItem(const ManifestItem& item) {
    Outcome o;
    const std::string& line = item.entry.path;
    std::string path;
    const KeyNode* saved = registryMissing_.empty() ? SavedKey(FullKeyName(line), path) : nullptr;
    if (!saved) {
      o.Failed(line, NoSavedKey());
      return o;
    }
    platform::HKey root = 0;
    std::string recorded;
    SplitKey(line, root, recorded);
    return RestoreKey(line, root, path, *saved, item.links);
  }

  // A single value goes back into its key, made again where it is missing,
  // unless the key holds a value of that name.
  Outcome RestoreValueItem(const ManifestEntry& entry) {
    Outcome o;
    const std::string line = backup::ValueLine(entry.path, entry.value);
    std::string path;
    const KeyNode* saved =
        registryMissing_.empty() ? SavedKey(FullKeyName(entry.path), path) : nullptr;
    const RegValue* value = nullptr;
    if (saved)
      for (const auto& v : saved->values)
        if (EqualsNoCase(v.name, entry.value)) value = &v;
    if (!value) {
      o.Failed(line, NoSavedKey());
      return o;
    }
    platform::HKey root = 0;
    std::string recorded;
    SplitKey(entry.path, root, recorded);
    if (const RegKey existing =
            RegKey::OpenItself(registry_, root, path, platform::access::kRead)) {
      std::uint32_t type = 0;
      std::string data;
      // Nothing goes into what a link leads to.
      if (IsLink(existing.Get()) ||
          registry_.QueryValue(existing.Get(), value->name, type, data) == 0) {
        o.Skipped(line);
        return o;
      }
    }
    platform::HKey key = 0;
    bool made = false;
    if (const std::uint32_t error = registry_.CreateKey(root, path, false, key, made)) {
      o.Failed(line, Reason(error));
      return o;
    }
    const RegKey owned(registry_, key);
    if (const std::uint32_t error =
            registry_.SetValue(owned.Get(), value->name, value->type, value->data))
      o.Failed(line, Reason(error));
    else
      o.Restored(line);
    return o;
  }

  // Values go only into a key made here: an existing key keeps its own,
  // and each saved value it does not hold as saved is named.
  void NameValuesLeftOut(platform::HKey existing, const std::string& line, const KeyNode& saved,
                         Outcome& o) {
    for (const auto& v : saved.values) {
      std::uint32_t type = 0;
      std::string data;
      if (registry_.QueryValue(existing, v.name, type, data) != 0 || type != v.type ||
          data != v.data)
        o.SkippedValue(ValueLine(line, v));
    }
  }

  // `line` names the key in the lines, `path` below `root` makes it.
  Outcome RestoreKey(const std::string& line, platform::HKey root, const std::string& path,
                     const KeyNode& saved, const std::vector<ManifestEntry>& links) {
    Outcome o;
    bool made = false;
    if (const RegKey existing =
            RegKey::OpenItself(registry_, root, path, platform::access::kRead)) {
      // Nothing goes into what a link leads to.
      if (IsLink(existing.Get())) {
        o.Skipped(line);
        return o;
      }
      NameValuesLeftOut(existing.Get(), line, saved, o);
    } else {
      platform::HKey key = 0;
      const std::uint32_t error = registry_.CreateKey(root, path, false, key, made);
      if (error) {
        o.Failed(line, Reason(error));
        return o;
      }
      const RegKey owned(registry_, key);
      if (!made) NameValuesLeftOut(owned.Get(), line, saved, o);
      for (const auto& v : made ? saved.values : std::vector<RegValue>{}) {
        if (const std::uint32_t e = registry_.SetValue(owned.Get(), v.name, v.type, v.data))
          o.Failed(ValueLine(line, v), Reason(e));
      }
    }
    Outcome inside;
    for (const auto& [upper, child] : saved.children)
      inside.Add(
          RestoreKey(line + "\\" + child->name, root, path + "\\" + child->name, *child, links));
    for (const auto& link : links)
      if (EqualsNoCase(platform::KeyParentOf(link.path), line)) RestoreKeyLink(link, inside);
    if (!made) {
      o.Add(std::move(inside));
      o.SkippedWhole(line);
      return o;
    }
    o.Restored(line);
    for (auto& l : inside.notRestored) o.notRestored.push_back(std::move(l));
    o.failed = o.failed || inside.failed;
    return o;
  }

  platform::FileSystem& fs_;
  platform::Registry& registry_;
  std::string folder_;
  std::map<std::string, EntryFacts> facts_;
  std::map<std::string, platform::LongName> names_;  // by upper-case path as reached
  KeyNode registryRoot_;
  std::string registryMissing_;  // why registry.reg could not be read
};

}  // namespace

RestoreResult Restore(platform::Ports ports, const std::string& folder) {
  RestoreResult result = Restorer(ports, folder).Run();
  RestorePackages(ports, folder, result);
  return result;
}

}  // namespace quenk::backup
