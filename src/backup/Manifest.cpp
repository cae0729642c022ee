#include "backup/Manifest.h"

#include "backup/BackupFolder.h"
#include "base/Text.h"
#include "platform/Paths.h"

#include <charconv>

namespace quenk::backup {
namespace {

constexpr std::size_t kMaxProblems = 50;

std::string_view KindName(Kind kind) {
  switch (kind) {
    case Kind::kFile:
      return "file";
    case Kind::kFolder:
      return "folder";
    case Kind::kKey:
      return "key";
    case Kind::kValue:
      return "value";
  }
  return {};
}

bool ParseKind(std::string_view text, Kind& kind) {
  for (const Kind k : {Kind::kFile, Kind::kFolder, Kind::kKey}) {
    if (text == KindName(k)) {
      kind = k;
      return true;
    }
  }
  return false;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// A file or folder path that names one place and nothing relative: the
// form the literal prefix takes unchanged, without wildcards or controls.
bool IsFilePath(std::string_view path) {
  // The literal form is taken as it is: its segments are checked as plain ones.
  if (platform::LiteralPath(platform::PlainPath(path)).empty()) return false;
  const std::size_t from = platform::IsLiteralPath(path) ? 4 : 0;
  for (std::size_t i = from; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c < 0x20 ||
        std::string_view("*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
    if (c == ':' && i != from + 1) return false;
  }
  return true;
}

// Whether `inner` lies inside `outer`.
bool Inside(std::string_view inner, std::string_view outer) {
  return inner.size() > outer.size() + 1 && StartsWithNoCase(inner, outer) &&
         inner[outer.size()] == '\\';
}

bool ValidPath(Kind kind, std::string_view path) {
  return kind == Kind::kKey || kind == Kind::kValue ? IsKeyPath(path) : IsFilePath(path);
}

// One name of text: no folder separator, no control character.
bool IsOneName(std::string_view name) {
  if (name.empty() || platform::IsDotName(name)) return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '/') return false;
  return true;
}

template <class T>
bool Number(std::string_view text, T& value, int base) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

bool IsKeyPath(std::string_view path) {
  if (!StartsWithNoCase(path, "HKCU\\") && !StartsWithNoCase(path, "HKLM\\")) return false;
  const std::string_view rest = path.substr(5);
  if (rest.empty() || rest.front() == '\\' || rest.back() == '\\') return false;
  return rest.find("\\\\") == std::string_view::npos;
}

std::string ValueLine(const std::string& key, const std::string& name) {
  return key + " [" + name + "]";
}

std::string FormatManifestLine(const ManifestEntry& entry) {
  if (entry.kind == Kind::kValue && !entry.link)
    return "value\t" + entry.path + '\t' + entry.value + "\r\n";
  std::string line = entry.link ? "link" : std::string(KindName(entry.kind));
  line += '\t';
  line += entry.path;
  if (entry.link) {
    line += '\t';
    line += KindName(entry.kind);
    line += '\t';
    line += entry.target;
  }
  return line + "\r\n";
}

std::string FormatNameLine(const ManifestName& name) {
  return "name\t" + name.path + '\t' + name.name.ansi + '\t' + name.name.utf8 + "\r\n";
}

Manifest ParseManifest(std::string_view text) {
  Manifest manifest;
  std::size_t skipped = 0;
  const auto problem = [&](std::size_t number, const std::string& what) {
    if (manifest.problems.size() < kMaxProblems)
      manifest.problems.push_back("line " + std::to_string(number) + ": " + what);
    else
      ++skipped;
  };
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    ++number;
    const std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) {
      problem(number, "cut short");  // every line is written whole, with its line end
      break;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    ManifestEntry entry;
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
      problem(number, "not understood");
      continue;
    }
    if (line.substr(0, tab) == "name") {
      // Belongs to the file or folder item before it: the item or inside it.
      const auto fields = Fields(line);
      if (fields.size() != 4 || !IsFilePath(fields[1]) || !IsOneName(fields[2]) ||
          !IsOneName(fields[3]) || manifest.items.empty() ||
          manifest.items.back().entry.kind == Kind::kKey ||
          manifest.items.back().entry.kind == Kind::kValue ||
          !(EqualsNoCase(platform::PlainPath(fields[1]),
                         platform::PlainPath(manifest.items.back().entry.path)) ||
            Inside(platform::PlainPath(fields[1]),
                   platform::PlainPath(manifest.items.back().entry.path)))) {
        problem(number, "not understood");
        continue;
      }
      manifest.items.back().names.push_back(
          {std::string(fields[1]), {std::string(fields[2]), std::string(fields[3])}});
      continue;
    }
    if (line.substr(0, tab) == "link") {
      const auto fields = Fields(line);
      if (fields.size() != 4 || !ParseKind(fields[2], entry.kind)) {
        problem(number, "not understood");
        continue;
      }
      entry.link = true;
      entry.path = std::string(fields[1]);
      entry.target = std::string(fields[3]);
    } else if (line.substr(0, tab) == "value") {
      // The key holds no tab; the name runs to the end of the line.
      const std::string_view rest = line.substr(tab + 1);
      const std::size_t split = rest.find('\t');
      if (split == std::string_view::npos || split + 1 == rest.size()) {
        problem(number, "not understood");
        continue;
      }
      entry.kind = Kind::kValue;
      entry.path = std::string(rest.substr(0, split));
      entry.value = std::string(rest.substr(split + 1));
    } else if (ParseKind(line.substr(0, tab), entry.kind)) {
      entry.path = std::string(line.substr(tab + 1));  // a key name may hold a tab
    } else {
      problem(number, "not understood");
      continue;
    }
    if (!ValidPath(entry.kind, entry.path)) {
      problem(number, "not a full path: " + entry.path);
      continue;
    }
    // A link inside the item before it belongs to that item; any other
    // entry is an item of its own.
    if (entry.link && !manifest.items.empty()) {
      ManifestItem& last = manifest.items.back();
      if ((entry.kind == Kind::kKey) == (last.entry.kind == Kind::kKey) &&
          Inside(entry.path, last.entry.path)) {
        last.links.push_back(std::move(entry));
        continue;
      }
    }
    manifest.items.push_back({std::move(entry), {}});
  }
  if (skipped > 0)
    manifest.problems.push_back("and " + std::to_string(skipped) + " more lines not understood");
  return manifest;
}

std::string FormatAttributesLine(const std::string& path, const EntryFacts& facts) {
  char attributes[16];
  const auto end = std::to_chars(attributes, attributes + sizeof attributes, facts.attributes, 16);
  std::string line(attributes, end.ptr);
  for (const std::uint64_t t :
       {facts.times.creation, facts.times.lastAccess, facts.times.lastWrite}) {
    line += '\t';
    line += std::to_string(t);
  }
  return line + '\t' + path + "\r\n";
}

std::map<std::string, EntryFacts> ParseAttributes(std::string_view text) {
  std::map<std::string, EntryFacts> facts;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;  // cut short
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fields = Fields(line);
    EntryFacts f;
    if (fields.size() != 5 || !Number(fields[0], f.attributes, 16) ||
        !Number(fields[1], f.times.creation, 10) || !Number(fields[2], f.times.lastAccess, 10) ||
        !Number(fields[3], f.times.lastWrite, 10) || !IsFilePath(fields[4]))
      continue;
    facts[UpperCase(platform::PlainPath(fields[4]))] = f;
  }
  return facts;
}

}  // namespace quenk::backup
