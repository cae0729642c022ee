#include "backup/ExactKey.h"

#include "backup/RegFile.h"

namespace quenk::backup {
namespace {

using platform::RegKey;

std::string Check(platform::Registry& registry, platform::HKey parent, const std::string& name,
                  const std::string& line) {
  // A key that does not open is refused by the export itself.
  const RegKey key = RegKey::OpenItself(registry, parent, name, platform::access::kRead);
  if (!key) return {};
  std::uint32_t type = 0;
  std::string data;
  if (registry.QueryValue(key.Get(), platform::kLinkValueName, type, data) == 0 &&
      type == platform::regtype::kLink) {
    // A link is one manifest line of tab-separated fields.
    if (line.find('\t') != std::string::npos || !LinkTargetText(data))
      return "a link the backup cannot keep exactly";
    return {};
  }
  platform::ExactReading exact;
  if (registry.ReadsExactly(key.Get(), exact) != 0) return "its values cannot be read";
  if (!exact.values) return "a value the backup cannot keep exactly";
  if (!exact.subKeyNames) return "a key name the backup cannot keep exactly";
  std::string valueName;
  for (std::uint32_t i = 0; registry.EnumValue(key.Get(), i, valueName, type, data) == 0; ++i)
    if (!RegFileHoldsValueName(valueName)) return "a name registry.reg cannot hold";
  platform::KeyInfo info;
  if (registry.QueryInfo(key.Get(), info) != 0) return {};
  for (std::uint32_t i = 0; i < info.subKeys; ++i) {
    std::string sub;
    if (registry.EnumKey(key.Get(), i, info.maxSubKeyLen + 1, sub) != 0) continue;
    if (!RegFileHoldsKeyName(sub)) return "a name registry.reg cannot hold";
    if (std::string why = Check(registry, key.Get(), sub, line + "\\" + sub); !why.empty())
      return why;
  }
  return {};
}

}  // namespace

std::string WhyNotKeptExactly(platform::Registry& registry, platform::HKey parent,
                              const std::string& name, const std::string& line) {
  return Check(registry, parent, name, line);
}

std::string WhyValueNotKeptExactly(platform::Registry& registry, platform::HKey key,
                                   const std::string& keyLine, const std::string& name) {
  // One manifest line: the key, a tab, the name to the end of the line.
  if (keyLine.find_first_of("\t\r\n") != std::string::npos ||
      name.find_first_of("\r\n") != std::string::npos || !RegFileHoldsValueName(name))
    return "a name registry.reg cannot hold";
  platform::ExactReading exact;
  if (registry.ReadsExactly(key, exact) != 0) return "its values cannot be read";
  // Told for the key's values together: this one may be among those that read changed.
  if (!exact.values) return "a value the backup cannot keep exactly";
  return {};
}

std::optional<std::string> LinkTargetText(const std::string& wide) {
  if (wide.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < wide.size(); i += 2) {
    const char c = wide[i];
    if (wide[i + 1] != '\0' || c == '\0' || c == '\t' || c == '\r' || c == '\n')
      return std::nullopt;
    out += c;
  }
  return out;
}

}  // namespace quenk::backup
