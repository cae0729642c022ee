#include "platform/sim/SimFileSystem.h"

#include "base/Text.h"
#include "platform/Paths.h"
#include "platform/Wildcard.h"
#include "platform/sim/Latin1.h"

#include <cstdio>
#include <stdexcept>

namespace quenk::sim {

using platform::attr::kDirectory;
using platform::attr::kReadOnly;
using platform::attr::kReparsePoint;
namespace err = platform::err;
using platform::IsShortName;
using platform::MatchesMask;

namespace {

constexpr std::size_t kMaxPath = 260;
constexpr int kMaxLinkDepth = 32;

bool InvalidLeaf(const std::string& leaf) {
  return leaf.find_first_of("*?\"<>|:") != std::string::npos;
}

// The ANSI entry points stop at MAX_PATH unless the path can take the
// literal form, which the real port then uses.
bool TooLong(const std::string& path) {
  return path.size() >= kMaxPath && platform::LiteralPath(path).empty();
}

std::string TrimTrailingDotsAndSpaces(std::string s) {
  while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
  return s;
}

// A file without any attribute is reported as "normal", as Windows does.
std::uint32_t Reported(const SimNode& node) {
  return node.attributes == 0 ? platform::attr::kNormal : node.attributes;
}

std::uint32_t Fnv(std::string_view s) {
  std::uint32_t h = 2166136261u;
  for (char c : s) h = (h ^ static_cast<unsigned char>(FoldCase(c))) * 16777619u;
  return h;
}

// A UTF-8 name in the Latin-1 code page: "?" for each character above
// U+00FF. False for text that is not valid UTF-8.
bool Spell(const std::string& utf8, std::string& ansi, bool& lossless) {
  ansi.clear();
  lossless = true;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = c < 0x80         ? 1
                               : (c >> 5) == 6  ? 2
                               : (c >> 4) == 14 ? 3
                               : (c >> 3) == 30 ? 4
                                                : 0;
    if (length == 0 || i + length > utf8.size()) return false;
    std::uint32_t code = length == 1 ? c : c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code > 0xFF) lossless = false;
    ansi += code > 0xFF ? '?' : static_cast<char>(code);
    i += length;
  }
  return true;
}

// A name the code page cannot spell is kept apart from every spelling: no
// ANSI path reaches it but its short name.
std::string KeyOf(const SimNode& node) {
  return node.unicodeName.empty() ? UpperCase(node.name) : "\x01" + UpperCase(node.unicodeName);
}

}  // namespace

class SimSearch final : public platform::FileSearch {
 public:
  SimSearch(SimNode* folder, std::string mask, std::uint32_t error = 0)
      : folder_(folder), mask_(std::move(mask)), error_(error) {
    if (folder_) ++folder_->openHandles;
    stage_ = (folder_ && folder_->parent) ? 0 : 2;  // drive roots list no "." and ".."
  }
  ~SimSearch() override {
    if (folder_) --folder_->openHandles;
  }

  bool Next(platform::FindEntry& entry) override {
    if (!folder_) return false;
    while (stage_ < 2) {
      const char* dots = stage_++ == 0 ? "." : "..";
      if (MatchesMask(dots, mask_)) {
        entry = {dots, {}, kDirectory, {}, 0};
        found_ = true;
        return true;
      }
    }
    auto it = started_ ? folder_->children.upper_bound(lastKey_) : folder_->children.begin();
    started_ = true;
    for (; it != folder_->children.end(); ++it) {
      const SimChild& c = it->second;
      if (c.node->unlisted) continue;
      if (MatchesMask(c.node->unicodeName.empty() ? it->first : UpperCase(c.node->name), mask_) ||
          (!c.shortKey.empty() && MatchesMask(c.shortKey, mask_))) {
        lastKey_ = it->first;
        entry = {c.node->name, c.node->shortName, Reported(*c.node), c.node->times,
                 c.node->content.size()};
        found_ = true;
        return true;
      }
    }
    if (!folder_->children.empty()) lastKey_ = folder_->children.rbegin()->first;
    if (!found_) error_ = err::kFileNotFound;
    return false;
  }

  std::uint32_t Error() const override { return error_; }

 private:
  SimNode* folder_;
  std::string mask_;
  std::uint32_t error_;
  int stage_;
  bool started_ = false;
  bool found_ = false;
  std::string lastKey_;
};

class SimFile final : public platform::File {
 public:
  SimFile(SimFileSystem& fs, SimNode& node) : fs_(fs), node_(&node) { ++node_->openHandles; }
  ~SimFile() override { Close(); }

  std::uint32_t Write(std::string_view bytes) override {
    if (!node_) return 6;  // ERROR_INVALID_HANDLE
    if (fs_.diskFull_ && !bytes.empty()) return err::kDiskFull;
    const bool fits = !fs_.room_ || bytes.size() <= *fs_.room_;
    if (!fits) bytes = bytes.substr(0, *fs_.room_);
    if (fs_.room_) *fs_.room_ -= bytes.size();
    node_->content.append(bytes);
    fs_.Touch(*node_);
    return fits ? 0 : err::kDiskFull;
  }
  std::uint32_t ReadAll(std::string& bytes) override {
    if (!node_) return 6;
    bytes = node_->content;
    return 0;
  }
  std::uint32_t Close() override {
    if (node_) --node_->openHandles;
    node_ = nullptr;
    return 0;
  }

 private:
  SimFileSystem& fs_;
  SimNode* node_;
};

SimFileSystem::SimFileSystem() {
  NewRoot('C');
}

SimNode& SimFileSystem::NewRoot(char drive) {
  auto root = std::make_unique<SimNode>();
  root->name = std::string(1, drive) + ":";
  root->attributes = kDirectory;
  root->fileIndex = 5;
  SimNode& ref = *root;
  volumes_[drive] = std::move(root);
  drives_[drive] = &ref;
  serials_[&ref] = 0x51A00000u + static_cast<std::uint32_t>(drive);
  return ref;
}

SimNode* SimFileSystem::Root(char drive) {
  const auto d = drives_.find(drive);
  return d == drives_.end() ? nullptr : d->second;
}

void SimFileSystem::AddDriveAlias(char letter, char drive) {
  drives_[FoldCase(letter)] = &Ensure(std::string(1, drive) + ":\\");
}

void SimFileSystem::AddShare(const std::string& share, const std::string& folder) {
  shares_[UpperCase(share)] = folder;
}

void SimFileSystem::SetVolumeSerial(char drive, std::uint32_t serial) {
  if (SimNode* root = Root(FoldCase(drive))) serials_[root] = serial;
}

// A share path as the path of the folder the share leads to.
std::string SimFileSystem::Unshare(const std::string& path) {
  const std::string p = platform::PlainPath(path);
  if (p.rfind("\\\\", 0) != 0 || platform::IsLiteralPath(p) || p.rfind("\\\\.\\", 0) == 0)
    return path;
  const std::size_t server = p.find('\\', 2);
  if (server == std::string::npos) return path;
  std::size_t share = p.find('\\', server + 1);
  if (share == std::string::npos) share = p.size();
  const auto it = shares_.find(UpperCase(p.substr(0, share)));
  if (it == shares_.end()) return path;
  const bool literal = platform::IsLiteralPath(path);
  return (literal ? "\\\\?\\" : "") + it->second + p.substr(share);
}

std::vector<std::string> SimFileSystem::Components(const std::string& raw, char& drive) {
  std::string path = Unshare(raw);
  const bool literal = platform::IsLiteralPath(path);
  if (!literal)
    for (char& c : path)
      if (c == '/') c = '\\';
  if (literal || path.rfind("\\\\.\\", 0) == 0) path.erase(0, 4);
  const char cwdDrive =
      currentDir_.size() >= 2 && currentDir_[1] == ':' ? FoldCase(currentDir_[0]) : 'C';
  std::string rest;
  if (literal) {
    // The literal form names a drive and nothing relative to anything.
    if (path.size() < 2 || path[1] != ':' || (path.size() > 2 && path[2] != '\\')) {
      drive = 0;
      return {};
    }
    drive = FoldCase(path[0]);
    rest = path.substr(2);
  } else if (path.size() >= 2 && path[1] == ':') {
    drive = FoldCase(path[0]);
    rest = path.substr(2);
    if (rest.empty() || rest[0] != '\\') {
      rest = (drive == cwdDrive ? currentDir_.substr(2) : std::string()) + "\\" + rest;
    }
  } else if (!path.empty() && path[0] == '\\') {
    if (path.size() > 1 && path[1] == '\\') {
      drive = 0;  // a share nobody set up
      return {};
    }
    drive = cwdDrive;
    rest = path;
  } else {
    drive = cwdDrive;
    rest = currentDir_.substr(2) + "\\" + path;
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(start, end - start);
    start = end + 1;
    if (literal) {
      if (!part.empty()) parts.push_back(part);
      continue;
    }
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    part = TrimTrailingDotsAndSpaces(part);
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

SimNode* SimFileSystem::Child(SimNode& folder, const std::string& name) {
  const std::string key = UpperCase(name);
  if (auto it = folder.children.find(key); it != folder.children.end())
    return it->second.node.get();
  if (auto it = folder.shortNames.find(key); it != folder.shortNames.end()) return it->second;
  return nullptr;
}

SimNode* SimFileSystem::ChildUtf8(SimNode& folder, const std::string& utf8Name) {
  std::string ansi;
  bool lossless = false;
  if (!Spell(utf8Name, ansi, lossless)) return nullptr;
  if (lossless) return Child(folder, ansi);
  const auto it = folder.children.find("\x01" + UpperCase(utf8Name));
  return it == folder.children.end() ? nullptr : it->second.node.get();
}

SimFileSystem::Resolved SimFileSystem::Resolve(const std::string& path, bool followLast,
                                               int depth) {
  Resolved r;
  if (depth > kMaxLinkDepth) {
    r.error = 1921;  // ERROR_CANT_RESOLVE_FILENAME
    return r;
  }
  char drive = 0;
  const auto parts = Components(path, drive);
  SimNode* folder = Root(drive);
  if (!folder) {
    r.error = err::kPathNotFound;
    return r;
  }
  if (parts.empty()) {
    r.node = folder;
    return r;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    if (InvalidLeaf(parts[i])) {
      r.error = err::kInvalidName;
      return r;
    }
    SimNode* next = Child(*folder, parts[i]);
    if (next && next->IsLink()) {
      const Resolved t = Resolve(next->linkTarget, true, depth + 1);
      next = t.error ? nullptr : t.node;
    }
    if (!next || !next->IsFolder()) {
      r.error = err::kPathNotFound;
      return r;
    }
    folder = next;
  }
  r.parent = folder;
  r.leaf = parts.back();
  r.node = Child(*folder, parts.back());
  if (r.node && r.node->IsLink() && followLast) {
    const Resolved t = Resolve(r.node->linkTarget, true, depth + 1);
    if (t.error) return t;
    r.node = t.node;
    r.parent = t.parent;
  }
  return r;
}

std::string SimFileSystem::MakeShortName(SimNode& folder, const std::string& name) {
  if (IsShortName(name)) return {};
  const std::string upper = UpperCase(name);
  const std::size_t dot = upper.rfind('.');
  auto clean = [](std::string_view s, std::size_t max) {
    std::string out;
    for (char c : s) {
      if (out.size() == max) break;
      if (c == ' ' || c == '.') continue;
      out += std::string_view("+,;=[]?*").find(c) != std::string_view::npos ? '_' : c;
    }
    return out;
  };
  std::string base =
      clean(dot == std::string::npos ? upper : std::string_view(upper).substr(0, dot), 6);
  const std::string ext =
      dot == std::string::npos ? "" : clean(std::string_view(upper).substr(dot + 1), 3);
  if (base.empty()) base = "_";
  auto taken = [&](const std::string& candidate) { return Child(folder, candidate) != nullptr; };
  for (int n = 1; n <= 4; ++n) {
    std::string candidate = base + "~" + std::to_string(n) + (ext.empty() ? "" : "." + ext);
    if (!taken(candidate)) return candidate;
  }
  // Past the fourth, Windows switches to a hash of the long name.
  char hash[8];
  std::snprintf(hash, sizeof hash, "%04X", static_cast<unsigned>(Fnv(name) & 0xFFFF));
  for (int n = 1;; ++n) {
    std::string candidate =
        base.substr(0, 2) + hash + "~" + std::to_string(n) + (ext.empty() ? "" : "." + ext);
    if (!taken(candidate)) return candidate;
  }
}

SimNode& SimFileSystem::Insert(SimNode& folder, const std::string& name, std::uint32_t attributes) {
  auto node = std::make_unique<SimNode>();
  node->name = name;
  node->attributes = attributes;
  node->parent = &folder;
  node->shortName = MakeShortName(folder, name);
  node->fileIndex = nextIndex_++;
  const std::uint64_t now = Tick();
  node->times = {now, now, now};
  folder.times.lastWrite = now;
  SimNode& ref = *node;
  if (!ref.shortName.empty()) folder.shortNames[ref.shortName] = &ref;
  folder.children[KeyOf(ref)] = {ref.shortName, std::move(node)};
  return ref;
}

void SimFileSystem::Erase(SimNode& node) {
  SimNode& folder = *node.parent;
  folder.times.lastWrite = Tick();
  if (!node.shortName.empty()) folder.shortNames.erase(UpperCase(node.shortName));
  folder.children.erase(KeyOf(node));
}

bool SimFileSystem::IsCurrentDir(const SimNode& node) {
  const Resolved cwd = Resolve(currentDir_, true);
  return cwd.error == 0 && cwd.node == &node;
}

std::unique_ptr<platform::FileSearch> SimFileSystem::FindRaw(const std::string& pattern) {
  std::string folderPath = platform::FolderOf(pattern);
  if (folderPath.empty()) folderPath = ".";
  const std::string mask = platform::LastComponent(pattern);
  if (TooLong(pattern)) return std::make_unique<SimSearch>(nullptr, mask, err::kFilenameTooLong);
  if (mask.empty()) return std::make_unique<SimSearch>(nullptr, mask, err::kFileNotFound);
  const bool literal = platform::IsLiteralPath(pattern);
  if (folderPath.find_first_of("*?", literal ? 4 : 0) != std::string::npos)
    return std::make_unique<SimSearch>(nullptr, mask, err::kInvalidName);
  // A literal path resolves no "." segment: name the folder without one.
  const Resolved r = Resolve(literal ? folderPath : folderPath + ".", true);
  if (r.error) return std::make_unique<SimSearch>(nullptr, mask, r.error);
  if (!r.node || !r.node->IsFolder())
    return std::make_unique<SimSearch>(nullptr, mask, err::kPathNotFound);
  return std::make_unique<SimSearch>(r.node, mask);
}

// What stands in the way of deleting a file. Opening it for deletion (the
// probe) is not stopped by the read-only attribute; DeleteFile is.
std::uint32_t SimFileSystem::FileObstacle(const std::string& path, bool probe, SimNode*& node) {
  node = nullptr;
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, false);
  if (r.error) return r.error;
  if (InvalidLeaf(r.leaf)) return err::kInvalidName;
  if (!r.node) return r.parent ? err::kFileNotFound : err::kPathNotFound;
  SimNode& n = *r.node;
  if (n.IsFolder() || !n.parent) return err::kAccessDenied;
  if (((n.attributes & kReadOnly) && !probe) || n.denyDelete) return err::kAccessDenied;
  if (n.inUse || n.openHandles > 0) return err::kSharingViolation;
  node = &n;
  return 0;
}

// What stands in the way of removing a folder; the probe does not ask
// whether it is empty.
std::uint32_t SimFileSystem::FolderObstacle(const std::string& path, bool probe, SimNode*& node) {
  node = nullptr;
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, false);
  if (r.error) return r.error;
  if (!r.node) return r.parent ? err::kFileNotFound : err::kPathNotFound;
  SimNode& n = *r.node;
  if (!n.parent) return err::kAccessDenied;
  if (!n.IsFolder()) return err::kDirectory;
  if (n.denyDelete) return err::kAccessDenied;
  if (!n.IsLink()) {  // a link goes; what it points to is not asked
    if (n.attributes & kReadOnly) return err::kAccessDenied;
    if (n.removeError) return n.removeError;
    if (n.inUse || n.openHandles > 0 || IsCurrentDir(n)) return err::kSharingViolation;
    if (!probe && !n.children.empty()) return err::kDirNotEmpty;
  }
  node = &n;
  return 0;
}

std::uint32_t SimFileSystem::Delete(const std::string& path) {
  SimNode* node = nullptr;
  const std::uint32_t error = FileObstacle(path, false, node);
  if (!error) Erase(*node);
  return error;
}

std::uint32_t SimFileSystem::RemoveDir(const std::string& path) {
  SimNode* node = nullptr;
  const std::uint32_t error = FolderObstacle(path, false, node);
  if (!error) Erase(*node);
  return error;
}

std::uint32_t SimFileSystem::ProbeDelete(const std::string& path) {
  SimNode* node = nullptr;
  return FileObstacle(path, true, node);
}

std::uint32_t SimFileSystem::ProbeRemoveDir(const std::string& path) {
  SimNode* node = nullptr;
  return FolderObstacle(path, true, node);
}

std::uint32_t SimFileSystem::ProbeMakeDirIn(const std::string& folder) {
  if (TooLong(folder)) return err::kFilenameTooLong;
  const Resolved r = Resolve(folder, true);
  if (r.error) return r.error;
  if (!r.node) return err::kFileNotFound;
  if (!r.node->IsFolder()) return err::kDirectory;
  return r.node->denyWrite ? err::kAccessDenied : 0;
}

std::uint32_t SimFileSystem::MakeDir(const std::string& path) {
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, false);
  if (r.error) return r.error;
  if (!r.parent || r.node) return err::kAlreadyExists;
  if (InvalidLeaf(r.leaf)) return err::kInvalidName;
  if (r.parent->denyWrite) return err::kAccessDenied;
  Insert(*r.parent, r.leaf, kDirectory);
  return 0;
}

std::optional<std::uint32_t> SimFileSystem::Attributes(const std::string& path) {
  if (path.empty() || TooLong(path)) return std::nullopt;
  const Resolved r = Resolve(path, false);
  if (r.error || !r.node) return std::nullopt;
  return Reported(*r.node);
}

platform::OpenResult SimFileSystem::Open(const std::string& path, platform::OpenMode mode) {
  if (TooLong(path)) return {err::kFilenameTooLong, nullptr};
  const Resolved r = Resolve(path, true);
  if (r.error) return {r.error, nullptr};
  if (InvalidLeaf(r.leaf)) return {err::kInvalidName, nullptr};
  SimNode* n = r.node;
  if (mode == platform::OpenMode::kRead) {
    if (!n) return {r.parent ? err::kFileNotFound : err::kPathNotFound, nullptr};
    if (n->IsFolder()) return {err::kAccessDenied, nullptr};
    if (n->inUse) return {err::kSharingViolation, nullptr};
    return {0, std::make_unique<SimFile>(*this, *n)};
  }
  if (!r.parent) return {err::kAccessDenied, nullptr};
  if (n) {
    if (mode == platform::OpenMode::kCreateNew) return {err::kFileExists, nullptr};
    if (n->IsFolder() || (n->attributes & kReadOnly)) return {err::kAccessDenied, nullptr};
    if (n->inUse || n->openHandles > 0) return {err::kSharingViolation, nullptr};
    if (mode != platform::OpenMode::kAppend) {
      n->content.clear();
      Touch(*n);
    }
  } else {
    if (r.parent->denyWrite) return {err::kAccessDenied, nullptr};
    n = &Insert(*r.parent, r.leaf, platform::attr::kArchive);
  }
  return {0, std::make_unique<SimFile>(*this, *n)};
}

std::optional<std::string> SimFileSystem::Env(const std::string& name) {
  const auto it = env_.find(UpperCase(name));
  if (it == env_.end()) return std::nullopt;
  return it->second.second;
}

std::optional<platform::FolderIdentity> SimFileSystem::Identify(const std::string& path) {
  if (path.empty() || TooLong(path)) return std::nullopt;
  const Resolved r = Resolve(path, true);
  if (r.error || !r.node) return std::nullopt;
  std::vector<const SimNode*> chain;
  for (const SimNode* n = r.node; n; n = n->parent) chain.push_back(n);
  const SimNode* root = chain.back();
  std::string final = root->name + "\\";
  for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
    if (final.back() != '\\') final += '\\';
    final += (*it)->name;
  }
  const auto serial = serials_.find(root);
  return platform::FolderIdentity{serial == serials_.end() ? 0u : serial->second, r.node->fileIndex,
                                  final};
}

std::string SimFileSystem::SystemFolderPath(platform::SystemFolder folder) {
  const auto it = systemFolders_.find(folder);
  return it == systemFolders_.end() ? std::string() : it->second;
}

void SimFileSystem::SetEnv(const std::string& name, std::optional<std::string> value) {
  if (value)
    env_[UpperCase(name)] = {name, *value};
  else
    env_.erase(UpperCase(name));
}

SimNode& SimFileSystem::Ensure(const std::string& path) {
  char drive = 0;
  const auto parts = Components(path, drive);
  if (drive == 0) throw std::invalid_argument("sim: no such share: " + path);
  SimNode* folder = Root(drive);
  if (!folder) folder = &NewRoot(drive);
  for (const auto& part : parts) {
    SimNode* next = Child(*folder, part);
    if (next && next->IsLink()) {
      const Resolved t = Resolve(next->linkTarget, true);
      next = t.error ? nullptr : t.node;
    }
    if (!next) next = &Insert(*folder, part, kDirectory);
    if (!next->IsFolder()) throw std::invalid_argument("sim: not a folder on the way: " + path);
    folder = next;
  }
  return *folder;
}

SimNode& SimFileSystem::AddFolder(const std::string& path, std::uint32_t extraAttributes) {
  SimNode& n = Ensure(path);
  n.attributes |= extraAttributes;
  return n;
}

SimNode& SimFileSystem::AddFile(const std::string& path, std::string content,
                                std::uint32_t attributes) {
  SimNode& folder = Ensure(platform::FolderOf(path));
  const std::string leaf = platform::LastComponent(path);
  SimNode* n = Child(folder, leaf);
  if (!n) n = &Insert(folder, leaf, attributes);
  n->attributes = attributes & ~kDirectory;
  n->content = std::move(content);
  return *n;
}

SimNode& SimFileSystem::AddLink(const std::string& path, const std::string& target,
                                bool folderLink) {
  SimNode& folder = Ensure(platform::FolderOf(path));
  SimNode& n = Insert(folder, platform::LastComponent(path),
                      (folderLink ? kDirectory : platform::attr::kArchive) | kReparsePoint);
  n.linkTarget = target;
  return n;
}

SimNode* SimFileSystem::Node(const std::string& path) {
  const Resolved r = Resolve(path, false);
  return r.error ? nullptr : r.node;
}

std::string SimFileSystem::ReadFile(const std::string& path) {
  const Resolved r = Resolve(path, true);
  if (r.error || !r.node || r.node->IsFolder()) throw std::invalid_argument("sim: no file " + path);
  return r.node->content;
}

void SimFileSystem::SetShortName(const std::string& path, const std::string& shortName) {
  SimNode* n = Node(path);
  if (!n || !n->parent) throw std::invalid_argument("sim: no entry " + path);
  if (!n->shortName.empty()) n->parent->shortNames.erase(UpperCase(n->shortName));
  n->shortName = UpperCase(shortName);
  if (!n->shortName.empty()) n->parent->shortNames[n->shortName] = n;
  n->parent->children[KeyOf(*n)].shortKey = n->shortName;
}

std::vector<std::string> SimFileSystem::List(const std::string& folder) {
  std::vector<std::string> names;
  SimNode* n = Node(folder);
  if (n && n->IsLink()) n = Resolve(folder, true).node;
  if (!n || !n->IsFolder()) return names;
  for (const auto& [key, child] : n->children) names.push_back(child.node->name);
  return names;
}

std::uint32_t SimFileSystem::Copy(const std::string& from, const std::string& to,
                                  bool failIfExists) {
  if (TooLong(from) || TooLong(to)) return err::kFilenameTooLong;
  const Resolved source = Resolve(from, true);
  if (source.error) return source.error;
  if (!source.node) return source.parent ? err::kFileNotFound : err::kPathNotFound;
  if (source.node->IsFolder()) return err::kAccessDenied;
  if (source.node->inUse) return err::kSharingViolation;
  const Resolved target = Resolve(to, true);
  if (target.error) return target.error;
  if (!target.parent) return err::kPathNotFound;
  if (InvalidLeaf(target.leaf)) return err::kInvalidName;
  SimNode* n = target.node;
  if (n) {
    if (failIfExists) return err::kFileExists;
    if (n->IsFolder() || (n->attributes & kReadOnly)) return err::kAccessDenied;
    if (n->inUse || n->openHandles > 0) return err::kSharingViolation;
  } else if (target.parent->denyWrite) {
    return err::kAccessDenied;
  }
  if (diskFull_ && !source.node->content.empty()) return err::kDiskFull;
  const std::string content = source.node->content;
  const std::uint32_t attributes = source.node->attributes & platform::attr::kSettable;
  const std::uint64_t written = source.node->times.lastWrite;
  if (!n) n = &Insert(*target.parent, target.leaf, attributes);
  n->content = content;
  n->attributes = attributes;
  n->times.lastWrite = written;
  return 0;
}

const SimNode* SimFileSystem::VolumeOf(const SimNode* node) const {
  while (node && node->parent) node = node->parent;
  return node;
}

std::uint32_t SimFileSystem::HardLink(const std::string& existing, const std::string& link) {
  if (TooLong(existing) || TooLong(link)) return err::kFilenameTooLong;
  const Resolved source = Resolve(existing, true);
  if (source.error) return source.error;
  if (!source.node) return source.parent ? err::kFileNotFound : err::kPathNotFound;
  if (source.node->IsFolder()) return err::kAccessDenied;
  const Resolved target = Resolve(link, false);
  if (target.error) return target.error;
  if (!target.parent) return err::kPathNotFound;
  if (target.node) return err::kAlreadyExists;
  if (InvalidLeaf(target.leaf)) return err::kInvalidName;
  if (VolumeOf(source.node) != VolumeOf(target.parent)) return err::kNotSameDevice;
  if (target.parent->denyWrite) return err::kAccessDenied;
  const SimNode& from = *source.node;
  const platform::FileTimes times = from.times;  // the insert may touch its folder, not it
  SimNode& n = Insert(*target.parent, target.leaf, from.attributes);
  n.content = from.content;
  n.times = times;
  return 0;
}

std::uint32_t SimFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, false);
  if (r.error) return r.error;
  if (!r.node) return r.parent ? err::kFileNotFound : err::kPathNotFound;
  if (!r.node->parent || r.node->denyDelete) return err::kAccessDenied;
  r.node->attributes = (r.node->attributes & (kDirectory | kReparsePoint)) |
                       (attributes & platform::attr::kSettable);
  return 0;
}

std::optional<platform::FileTimes> SimFileSystem::Times(const std::string& path) {
  if (path.empty() || TooLong(path)) return std::nullopt;
  const Resolved r = Resolve(path, false);
  if (r.error || !r.node) return std::nullopt;
  return r.node->times;
}

std::uint32_t SimFileSystem::SetTimes(const std::string& path, const platform::FileTimes& times) {
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, true);
  if (r.error) return r.error;
  if (!r.node) return r.parent ? err::kFileNotFound : err::kPathNotFound;
  if (r.node->inUse) return err::kSharingViolation;
  if (r.node->denyDelete) return err::kAccessDenied;
  platform::FileTimes& t = r.node->times;
  if (times.creation) t.creation = times.creation;
  if (times.lastAccess) t.lastAccess = times.lastAccess;
  if (times.lastWrite) t.lastWrite = times.lastWrite;
  return 0;
}

std::uint32_t SimFileSystem::MakeLink(const std::string& path, const std::string& target,
                                      bool folder) {
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, false);
  if (r.error) return r.error;
  if (!r.parent) return err::kPathNotFound;
  if (r.node) return err::kAlreadyExists;
  if (InvalidLeaf(r.leaf)) return err::kInvalidName;
  if (r.parent->denyWrite) return err::kAccessDenied;
  SimNode& n =
      Insert(*r.parent, r.leaf, (folder ? kDirectory : platform::attr::kArchive) | kReparsePoint);
  n.linkTarget = target;
  return 0;
}

std::optional<platform::LongName> SimFileSystem::LongNameOf(const std::string& path) {
  if (path.empty() || TooLong(path)) return std::nullopt;
  const Resolved r = Resolve(path, false);
  if (r.error || !r.node || InvalidLeaf(r.leaf)) return std::nullopt;
  const SimNode& n = *r.node;
  return platform::LongName{n.name, n.unicodeName.empty() ? Latin1ToUtf8(n.name) : n.unicodeName};
}

std::optional<std::uint32_t> SimFileSystem::AttributesIn(const std::string& folder,
                                                         const std::string& utf8Leaf) {
  if (TooLong(folder)) return std::nullopt;
  const Resolved r = Resolve(folder, true);
  if (r.error || !r.node || !r.node->IsFolder()) return std::nullopt;
  const SimNode* n = ChildUtf8(*r.node, utf8Leaf);
  if (!n) return std::nullopt;
  return Reported(*n);
}

std::uint32_t SimFileSystem::Rename(const std::string& path, const std::string& utf8Leaf) {
  if (TooLong(path)) return err::kFilenameTooLong;
  const Resolved r = Resolve(path, false);
  if (r.error) return r.error;
  if (!r.node) return r.parent ? err::kFileNotFound : err::kPathNotFound;
  SimNode& n = *r.node;
  if (!n.parent) return err::kAccessDenied;
  std::string ansi;
  bool lossless = false;
  if (utf8Leaf.empty() || !Spell(utf8Leaf, ansi, lossless) || InvalidLeaf(utf8Leaf) ||
      utf8Leaf.find_first_of("\\/") != std::string::npos)
    return err::kInvalidName;
  SimNode& folder = *n.parent;
  if (const SimNode* taken = ChildUtf8(folder, utf8Leaf); taken && taken != &n)
    return err::kAlreadyExists;
  if (n.denyDelete) return err::kAccessDenied;
  if (n.inUse) return err::kSharingViolation;
  const auto it = folder.children.find(KeyOf(n));
  std::unique_ptr<SimNode> owned = std::move(it->second.node);
  folder.children.erase(it);
  if (!n.shortName.empty()) folder.shortNames.erase(UpperCase(n.shortName));
  n.name = ansi;
  n.unicodeName = lossless ? std::string() : utf8Leaf;
  n.shortName = MakeShortName(folder, ansi);
  if (!n.shortName.empty()) folder.shortNames[n.shortName] = &n;
  folder.children[KeyOf(n)] = {n.shortName, std::move(owned)};
  folder.times.lastWrite = Tick();
  return 0;
}

}  // namespace quenk::sim
