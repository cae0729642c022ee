#include "platform/Wildcard.h"

#include "base/Text.h"
#include "platform/Paths.h"

#include <cstddef>

namespace quenk::platform {
namespace {

bool Glob(std::string_view s, std::string_view p) {
  constexpr std::size_t npos = std::string_view::npos;
  std::size_t si = 0, pi = 0, starP = npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starS = si;
    } else if (pi < p.size() && (p[pi] == '?' || FoldCase(p[pi]) == FoldCase(s[si]))) {
      ++si;
      ++pi;
    } else if (starP != npos) {
      pi = starP + 1;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool HasDot(std::string_view s) {
  return s.find('.') != std::string_view::npos;
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*") {
    return Glob(name, mask) || (!HasDot(name) && Glob(name, mask.substr(0, mask.size() - 2)));
  }
  if (mask.back() == '.' && mask != "." && mask != "..") {
    return !HasDot(name) && Glob(name, mask.substr(0, mask.size() - 1));
  }
  return Glob(name, mask);
}

bool IsShortName(std::string_view name) {
  if (name.empty() || IsDotName(name)) return true;
  const std::size_t dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view ext =
      dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string_view::npos && ext.empty()) return false;
  for (std::string_view part : {base, ext}) {
    for (char c : part) {
      const auto u = static_cast<unsigned char>(c);
      const bool ok = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                      std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos ||
                      u >= 0x80;
      if (!ok) return false;
    }
  }
  return true;
}

}  // namespace quenk::platform
