#include "platform/DriverStore.h"

#include "base/Text.h"

namespace quenk::platform {

std::string OriginalFromStoreName(std::string_view folder) {
  const std::size_t slash = folder.find_last_of('\\');
  if (slash != std::string_view::npos) folder.remove_prefix(slash + 1);
  const std::string upper = UpperCase(folder);
  const std::size_t inf = upper.find(".INF");
  if (inf == std::string::npos || inf == 0) return {};
  return std::string(folder.substr(0, inf + 4));
}

std::string ProviderProblem(const std::string& provider) {
  if (provider.empty()) return "names no provider";
  if (provider.size() >= 2 && provider.front() == '%' && provider.back() == '%')
    return "its provider " + provider + " does not resolve";
  return {};
}

std::string PnfOf(const std::string& infPath) {
  return infPath.size() > 4 ? infPath.substr(0, infPath.size() - 4) + ".pnf" : infPath + ".pnf";
}

}  // namespace quenk::platform
