#include "platform/PreviewPorts.h"

#include "base/Text.h"
#include "platform/Paths.h"

namespace quenk::platform {

std::string GoneSet::Key(std::string path) {
  path = PlainPath(path);
  for (char& c : path) c = c == '/' ? '\\' : FoldCase(c);
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

bool GoneSet::Holds(const std::string& path) const {
  if (paths_.empty()) return false;
  const std::string key = Key(path);
  if (paths_.count(key)) return true;
  for (std::size_t slash = key.rfind('\\'); slash != std::string::npos && slash > 0;
       slash = key.rfind('\\', slash - 1)) {
    if (paths_.count(key.substr(0, slash))) return true;
  }
  return false;
}

namespace {

// A listing without what has gone. One that would find nothing at all now
// reports it the way the platform does.
class PreviewSearch final : public FileSearch {
 public:
  PreviewSearch(std::unique_ptr<FileSearch> inner, std::string folder, const GoneSet& gone,
                PreviewFileSystem& owner)
      : inner_(std::move(inner)), folder_(std::move(folder)), gone_(gone), owner_(owner) {}

  bool Next(FindEntry& entry) override {
    while (inner_->Next(entry)) {
      owner_.Work();
      if (!IsDotName(entry.name) && Gone(entry)) continue;
      found_ = true;
      return true;
    }
    return false;
  }
  std::uint32_t Error() const override {
    if (gone_.Holds(folder_)) return err::kPathNotFound;
    const std::uint32_t error = inner_->Error();
    return error == 0 && !found_ ? err::kFileNotFound : error;
  }

 private:
  // An entry the cleaning reaches by its short name goes by that name.
  bool Gone(const FindEntry& entry) const {
    return gone_.Holds(folder_ + entry.name) ||
           (!entry.shortName.empty() && gone_.Holds(folder_ + entry.shortName));
  }

  std::unique_ptr<FileSearch> inner_;
  std::string folder_;
  const GoneSet& gone_;
  PreviewFileSystem& owner_;
  bool found_ = false;
};

}  // namespace

std::uint32_t PreviewFileSystem::GoneError(const std::string& path) const {
  const std::string folder = FolderOf(path);
  return !folder.empty() && gone_.Holds(folder) ? err::kPathNotFound : err::kFileNotFound;
}

std::unique_ptr<FileSearch> PreviewFileSystem::FindRaw(const std::string& pattern) {
  return std::make_unique<PreviewSearch>(real_.FindRaw(pattern), FolderOf(pattern), gone_, *this);
}

std::uint32_t PreviewFileSystem::Delete(const std::string& path) {
  Work();
  if (gone_.Holds(path)) return GoneError(path);
  const auto a = real_.Attributes(path);
  if (!a) return real_.ProbeDelete(path);  // says why it is not there
  // DeleteFile refuses folders, links to folders among them, and read-only files.
  if (*a & (attr::kDirectory | attr::kReadOnly)) return err::kAccessDenied;
  if (const std::uint32_t error = real_.ProbeDelete(path)) return error;
  gone_.Add(path);
  return 0;
}

std::uint32_t PreviewFileSystem::RemoveDir(const std::string& path) {
  if (gone_.Holds(path)) return GoneError(path);
  const auto a = real_.Attributes(path);
  if (!a) return real_.ProbeRemoveDir(path);
  if (!(*a & attr::kDirectory)) return err::kDirectory;
  if (const std::uint32_t error = real_.ProbeRemoveDir(path)) return error;
  if (!(*a & attr::kReparsePoint)) {
    auto search = FindRaw(path + "\\*");
    FindEntry entry;
    while (search->Next(entry))
      if (!IsDotName(entry.name)) return err::kDirNotEmpty;
  }
  gone_.Add(path);
  return 0;
}

std::uint32_t PreviewFileSystem::ProbeDelete(const std::string& path) {
  return gone_.Holds(path) ? GoneError(path) : real_.ProbeDelete(path);
}

std::uint32_t PreviewFileSystem::ProbeRemoveDir(const std::string& path) {
  return gone_.Holds(path) ? GoneError(path) : real_.ProbeRemoveDir(path);
}

std::uint32_t PreviewFileSystem::ProbeMakeDirIn(const std::string& folder) {
  return gone_.Holds(folder) ? GoneError(folder) : real_.ProbeMakeDirIn(folder);
}

std::uint32_t PreviewFileSystem::MakeDir(const std::string& /*path*/) {
  return err::kAccessDenied;
}

std::optional<std::uint32_t> PreviewFileSystem::Attributes(const std::string& path) {
  if (gone_.Holds(path)) return std::nullopt;
  return real_.Attributes(path);
}

OpenResult PreviewFileSystem::Open(const std::string& path, OpenMode mode) {
  if (mode != OpenMode::kRead) return {err::kAccessDenied, nullptr};
  if (gone_.Holds(path)) return {GoneError(path), nullptr};
  return real_.Open(path, mode);
}

std::optional<FolderIdentity> PreviewFileSystem::Identify(const std::string& path) {
  if (gone_.Holds(path)) return std::nullopt;
  return real_.Identify(path);
}

namespace {

constexpr std::uint32_t kWow64View32 = 0x0200;  // KEY_WOW64_32KEY

std::string RootName(HKey root) {
  if (root == kCurrentUser) return "HKCU";
  if (root == kLocalMachine) return "HKLM";
  return {};
}

}  // namespace

std::string PreviewRegistry::PathOf(HKey key, const std::string& sub, std::uint32_t rights) const {
  std::string base = RootName(key);
  if (base.empty()) {
    const auto it = paths_.find(key);
    if (it != paths_.end()) base = it->second;
  }
  std::string path = GoneSet::Key(sub.empty() ? base : base + "\\" + sub);
  // The 32-bit view of HKLM\Software is a key of its own.
  static const std::string kSoftware = "HKLM\\SOFTWARE";
  if ((rights & kWow64View32) && path.rfind(kSoftware, 0) == 0 &&
      (path.size() == kSoftware.size() || path[kSoftware.size()] == '\\') &&
      path.rfind(kSoftware + "\\WOW6432NODE", 0) != 0)
    path.insert(kSoftware.size(), "\\WOW6432NODE");
  return path;
}

std::string PreviewRegistry::ResolvedName(HKey key) {
  std::string name;
  return real_.KeyName(key, name) == 0 ? name : std::string();
}

std::uint32_t PreviewRegistry::OpenWith(bool itself, HKey parent, const std::string& path,
                                        std::uint32_t rights, HKey& key) {
  const std::string name = PathOf(parent, path, rights);
  if (gone_.Holds(name)) return err::kFileNotFound;
  HKey opened = 0;
  const std::uint32_t error = itself ? real_.OpenItself(parent, path, rights, opened)
                                     : real_.Open(parent, path, rights, opened);
  if (error != 0) return error;
  if (!goneResolved_.Empty()) {
    const std::string resolved = ResolvedName(opened);
    if (!resolved.empty() && goneResolved_.Holds(resolved)) {
      real_.Close(opened);
      return err::kFileNotFound;
    }
  }
  key = opened;
  paths_[key] = name;
  rights_[key] = rights;
  return 0;
}

std::uint32_t PreviewRegistry::Open(HKey parent, const std::string& path, std::uint32_t rights,
                                    HKey& key) {
  return OpenWith(false, parent, path, rights, key);
}

std::uint32_t PreviewRegistry::OpenItself(HKey parent, const std::string& path,
                                          std::uint32_t rights, HKey& key) {
  return OpenWith(true, parent, path, rights, key);
}

void PreviewRegistry::Close(HKey key) {
  paths_.erase(key);
  rights_.erase(key);
  real_.Close(key);
}

std::uint32_t PreviewRegistry::DeleteKeyEx(HKey parent, const std::string& path,
                                           std::uint32_t view) {
  const std::string name = PathOf(parent, path, view);
  if (gone_.Holds(name)) return err::kFileNotFound;
  std::string resolved;
  {
    const RegKey key = RegKey::Open(real_, parent, path, access::kRead | view);
    if (!key) {
      HKey probe = 0;
      const std::uint32_t error = real_.Open(parent, path, access::kRead | view, probe);
      if (error == 0) real_.Close(probe);
      return error ? error : err::kAccessDenied;
    }
    resolved = ResolvedName(key.Get());
    if (!resolved.empty() && goneResolved_.Holds(resolved)) return err::kFileNotFound;
    KeyInfo info;
    if (real_.QueryInfo(key.Get(), info) == 0) {
      for (std::uint32_t i = 0; i < info.subKeys; ++i) {
        std::string sub;
        if (real_.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) != 0) continue;
        const bool subGone = gone_.Holds(name + "\\" + sub) ||
                             (!resolved.empty() && goneResolved_.Holds(resolved + "\\" + sub));
        if (!subGone) return err::kAccessDenied;  // a key below stays
      }
    }
  }
  const RegKey forDeletion = RegKey::Open(real_, parent, path, access::kDelete | view);
  if (!forDeletion) return err::kAccessDenied;
  gone_.Add(name);
  if (!resolved.empty()) goneResolved_.Add(resolved);
  return 0;
}

std::uint32_t PreviewRegistry::DeleteOpenKey(HKey key) {
  const auto it = paths_.find(key);
  if (it == paths_.end()) return 6;  // ERROR_INVALID_HANDLE
  gone_.Add(it->second);
  if (const std::string resolved = ResolvedName(key); !resolved.empty())
    goneResolved_.Add(resolved);
  return 0;
}

std::uint32_t PreviewRegistry::QueryValue(HKey key, const std::string& name, std::uint32_t& type,
                                          std::string& data) {
  if (!goneValues_.empty()) {
    const auto it = paths_.find(key);
    if (it != paths_.end() && goneValues_.count(it->second + "\t" + UpperCase(name)))
      return err::kFileNotFound;
  }
  return real_.QueryValue(key, name, type, data);
}

std::uint32_t PreviewRegistry::DeleteValue(HKey key, const std::string& name) {
  const auto it = paths_.find(key);
  if (it == paths_.end()) return 6;  // ERROR_INVALID_HANDLE
  std::uint32_t type = 0;
  std::string data;
  if (const std::uint32_t error = QueryValue(key, name, type, data)) return error;
  if ((rights_[key] & access::kSetValue) == 0) return err::kAccessDenied;
  goneValues_.insert(it->second + "\t" + UpperCase(name));
  return 0;
}

}  // namespace quenk::platform
