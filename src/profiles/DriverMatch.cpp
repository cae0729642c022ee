#include "profiles/DriverMatch.h"

#include "base/Text.h"
#include "platform/Wildcard.h"

#include <algorithm>

namespace quenk::profiles {

bool Matches(const DriverCriteria& c, const platform::DriverPackage& p) {
  if (p.provider.empty() || !platform::ProviderProblem(p.provider).empty()) return false;
  if (c.provider.empty()) return false;
  if (c.providerPrefix ? !StartsWithNoCase(p.provider, c.provider)
                       : !EqualsNoCase(p.provider, c.provider))
    return false;
  const auto any = [](const std::vector<std::string>& list, auto&& holds) {
    return list.empty() || std::any_of(list.begin(), list.end(), holds);
  };
  if (!any(c.classes, [&](const std::string& k) { return EqualsNoCase(k, p.className); }))
    return false;
  // Without its original name a package cannot be told by it.
  if (!c.infNames.empty() && p.original.empty()) return false;
  if (!any(c.infNames,
           [&](const std::string& mask) { return platform::MatchesMask(p.original, mask); }))
    return false;
  if (!c.keyFile.empty() && std::none_of(p.files.begin(), p.files.end(), [&](const std::string& f) {
        return EqualsNoCase(f, c.keyFile);
      }))
    return false;
  return true;
}

}  // namespace quenk::profiles
