#pragma once

#include "platform/Ini.h"
#include "run/OptionFlags.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenk {

// The settings file beside the program: the program's path with its
// extension replaced by ".ini".
std::string SettingsPathFor(const std::string& programPath);

// A flag's value text read as a number: "0x"/"0X" hexadecimal when longer
// than two characters, otherwise an integer with optional leading blanks,
// sign and "$" for hexadecimal. nullopt when it is no whole number.
std::optional<long long> ParseFlagNumber(std::string_view text);

class SettingsFile {
 public:
  SettingsFile(platform::Ini& ini, std::string path) : ini_(ini), path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // The words of the profiles beside the program: each has a section of
  // that name, with the keys of the built-in items', after the others.
  void SetMoreSections(std::vector<std::string> words) { more_ = std::move(words); }
  // On for any number but zero, off for zero, `fallback` when missing or no number.
  bool ReadFlag(std::string_view section, std::string_view key, bool fallback) const;
  // Writes "1" or "0" at once; throws "Unable to write to <path>" when refused.
  void WriteFlag(std::string_view section, std::string_view key, bool value) const;

  // All the flags, each missing key at its default.
  OptionFlags ReadAll() const;
  // All the flags, in the file's table order, the more sections last.
  void WriteAll(const OptionFlags& flags) const;

 private:
  platform::Ini& ini_;
  std::string path_;
  std::vector<std::string> more_;
};

}  // namespace quenk
