#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quenk::profiles {

struct ProfileText {
  std::string_view file;
  std::string_view text;
};

// The files of profiles/builtin/, embedded by the build, in item order.
inline constexpr std::size_t kBuiltinProfileCount = 5;
extern const std::array<ProfileText, kBuiltinProfileCount> kBuiltinProfileTexts;

}  // namespace quenk::profiles
