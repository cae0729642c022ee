#include "backup/RegFile.h"

#include "base/Text.h"

#include <cstdio>
#include <optional>

namespace quenk::backup {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::size_t kWrapAt = 76;  // the registry editor's own line width
constexpr std::size_t kMaxProblems = 50;

// Inside quotes: a backslash and a quote are escaped; CR and LF would end
// the line and are written as escapes the editor reads back.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"')
      out += {'\\', c};
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out + "\"";
}

// Text the editor writes as "...": ends in exactly one NUL and holds no
// other NUL nor line break, which the import would not bring back as stored.
bool PlainText(std::string_view data) {
  if (data.empty() || data.back() != '\0') return false;
  data.remove_suffix(1);
  return data.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::string Hex(std::string prefix, std::string_view data) {
  std::string out = std::move(prefix);
  std::size_t lineStart = 0;
  char digits[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(data[i]));
    out += digits;
    if (i + 1 == data.size()) break;
    out += ',';
    if (out.size() - lineStart + 3 > kWrapAt) {
      out += "\\\r\n  ";
      lineStart = out.size() - 2;
    }
  }
  return out;
}

std::string FormatValue(const RegValue& v) {
  std::string line = v.name.empty() ? "@=" : Quoted(v.name) + "=";
  if (v.type == 1 && PlainText(v.data)) return line + Quoted(v.data.substr(0, v.data.size() - 1));
  if (v.type == 4 && v.data.size() == 4) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(v.data[i]);
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(n));
    return line + digits;
  }
  if (v.type == 3) return Hex(line + "hex:", v.data);
  char type[24];
  std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(v.type));
  return Hex(line + type, v.data);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// At most `maxDigits` hex digits, all of `text`.
std::optional<std::uint32_t> HexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    n = (n << 4) | static_cast<std::uint32_t>(d);
  }
  return n;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Reads a quoted text at the start of `s`, escapes undone; `s` moves past it.
std::optional<std::string> TakeQuoted(std::string_view& s) {
  if (s.empty() || s.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\' && i + 1 < s.size()) {
      const char next = s[++i];
      if (next == 'r')
        out += '\r';
      else if (next == 'n')
        out += '\n';
      else if (next == '\\' || next == '"')
        out += next;
      else
        out += {c, next};  // not an escape: taken as written
      continue;
    }
    out += c;
  }
  return std::nullopt;
}

std::optional<std::string> HexBytes(std::string_view s) {
  std::string out;
  s = Trim(s);
  if (s.empty()) return out;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t end = s.find(',', start);
    if (end == std::string_view::npos) end = s.size();
    const std::string_view part = Trim(s.substr(start, end - start));
    if (part.empty() && end == s.size() && start > 0) break;  // a trailing comma
    const auto byte = HexNumber(part, 2);
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    start = end + 1;
  }
  return out;
}

// The data after "=": a type and its bytes, or nullopt.
std::optional<RegValue> ValueData(std::string_view s) {
  RegValue v;
  s = Trim(s);
  if (!s.empty() && s.front() == '"') {
    auto text = TakeQuoted(s);
    if (!text || !Trim(s).empty()) return std::nullopt;
    v.type = 1;
    v.data = *text + std::string(1, '\0');
    return v;
  }
  if (StartsWithNoCase(s, "dword:")) {
    const auto n = HexNumber(Trim(s.substr(6)), 8);
    if (!n) return std::nullopt;
    v.type = 4;
    for (int i = 0; i < 4; ++i) v.data += static_cast<char>((*n >> (8 * i)) & 0xFF);
    return v;
  }
  if (StartsWithNoCase(s, "hex:")) {
    v.type = 3;
    s.remove_prefix(4);
  } else if (StartsWithNoCase(s, "hex(")) {
    const std::size_t close = s.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    const auto type = HexNumber(s.substr(4, close - 4), 8);
    if (!type) return std::nullopt;
    v.type = *type;
    s.remove_prefix(close + 2);
  } else {
    return std::nullopt;
  }
  auto bytes = HexBytes(s);
  if (!bytes) return std::nullopt;
  v.data = std::move(*bytes);
  return v;
}

class Parser {
 public:
  RegFile Run(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
    std::size_t i = 0;
    while (i < lines_.size() && Trim(lines_[i]).empty()) ++i;
    if (i == lines_.size() || Trim(lines_[i]) != kHeader)
      Problem(i + 1, "the file does not begin with " + std::string(kHeader));
    else
      ++i;
    for (next_ = i; next_ < lines_.size();) {
      const std::size_t number = next_ + 1;
      Line(number, Trim(lines_[next_++]));
    }
    // Each key ends in an empty line: a last key without one was cut short
    // and may have lost values, so none of it is taken.
    if (inKey_ && !closed_) {
      Problem(lines_.size(), "the file ends within the key " + file_.sections.back().key);
      file_.sections.pop_back();
    }
    if (skipped_ > 0)
      file_.problems.push_back("and " + std::to_string(skipped_) + " more lines not understood");
    return std::move(file_);
  }

 private:
  void Line(std::size_t number, std::string_view line) {
    if (line.empty()) {
      closed_ = true;
      return;
    }
    if (line.front() == ';') return;
    closed_ = false;
    if (line.front() == '[') {
      inKey_ = false;
      const std::size_t close = line.rfind(']');
      if (close == std::string_view::npos || close == 1) {
        Problem(number, "a key name without its closing bracket");
      } else if (line[1] == '-') {
        Problem(number, "a key deletion, not taken");
      } else {
        file_.sections.push_back({std::string(line.substr(1, close - 1)), {}});
        inKey_ = true;
      }
      return;
    }
    std::string name;
    std::string_view rest = line;
    if (rest.front() == '@') {
      rest.remove_prefix(1);
    } else if (auto quoted = TakeQuoted(rest)) {
      name = std::move(*quoted);  // "" is the default value too
    } else {
      Problem(number, "not understood");
      return;
    }
    rest = Trim(rest);
    if (rest.empty() || rest.front() != '=') {
      Problem(number, "not understood");
      return;
    }
    rest = Trim(rest.substr(1));
    // Hex data goes on over the lines that end in a backslash.
    std::string data(rest);
    if (StartsWithNoCase(rest, "hex")) {
      while (!data.empty() && data.back() == '\\' && next_ < lines_.size()) {
        data.pop_back();
        data += Trim(lines_[next_++]);
      }
    }
    if (!inKey_) {
      Problem(number, "a value outside any key");
      return;
    }
    if (data == "-") {
      Problem(number, "a value deletion, not taken");
      return;
    }
    auto value = ValueData(data);
    if (!value) {
      Problem(number, "the data of a value not understood");
      return;
    }
    value->name = std::move(name);
    file_.sections.back().values.push_back(std::move(*value));
  }

  void Problem(std::size_t number, const std::string& what) {
    if (file_.problems.size() >= kMaxProblems) {
      ++skipped_;
      return;
    }
    file_.problems.push_back("line " + std::to_string(number) + ": " + what);
  }

  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  RegFile file_;
  bool inKey_ = false;   // values go to the last section
  bool closed_ = false;  // an empty line came after the last line that held anything
  std::size_t skipped_ = 0;
};

}  // namespace

std::string RegFileHeader() {
  return std::string(kHeader) + "\r\n\r\n";
}

std::string FormatRegSection(const RegSection& section) {
  std::string out = "[" + section.key + "]\r\n";
  for (const auto& v : section.values) out += FormatValue(v) + "\r\n";
  return out + "\r\n";
}

RegFile ParseRegFile(std::string_view text) {
  return Parser().Run(text);
}

// A key name is the text between brackets on a line of its own.
bool RegFileHoldsKeyName(std::string_view name) {
  return !name.empty() &&
         name.find_first_of(std::string_view("\0\r\n\\", 4)) == std::string_view::npos;
}

// Quoting carries any byte but NUL, which ends the name for the 8-bit calls.
bool RegFileHoldsValueName(std::string_view name) {
  return name.find('\0') == std::string_view::npos;
}

std::string FullKeyName(std::string_view recordedKey) {
  if (StartsWithNoCase(recordedKey, "HKCU\\"))
    return "HKEY_CURRENT_USER\\" + std::string(recordedKey.substr(5));
  if (StartsWithNoCase(recordedKey, "HKLM\\"))
    return "HKEY_LOCAL_MACHINE\\" + std::string(recordedKey.substr(5));
  return {};
}

}  // namespace quenk::backup
