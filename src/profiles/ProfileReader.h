#pragma once

#include "platform/CodePage.h"
#include "profiles/ProfileData.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::profiles {

// A line about a profile file: what is wrong at a place in it.
struct ProfileMessage {
  std::string file;
  SourcePlace place;
  std::string what;

  // "<file>, line <l>, column <c>: <what>"
  std::string Text() const;
};

struct ReadProfileResult {
  std::optional<ProfileData> profile;   // absent when there is any error
  std::vector<ProfileMessage> errors;   // in file order
  std::vector<ProfileMessage> skipped;  // entries left out, the profile loads without them
};

// Profile files larger than this are refused unread.
inline constexpr std::size_t kMaxProfileBytes = 1 << 20;

// Reads and validates one profile: the UTF-8 TOML text of `file` (the name
// messages give), whether a built-in text or a file read from disk. Text
// is brought into `codePage`; a name or word it cannot spell is an error,
// any other entry it cannot spell is left out with its reason.
ReadProfileResult ReadProfile(std::string_view text, const std::string& file,
                              const platform::CodePage& codePage, bool builtIn = false);

// The errors of a profile whose name or word is, ignoring case, that of a
// profile already loaded.
std::vector<ProfileMessage> Clashes(const ProfileData& profile,
                                    std::span<const ProfileData> loaded);

}  // namespace quenk::profiles
