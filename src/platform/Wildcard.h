#pragma once

#include <string_view>

namespace quenk::platform {

// Windows file-name matching for one name against one mask: `*` and `?`
// without regard to case; a trailing ".*" also matches a name without a dot,
// and a trailing "." matches only names without one. Runs in
// O(name length x mask length) at worst; no backtracking blow-up.
bool MatchesMask(std::string_view name, std::string_view mask);

// Whether `name` is already a valid 8.3 name (it then has no separate short name).
bool IsShortName(std::string_view name);

}  // namespace quenk::platform
