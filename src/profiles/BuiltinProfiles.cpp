#include "profiles/BuiltinProfiles.h"

#include "profiles/ProfileReader.h"

#include <stdexcept>

namespace quenk::profiles {
namespace {

std::array<ProfileData, kBuiltinProfileCount> ReadBuiltins() {
  std::array<ProfileData, kBuiltinProfileCount> profiles;
  std::string errors;
  const platform::CodePage ascii = platform::AsciiCodePage();
  for (std::size_t i = 0; i < kBuiltinProfileCount; ++i) {
    const ProfileText& t = kBuiltinProfileTexts[i];
    ReadProfileResult read = ReadProfile(t.text, std::string(t.file), ascii, true);
    std::vector<ProfileMessage> wrong = std::move(read.errors);
    wrong.insert(wrong.end(), read.skipped.begin(), read.skipped.end());
    if (read.profile) {
      const auto clashes = Clashes(*read.profile, std::span(profiles.data(), i));
      wrong.insert(wrong.end(), clashes.begin(), clashes.end());
      profiles[i] = std::move(*read.profile);
    }
    for (const auto& e : wrong) errors += e.Text() + "\n";
  }
  if (!errors.empty()) throw std::logic_error("Built-in profiles:\n" + errors);
  return profiles;
}

}  // namespace

const std::array<ProfileData, kBuiltinProfileCount>& BuiltinProfiles() {
  static const std::array<ProfileData, kBuiltinProfileCount> profiles = ReadBuiltins();
  return profiles;
}

}  // namespace quenk::profiles
