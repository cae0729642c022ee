#include "platform/FileSystem.h"

namespace quenk::platform {
namespace {

class FilteredSearch final : public FileSearch {
 public:
  FilteredSearch(std::unique_ptr<FileSearch> inner, std::uint32_t requested)
      : inner_(std::move(inner)),
        excluded_(~requested &
                  (attr::kHidden | attr::kSystem | attr::kVolumeLabel | attr::kDirectory)) {}

  bool Next(FindEntry& entry) override {
    while (inner_->Next(entry)) {
      if ((entry.attributes & excluded_) == 0) return true;
    }
    return false;
  }

  std::uint32_t Error() const override { return inner_->Error(); }

 private:
  std::unique_ptr<FileSearch> inner_;
  std::uint32_t excluded_;
};

}  // namespace

std::unique_ptr<FileSearch> FileSystem::Find(const std::string& pattern, std::uint32_t requested) {
  return std::make_unique<FilteredSearch>(FindRaw(pattern), requested);
}

std::string FileSystem::InCurrentDir(const std::string& name) {
  std::string dir = CurrentDir();
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir + name;
}

bool FileSystem::FolderExists(const std::string& path) {
  if (path.empty()) return false;
  const auto a = Attributes(path);
  return a && (*a & attr::kDirectory) != 0;
}

bool FileSystem::ForceDirectories(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty()) return false;
  if (FolderExists(p)) return true;
  const auto slash = p.find_last_of("\\/");
  // A drive ("C:") or a share root cannot be created; stop there.
  if (slash != std::string::npos && slash > 0 && !(slash == 2 && p[1] == ':' && p.size() == 3)) {
    const std::string parent = p.substr(0, slash);
    if (!(parent.size() == 2 && parent[1] == ':') && !parent.empty()) ForceDirectories(parent);
  }
  MakeDir(p);
  return FolderExists(p);
}

}  // namespace quenk::platform
