#include "engine/Listings.h"

#include "base/Text.h"
#include "platform/Paths.h"

namespace quenk::engine {

std::string Listings::Key(std::string_view folder) {
  std::string key = platform::PlainPath(folder);
  for (char& c : key) c = c == '/' ? '\\' : FoldCase(c);
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

std::vector<Listed>& Listings::Of(const std::string& folder) {
  const auto [it, added] = kept_.try_emplace(Key(folder));
  if (added) {
    ++listed_;
    auto search = fs_.Find(folder + "*", platform::attr::kAnyFile);
    platform::FindEntry entry;
    while (search->Next(entry))
      if (!platform::IsDotName(entry.name)) it->second.push_back({entry, false});
  }
  return it->second;
}

std::vector<Listed>* Listings::Kept(const std::string& folder) {
  const auto it = kept_.find(Key(folder));
  return it == kept_.end() ? nullptr : &it->second;
}

void Listings::Removed(const std::string& folder, std::string_view name) {
  if (std::vector<Listed>* listed = Kept(folder)) {
    for (Listed& l : *listed)
      if (EqualsNoCase(l.entry.name, name) ||
          (!l.entry.shortName.empty() && EqualsNoCase(l.entry.shortName, name)))
        l.gone = true;
  }
}

void Listings::TreeRemoved(const std::string& path, bool whole) {
  const std::string key = Key(path);
  // The keys that begin with the tree's lie together; of those, the tree's
  // own and the ones below it go.
  for (auto it = kept_.lower_bound(key); it != kept_.end();) {
    const std::string& k = it->first;
    if (k.compare(0, key.size(), key) != 0) break;
    if (k.size() == key.size() || k[key.size()] == '\\')
      it = kept_.erase(it);
    else
      ++it;
  }
  if (whole && !platform::FolderOf(path).empty())
    Removed(platform::FolderOf(path), platform::LastComponent(path));
}

}  // namespace quenk::engine
