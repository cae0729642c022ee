#pragma once

#include "platform/Registry.h"

#include <optional>
#include <string>

namespace quenk::backup {

// Why the backup cannot keep the key `name` below the open key `parent`,
// with everything below it, so that the restore brings it back as it was;
// empty when it can. `line` is the key as the record words it. The run's
// backup and its forecast both ask, so the preview keeps what the run keeps.
std::string WhyNotKeptExactly(platform::Registry& registry, platform::HKey parent,
                              const std::string& name, const std::string& line);

// Why the backup cannot keep the value `name` of the open key `key` (the
// record's `keyLine`) so that the restore brings it back as it was; empty
// when it can.
std::string WhyValueNotKeptExactly(platform::Registry& registry, platform::HKey key,
                                   const std::string& keyLine, const std::string& name);

// A registry link's target (wide text as stored) as manifest.txt holds it,
// one byte a character; nullopt when that would not bring it back as it is.
std::optional<std::string> LinkTargetText(const std::string& wide);

}  // namespace quenk::backup
