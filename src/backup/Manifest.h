#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quenk::backup {

enum class Kind { kFile, kFolder, kKey, kValue };

// One line of manifest.txt: a saved item ("file", "folder" or "key", a tab,
// the path or key as recorded), or a link that was saved as what it is
// ("link", path, what kind of link, what it led to) and never followed.
struct ManifestEntry {
  Kind kind = Kind::kFile;
  std::string path;  // "C:\x\y.dll", "\\server\share\x", "HKLM\Software\x"
  bool link = false;
  std::string target;      // links only: the folder, file or key it led to
  std::string value = {};  // kValue: the value's name in the key at `path`
  friend bool operator==(const ManifestEntry&, const ManifestEntry&) = default;
};

// A value item's line is "value", its key and its name, tab-separated.
// The line, ended by CR LF.
std::string FormatManifestLine(const ManifestEntry& entry);

// A line "name": a saved file or folder, the item itself or an entry in
// it, whose long name the code page cannot spell. The path reaches it by its
// short name (and is where its copy lies); `name` is that long name as the
// record words it ("?" for what the code page lacks) and in UTF-8.
struct ManifestName {
  std::string path;
  platform::LongName name;
  friend bool operator==(const ManifestName& a, const ManifestName& b) {
    return a.path == b.path && a.name.ansi == b.name.ansi && a.name.utf8 == b.name.utf8;
  }
};
std::string FormatNameLine(const ManifestName& name);

// A saved item with the links and the long names that were inside it.
struct ManifestItem {
  ManifestEntry entry;
  std::vector<ManifestEntry> links;
  std::vector<ManifestName> names;
};

struct Manifest {
  std::vector<ManifestItem> items;    // in the order of deletion
  std::vector<std::string> problems;  // "line 3: ..." for every line not taken
};

// Never throws: lines that are not understood, paths that are not absolute
// or that step out of where they are (".."), and a last line cut short are
// reported and left out.
Manifest ParseManifest(std::string_view text);

// attributes.txt: the attributes and times of every saved file and folder,
// one line each: attributes in hex, creation, last access and last write
// time, the path; all separated by tabs.
struct EntryFacts {
  std::uint32_t attributes = 0;
  platform::FileTimes times;
};
std::string FormatAttributesLine(const std::string& path, const EntryFacts& facts);
// By upper-case path; lines that are not understood are passed over, since
// each copy carries its attributes and last-write time too.
std::map<std::string, EntryFacts> ParseAttributes(std::string_view text);

// "KEY [NAME]", as the record words a value.
std::string ValueLine(const std::string& key, const std::string& name);

// Whether `path` is "HKCU\..." or "HKLM\..." with a name after the root.
bool IsKeyPath(std::string_view path);

}  // namespace quenk::backup
