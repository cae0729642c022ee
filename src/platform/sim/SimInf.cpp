#include "platform/sim/SimInf.h"

#include "base/Text.h"

#include <string_view>

namespace quenk::sim {

namespace {

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// The line without its comment; a ';' inside quotes is text.
std::string_view Uncommented(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) return line.substr(0, i);
  }
  return line;
}

std::string Unquoted(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != '"') out += c;
  return out;
}

}  // namespace

std::optional<SimInf> SimInf::Parse(const std::string& text) {
  SimInf inf;
  std::vector<Line>* section = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line =
        Trimmed(Uncommented(std::string_view(text).substr(start, end - start)));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string::npos) return std::nullopt;
      section = &inf.sections_[UpperCase(Trimmed(std::string_view(line).substr(1, close - 1)))];
      continue;
    }
    if (!section) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
      section->push_back({Trimmed(Unquoted(line)), {}});
    else
      section->push_back(
          {Trimmed(Unquoted(line.substr(0, equals))), Trimmed(Unquoted(line.substr(equals + 1)))});
  }
  if (!inf.Text("Version", "Signature")) return std::nullopt;
  return inf;
}

std::optional<std::string> SimInf::Text(const std::string& section, const std::string& key) const {
  const auto found = sections_.find(UpperCase(section));
  if (found == sections_.end()) return std::nullopt;
  for (const Line& line : found->second)
    if (EqualsNoCase(line.key, key)) return Expand(line.value);
  return std::nullopt;
}

std::vector<std::string> SimInf::Keys(const std::string& section) const {
  std::vector<std::string> keys;
  const auto found = sections_.find(UpperCase(section));
  if (found != sections_.end())
    for (const Line& line : found->second) keys.push_back(line.key);
  return keys;
}

bool SimInf::HasSection(const std::string& section) const {
  return sections_.count(UpperCase(section)) > 0;
}

// An unknown token stays as written, percent signs and all.
std::string SimInf::Expand(const std::string& value) const {
  std::string out;
  std::size_t i = 0;
  while (i < value.size()) {
    const std::size_t open = value.find('%', i);
    const std::size_t close = open == std::string::npos ? open : value.find('%', open + 1);
    if (close == std::string::npos) break;
    out += value.substr(i, open - i);
    const std::string token = value.substr(open + 1, close - open - 1);
    const auto strings = sections_.find("STRINGS");
    std::optional<std::string> replacement;
    if (token.empty()) replacement = "%";
    if (strings != sections_.end() && !replacement)
      for (const Line& line : strings->second)
        if (EqualsNoCase(line.key, token)) replacement = line.value;
    out += replacement ? *replacement : "%" + token + "%";
    i = close + 1;
  }
  return out + value.substr(std::min(i, value.size()));
}

}  // namespace quenk::sim
