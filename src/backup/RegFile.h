#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::backup {

// One value as the registry keeps it.
struct RegValue {
  std::string name;  // empty for the key's default value
  std::uint32_t type = 0;
  std::string data;  // as stored, terminating NULs included
  friend bool operator==(const RegValue&, const RegValue&) = default;
};

// One key of a registry file: its full name and its own values.
struct RegSection {
  std::string key;  // "HKEY_LOCAL_MACHINE\Software\Vendor"
  std::vector<RegValue> values;
  friend bool operator==(const RegSection&, const RegSection&) = default;
};

// The file as the system's registry editor imports it: "REGEDIT4", 8-bit
// text in the ANSI code page, lines ended by CR LF. Text it can hold as
// text is written as text ("name"="C:\\x", dword:0000000a); everything else
// as hex(n): bytes, so that every value comes back as it was.
std::string RegFileHeader();
std::string FormatRegSection(const RegSection& section);

struct RegFile {
  std::vector<RegSection> sections;   // in file order; a key may come more than once
  std::vector<std::string> problems;  // "line 12: ..." for every line that was not taken
};

// Reads what FormatRegSection writes, and files of the same format written
// elsewhere. Anything it cannot read (an edited, truncated or binary file)
// lands in `problems`; deletions ("[-key]", "name"=-) are never taken.
RegFile ParseRegFile(std::string_view text);

// Whether the file can carry a key's own name (one level) or a value's
// name so that it reads back, and the registry editor imports it, as it is.
bool RegFileHoldsKeyName(std::string_view name);
bool RegFileHoldsValueName(std::string_view name);

// "HKCU\x" -> "HKEY_CURRENT_USER\x", "HKLM\x" -> "HKEY_LOCAL_MACHINE\x";
// empty for any other root.
std::string FullKeyName(std::string_view recordedKey);

}  // namespace quenk::backup
