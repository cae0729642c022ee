#pragma once

#include <string_view>

namespace quenk::profiles {

// Whether `name` is a service of Windows itself (letter case aside): its
// key and its service are never a driver's leftover.
bool IsSystemService(std::string_view name);

}  // namespace quenk::profiles
