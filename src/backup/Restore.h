#pragma once

#include "platform/Ports.h"

#include <string>
#include <vector>

namespace quenk::backup {

struct RestoreResult {
  std::vector<std::string> restored;     // what was put back, one line per item or part
  std::vector<std::string> notRestored;  // each line says "skipped, it exists" or why it failed
};

// Puts back from the backup in `folder` every saved file, folder and key
// that is missing at its place, with its bytes, attributes and times, or
// its values and subkeys: missing parts only. Whatever exists is left as it
// is and reported as skipped, so a restore may be repeated. Needs no window
// and never throws for what the backup holds: a missing, edited, truncated
// or binary manifest.txt or registry.reg and missing copies end up as lines
// of `notRestored`.
RestoreResult Restore(platform::Ports ports, const std::string& folder);

}  // namespace quenk::backup
