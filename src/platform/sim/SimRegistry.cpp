#include "platform/sim/SimRegistry.h"

#include "base/Text.h"

#include <stdexcept>
#include <vector>

namespace quenk::sim {

namespace err = platform::err;

namespace {

constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kKeyDeleted = 1018;
constexpr std::uint32_t kBadPathname = 161;

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The 8-bit view of wide text; false when it is not the same text.
bool Narrow(std::u16string_view wide, std::string& out) {
  bool exact = true;
  out.clear();
  for (const char16_t c : wide) {
    exact = exact && c <= 0xFF;
    out += c <= 0xFF ? static_cast<char>(c) : '?';
  }
  return exact;
}

bool IsText(std::uint32_t type) {
  return type == platform::regtype::kString || type == platform::regtype::kExpandString ||
         type == platform::regtype::kMultiString;
}

// Stands in the maps for a name the 8-bit calls cannot ask for.
std::string Unreachable(const std::string& view) {
  return std::string(1, '\0') + UpperCase(view);
}

}  // namespace

SimRegistry::SimRegistry() {
  for (auto [root, name] : {std::pair{platform::kCurrentUser, "HKEY_CURRENT_USER"},
                            std::pair{platform::kLocalMachine, "HKEY_LOCAL_MACHINE"}}) {
    auto key = std::make_shared<SimKey>();
    key->name = name;
    roots_[root] = key;
  }
}

std::shared_ptr<SimKey> SimRegistry::Base(platform::HKey key) {
  if (auto r = roots_.find(key); r != roots_.end()) return r->second;
  if (auto h = handles_.find(key); h != handles_.end()) return h->second.key;
  return nullptr;
}

std::uint32_t SimRegistry::Rights(platform::HKey key) const {
  if (roots_.count(key)) return platform::access::kAllAccess;
  const auto h = handles_.find(key);
  return h == handles_.end() ? 0 : h->second.rights;
}

platform::HKey SimRegistry::NewHandle(std::shared_ptr<SimKey> key, std::uint32_t rights) {
  const platform::HKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = {std::move(key), rights};
  return handle;
}

std::shared_ptr<SimKey> SimRegistry::Target(const SimKey& link, int depth) {
  const auto root = roots_.find(link.linkRoot);
  if (root == roots_.end() || depth > 16) return nullptr;
  return Walk(root->second, link.linkPath, false, depth + 1);
}

std::shared_ptr<SimKey> SimRegistry::Walk(std::shared_ptr<SimKey> from, const std::string& path,
                                          bool linkItself, int depth) {
  const auto parts = Split(path);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!from) return nullptr;
    const auto it = from->subKeys.find(UpperCase(parts[i]));
    from = it == from->subKeys.end() ? nullptr : it->second;
    const bool last = i + 1 == parts.size();
    if (from && from->IsLink() && !(last && linkItself)) from = Target(*from, depth);
  }
  return from;
}

std::uint32_t SimRegistry::Open(platform::HKey parent, const std::string& path,
                                std::uint32_t rights, platform::HKey& key) {
  return OpenWith(parent, path, rights, false, key);
}

std::uint32_t SimRegistry::OpenItself(platform::HKey parent, const std::string& path,
                                      std::uint32_t rights, platform::HKey& key) {
  return OpenWith(parent, path, rights, true, key);
}

void SimRegistry::SetSeparate32BitView(bool separate) {
  separate32BitView_ = separate;
  if (separate) CreateKey(platform::kLocalMachine, "Software\\WOW6432Node");
}

void SimRegistry::ToView(std::shared_ptr<SimKey>& base, std::string& path, std::uint32_t rights) {
  if (!separate32BitView_ || !(rights & platform::access::kWow64_32Key)) return;
  // The whole path from the root decides, whichever open key it starts at.
  std::vector<std::string> parts;
  const SimKey* k = base.get();
  for (; k && k->parent; k = k->parent) parts.insert(parts.begin(), k->name);
  if (k != roots_.at(platform::kLocalMachine).get()) return;
  for (auto& part : Split(path)) parts.push_back(std::move(part));
  if (parts.empty() || UpperCase(parts[0]) != "SOFTWARE") return;
  if (parts.size() > 1 && UpperCase(parts[1]) == "WOW6432NODE") return;
  parts.insert(parts.begin() + 1, "WOW6432Node");
  base = roots_.at(platform::kLocalMachine);
  path.clear();
  for (const auto& part : parts) path += (path.empty() ? "" : "\\") + part;
}

std::uint32_t SimRegistry::OpenWith(platform::HKey parent, const std::string& path,
                                    std::uint32_t rights, bool linkItself, platform::HKey& key) {
  auto base = Base(parent);
  if (!base) return kInvalidHandle;
  if (base->deleted) return kKeyDeleted;
  if (!path.empty() && path[0] == '\\') return kBadPathname;
  std::string viewed = path;
  ToView(base, viewed, rights);
  auto target = Walk(base, viewed, linkItself);
  if (!target) return err::kFileNotFound;
  if (target->denyRead) return err::kAccessDenied;
  // Deleting is its own right: denyDelete governs it, as it governs RegDeleteKey.
  if ((rights & platform::access::kDelete) && target->denyDelete) return err::kAccessDenied;
  const std::uint32_t beyondRead =
      rights & ~(platform::access::kRead | platform::access::kDelete | platform::access::kViews);
  if (target->denyFullAccess && beyondRead != 0) return err::kAccessDenied;
  key = NewHandle(target, rights);
  return 0;
}

void SimRegistry::Close(platform::HKey key) {
  handles_.erase(key);
}

std::uint32_t SimRegistry::QueryValue(platform::HKey key, const std::string& name,
                                      std::uint32_t& type, std::string& data) {
  auto k = Base(key);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  const auto it = k->values.find(UpperCase(name));
  if (it == k->values.end()) return err::kFileNotFound;
  type = it->second.type;
  data = it->second.data;
  return 0;
}

std::uint32_t SimRegistry::QueryInfo(platform::HKey key, platform::KeyInfo& info) {
  auto k = Base(key);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  info = {static_cast<std::uint32_t>(k->subKeys.size()), 0};
  for (const auto& [upper, sub] : k->subKeys)
    info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<std::uint32_t>(sub->name.size()));
  return 0;
}

std::uint32_t SimRegistry::EnumKey(platform::HKey key, std::uint32_t index,
                                   std::uint32_t bufferChars, std::string& name) {
  auto k = Base(key);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  if (index >= k->subKeys.size()) return err::kNoMoreItems;
  auto it = k->subKeys.begin();
  std::advance(it, index);
  if (it->second->name.size() + 1 > bufferChars) return err::kMoreData;
  name = it->second->name;
  return 0;
}

std::uint32_t SimRegistry::DeleteValue(platform::HKey key, const std::string& name) {
  const auto h = handles_.find(key);
  if (h == handles_.end()) return kInvalidHandle;
  SimKey& k = *h->second.key;
  if (k.deleted) return kKeyDeleted;
  if ((h->second.rights & platform::access::kSetValue) == 0) return err::kAccessDenied;
  return k.values.erase(UpperCase(name)) ? 0 : err::kFileNotFound;
}

std::uint32_t SimRegistry::Erase(SimKey& target) {
  if (!target.parent || target.denyRead || target.denyDelete || !target.subKeys.empty())
    return err::kAccessDenied;
  target.deleted = true;
  target.parent->subKeys.erase(UpperCase(target.name));
  target.parent = nullptr;
  return 0;
}

// As RegDeleteKey, which opens the key by name: a link at the end is
// followed, and what it points to is deleted.
std::uint32_t SimRegistry::DeleteKey(platform::HKey parent, const std::string& path) {
  auto base = Base(parent);
  if (!base) return kInvalidHandle;
  if (base->deleted) return kKeyDeleted;
  auto target = Walk(base, path);
  if (!target) return err::kFileNotFound;
  return Erase(*target);
}

std::uint32_t SimRegistry::DeleteKeyEx(platform::HKey parent, const std::string& path,
                                       std::uint32_t view) {
  auto base = Base(parent);
  if (!base) return kInvalidHandle;
  if (base->deleted) return kKeyDeleted;
  std::string viewed = path;
  ToView(base, viewed, view);
  auto target = Walk(base, viewed);
  if (!target) return err::kFileNotFound;
  return Erase(*target);
}

std::uint32_t SimRegistry::KeyName(platform::HKey key, std::string& name) {
  const auto h = handles_.find(key);
  if (h == handles_.end()) return kInvalidHandle;
  if (h->second.key->deleted) return kKeyDeleted;
  std::string path;
  const SimKey* k = h->second.key.get();
  for (; k->parent; k = k->parent) path = "\\" + k->name + path;
  name = (k == roots_.at(platform::kCurrentUser).get() ? "\\REGISTRY\\USER\\S-1-5-21"
                                                       : "\\REGISTRY\\MACHINE") +
         path;
  return 0;
}

std::uint32_t SimRegistry::DeleteOpenKey(platform::HKey key) {
  const auto h = handles_.find(key);
  if (h == handles_.end()) return kInvalidHandle;
  if (h->second.key->deleted) return kKeyDeleted;
  if ((h->second.rights & platform::access::kDelete) == 0) return err::kAccessDenied;
  return Erase(*h->second.key);
}

SimKey& SimRegistry::CreateLink(platform::HKey root, const std::string& path,
                                platform::HKey targetRoot, const std::string& targetPath) {
  SimKey& link = CreateKey(root, path);
  link.linkRoot = targetRoot;
  link.linkPath = targetPath;
  // The target as Windows keeps it: wide text, without a terminating NUL.
  std::string wide;
  for (char c : std::string(targetRoot == platform::kCurrentUser ? "\\REGISTRY\\USER\\S-1-5-21\\"
                                                                 : "\\REGISTRY\\MACHINE\\") +
                    targetPath)
    wide += std::string{c, '\0'};
  link.values[UpperCase(platform::kLinkValueName)] = {platform::kLinkValueName,
                                                      platform::regtype::kLink, wide};
  return link;
}

SimKey& SimRegistry::CreateKey(platform::HKey root, const std::string& path) {
  auto k = roots_.at(root);
  for (const auto& part : Split(path)) {
    auto& slot = k->subKeys[UpperCase(part)];
    if (!slot) {
      slot = std::make_shared<SimKey>();
      slot->name = part;
      slot->parent = k.get();
    }
    k = slot;
  }
  return *k;
}

void SimRegistry::SetString(platform::HKey root, const std::string& path, const std::string& name,
                            const std::string& text, std::uint32_t type) {
  SetValue(root, path, name, type, text + std::string(1, '\0'));
}

void SimRegistry::SetValue(platform::HKey root, const std::string& path, const std::string& name,
                           std::uint32_t type, std::string data) {
  CreateKey(root, path).values[UpperCase(name)] = {name, type, std::move(data)};
}

void SimRegistry::SetWideValue(platform::HKey root, const std::string& path,
                               const std::u16string& name, std::uint32_t type,
                               const std::string& data) {
  SimValue value;
  value.type = type;
  value.wide = true;
  value.wideName = name;
  value.wideData = data;
  value.nameExact = Narrow(name, value.name);
  value.data = data;
  if (IsText(type)) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
      text += static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                    static_cast<unsigned char>(data[i + 1]) << 8);
    value.dataExact = Narrow(text, value.data) && data.size() % 2 == 0;
  }
  const std::string slot = value.nameExact ? UpperCase(value.name) : Unreachable(value.name);
  CreateKey(root, path).values[slot] = std::move(value);
}

SimKey& SimRegistry::CreateWideKey(platform::HKey root, const std::string& path,
                                   const std::u16string& name) {
  std::string view;
  if (Narrow(name, view)) return CreateKey(root, path + "\\" + view);
  SimKey& parent = CreateKey(root, path);
  auto& slot = parent.subKeys[Unreachable(view)];
  if (!slot) {
    slot = std::make_shared<SimKey>();
    slot->name = view;
    slot->nameExact = false;
    slot->wideName = name;
    slot->parent = &parent;
  }
  return *slot;
}

std::uint32_t SimRegistry::ReadsExactly(platform::HKey key, platform::ExactReading& exact) {
  auto k = Base(key);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  if ((Rights(key) & platform::access::kQueryValue) == 0) return err::kAccessDenied;
  exact = {};
  for (const auto& [upper, v] : k->values)
    exact.values = exact.values && v.nameExact && v.dataExact;
  for (const auto& [upper, sub] : k->subKeys)
    exact.subKeyNames = exact.subKeyNames && sub->nameExact;
  return 0;
}

SimKey* SimRegistry::Find(platform::HKey root, const std::string& path) {
  return Walk(roots_.at(root), path, true).get();
}

std::uint32_t SimRegistry::EnumValue(platform::HKey key, std::uint32_t index, std::string& name,
                                     std::uint32_t& type, std::string& data) {
  auto k = Base(key);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  if ((Rights(key) & platform::access::kQueryValue) == 0) return err::kAccessDenied;
  if (index >= k->values.size()) return err::kNoMoreItems;
  auto it = k->values.begin();
  std::advance(it, index);
  name = it->second.name;
  type = it->second.type;
  data = it->second.data;
  return 0;
}

std::uint32_t SimRegistry::CreateKey(platform::HKey parent, const std::string& path, bool link,
                                     platform::HKey& key, bool& created) {
  auto k = Base(parent);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  if (path.empty() || path[0] == '\\') return kBadPathname;
  const auto parts = Split(path);
  // Making a key needs that right on the key above it: the handle given
  // for the first level, full access for the keys on the way.
  bool mayCreate = (Rights(parent) & platform::access::kCreateSubKey) != 0;
  bool made = false;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    auto it = k->subKeys.find(UpperCase(parts[i]));
    if (it == k->subKeys.end()) {
      if (!mayCreate || k->denyFullAccess) return err::kAccessDenied;
      auto fresh = std::make_shared<SimKey>();
      fresh->name = parts[i];
      fresh->parent = k.get();
      fresh->madeAsLink = link && last;
      it = k->subKeys.emplace(UpperCase(parts[i]), std::move(fresh)).first;
      made = last;
    }
    std::shared_ptr<SimKey> next = it->second;
    if (next->IsLink()) next = Target(*next, 0);
    if (!next) return err::kFileNotFound;
    k = std::move(next);
    mayCreate = !k->denyFullAccess;
  }
  if (k->denyRead || k->denyFullAccess) return err::kAccessDenied;
  key = NewHandle(k, platform::access::kAllAccess);
  created = made;
  return 0;
}

std::uint32_t SimRegistry::SetValue(platform::HKey key, const std::string& name, std::uint32_t type,
                                    const std::string& data) {
  auto k = Base(key);
  if (!k) return kInvalidHandle;
  if (k->deleted) return kKeyDeleted;
  if ((Rights(key) & platform::access::kSetValue) == 0) return err::kAccessDenied;
  k->values[UpperCase(name)] = {name, type, data};
  // A key made as a link becomes one once it knows its target.
  if (k->madeAsLink && type == platform::regtype::kLink &&
      EqualsNoCase(name, platform::kLinkValueName)) {
    std::string target;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) target += data[i];
    const std::string machine = "\\REGISTRY\\MACHINE\\", user = "\\REGISTRY\\USER\\";
    if (StartsWithNoCase(target, machine)) {
      k->linkRoot = platform::kLocalMachine;
      k->linkPath = target.substr(machine.size());
    } else if (StartsWithNoCase(target, user)) {
      const std::size_t sid = target.find('\\', user.size());
      k->linkRoot = platform::kCurrentUser;
      k->linkPath = sid == std::string::npos ? std::string() : target.substr(sid + 1);
    }
    k->madeAsLink = false;
  }
  return 0;
}

}  // namespace quenk::sim
