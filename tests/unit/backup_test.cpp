#include "ProfileFixture.h"
#include "SimLeftovers.h"

#include "backup/Manifest.h"
#include "backup/RegFile.h"
#include "backup/Restore.h"
#include "backup/RunBackup.h"
#include "profiles/CleaningItems.h"
#include "run/CleaningRun.h"

#include <algorithm>
#include <functional>

namespace quenk::test {
namespace {

namespace attr = platform::attr;
using platform::kCurrentUser;
using platform::kLocalMachine;

// A keeper that notes what it was asked to save, and whether it was still
// there when asked.
class Witness final : public engine::Keeper {
 public:
  Witness(sim::SimMachine& m, bool answer) : m_(m), answer_(answer) {}
  bool SaveFile(const std::string& path) override { return Note("file", path, Here(path)); }
  bool SaveTree(const std::string& path) override { return Note("folder", path, Here(path)); }
  bool SaveKey(platform::HKey parent, const std::string& name, const std::string& line) override {
    return Note("key", line,
                static_cast<bool>(platform::RegKey::OpenItself(m_.registry, parent, name,
                                                               platform::access::kRead)));
  }
  bool SaveValue(platform::HKey key, const std::string& keyLine, const std::string& name) override {
    std::uint32_t type = 0;
    std::string data;
    return Note("value", keyLine + " [" + name + "]",
                m_.registry.QueryValue(key, name, type, data) == 0);
  }
  Lines asked;

 private:
  bool Here(const std::string& path) { return m_.fs.Node(path) != nullptr; }
  bool Note(const char* kind, const std::string& what, bool here) {
    asked.push_back(std::string(kind) + " " + what + (here ? "" : " (gone already)"));
    return answer_;
  }
  sim::SimMachine& m_;
  bool answer_;
};

class Saving : public ProfileFixture {
 protected:
  void Seed() {
    Files({kSys + "nvcpl.dll", kSys + "nvapi.dll"});
    machine.fs.AddFile("C:\\Vendor\\sub\\a.txt", "a");
    machine.fs.AddFile(kIs + "{C}\\setup.ini", "[Startup]\r\nCompanyName=Creative\r\n");
    machine.registry.SetString(kCurrentUser, "Software\\Vendor\\Sub", "x", "1");
  }
  void Run(engine::Remover& r) {
    const std::vector<std::string_view> masks{"nv*.*"}, keys{"Vendor", "Missing"};
    r.RemoveFiles(kSys, masks);
    r.RemoveFolder("C:\\Vendor");
    r.RemoveInstallerFolders(kIs, "Creative");
    r.RemoveKeys(kCurrentUser, "Software", keys);
  }
};

// The engine asks before each deletion, while the item is still there; an
// item the keeper could not save is left whole and recorded as not deleted.
TEST_F(Saving, EachItemIsSavedRightBeforeItGoesOrNotAtAll) {
  for (const bool saved : {true, false}) {
    Seed();
    Witness witness(machine, saved);
    CleaningRecord r;
    StepCounter steps;
    engine::Remover remover(machine.ports(), r, steps, {}, &witness);
    Run(remover);
    EXPECT_EQ(witness.asked,
              (Lines{"file " + kSys + "nvapi.dll", "file " + kSys + "nvcpl.dll",
                     "folder C:\\Vendor", "folder " + kIs + "{C}", "key HKCU\\Software\\Vendor"}));
    const Lines items{kSys + "nvapi.dll", kSys + "nvcpl.dll", "C:\\Vendor", kIs + "{C}",
                      "HKCU\\Software\\Vendor"};
    EXPECT_EQ(saved ? r.Deleted().Lines() : r.NotDeleted().Lines(), items);
    for (std::size_t i = 0; i < r.NotDeleted().Size(); ++i)
      EXPECT_EQ(r.Reason(i), "no copy in the backup");
    EXPECT_TRUE((saved ? r.NotDeleted() : r.Deleted()).Empty());
    EXPECT_EQ(steps.steps, 3);
    EXPECT_EQ(Exists(kSys + "nvcpl.dll"), !saved);
    EXPECT_EQ(Exists("C:\\Vendor\\sub\\a.txt"), !saved);
    EXPECT_EQ(Exists(kIs + "{C}\\setup.ini"), !saved);
    EXPECT_EQ(Key(kCurrentUser, "Software\\Vendor\\Sub"), !saved);
  }
}

class RunBackupTest : public ProfileFixture {
 protected:
  const std::string folder = "C:\\Users\\tech\\Backups\\stamp";
  backup::RunBackup keeper{machine.ports(), folder};
  engine::Remover saving{machine.ports(), record, progress, {}, &keeper};

  std::string Read(const std::string& name) { return machine.fs.ReadFile(folder + "\\" + name); }
  Lines Manifest() {
    Lines lines;
    for (const auto& item : backup::ParseManifest(Read("manifest.txt")).items) {
      lines.push_back(backup::FormatManifestLine(item.entry));
      for (const auto& l : item.links) lines.push_back(backup::FormatManifestLine(l));
    }
    return lines;
  }
  void Files(const std::string& folder, std::initializer_list<std::string_view> masks) {
    const std::vector<std::string_view> table(masks);
    saving.RemoveFiles(folder, table);
  }
  void Keys(platform::HKey root, const std::string& base,
            std::initializer_list<std::string_view> names) {
    const std::vector<std::string_view> table(names);
    saving.RemoveKeys(root, base, table);
  }
};

TEST_F(RunBackupTest, CopiesManifestAttributesAndKeysAsTheRunDeletes) {
  machine.fs.AddFile(kSys + "nvcpl.dll", std::string("MZ\0\xff", 4), attr::kHidden | attr::kSystem)
      .times = {1, 2, 3};
  machine.fs.AddFile("C:\\Vendor\\Sub\\deep.txt", "deep", attr::kArchive).times = {4, 5, 6};
  machine.fs.AddFolder("C:\\Vendor\\Empty", attr::kHidden).times = {7, 8, 9};
  machine.fs.Node("C:\\Vendor")->times = {10, 11, 12};
  machine.registry.SetValue(kLocalMachine, "Software\\Vendor\\Keep Me", "bin", 3, "\x01");
  machine.registry.SetString(kLocalMachine, "Software\\Vendor", "", "default");
  machine.registry.CreateKey(kLocalMachine, "Software\\Vendor\\Empty");

  Files(kSys, {"nvcpl*.*"});
  saving.RemoveFolder("C:\\Vendor");
  Keys(kLocalMachine, "Software", {"VENDOR"});
  EXPECT_EQ(record.Deleted().Size(), 3u);

  EXPECT_EQ(Read("manifest.txt"),
            "file\tC:\\Windows\\System32\\nvcpl.dll\r\n"
            "folder\tC:\\Vendor\r\n"
            "key\tHKLM\\Software\\VENDOR\r\n");
  EXPECT_EQ(Read("files\\C\\Windows\\System32\\nvcpl.dll"), std::string("MZ\0\xff", 4));
  EXPECT_EQ(Read("files\\C\\Vendor\\Sub\\deep.txt"), "deep");
  EXPECT_TRUE(machine.fs.FolderExists(folder + "\\files\\C\\Vendor\\Empty"));
  const auto facts = backup::ParseAttributes(Read("attributes.txt"));
  const struct {
    const char* path;
    std::uint32_t attributes;
    platform::FileTimes times;
  } expected[] = {{"C:\\WINDOWS\\SYSTEM32\\NVCPL.DLL", attr::kHidden | attr::kSystem, {1, 2, 3}},
                  {"C:\\VENDOR\\SUB\\DEEP.TXT", attr::kArchive, {4, 5, 6}},
                  {"C:\\VENDOR\\EMPTY", attr::kDirectory | attr::kHidden, {7, 8, 9}},
                  {"C:\\VENDOR", attr::kDirectory, {10, 11, 12}}};
  for (const auto& e : expected) {
    ASSERT_TRUE(facts.count(e.path)) << e.path;
    EXPECT_EQ(facts.at(e.path).attributes, e.attributes) << e.path;
    EXPECT_EQ(facts.at(e.path).times, e.times) << e.path;
  }
  const auto reg = backup::ParseRegFile(Read("registry.reg"));
  EXPECT_TRUE(reg.problems.empty());
  EXPECT_EQ(reg.sections,
            (std::vector<backup::RegSection>{
                {"HKEY_LOCAL_MACHINE\\Software\\Vendor", {{"", 1, std::string("default\0", 8)}}},
                {"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Empty", {}},
                {"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Keep Me", {{"bin", 3, "\x01"}}}}));
}

TEST_F(RunBackupTest, LinksAreSavedAsLinksAndNeverFollowed) {
  machine.fs.AddFile("C:\\Outside\\keep.txt", "keep");
  machine.fs.AddFile("C:\\Vendor\\a.txt", "a");
  machine.fs.AddLink("C:\\Vendor\\junction", "C:\\Outside", true);
  machine.fs.AddLink("C:\\Vendor\\file.lnk", "C:\\Outside\\keep.txt", false);
  machine.fs.AddLink("C:\\Linked", "C:\\Outside", true);
  machine.registry.CreateKey(kCurrentUser, "Software\\Precious\\Sub");
  machine.registry.CreateKey(kCurrentUser, "Software\\Tree\\Plain");
  machine.registry.CreateLink(kCurrentUser, "Software\\Tree\\Inner", kCurrentUser,
                              "Software\\Precious");
  machine.registry.CreateLink(kCurrentUser, "Software\\Vendor", kCurrentUser, "Software\\Precious");
  saving.RemoveFolder("C:\\Vendor");
  saving.RemoveFolder("C:\\Linked");
  Keys(kCurrentUser, "Software", {"Tree", "Vendor"});
  EXPECT_EQ(record.Deleted().Size(), 4u);
  EXPECT_EQ(Manifest(),
            (Lines{"folder\tC:\\Vendor\r\n",
                   "link\tC:\\Vendor\\file.lnk\tfile\tC:\\Outside\\keep.txt\r\n",
                   "link\tC:\\Vendor\\junction\tfolder\tC:\\Outside\r\n",
                   "link\tC:\\Linked\tfolder\tC:\\Outside\r\n", "key\tHKCU\\Software\\Tree\r\n",
                   "link\tHKCU\\Software\\Tree\\Inner\tkey\t\\REGISTRY\\USER\\S-1-5-"
                   "21\\Software\\Precious\r\n",
                   "link\tHKCU\\Software\\Vendor\tkey\t\\REGISTRY\\USER\\S-1-5-"
                   "21\\Software\\Precious\r\n"}));
  EXPECT_FALSE(machine.fs.Node(folder + "\\files\\C\\Outside"));
  EXPECT_FALSE(machine.fs.Node(folder + "\\files\\C\\Vendor\\junction"));
  EXPECT_EQ(Read("registry.reg").find("Precious"), std::string::npos);
  EXPECT_EQ(machine.fs.ReadFile("C:\\Outside\\keep.txt"), "keep");
  EXPECT_TRUE(Key(kCurrentUser, "Software\\Precious\\Sub"));
}

// Whatever stops the backup, nothing is deleted, every item is recorded as
// not deleted with what stopped its copy, and the run goes on with every step.
// Wherever the disk fills, in the middle of a line of any of the backup's
// files, every item the run deleted afterwards reads back from the manifest.
TEST(BackupRun, AWriteCutShortNeverHidesTheItemsAfterIt) {
  const std::string folder = "C:\\Users\\tech\\Backups\\stamp";
  for (std::size_t room = 0; room < 400; ++room) {
    sim::SimMachine m;
    m.fs.AddFolder("C:\\Users\\tech");
    m.fs.SetCurrentDir("C:\\Users\\tech");
    m.fs.AddFile(kSys + "nvapi.dll", "a");
    m.fs.AddFile(kSys + "nvcpl.dll", "c");
    m.registry.SetString(kCurrentUser, "Software\\Vendor", "x", "1");
    m.registry.SetString(kCurrentUser, "Software\\Vendor2", "y", "2");
    CleaningRecord r;
    StepCounter steps;
    backup::RunBackup k(m.ports(), folder);
    engine::Remover remover(m.ports(), r, steps, {}, &k);
    const std::vector<std::string_view> first{"nvapi*.*"}, second{"nvcpl*.*"}, key{"Vendor"},
        key2{"Vendor2"};
    m.fs.SetRoom(room);
    remover.RemoveFiles(kSys, first);
    remover.RemoveKeys(kCurrentUser, "Software", key);
    m.fs.SetRoom(std::nullopt);
    remover.RemoveFiles(kSys, second);
    remover.RemoveKeys(kCurrentUser, "Software", key2);
    const auto manifest = backup::ParseManifest(m.fs.ReadFile(folder + "\\manifest.txt"));
    Lines saved;
    for (const auto& item : manifest.items) saved.push_back(item.entry.path);
    for (const auto& line : r.Deleted().Lines())
      EXPECT_NE(std::find(saved.begin(), saved.end(), line), saved.end()) << room << " " << line;
    const Lines deleted = r.Deleted().Lines();
    EXPECT_NE(std::find(deleted.begin(), deleted.end(), kSys + "nvcpl.dll"), deleted.end()) << room;
  }
}

TEST_F(RunBackupTest, ABackupThatCannotBeWrittenKeepsEveryItem) {
  const struct {
    const char* what;
    std::function<void(sim::SimMachine&)> setUp;
    bool keysToo;  // whether keys cannot be saved either
    const char* reason;
  } cases[] = {
      {"Backups is a file", [](auto& m) { m.fs.AddFile("C:\\Users\\tech\\Backups", "x"); }, true,
       "no copy in the backup: the backup folder cannot be made"},
      {"no right to write", [](auto& m) { m.fs.Node("C:\\Users\\tech")->denyWrite = true; }, true,
       "no copy in the backup: the backup folder cannot be made"},
      {"the disk is full", [](auto& m) { m.fs.SetDiskFull(true); }, true,
       "no copy in the backup: disk full"},
      {"the files' folder cannot be made",
       [](auto& m) { m.fs.AddFolder("C:\\Users\\tech\\Backups\\stamp\\files").denyWrite = true; },
       false, "no copy in the backup: its folder in the backup cannot be made"},
  };
  for (const auto& c : cases) {
    sim::SimMachine m;
    m.fs.AddFolder("C:\\Users\\tech");
    m.fs.SetCurrentDir("C:\\Users\\tech");
    m.fs.AddFile(kSys + "nvcpl.dll", "x");
    m.fs.AddFile("C:\\Vendor\\a.txt", "a");
    m.registry.SetString(kCurrentUser, "Software\\Vendor", "x", "1");
    c.setUp(m);
    CleaningRecord r;
    StepCounter steps;
    backup::RunBackup k(m.ports(), folder);
    engine::Remover remover(m.ports(), r, steps, {}, &k);
    const std::vector<std::string_view> masks{"nv*.*", "x*.*"}, keys{"Vendor"};
    remover.RemoveFiles(kSys, masks);
    remover.RemoveFolder("C:\\Vendor");
    remover.RemoveKeys(kCurrentUser, "Software", keys);
    Lines kept{kSys + "nvcpl.dll", "C:\\Vendor"};
    if (c.keysToo) kept.push_back("HKCU\\Software\\Vendor");
    EXPECT_EQ(r.NotDeleted().Lines(), kept) << c.what;
    for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(r.Reason(i), c.reason) << c.what;
    EXPECT_EQ(r.Deleted().Empty(), c.keysToo) << c.what;
    EXPECT_EQ(steps.steps, 3) << c.what;
    EXPECT_TRUE(m.fs.Node(kSys + "nvcpl.dll") && m.fs.Node("C:\\Vendor\\a.txt")) << c.what;
    EXPECT_EQ(m.registry.Exists(kCurrentUser, "Software\\Vendor"), c.keysToo) << c.what;
  }
}

// Across volumes no second name can be made: the files are copied, and a
// file that cannot be read keeps its whole tree.
TEST_F(RunBackupTest, OnAnotherVolumeFilesAreCopiedAndOneUnreadableKeepsTheTree) {
  machine.fs.AddFile("D:\\Vendor\\a.txt", "a");
  machine.fs.AddFile("D:\\Other\\b.txt", "b");
  machine.fs.AddFile("D:\\Vendor\\sub\\busy.sys", "busy").inUse = true;
  saving.RemoveFolder("D:\\Other");
  saving.RemoveFolder("D:\\Vendor");
  EXPECT_EQ(Deleted(), Lines{"D:\\Other"});
  EXPECT_EQ(NotDeleted(), Lines{"D:\\Vendor"});
  EXPECT_EQ(record.Reason(0), "no copy in the backup: in use");
  EXPECT_EQ(Read("files\\D\\Other\\b.txt"), "b");
  EXPECT_TRUE(Exists("D:\\Vendor\\a.txt"));
  EXPECT_EQ(Read("manifest.txt"), "folder\tD:\\Other\r\n");
}

TEST_F(RunBackupTest, ATreeThatHoldsTheBackupIsNotDeleted) {
  machine.fs.AddFile("C:\\Users\\tech\\Vendor.dat", "x");
  for (const std::string& tree : {std::string("C:\\Users\\tech"), std::string("C:\\Users")}) {
    saving.RemoveFolder(tree);
    EXPECT_TRUE(Exists("C:\\Users\\tech\\Vendor.dat")) << tree;
  }
  EXPECT_EQ(NotDeleted(), (Lines{"C:\\Users\\tech", "C:\\Users"}));
}

TEST_F(RunBackupTest, ARunThatFindsNothingLeavesNoBackupFolder) {
  machine.fs.AddFolder("C:\\Windows\\System32\\nvdir");  // a folder never goes as a file
  Files(kSys, {"nv*.*"});
  Keys(kCurrentUser, "Software", {"Missing"});
  EXPECT_FALSE(machine.fs.Node("C:\\Users\\tech\\Backups"));
  EXPECT_EQ(NotDeleted(), Lines{kSys + "nvdir"});
}

TEST_F(RunBackupTest, AnItemTriedTwiceIsSavedOnce) {
  machine.fs.AddFile(kSys + "nvcpl.dll", "x", attr::kReadOnly);  // resists each time
  machine.registry.CreateKey(kCurrentUser, "Software\\Stays").denyDelete = true;
  Files(kSys, {"nvcpl*.*", "nv*.*"});
  Keys(kCurrentUser, "Software", {"Stays", "STAYS"});
  EXPECT_EQ(NotDeleted().size(), 4u);
  EXPECT_EQ(Manifest(), (Lines{"file\tC:\\Windows\\System32\\nvcpl.dll\r\n",
                               "key\tHKCU\\Software\\Stays\r\n"}));
}

// A second run within the same second adds to the first one's backup, and
// never writes over a copy it did not make itself.
TEST_F(RunBackupTest, ASecondRunWithTheSameStampAddsAndOverwritesNothing) {
  machine.fs.AddFile(kSys + "nvcpl.dll", "first");
  Files(kSys, {"nvcpl*.*"});
  machine.fs.AddFile(kSys + "nvcpl.dll", "second");
  machine.fs.AddFile(kSys + "nvapi.dll", "api");
  backup::RunBackup second(machine.ports(), folder);
  engine::Remover again(machine.ports(), record, progress, {}, &second);
  const std::vector<std::string_view> masks{"nv*.*"};
  again.RemoveFiles(kSys, masks);
  EXPECT_EQ(Deleted(), (Lines{kSys + "nvcpl.dll", kSys + "nvapi.dll"}));
  EXPECT_EQ(NotDeleted(), Lines{kSys + "nvcpl.dll"});
  EXPECT_EQ(Read("files\\C\\Windows\\System32\\nvcpl.dll"), "first");
  EXPECT_EQ(machine.fs.ReadFile(kSys + "nvcpl.dll"), "second");
  EXPECT_EQ(Manifest(), (Lines{"file\tC:\\Windows\\System32\\nvcpl.dll\r\n",
                               "file\tC:\\Windows\\System32\\nvapi.dll\r\n"}));
}

// Text as the wide calls store it: UTF-16, little-endian.
std::string Utf16(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return out;
}

// A key as the simulation holds it, down to what the 8-bit view loses.
std::string Dump(const sim::SimKey* k) {
  if (!k) return "(none)";
  std::string out = k->name + (k->nameExact ? "" : "~") + "->" + k->linkPath + "{";
  for (const auto& [slot, v] : k->values)
    out += v.name + (v.nameExact ? "" : "~") + "=" + std::to_string(v.type) + ":" + v.data +
           (v.dataExact ? "" : "~") + ";";
  for (const auto& [slot, sub] : k->subKeys) out += Dump(sub.get());
  return out + "}";
}

// A key goes only when its backup brings it back as it was; otherwise it
// stays whole, with the reason, and the backup holds nothing of it.
TEST_F(RunBackupTest, AKeyComesBackExactlyOrStaysWithItsReason) {
  using Reg = sim::SimRegistry;
  const std::string nul(1, '\0');
  const struct {
    const char* what;
    std::function<void(Reg&, const std::string&)> setUp;  // the key below HKCU
    std::string reason;                                   // empty: deleted, and restored as it was
  } cases[] = {
      {"8-bit names and data of any length",
       [&](Reg& r, const std::string& k) {
         r.SetValue(kCurrentUser, k, "\xe9t\xe9", 1, "\xfc" + nul);
         r.SetValue(kCurrentUser, k, "No NUL", 1, "ABC");
         r.SetValue(kCurrentUser, k, "Line\r\nbreak", 7, "a" + nul + "b\n" + nul + nul);
         r.SetValue(kCurrentUser, k + "\\Sub \xe9", "odd", 3, "\x01\x02\x03");
         r.SetWideValue(kCurrentUser, k, u"w\u00e9", 1, Utf16(u"caf\u00e9") + nul + nul);
         r.CreateWideKey(kCurrentUser, k, u"Caf\u00e9");
       },
       ""},
      {"a value name beyond the code page",
       [&](Reg& r, const std::string& k) {
         r.SetWideValue(kCurrentUser, k, u"\u0416name", 1, Utf16(u"x") + nul + nul);
       },
       "a value the backup cannot keep exactly"},
      {"text beyond the code page",
       [&](Reg& r, const std::string& k) {
         r.SetWideValue(kCurrentUser, k, u"t", 1, Utf16(u"\u0416\u0416") + nul + nul);
       },
       "a value the backup cannot keep exactly"},
      {"a list beyond the code page",
       [&](Reg& r, const std::string& k) {
         r.SetWideValue(kCurrentUser, k, u"m", 7, Utf16(std::u16string(u"a\0\u0416\0\0", 5)));
       },
       "a value the backup cannot keep exactly"},
      {"text of odd byte length",
       [&](Reg& r, const std::string& k) {
         r.SetWideValue(kCurrentUser, k, u"odd", 1, Utf16(u"ab") + "c");
       },
       "a value the backup cannot keep exactly"},
      {"such a value deep down",
       [&](Reg& r, const std::string& k) {
         r.SetString(kCurrentUser, k + "\\A", "fine", "1");
         r.SetWideValue(kCurrentUser, k + "\\A\\B", u"e", 2, Utf16(u"%\u0416%") + nul + nul);
       },
       "a value the backup cannot keep exactly"},
      {"a key name beyond the code page",
       [&](Reg& r, const std::string& k) { r.CreateWideKey(kCurrentUser, k, u"\u0416name"); },
       "a key name the backup cannot keep exactly"},
      {"a line feed in a key name",
       [&](Reg& r, const std::string& k) { r.CreateKey(kCurrentUser, k + "\\a\nb"); },
       "a name registry.reg cannot hold"},
      {"a carriage return in a key name deep down",
       [&](Reg& r, const std::string& k) { r.CreateKey(kCurrentUser, k + "\\A\\a\rb"); },
       "a name registry.reg cannot hold"},
      {"a NUL in a value name",
       [&](Reg& r, const std::string& k) { r.SetString(kCurrentUser, k, "a" + nul + "b", "x"); },
       "a name registry.reg cannot hold"},
      {"a link inside with a tab in its name",
       [&](Reg& r, const std::string& k) {
         r.CreateLink(kCurrentUser, k + "\\a\tb", kCurrentUser, "Software\\Precious");
       },
       "a link the backup cannot keep exactly"},
      {"a link inside to a name beyond the code page",
       [&](Reg& r, const std::string& k) {
         r.CreateLink(kCurrentUser, k + "\\L", kCurrentUser, "Software\\Precious")
             .values.at("SYMBOLICLINKVALUE")
             .data = Utf16(u"\\REGISTRY\\USER\\S-1-5-21\\Software\\\u0416");
       },
       "a link the backup cannot keep exactly"},
  };
  machine.registry.CreateKey(kCurrentUser, "Software\\Precious");
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "Vendor" + std::to_string(n++), path = "Software\\" + name;
    machine.registry.CreateKey(kCurrentUser, path);
    c.setUp(machine.registry, path);
    const std::string before = Dump(machine.registry.Find(kCurrentUser, path));
    const std::size_t kept = record.NotDeleted().Size();
    Keys(kCurrentUser, "Software", {name});
    if (c.reason.empty()) {
      EXPECT_FALSE(Key(kCurrentUser, path)) << c.what;
      backup::Restore(machine.ports(), folder);
    } else {
      ASSERT_EQ(NotDeleted().size(), kept + 1) << c.what;
      EXPECT_EQ(NotDeleted().back(), "HKCU\\" + path) << c.what;
      EXPECT_EQ(record.Reason(kept), c.reason) << c.what;
      EXPECT_EQ(Read("manifest.txt").find("\\" + name + "\r\n"), std::string::npos) << c.what;
    }
    EXPECT_EQ(Dump(machine.registry.Find(kCurrentUser, path)), before) << c.what;
  }
}

// A key made again before the restore keeps its own values: each saved one
// it does not hold as saved is named, and what is missing below comes back.
TEST_F(RunBackupTest, AKeyMadeAgainKeepsItsValuesAndEachSavedOneLeftOutIsNamed) {
  const struct {
    const char* what;
    std::function<void(sim::SimRegistry&, const std::string&)> makeAgain;
    Lines notRestored;  // after the key's name
    bool subRestored;
  } cases[] = {
      {"empty",
       [](auto& r, auto& k) { r.CreateKey(kCurrentUser, k); },
       {" [(default)]: skipped, the key exists", " [a]: skipped, the key exists"},
       true},
      {"one value as saved, one changed",
       [](auto& r, auto& k) {
         r.SetString(kCurrentUser, k, "a", "1");
         r.SetString(kCurrentUser, k, "", "changed");
       },
       {" [(default)]: skipped, the key exists"},
       true},
      {"one of another type",
       [](auto& r, auto& k) {
         r.SetString(kCurrentUser, k, "a", "1", platform::regtype::kExpandString);
         r.SetString(kCurrentUser, k, "", "d");
       },
       {" [a]: skipped, the key exists"},
       true},
      {"everything as saved",
       [](auto& r, auto& k) {
         r.SetString(kCurrentUser, k, "a", "1");
         r.SetString(kCurrentUser, k, "", "d");
         r.SetString(kCurrentUser, k + "\\Sub", "x", "2");
       },
       {": skipped, it exists"},
       false},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string line = "HKCU\\Software\\Again" + std::to_string(n), path = line.substr(5);
    machine.registry.SetString(kCurrentUser, path, "", "d");
    machine.registry.SetString(kCurrentUser, path, "a", "1");
    machine.registry.SetString(kCurrentUser, path + "\\Sub", "x", "2");
    Keys(kCurrentUser, "Software", {"Again" + std::to_string(n++)});
    ASSERT_FALSE(Key(kCurrentUser, path)) << c.what;
    c.makeAgain(machine.registry, path);
    const std::string before = Dump(machine.registry.Find(kCurrentUser, path));
    const auto result = backup::Restore(machine.ports(), folder);
    Lines mine;
    for (const auto& l : result.notRestored)
      if (l.rfind(line + ":", 0) == 0 || l.rfind(line + " [", 0) == 0)
        mine.push_back(l.substr(line.size()));
    EXPECT_EQ(mine, c.notRestored) << c.what;
    EXPECT_EQ(std::count(result.restored.begin(), result.restored.end(), line + "\\Sub"),
              c.subRestored ? 1 : 0)
        << c.what;
    // Its own values as they were, with only what was missing added below.
    sim::SimKey* key = machine.registry.Find(kCurrentUser, path);
    ASSERT_TRUE(key && key->subKeys.count("SUB")) << c.what;
    if (c.subRestored) key->subKeys.erase("SUB");
    EXPECT_EQ(Dump(key), before) << c.what;
  }
}

// An item whose restore fails leaves none of the folders made on its way.
TEST_F(RunBackupTest, AFailedRestoreLeavesNoFolderItMadeForIt) {
  machine.fs.AddFile("C:\\Vendor\\Deep\\Er\\x.dll", "x");
  Files("C:\\Vendor\\Deep\\Er\\", {"x.dll"});
  machine.fs.RemoveDir("C:\\Vendor\\Deep\\Er");
  machine.fs.RemoveDir("C:\\Vendor\\Deep");
  machine.fs.Node(folder + "\\files\\C\\Vendor\\Deep\\Er\\x.dll")->inUse = true;
  const auto result = backup::Restore(machine.ports(), folder);
  EXPECT_EQ(result.notRestored, Lines{"C:\\Vendor\\Deep\\Er\\x.dll: in use by another program"});
  EXPECT_FALSE(Exists("C:\\Vendor\\Deep"));
  EXPECT_TRUE(Exists("C:\\Vendor"));
}

// With every backup made, a run deletes and records exactly what it does
// without backup, step for step, for all five vendors.
TEST(BackupRun, RecordAndStepsAreThoseOfARunWithoutBackup) {
  const auto run = [](bool withBackup, CleaningRecord& r) {
    sim::SimMachine m;
    m.fs.SetEnv("SYSTEMROOT", "C:\\Windows");
    m.fs.SetEnv("Programfiles", "C:\\Program Files");
    m.fs.AddFolder("C:\\Work");
    m.fs.SetCurrentDir("C:\\Work");
    SeedAllVendors(m);
    StepCounter steps;
    OptionFlags flags;
    flags.backup = withBackup;
    std::vector<std::string> entries;
    for (const auto& item : profiles::kCleaningItems) entries.emplace_back(item.name);
    run::CleaningRun({m.ports(), entries, flags, "stamp", run::Mode::kClean}).Perform(r, steps);
    return steps.steps;
  };
  CleaningRecord plain, saved;
  EXPECT_EQ(run(true, saved), run(false, plain));
  EXPECT_EQ(saved.Deleted().Lines(), plain.Deleted().Lines());
  EXPECT_EQ(saved.NotDeleted().Lines(), plain.NotDeleted().Lines());
  EXPECT_GT(plain.Deleted().Size(), 20u);
}

}  // namespace
}  // namespace quenk::test
