#include "engine/ProfileFolders.h"

#include "base/Text.h"

#include <algorithm>

namespace quenk::engine {

namespace {

constexpr const char* kProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// As the system expands REG_EXPAND_SZ: an unknown %NAME% stays as it is.
std::string Expanded(platform::FileSystem& fs, const std::string& text) {
  std::string out;
  std::size_t i = 0;
  for (;;) {
    const std::size_t open = text.find('%', i);
    const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    out += text.substr(i, open - i);
    const auto value = fs.Env(text.substr(open + 1, close - open - 1));
    out += value ? *value : text.substr(open, close - open + 1);
    i = close + 1;
  }
  return out + text.substr(i);
}

bool IsFullPath(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::vector<std::string> ProfileFolders(platform::FileSystem& fs, platform::Registry& registry) {
  std::vector<std::string> folders;
  const platform::RegKey list = platform::RegKey::Open(registry, platform::kLocalMachine,
                                                       kProfileList, platform::access::kRead);
  platform::KeyInfo info;
  if (!list || registry.QueryInfo(list.Get(), info) != 0) return folders;
  for (std::uint32_t i = 0; i < info.subKeys; ++i) {
    std::string sid;
    if (registry.EnumKey(list.Get(), i, info.maxSubKeyLen + 1, sid) != 0) continue;
    const platform::RegKey profile =
        platform::RegKey::Open(registry, list.Get(), sid, platform::access::kQueryValue);
    std::uint32_t type = 0;
    std::string data;
    if (!profile || registry.QueryValue(profile.Get(), "ProfileImagePath", type, data) != 0 ||
        (type != platform::regtype::kString && type != platform::regtype::kExpandString))
      continue;
    data = data.substr(0, data.find('\0'));
    std::string folder = type == platform::regtype::kExpandString ? Expanded(fs, data) : data;
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    if (!IsFullPath(folder) || folder.size() <= 3) continue;
    if (std::none_of(folders.begin(), folders.end(),
                     [&](const std::string& f) { return EqualsNoCase(f, folder); }))
      folders.push_back(std::move(folder));
  }
  return folders;
}

}  // namespace quenk::engine
