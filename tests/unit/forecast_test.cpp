#include "SimFixture.h"

#include "engine/Halves.h"
#include "profiles/ATi.h"
#include "profiles/CleaningItems.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/Realtek.h"
#include "run/CleaningRun.h"

#include <random>
#include <sstream>

namespace quenk::test {
namespace {

namespace attr = platform::attr;
using platform::HKey;
using platform::kCurrentUser;
using platform::kLocalMachine;

struct NoProgress final : engine::Progress {
  void Advance() override {}
};

// Where the profiles look, and what for.
struct FileTable {
  const char* folder;
  engine::Table masks;
};
struct KeyTable {
  HKey root;
  std::string_view base;
  engine::Table names;
};

std::vector<FileTable> FileTables() {
  namespace nv = profiles::nvidia;
  return {{"C:\\Windows\\System32\\", nv::System32Masks},
          {"C:\\Windows\\System32\\drivers\\", nv::DriversMasks},
          {"C:\\Windows\\System32\\dllcache\\", nv::DllCacheMasks},
          {"C:\\Windows\\prefetch\\", nv::PrefetchMasks},
          {"C:\\Windows\\System32\\drivers\\", profiles::nvidia_chipset::DriversMasks},
          {"C:\\Windows\\System32\\", profiles::ati::System32Masks},
          {"C:\\Windows\\System32\\", profiles::creative::System32Masks},
          {"C:\\Windows\\System32\\drivers\\", profiles::creative::DriversMasks},
          {"C:\\Windows\\System32\\", profiles::realtek::System32Masks},
          {"C:\\Windows\\System32\\drivers\\", profiles::realtek::DriversMasks}};
}

std::vector<KeyTable> KeyTables() {
  namespace nv = profiles::nvidia;
  namespace nvc = profiles::nvidia_chipset;
  std::vector<KeyTable> tables{{kCurrentUser, "Software", nv::UserKeys},
                               {kLocalMachine, "Software\\NVIDIA Corporation", nv::MachineKeys},
                               {kLocalMachine, "Software\\NVIDIA Corporation", nvc::MachineKeys},
                               {kCurrentUser, "Software", profiles::ati::UserKeys},
                               {kLocalMachine, "Software", profiles::ati::MachineKeys},
                               {kCurrentUser, "Software", profiles::creative::UserKeys},
                               {kLocalMachine, "Software", profiles::creative::MachineKeys},
                               {kCurrentUser, "Software", profiles::realtek::UserKeys},
                               {kLocalMachine, "Software", profiles::realtek::MachineKeys}};
  for (auto base : profiles::kEnumRootBases) {
    tables.push_back({kLocalMachine, base, nv::EnumRootKeys});
    tables.push_back({kLocalMachine, base, nvc::EnumRootKeys});
  }
  for (auto base : profiles::kServicesBases) {
    tables.push_back({kLocalMachine, base, nv::ServiceKeys});
    tables.push_back({kLocalMachine, base, nvc::ServiceKeys});
  }
  return tables;
}

const std::string kSystem32 = "C:\\Windows\\System32\\";

// A random machine with leftovers of every kind, and everything that makes
// a removal fail: read-only, in-use and protected files, folders named like
// leftovers, links, trees that resist, keys that resist, wrong value types.
class MachineMaker {
 public:
  explicit MachineMaker(unsigned seed) : rng_(seed) {}

  void Build(sim::SimMachine& m) {
    auto& fs = m.fs;
    fs.SetEnv("SYSTEMROOT", "C:\\Windows");
    fs.SetEnv("Programfiles", "C:\\Program Files");
    fs.SetEnv("USERPROFILE", "C:\\Users\\tech");
    fs.SetSystemFolder(platform::SystemFolder::kWindows, "C:\\Windows");
    fs.AddFile("C:\\Windows\\System32\\kernel32.dll");
    fs.AddFile("C:\\Outside\\keep.txt", "keep");
    // Where the backup goes: a usable folder, one that takes no new
    // folder, or one inside a tree the cleaning deletes.
    const int work = Pick(10);
    const std::string current = work == 0   ? "C:\\Locked"
                                : work == 1 ? "C:\\Windows\\Help\\nvcpl\\work"
                                            : "C:\\Work";
    fs.AddFolder(current).denyWrite = work == 0;
    fs.SetCurrentDir(current);
    // Half the machines are 64-bit Windows with the 32-bit halves.
    const bool halves = Chance(50);
    if (halves) {
      fs.AddFolder("C:\\Windows\\SysWOW64");
      fs.AddFolder("C:\\Program Files (x86)");
      fs.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
      m.registry.SetSeparate32BitView(true);
    }
    for (const auto& table : FileTables()) {
      std::vector<std::string> folders{table.folder};
      if (halves && folders[0].rfind(kSystem32, 0) == 0)
        folders.push_back("C:\\Windows\\SysWOW64\\" + folders[0].substr(kSystem32.size()));
      for (const auto& folder : folders) {
        for (const auto mask : table.masks) {
          if (mask.empty() || !Chance(25)) continue;
          AddLeftover(fs, folder + Name(mask));
          if (Chance(20)) AddLeftover(fs, folder + Name(mask));
        }
        if (Chance(50)) fs.AddFile(folder + "decoy" + std::to_string(Pick(100)) + ".dll");
      }
    }
    if (Chance(20)) AddNamed(fs, "C:\\Windows\\System32", "nvcpl\xd0\x96.dll");
    if (Chance(60)) AddTree(fs, "C:\\Windows\\Help\\nvcpl", 3);
    const std::string is = "C:\\Program Files\\InstallShield Installation Information\\";
    const std::string isX86 =
        halves ? "C:\\Program Files (x86)\\InstallShield Installation Information\\" : is;
    for (int i = Pick(halves ? 5 : 3); i > 0; --i) {
      const std::string folder = (Chance(50) ? is : isX86) + "{" + std::to_string(Pick(1000)) + "}";
      AddTree(fs, folder, 2);
      const char* companies[] = {"Creative Technology Ltd", "Realtek Semiconductor Corp.",
                                 "CREATIVE", "Realte", "Other Inc."};
      fs.AddFile(folder + "\\setup.ini",
                 std::string("[Startup]\r\nCompanyName=") + companies[Pick(5)] + "\r\n");
      if (Chance(10)) fs.Node(folder)->attributes |= attr::kHidden;
    }
    FolderValue(m, "Software\\ATi Technologies\\Install", "InstallDir", "C:\\ATI\\Support");
    FolderValue(m, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                "C:\\Program Files\\Realtek\\Audio");
    m.registry.CreateKey(kLocalMachine, "Software\\Precious\\Sub");
    // As on Windows, where the sweep meets each control set's keys twice.
    if (Chance(50))
      m.registry.CreateLink(kLocalMachine, "System\\CurrentControlSet", kLocalMachine,
                            "System\\ControlSet001");
    for (auto table : KeyTables()) {
      // The 32-bit view's copy of a base below HKLM\Software.
      std::string basePath(table.base);
      if (halves && table.root == kLocalMachine && basePath.rfind("Software", 0) == 0 && Chance(50))
        basePath.insert(8, "\\WOW6432Node");
      table.base = basePath;
      if (!Chance(50)) continue;
      sim::SimKey& base = m.registry.CreateKey(table.root, std::string(table.base));
      if (Chance(5)) base.denyFullAccess = true;
      for (const auto name : table.names) {
        if (!Chance(40)) continue;
        const std::string path = std::string(table.base) + "\\" + std::string(name);
        if (Chance(8) && !m.registry.Find(table.root, path)) {
          m.registry.CreateLink(table.root, path, kLocalMachine, "Software\\Precious");
          continue;
        }
        AddKeyTree(m.registry, table.root, path, 2);
      }
    }
  }

  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int i = 1 + Pick(4); i > 0; --i) {
      if (Chance(5))
        entries.push_back("Unknown - Item");
      else
        entries.emplace_back(profiles::kCleaningItems[Pick(5)].name);
    }
    return entries;
  }

  OptionFlags Flags() {
    OptionFlags flags;
    for (auto& item : flags.items) item = {Chance(85), Chance(85)};
    flags.backup = Chance(70);
    return flags;
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Pick(100) < percent; }

  std::string Name(std::string_view mask) {
    std::string name;
    for (char c : mask) {
      if (c == '*')
        name += Pick(3) == 0 ? "" : std::string(1 + Pick(3), static_cast<char>('a' + Pick(26)));
      else if (c == '?')
        name += static_cast<char>('a' + Pick(26));
      else
        name += c;
    }
    if (!name.empty() && name.back() == '.') name += "dll";
    return name;
  }

  void AddLeftover(sim::SimFileSystem& fs, const std::string& path) {
    if (fs.Node(path)) return;
    switch (Pick(12)) {
      case 0:
        AddTree(fs, path, 1);  // a folder named like a leftover
        return;
      case 1:
        fs.AddLink(path, "C:\\Outside", true);
        return;
      case 2:
        fs.AddLink(path, "C:\\Outside\\keep.txt", false);
        return;
      default:
        break;
    }
    sim::SimNode& n = fs.AddFile(path, "x");
    const int kind = Pick(10);
    if (kind == 0) n.attributes |= attr::kReadOnly;
    if (kind == 1) n.attributes |= attr::kHidden | attr::kSystem;
    if (kind == 2) n.inUse = true;
    if (kind == 3) n.denyDelete = true;
  }

  void AddTree(sim::SimFileSystem& fs, const std::string& path, int depth) {
    fs.AddFolder(path);
    for (int i = Pick(4); i > 0; --i) {
      const std::string child = path + "\\f" + std::to_string(Pick(50)) + ".bin";
      if (fs.Node(child)) continue;
      sim::SimNode& n = fs.AddFile(child, "data");
      if (Chance(8)) n.attributes |= attr::kReadOnly;
      if (Chance(4)) n.inUse = true;
    }
    if (Chance(10)) fs.AddLink(path + "\\link", "C:\\Outside", true);
    if (Chance(10)) AddNamed(fs, path, "\xd0\x96" + std::to_string(Pick(3)) + ".bin");
    if (depth > 0) {
      for (int i = Pick(3); i > 0; --i) {
        const std::string sub = path + "\\d" + std::to_string(Pick(50));
        if (fs.Node(sub)) continue;
        AddTree(fs, sub, depth - 1);
        if (Chance(4)) fs.Node(sub)->removeError = Chance(50) ? 5u : 32u;
      }
    }
  }

  // A file whose name the code page cannot spell, at times without a short name.
  void AddNamed(sim::SimFileSystem& fs, const std::string& folder, const std::string& utf8) {
    const std::string plain = folder + "\\named.tmp";
    if (fs.Node(plain) || fs.AttributesIn(folder, utf8)) return;
    fs.AddFile(plain, "named");
    fs.Rename(plain, utf8);
    if (Chance(70)) return;
    for (const auto& [key, child] : fs.Node(folder)->children)
      if (child.node->unicodeName == utf8) {
        fs.SetShortName(folder + "\\" + child.node->shortName, "");
        return;
      }
  }

  void AddKeyTree(sim::SimRegistry& registry, HKey root, const std::string& path, int depth) {
    sim::SimKey& key = registry.CreateKey(root, path);
    registry.SetString(root, path, "Value", "data");
    if (Chance(6)) key.denyFullAccess = true;
    if (Chance(4)) key.denyDelete = true;
    // What the backup cannot keep exactly, so the key stays.
    if (Chance(3)) registry.SetWideValue(root, path, u"\u0416", 1, std::string("\x16\x04\0\0", 4));
    if (Chance(3)) registry.CreateKey(root, path + "\\line\nfeed");
    if (depth > 0) {
      for (int i = Pick(3); i > 0; --i)
        AddKeyTree(registry, root, path + "\\k" + std::to_string(Pick(20)), depth - 1);
    }
  }

  void FolderValue(sim::SimMachine& m, const std::string& key, const std::string& name,
                   const std::string& folder) {
    switch (Pick(6)) {
      case 0:
        return;
      case 1:
        m.registry.SetValue(kLocalMachine, key, name, platform::regtype::kDword,
                            std::string("\x07\0\0\0", 4));
        return;
      case 2:
        m.registry.SetString(kLocalMachine, key, name, "C:\\Windows");
        return;
      default:
        AddTree(m.fs, folder, 2);
        m.registry.SetString(kLocalMachine, key, name, folder);
    }
  }

  std::mt19937 rng_;
};

// Everything the program could change, written out.
void DumpNode(const sim::SimNode& n, const std::string& path, std::ostringstream& out) {
  out << path << '|' << n.shortName << '|' << n.attributes << '|' << n.content << '|'
      << n.linkTarget << '|' << n.inUse << n.denyDelete << n.removeError << n.openHandles << '\n';
  for (const auto& [key, child] : n.children) DumpNode(*child.node, path + "\\" + key, out);
}

void DumpKey(const sim::SimKey& k, const std::string& path, std::ostringstream& out) {
  out << path << '|' << k.denyRead << k.denyFullAccess << k.denyDelete << k.linkPath << '\n';
  for (const auto& [name, value] : k.values) out << "  " << name << '=' << value.data << '\n';
  for (const auto& [name, sub] : k.subKeys) DumpKey(*sub, path + "\\" + name, out);
}

std::string Dump(sim::SimMachine& m) {
  std::ostringstream out;
  DumpNode(*m.fs.Node("C:\\"), "C:", out);
  DumpKey(*m.registry.Find(kCurrentUser, ""), "HKCU", out);
  DumpKey(*m.registry.Find(kLocalMachine, ""), "HKLM", out);
  return out.str();
}

struct Outcome {
  Lines deleted, notDeleted;
  std::string stop;
};

Outcome RunOn(sim::SimMachine& m, run::Mode mode, const std::vector<std::string>& entries,
              const OptionFlags& flags) {
  CleaningRecord record;
  NoProgress progress;
  const run::RunEnd end =
      run::CleaningRun({m.ports(), entries, flags, "stamp", mode}).Perform(record, progress);
  return {record.Deleted().Lines(), record.NotDeleted().Lines(), end.stop};
}

TEST(Forecast, EqualsTheFollowingCleanLineForLineAndChangesNothing) {
  int stops = 0, stays = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    sim::SimMachine previewed, cleaned;
    MachineMaker(seed).Build(previewed);
    MachineMaker maker(seed);
    maker.Build(cleaned);
    const auto entries = maker.Entries();
    const auto flags = maker.Flags();
    const std::string before = Dump(previewed);
    ASSERT_EQ(before, Dump(cleaned));

    const Outcome forecast = RunOn(previewed, run::Mode::kForecast, entries, flags);
    const Outcome run = RunOn(cleaned, run::Mode::kClean, entries, flags);
    ASSERT_EQ(forecast.deleted, run.deleted);
    ASSERT_EQ(forecast.notDeleted, run.notDeleted);
    ASSERT_EQ(forecast.stop, run.stop);
    ASSERT_EQ(Dump(previewed), before);
    stops += !run.stop.empty();
    stays += !run.notDeleted.empty();
  }
  // The machines must exercise the hard cases, not only clean runs.
  EXPECT_GT(stops, 10);
  EXPECT_GT(stays, 100);
}

}  // namespace
}  // namespace quenk::test
