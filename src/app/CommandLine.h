#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenk {

// Splits a command line the way Windows programs read their arguments:
// blanks separate, double quotes group and are dropped. The first element
// is the program path.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace quenk
