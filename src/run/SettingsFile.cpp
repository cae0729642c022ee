#include "run/SettingsFile.h"

#include <limits>
#include <stdexcept>

namespace quenk {

std::string SettingsPathFor(const std::string& programPath) {
  const std::size_t slash = programPath.find_last_of("\\/:");
  const std::size_t dot = programPath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? programPath.substr(0, dot) : programPath) + ".ini";
}

std::optional<long long> ParseFlagNumber(std::string_view text) {
  bool hex = false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    text.remove_prefix(2);
  } else {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  }
  bool negative = false;
  if (!hex && !text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (!hex && !text.empty() && text.front() == '$') {
    hex = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Decimal fits a signed 32-bit integer; hexadecimal any 32-bit pattern.
  const unsigned long long limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  unsigned long long value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (value > limit) return std::nullopt;
  }
  const long long signedValue = static_cast<long long>(value);
  return negative ? -signedValue : signedValue;
}

bool SettingsFile::ReadFlag(std::string_view section, std::string_view key, bool fallback) const {
  const std::string text = ini_.Read(path_, std::string(section), std::string(key), "");
  const auto number = ParseFlagNumber(text);
  return number ? *number != 0 : fallback;
}

void SettingsFile::WriteFlag(std::string_view section, std::string_view key, bool value) const {
  if (!ini_.Write(path_, std::string(section), std::string(key), value ? "1" : "0"))
    throw std::runtime_error("Unable to write to " + path_);
}

OptionFlags SettingsFile::ReadAll() const {
  OptionFlags flags;
  for (const auto& [item, section] : kItemSections) {
    flags[item].files = ReadFlag(section, kFilesKey, true);
    flags[item].registry = ReadFlag(section, kRegistryKey, true);
  }
  flags.logFiles = ReadFlag(kLogfilesSection, kLogfilesKey, false);
  flags.systemTray = ReadFlag(kSystemTraySection, kSystemTrayKey, false);
  flags.backup = ReadFlag(kBackupSection, kBackupKey, true);
  for (const auto& word : more_)
    flags.more[word] = {ReadFlag(word, kFilesKey, true), ReadFlag(word, kRegistryKey, true)};
  return flags;
}

void SettingsFile::WriteAll(const OptionFlags& flags) const {
  for (const auto& [item, section] : kItemSections) {
    WriteFlag(section, kRegistryKey, flags[item].registry);
    WriteFlag(section, kFilesKey, flags[item].files);
  }
  WriteFlag(kLogfilesSection, kLogfilesKey, flags.logFiles);
  WriteFlag(kSystemTraySection, kSystemTrayKey, flags.systemTray);
  WriteFlag(kBackupSection, kBackupKey, flags.backup);
  for (const auto& word : more_) {
    const auto found = flags.more.find(word);
    const ItemSwitches switches = found == flags.more.end() ? ItemSwitches{} : found->second;
    WriteFlag(word, kRegistryKey, switches.registry);
    WriteFlag(word, kFilesKey, switches.files);
  }
}

}  // namespace quenk
