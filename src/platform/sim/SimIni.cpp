#include "platform/sim/SimIni.h"

#include "base/Text.h"

#include <optional>
#include <vector>

namespace quenk::sim {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The section name when the line opens a section.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  return Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

struct KeyLine {
  std::string_view name;
  std::string_view value;
};

std::optional<KeyLine> ParseKey(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const std::size_t eq = trimmed.find('=');
  if (eq == std::string_view::npos) return KeyLine{trimmed, {}};
  return KeyLine{Trim(trimmed.substr(0, eq)), Trim(trimmed.substr(eq + 1))};
}

std::optional<std::string> Load(platform::FileSystem& fs, const std::string& file) {
  auto opened = fs.Open(file, platform::OpenMode::kRead);
  if (opened.error) return std::nullopt;
  std::string bytes;
  if (opened.file->ReadAll(bytes)) return std::nullopt;
  return bytes;
}

}  // namespace

std::string SimIni::Read(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& fallback) {
  std::string result = std::string(Trim(fallback));
  if (const auto text = Load(fs_, file)) {
    bool inSection = false;
    for (std::string_view line : Lines(*text)) {
      if (const auto name = SectionName(line)) {
        if (inSection) break;  // only the first section of that name is read
        inSection = EqualsNoCase(*name, section);
        continue;
      }
      if (!inSection) continue;
      const auto k = ParseKey(line);
      if (!k || !EqualsNoCase(k->name, key)) continue;
      std::string_view v = k->value;
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      result = std::string(v);
      break;
    }
  }
  if (const auto nul = result.find('\0'); nul != std::string::npos) result.resize(nul);
  if (result.size() > kBufferSize - 1) result.resize(kBufferSize - 1);
  return result;
}

bool SimIni::Write(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
  std::string text = Load(fs_, file).value_or(std::string());
  const std::vector<std::string_view> lines = Lines(text);
  std::vector<std::string> out;
  out.reserve(lines.size() + 2);
  const std::string entry = key + "=" + value;
  bool inSection = false, sectionSeen = false, done = false;
  std::size_t lastInSection = 0;  // where a missing key goes: after the section's last line
  for (std::string_view line : lines) {
    if (const auto name = SectionName(line)) {
      if (inSection && !done) {
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastInSection), entry);
        done = true;
      }
      inSection = !sectionSeen && EqualsNoCase(*name, section);
      if (inSection) sectionSeen = true;
      out.emplace_back(line);
      if (inSection) lastInSection = out.size();
      continue;
    }
    if (inSection && !done) {
      const auto k = ParseKey(line);
      if (k && EqualsNoCase(k->name, key)) {
        out.push_back(std::string(k->name) + "=" + value);
        done = true;
        continue;
      }
      if (!Trim(line).empty()) lastInSection = out.size() + 1;
    }
    out.emplace_back(line);
  }
  if (!done) {
    if (inSection) {
      out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastInSection), entry);
    } else {
      out.push_back("[" + section + "]");
      out.push_back(entry);
    }
  }
  std::string bytes;
  for (const auto& line : out) bytes += line + "\r\n";
  auto opened = fs_.Open(file, platform::OpenMode::kRewrite);
  if (opened.error) return false;
  return opened.file->Write(bytes) == 0 && opened.file->Close() == 0;
}

}  // namespace quenk::sim
