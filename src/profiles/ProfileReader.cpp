#include "profiles/ProfileReader.h"

#include "profiles/SystemServices.h"

#include "base/Text.h"

#include <algorithm>
#include <array>

// toml++ checks some of its input with assertions, which abort a debug build
// and become optimiser assumptions in a release build of some compilers: a
// hostile file would then be undefined behaviour. Its own error path handles
// that input, so the checks are switched off in every build.
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

namespace quenk::profiles {

std::string ProfileMessage::Text() const {
  return file + ", line " + std::to_string(place.line) + ", column " +
         std::to_string(place.column) + ": " + what;
}

namespace {

constexpr int kFormat = 1;

// Words that already name a settings section of their own.
constexpr std::array<std::string_view, 3> kReservedWords{"Logfiles", "SystemTray", "Backup"};

// Keys whose removal would take Windows' own settings with it: each, all
// below and all above are refused.
constexpr std::array<std::string_view, 8> kProtectedKeys{
    "SOFTWARE\\MICROSOFT",   "SOFTWARE\\CLASSES", "SOFTWARE\\POLICIES",
    "SOFTWARE\\WOW6432NODE", "SOFTWARE\\WINDOWS", "SYSTEM\\CURRENTCONTROLSET\\CONTROL",
    "SYSTEM\\SETUP",         "SYSTEM\\SELECT"};

SourcePlace PlaceOf(const toml::source_region& region) {
  return {static_cast<int>(region.begin.line), static_cast<int>(region.begin.column)};
}

SourcePlace PlaceAt(std::string_view text, std::size_t offset) {
  const std::size_t lineStart = text.rfind('\n', offset);
  const auto line =
      std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
  const std::size_t column = lineStart == std::string_view::npos ? offset : offset - lineStart - 1;
  return {static_cast<int>(line) + 1, static_cast<int>(column) + 1};
}

std::string TypeName(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::table:
      return "a table";
    case toml::node_type::array:
      return "a list";
    case toml::node_type::string:
      return "a text";
    case toml::node_type::integer:
      return "an integer";
    case toml::node_type::floating_point:
      return "a number";
    case toml::node_type::boolean:
      return "true or false";
    default:
      return "a date or time";
  }
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// The parts of a registry path, upper case, empty parts dropped.
std::vector<std::string> KeyParts(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(UpperCase(path.substr(start, end - start)));
    start = end + 1;
  }
  return parts;
}

bool IsControlSet(std::string_view part) {
  return part.size() == 13 && part.substr(0, 10) == "CONTROLSET" &&
         std::all_of(part.begin() + 10, part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether removing the key at `parts` reaches a protected key: it is one,
// lies below one or holds one.
bool ReachesProtectedKey(const std::vector<std::string>& parts) {
  if (parts.size() <= 1) return true;  // all of Software or System
  const auto overlaps = [&parts](const std::vector<std::string>& guarded) {
    const std::size_t n = std::min(parts.size(), guarded.size());
    return std::equal(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(n),
                      guarded.begin());
  };
  for (const std::string_view key : kProtectedKeys)
    if (overlaps(KeyParts(key))) return true;
  if (parts[0] != "SYSTEM") return false;
  // Every key directly below System is Windows' own.
  if (parts.size() == 2) return true;
  if (parts[1] != "CURRENTCONTROLSET" && !IsControlSet(parts[1])) return false;
  if (parts[2] == "CONTROL") return true;
  if (parts[2] == "SERVICES") return parts.size() == 3 || IsSystemService(parts[3]);
  if (parts[2] == "ENUM") return parts.size() <= 4;
  return parts.size() == 3;
}

// Whether a protected key is one whose single values drivers add and
// leave: the Run keys, and the system environment but for Windows' own variables.
bool TakesValues(const std::vector<std::string>& parts, std::string_view value) {
  std::vector<std::string> p = parts;
  if (p.size() > 1 && p[0] == "SOFTWARE" && p[1] == "WOW6432NODE") p.erase(p.begin() + 1);
  if (p.size() == 5 && p[0] == "SOFTWARE" && p[1] == "MICROSOFT" && p[2] == "WINDOWS" &&
      p[3] == "CURRENTVERSION")
    return p[4] == "RUN" || p[4] == "RUNONCE";
  if (p.size() == 5 && p[0] == "SYSTEM" && (p[1] == "CURRENTCONTROLSET" || IsControlSet(p[1])) &&
      p[2] == "CONTROL" && p[3] == "SESSION MANAGER" && p[4] == "ENVIRONMENT") {
    static constexpr std::array<std::string_view, 12> kWindows{
        "PATH",       "PATHEXT",
        "COMSPEC",    "WINDIR",
        "TEMP",       "TMP",
        "OS",         "PSMODULEPATH",
        "DRIVERDATA", "NUMBER_OF_PROCESSORS",
        "USERNAME",   "PROCESSOR_ARCHITECTURE"};
    const std::string upper = UpperCase(value);
    return upper.rfind("PROCESSOR_", 0) != 0 &&
           std::find(kWindows.begin(), kWindows.end(), upper) == kWindows.end();
  }
  return false;
}

constexpr std::string_view kProfileVariable = "%USERPROFILE%\\";

bool StartsWithVariable(std::string_view path) {
  if (path.size() < 3 || path[0] != '%') return false;
  const std::size_t close = path.find('%', 1);
  return close != std::string_view::npos && close > 1;
}

bool StartsWithDrive(std::string_view path) {
  return path.size() >= 3 &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
         path[1] == ':' && path[2] == '\\';
}

class Reader {
 public:
  Reader(const std::string& file, const platform::CodePage& codePage, bool builtIn)
      : file_(file), codePage_(codePage) {
    profile_.file = file;
    profile_.builtIn = builtIn;
  }

  ReadProfileResult Read(std::string_view text) {
    if (text.size() > kMaxProfileBytes) {
      Error({1, 1}, "the file is larger than 1 MB");
    } else if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') ||
                                    (text[0] == '\xFE' && text[1] == '\xFF'))) {
      Error({1, 1}, "the file is UTF-16: a profile is UTF-8 text");
    } else if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
      // TOML allows no NUL anywhere, and the parser's own checks stumble on one.
      Error(PlaceAt(text, nul), "the file holds a NUL byte: a profile is UTF-8 text");
    } else {
      toml::parse_result parsed = toml::parse(text, file_);
      if (!parsed) {
        const auto& e = parsed.error();
        Error(PlaceOf(e.source()), "not valid TOML: " + std::string(e.description()));
      } else {
        Document(parsed.table());
      }
    }
    std::stable_sort(errors_.begin(), errors_.end(), [](const auto& a, const auto& b) {
      return std::pair(a.place.line, a.place.column) < std::pair(b.place.line, b.place.column);
    });
    ReadProfileResult result;
    if (errors_.empty()) result.profile = std::move(profile_);
    result.errors = std::move(errors_);
    result.skipped = std::move(skipped_);
    return result;
  }

 private:
  void Error(SourcePlace place, std::string what) {
    errors_.push_back({file_, place, std::move(what)});
  }
  void Skip(SourcePlace place, std::string what) {
    skipped_.push_back({file_, place, std::move(what)});
  }

  void Unknown(const toml::key& key, std::string_view where) {
    Error(PlaceOf(key.source()), "unknown key " + Quoted(key.str()) + std::string(where));
  }

  void WrongType(const toml::node& node, std::string_view key, std::string_view expected) {
    Error(PlaceOf(node.source()),
          std::string(key) + " must be " + std::string(expected) + ", not " + TypeName(node));
  }

  // The text of a string value, still UTF-8; nullptr (after an error) for
  // any other type.
  const std::string* Utf8(const toml::node& node, std::string_view key) {
    if (const auto* s = node.as_string()) return &s->get();
    WrongType(node, key, "a text");
    return nullptr;
  }

  // The value in the code page; nullopt, with the reason, where it cannot be spelt.
  std::optional<std::string> Spell(const std::string& utf8, const toml::node& node,
                                   std::string_view key, bool required) {
    auto spelt = codePage_.fromUtf8(utf8);
    if (spelt) return spelt;
    const std::string what = std::string(key) + " " + Quoted(utf8) +
                             " cannot be spelt in the ANSI code page (" + codePage_.name +
                             "): the program works in the ANSI code page";
    if (required)
      Error(PlaceOf(node.source()), what);
    else
      Skip(PlaceOf(node.source()), what + "; left out");
    return std::nullopt;
  }

  // A string value in the code page; an entry that cannot be spelt is left
  // out, a required one is an error.
  std::optional<std::string> Text(const toml::node& node, std::string_view key, bool required) {
    const std::string* utf8 = Utf8(node, key);
    if (!utf8) return std::nullopt;
    return Spell(*utf8, node, key, required);
  }

  // The texts of a list; nullopt after an error. An empty list is an error.
  std::optional<std::vector<std::pair<std::string, const toml::node*>>> List(const toml::node& node,
                                                                             std::string_view key) {
    const auto* array = node.as_array();
    if (!array) {
      WrongType(node, key, "a list of texts");
      return std::nullopt;
    }
    if (array->empty()) {
      Error(PlaceOf(node.source()), std::string(key) + " is empty");
      return std::nullopt;
    }
    std::vector<std::pair<std::string, const toml::node*>> out;
    bool sound = true;
    for (const toml::node& entry : *array) {
      const std::string* utf8 = Utf8(entry, std::string(key) + " entry");
      if (!utf8) {
        sound = false;
        continue;
      }
      if (auto spelt = Spell(*utf8, entry, "the entry", false))
        out.emplace_back(std::move(*spelt), &entry);
    }
    if (!sound) return std::nullopt;
    return out;
  }

  void Document(const toml::table& table) {
    const toml::node* format = nullptr;
    const toml::node* name = nullptr;
    const toml::node* word = nullptr;
    for (const auto& [key, node] : table) {
      const std::string_view k = key.str();
      if (k == "format")
        format = &node;
      else if (k == "name")
        name = &node;
      else if (k == "word")
        word = &node;
      else if (k == "files")
        Steps(node, "files", &Reader::FileStepOf);
      else if (k == "registry")
        Steps(node, "registry", &Reader::RegistryStepOf);
      else if (k == "drivers")
        Steps(node, "drivers", &Reader::DriverStepOf);
      else if (k == "detect")
        Detect(node);
      else
        Unknown(key, "");
    }
    if (!format) {
      Error({1, 1}, "format is missing: write format = 1 at the top");
    } else if (const auto* n = format->as_integer()) {
      if (n->get() != kFormat)
        Error(PlaceOf(format->source()),
              "format " + std::to_string(n->get()) + " is not known: this program reads format 1");
    } else {
      WrongType(*format, "format", "an integer");
    }
    if (!name) {
      Error({1, 1}, "name is missing");
    } else if (auto text = Text(*name, "name", true)) {
      profile_.namePlace = PlaceOf(name->source());
      if (text->empty()) Error(profile_.namePlace, "name is empty");
      profile_.name = std::move(*text);
    }
    if (!word) {
      Error({1, 1}, "word is missing");
    } else if (auto text = Text(*word, "word", true)) {
      profile_.wordPlace = PlaceOf(word->source());
      Word(*text);
      profile_.word = std::move(*text);
    }
  }

  void Word(const std::string& word) {
    const SourcePlace at = profile_.wordPlace;
    if (word.empty()) return Error(at, "word is empty");
    if (std::any_of(word.begin(), word.end(), [](char ch) {
          const auto u = static_cast<unsigned char>(ch);
          return u <= 0x20 || u == 0x7F || u == 0xA0;  // 0xA0: the no-break space
        }))
      return Error(at, "word " + Quoted(word) + " holds a blank or a control character");
    if (word[0] == '/' || word[0] == '-')
      return Error(at, "word " + Quoted(word) + " would be read as a switch");
    for (const std::string_view reserved : kReservedWords)
      if (EqualsNoCase(word, reserved))
        return Error(at, "word " + Quoted(word) + " is the name of a settings section");
  }

  void Steps(const toml::node& node, std::string_view key,
             void (Reader::*step)(const toml::table&)) {
    const auto* array = node.as_array();
    if (!array || !array->is_array_of_tables()) {
      if (!array || !array->empty())
        return WrongType(node, key, "a list of tables ([[" + std::string(key) + "]])");
      return;
    }
    for (const toml::node& entry : *array) (this->*step)(*entry.as_table());
  }

  // "." and ".." steps make a path name another folder than it spells.
  bool DotSteps(const std::string& path, const toml::node& node, std::string_view key) {
    std::size_t start = 0;
    while (start <= path.size()) {
      const std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
      const std::string_view part = std::string_view(path).substr(start, end - start);
      if (part == "." || part == "..") {
        Error(PlaceOf(node.source()),
              std::string(key) + " " + Quoted(path) + " holds a \".\" or \"..\" step");
        return true;
      }
      start = end + 1;
    }
    return false;
  }

  bool Folder(const std::string& folder, const toml::node& node, std::string_view key) {
    if (DotSteps(folder, node, key)) return false;
    if (!StartsWithVariable(folder) && !StartsWithDrive(folder)) {
      Error(PlaceOf(node.source()),
            std::string(key) + " " + Quoted(folder) + " must start with a %VARIABLE% or a drive");
      return false;
    }
    if (folder.back() != '\\') {
      Error(PlaceOf(node.source()), std::string(key) + " " + Quoted(folder) + " must end in \\");
      return false;
    }
    return true;
  }

  bool Tree(const std::string& tree, const toml::node& node) {
    if (DotSteps(tree, node, "tree")) return false;
    if (!StartsWithVariable(tree) && !StartsWithDrive(tree)) {
      Error(PlaceOf(node.source()),
            "tree " + Quoted(tree) + " must start with a %VARIABLE% or a drive");
      return false;
    }
    if (tree.back() == '\\') {
      Error(PlaceOf(node.source()), "tree " + Quoted(tree) + " must not end in \\");
      return false;
    }
    const std::size_t last = tree.rfind('\\');
    const std::size_t wildcard = tree.find_first_of("*?<>\"");
    if (wildcard == std::string::npos) return true;
    if (last != std::string::npos && wildcard < last) {
      Error(PlaceOf(node.source()),
            "tree " + Quoted(tree) + " holds a wildcard before its last part");
      return false;
    }
    if (last == std::string::npos || wildcard < last + 3) {
      Error(PlaceOf(node.source()),
            "tree " + Quoted(tree) + " needs at least two letters before its first wildcard");
      return false;
    }
    return true;
  }

  bool Mask(const std::string& mask, const toml::node& node) {
    if (mask.find_first_of("\\/") != std::string::npos) {
      Error(PlaceOf(node.source()), "mask " + Quoted(mask) + " holds a path separator");
      return false;
    }
    const std::size_t wildcard = mask.find_first_of("*?<>\"");
    if (wildcard != std::string::npos && wildcard < 2) {
      Error(PlaceOf(node.source()),
            "mask " + Quoted(mask) + " needs at least two letters before its first wildcard");
      return false;
    }
    return true;
  }

  // The kind of a [[files]] key, or -1.
  static int FileKind(std::string_view key) {
    if (key == "folder" || key == "masks") return static_cast<int>(FileStep::Kind::kMasks);
    if (key == "installers" || key == "company")
      return static_cast<int>(FileStep::Kind::kInstallers);
    if (key == "named-by") return static_cast<int>(FileStep::Kind::kNamedBy);
    if (key == "trees" || key == "for-each-profile")
      return static_cast<int>(FileStep::Kind::kTrees);
    return -1;
  }

  // The kind the keys of a step agree on, or nullopt after an error.
  template <typename KindOf>
  std::optional<int> KindOfStep(const toml::table& table, std::string_view section, KindOf kindOf,
                                std::string_view kinds) {
    std::optional<int> kind;
    bool sound = true;
    for (const auto& [key, node] : table) {
      const int k = kindOf(key.str());
      if (k < 0) {
        Unknown(key, " in [[" + std::string(section) + "]]");
        sound = false;
      } else if (kind && *kind != k) {
        Error(PlaceOf(key.source()), "a [[" + std::string(section) + "]] step is one of " +
                                         std::string(kinds) + "; " + Quoted(key.str()) +
                                         " belongs to another");
        sound = false;
      } else {
        kind = k;
      }
    }
    if (!kind && sound)
      Error(PlaceOf(table.source()), "an empty [[" + std::string(section) + "]] step");
    return sound ? kind : std::nullopt;
  }

  const toml::node* Required(const toml::table& table, std::string_view key,
                             std::string_view section) {
    const toml::node* node = table.get(key);
    if (!node)
      Error(PlaceOf(table.source()), "[[" + std::string(section) + "]] needs " + std::string(key));
    return node;
  }

  void FileStepOf(const toml::table& table) {
    const auto kind = KindOfStep(table, "files", &FileKind,
                                 "folder and masks, installers and company, named-by, or trees");
    if (!kind) return;
    FileStep step;
    step.kind = static_cast<FileStep::Kind>(*kind);
    step.place = PlaceOf(table.source());
    bool keep = true;  // false when an entry the code page cannot spell leaves the step empty
    switch (step.kind) {
      case FileStep::Kind::kMasks: {
        const toml::node* folder = Required(table, "folder", "files");
        const toml::node* masks = Required(table, "masks", "files");
        if (!folder || !masks) return;
        auto path = Text(*folder, "folder", false);
        if (path && !Folder(*path, *folder, "folder")) return;
        const auto list = List(*masks, "masks");
        if (!list) return;
        bool sound = true;
        for (const auto& [mask, node] : *list) {
          if (!Mask(mask, *node)) sound = false;
          step.masks.push_back(mask);
        }
        if (!sound || !path) return;
        step.folder = std::move(*path);
        keep = !step.masks.empty();
        break;
      }
      case FileStep::Kind::kInstallers: {
        const toml::node* folder = Required(table, "installers", "files");
        const toml::node* company = Required(table, "company", "files");
        if (!folder || !company) return;
        auto path = Text(*folder, "installers", false);
        if (path && !Folder(*path, *folder, "installers")) return;
        auto prefix = Text(*company, "company", false);
        if (prefix && prefix->empty())
          return Error(PlaceOf(company->source()), "company is empty: it would match every folder");
        if (!path || !prefix) return;
        step.folder = std::move(*path);
        step.company = std::move(*prefix);
        break;
      }
      case FileStep::Kind::kNamedBy:
        if (!NamedBy(*table.get("named-by"), step)) return;
        break;
      case FileStep::Kind::kTrees: {
        const toml::node* trees = Required(table, "trees", "files");
        if (!trees) return;
        if (const toml::node* each = table.get("for-each-profile")) {
          if (!each->is_boolean()) return WrongType(*each, "for-each-profile", "true or false");
          step.forEachProfile = each->as_boolean()->get();
        }
        const auto list = List(*trees, "trees");
        if (!list) return;
        bool sound = true;
        for (const auto& [tree, node] : *list) {
          if (!Tree(tree, *node)) {
            sound = false;
          } else if (step.forEachProfile && !StartsWithNoCase(tree, kProfileVariable)) {
            Error(PlaceOf(node->source()), "tree " + Quoted(tree) + " must start with " +
                                               std::string(kProfileVariable) +
                                               " in a step for each profile");
            sound = false;
          }
          step.trees.push_back(tree);
        }
        if (!sound) return;
        keep = !step.trees.empty();
        break;
      }
    }
    if (keep) profile_.files.push_back(std::move(step));
  }

  bool NamedBy(const toml::node& node, FileStep& step) {
    const auto* table = node.as_table();
    if (!table) {
      WrongType(node, "named-by", "a table { key = '...', value = \"...\" }");
      return false;
    }
    bool sound = true;
    for (const auto& [key, value] : *table) {
      if (key.str() != "key" && key.str() != "value") {
        Unknown(key, " in named-by");
        sound = false;
      }
    }
    const toml::node* key = table->get("key");
    const toml::node* value = table->get("value");
    if (!key || !value) {
      Error(PlaceOf(node.source()), "named-by needs key and value");
      return false;
    }
    auto path = Text(*key, "key", false);
    auto name = Text(*value, "value", false);
    if (path) {
      constexpr std::string_view kRoot = "HKLM\\";
      if (!StartsWithNoCase(*path, kRoot) || path->size() == kRoot.size()) {
        Error(PlaceOf(key->source()), "key " + Quoted(*path) + " must lie below HKLM\\");
        return false;
      }
      step.key = path->substr(kRoot.size());
    }
    if (name) step.value = std::move(*name);
    return sound && path && name;
  }

  static int RegistryKind(std::string_view key) {
    if (key == "root" || key == "base" || key == "keys")
      return static_cast<int>(RegistryStep::Kind::kKeys);
    if (key == "control-sets") return static_cast<int>(RegistryStep::Kind::kControlSets);
    if (key == "values") return static_cast<int>(RegistryStep::Kind::kValues);
    if (key == "services") return static_cast<int>(RegistryStep::Kind::kServices);
    return -1;
  }

  bool KeyName(const std::string& base, const std::string& name, const toml::node& node) {
    if (KeyParts(name).empty()) {
      Error(PlaceOf(node.source()), "an empty key name");
      return false;
    }
    if (ReachesProtectedKey(KeyParts(base + "\\" + name))) {
      Error(PlaceOf(node.source()),
            "key " + Quoted(base + "\\" + name) + " reaches a protected part of the registry");
      return false;
    }
    return true;
  }

  void RegistryStepOf(const toml::table& table) {
    const auto kind = KindOfStep(table, "registry", &RegistryKind,
                                 "root, base and keys, control-sets, values, or services");
    if (!kind) return;
    RegistryStep step;
    step.kind = static_cast<RegistryStep::Kind>(*kind);
    step.place = PlaceOf(table.source());
    if (step.kind == RegistryStep::Kind::kKeys) {
      const toml::node* root = Required(table, "root", "registry");
      const toml::node* base = Required(table, "base", "registry");
      const toml::node* keys = Required(table, "keys", "registry");
      if (!root || !base || !keys) return;
      bool sound = true;
      if (const std::string* r = Utf8(*root, "root")) {
        if (*r == "HKLM")
          step.root = platform::kLocalMachine;
        else if (*r == "HKCU")
          step.root = platform::kCurrentUser;
        else {
          Error(PlaceOf(root->source()), "root " + Quoted(*r) + " is neither HKLM nor HKCU");
          sound = false;
        }
      } else {
        sound = false;
      }
      auto basePath = Text(*base, "base", false);
      if (basePath) {
        const auto parts = KeyParts(*basePath);
        if (parts.empty() || (parts[0] != "SOFTWARE" && parts[0] != "SYSTEM")) {
          Error(PlaceOf(base->source()),
                "base " + Quoted(*basePath) + " must lie in Software or System");
          sound = false;
        }
      }
      const auto list = List(*keys, "keys");
      if (!list || !sound) return;
      if (!basePath) return;
      for (const auto& [name, node] : *list) {
        if (!KeyName(*basePath, name, *node)) sound = false;
        step.keys.push_back(name);
      }
      if (!sound || step.keys.empty()) return;
      step.base = std::move(*basePath);
    } else if (step.kind == RegistryStep::Kind::kControlSets) {
      if (!ControlSets(*table.get("control-sets"), step)) return;
    } else if (step.kind == RegistryStep::Kind::kValues) {
      if (!Values(*table.get("values"), step)) return;
    } else if (!Services(*table.get("services"), step)) {
      return;
    }
    profile_.registry.push_back(std::move(step));
  }

  bool Values(const toml::node& node, RegistryStep& step) {
    const auto* array = node.as_array();
    constexpr std::string_view kShape = "a list of tables [{ key = '...', value = \"...\" }]";
    if (!array) {
      WrongType(node, "values", kShape);
      return false;
    }
    if (array->empty()) {
      Error(PlaceOf(node.source()), "values is empty");
      return false;
    }
    bool sound = true;
    for (const toml::node& entry : *array) {
      const auto* table = entry.as_table();
      if (!table) {
        WrongType(entry, "a values entry", "a table { key = '...', value = \"...\" }");
        sound = false;
        continue;
      }
      for (const auto& [key, value] : *table)
        if (key.str() != "key" && key.str() != "value") {
          Unknown(key, " in values");
          sound = false;
        }
      const toml::node* key = table->get("key");
      const toml::node* value = table->get("value");
      if (!key || !value) {
        Error(PlaceOf(entry.source()), "a values entry needs key and value");
        sound = false;
        continue;
      }
      auto path = Text(*key, "key", false);
      auto name = Text(*value, "value", false);
      if (path) {
        ValueName v;
        if (StartsWithNoCase(*path, "HKLM\\")) {
          v.root = platform::kLocalMachine;
        } else if (StartsWithNoCase(*path, "HKCU\\")) {
          v.root = platform::kCurrentUser;
        } else {
          Error(PlaceOf(key->source()),
                "key " + Quoted(*path) + " must start with HKLM\\ or HKCU\\");
          sound = false;
          continue;
        }
        v.key = path->substr(5);
        const auto parts = KeyParts(v.key);
        if (parts.size() < 2 || (parts[0] != "SOFTWARE" && parts[0] != "SYSTEM")) {
          Error(PlaceOf(key->source()),
                "key " + Quoted(*path) + " must lie below Software or System");
          sound = false;
          continue;
        }
        if (name && name->empty()) {
          Error(PlaceOf(value->source()), "value is empty: a value step names one value");
          sound = false;
          continue;
        }
        if (name && ReachesProtectedKey(parts) && !TakesValues(parts, *name)) {
          Error(PlaceOf(key->source()),
                "key " + Quoted(*path) +
                    " lies in a protected part of the registry: of those, only Run and RunOnce "
                    "values and the system environment's own variables may be named");
          sound = false;
          continue;
        }
        if (name) {
          v.value = std::move(*name);
          step.values.push_back(std::move(v));
        }
      }
    }
    return sound && !step.values.empty();
  }

  bool Services(const toml::node& node, RegistryStep& step) {
    const auto list = List(node, "services");
    if (!list) return false;
    bool sound = true;
    for (const auto& [name, entry] : *list) {
      if (name.empty()) {
        Error(PlaceOf(entry->source()), "an empty service name");
        sound = false;
      } else if (name.find_first_of("\\/") != std::string::npos) {
        Error(PlaceOf(entry->source()),
              "service " + Quoted(name) + " holds a path separator: a service is named exactly");
        sound = false;
      } else if (name.find_first_of("*?") != std::string::npos) {
        Error(PlaceOf(entry->source()),
              "service " + Quoted(name) + " holds a wildcard: a service is named exactly");
        sound = false;
      } else if (IsSystemService(name)) {
        Error(PlaceOf(entry->source()), "service " + Quoted(name) + " is one of Windows' own");
        sound = false;
      }
      step.serviceNames.push_back(name);
    }
    return sound && !step.serviceNames.empty();
  }

  bool ControlSets(const toml::node& node, RegistryStep& step) {
    const auto* table = node.as_table();
    if (!table) {
      WrongType(node, "control-sets", "a table { enum-root = [...], services = [...] }");
      return false;
    }
    bool sound = true;
    for (const auto& [key, value] : *table) {
      const bool enumRoot = key.str() == "enum-root";
      if (!enumRoot && key.str() != "services") {
        Unknown(key, " in control-sets");
        sound = false;
        continue;
      }
      const auto list = List(value, key.str());
      if (!list) {
        sound = false;
        continue;
      }
      const std::string base = enumRoot ? "System\\CurrentControlSet\\Enum\\Root"
                                        : "System\\CurrentControlSet\\Services";
      for (const auto& [name, entry] : *list) {
        const bool oneKey = name.find_first_of("\\/*?") == std::string::npos &&
                            KeyParts(name).size() == 1 && name != "." && name != ".." &&
                            name.find_first_not_of(' ') != std::string::npos;
        if (!name.empty() && !oneKey) {
          Error(PlaceOf(entry->source()),
                "control-sets name " + Quoted(name) + " is not one key named exactly");
          sound = false;
        } else if (!KeyName(base, name, *entry)) {
          sound = false;
        }
        (enumRoot ? step.enumRoot : step.services).push_back(name);
      }
    }
    if (table->empty()) {
      Error(PlaceOf(node.source()), "control-sets needs enum-root or services");
      return false;
    }
    return sound && !(step.enumRoot.empty() && step.services.empty());
  }

  void DriverStepOf(const toml::table& table) {
    if (auto criteria = Criteria(table, "[[drivers]]"))
      profile_.drivers.push_back(std::move(*criteria));
  }

  void Detect(const toml::node& node) {
    const auto* table = node.as_table();
    if (!table) return WrongType(node, "detect", "a table ([detect])");
    profile_.detect = Criteria(*table, "[detect]");
  }

  std::optional<DriverCriteria> Criteria(const toml::table& table, std::string_view section) {
    DriverCriteria c;
    c.place = PlaceOf(table.source());
    bool sound = true;
    const toml::node* provider = nullptr;
    for (const auto& [key, node] : table) {
      const std::string_view k = key.str();
      if (k == "provider" || k == "provider-prefix") {
        if (provider) {
          Error(PlaceOf(key.source()),
                std::string(section) + " takes provider or provider-prefix, not both");
          sound = false;
          continue;
        }
        provider = &node;
        c.providerPrefix = k == "provider-prefix";
        if (auto text = Text(node, k, true)) {
          if (text->empty()) {
            Error(PlaceOf(node.source()),
                  std::string(k) + " is empty: it would match every package");
            sound = false;
          } else if (c.providerPrefix && text->size() < 3) {
            Error(PlaceOf(node.source()), std::string(k) + " " + Quoted(*text) +
                                              " is shorter than three letters: it would match "
                                              "the packages of many makers");
            sound = false;
          } else if (StartsWithNoCase(*text, "Microsoft")) {
            // The system's own packages are not leftovers of any driver.
            Error(PlaceOf(node.source()),
                  std::string(k) + " " + Quoted(*text) + " names the system's own packages");
            sound = false;
          }
          c.provider = std::move(*text);
        } else {
          sound = false;
        }
      } else if (k == "classes" || k == "inf-names") {
        const auto list = List(node, k);
        if (!list) {
          sound = false;
          continue;
        }
        for (const auto& [entry, at] : *list) {
          if (k == "classes") {
            if (entry.empty() || entry.find_first_of("*?") != std::string::npos) {
              Error(PlaceOf(at->source()),
                    "class " + Quoted(entry) + " is not a class name: it would match any class");
              sound = false;
            }
            c.classes.push_back(entry);
          } else {
            if (!Mask(entry, *at)) sound = false;
            c.infNames.push_back(entry);
          }
        }
        // Entries the code page cannot spell must not widen the step to every class or name.
        if ((k == "classes" ? c.classes : c.infNames).empty()) sound = false;
      } else if (k == "key-file") {
        auto text = Text(node, k, true);
        if (!text || text->empty() || text->find_first_of("*?\\/") != std::string::npos) {
          if (text)
            Error(PlaceOf(node.source()), "key-file " + Quoted(*text) + " is not a file name");
          sound = false;
        } else {
          c.keyFile = std::move(*text);
        }
      } else {
        Unknown(key, " in " + std::string(section));
        sound = false;
      }
    }
    if (!provider) {
      Error(c.place, std::string(section) + " needs provider or provider-prefix");
      sound = false;
    }
    if (!sound) return std::nullopt;
    return c;
  }

  const std::string& file_;
  const platform::CodePage& codePage_;
  ProfileData profile_;
  std::vector<ProfileMessage> errors_;
  std::vector<ProfileMessage> skipped_;
};

}  // namespace

ReadProfileResult ReadProfile(std::string_view text, const std::string& file,
                              const platform::CodePage& codePage, bool builtIn) {
  return Reader(file, codePage, builtIn).Read(text);
}

std::vector<ProfileMessage> Clashes(const ProfileData& profile,
                                    std::span<const ProfileData> loaded) {
  std::vector<ProfileMessage> errors;
  const auto owner = [](const ProfileData& other) {
    return other.builtIn ? std::string("a built-in profile") : other.file;
  };
  for (const ProfileData& other : loaded) {
    if (EqualsNoCase(profile.name, other.name))
      errors.push_back({profile.file, profile.namePlace,
                        "name " + Quoted(profile.name) + " is already taken by " + owner(other)});
    if (EqualsNoCase(profile.word, other.word))
      errors.push_back({profile.file, profile.wordPlace,
                        "word " + Quoted(profile.word) + " is already taken by " + owner(other)});
  }
  return errors;
}

}  // namespace quenk::profiles
