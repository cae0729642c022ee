#include "ProfileFixture.h"

#include "backup/BackupForecast.h"
#include "backup/Restore.h"
#include "backup/RunBackup.h"

#include <functional>

namespace quenk::test {
namespace {

namespace attr = platform::attr;

const std::string kBeetle = "\xd0\x96\xd1\x83\xd0\xba.txt";  // three Cyrillic letters
const std::string kZhe = "\xd0\x96";

// Names the code page cannot spell, in a backup and a restore; a fresh
// machine for each case.
class World : public ProfileFixture {
 public:
  void TestBody() override {}
  const std::string folder = "C:\\Work\\Backups\\stamp";
  backup::RunBackup keeper{machine.ports(), folder};
  engine::Remover saving{machine.ports(), record, progress, {}, &keeper};
  using ProfileFixture::Deleted;
  using ProfileFixture::Exists;
  using ProfileFixture::machine;
  using ProfileFixture::NotDeleted;
  using ProfileFixture::record;

  // An entry made under a plain name and given its long name by the wide call.
  void Named(const std::string& path, const std::string& utf8Leaf, bool folderEntry = false,
             const std::string& content = "bytes") {
    if (folderEntry)
      machine.fs.AddFolder(path);
    else
      machine.fs.AddFile(path, content, attr::kHidden).times = {7, 8, 9};
    ASSERT_EQ(machine.fs.Rename(path, utf8Leaf), 0u) << path;
  }
  // What lies below `path` by its real names: bytes, attributes, write times.
  static void Walk(const sim::SimNode& n, const std::string& path, Lines& out) {
    for (const auto& [key, child] : n.children) {
      const sim::SimNode& c = *child.node;
      const std::string name = path + "\\" + (c.unicodeName.empty() ? c.name : c.unicodeName);
      out.push_back(name + "|" + std::to_string(c.attributes) + "|" + c.content + "|" +
                    std::to_string(c.times.lastWrite));
      Walk(c, name, out);
    }
  }
  Lines Below(const std::string& path) {
    Lines out;
    if (const sim::SimNode* n = machine.fs.Node(path)) Walk(*n, path, out);
    return out;
  }
  backup::RestoreResult Restore() { return backup::Restore(machine.ports(), folder); }
  void Files(const std::string& in, std::string_view mask) {
    const std::vector<std::string_view> masks{mask};
    saving.RemoveFiles(in, masks);
  }
};

// Cleaned and restored: every long name comes back with its bytes, attributes
// and times; the record and the restore word each as the code page spells it.
TEST(LongNames, KeptThroughBackupAndRestore) {
  const struct {
    const char* what;
    std::string root;
    std::function<void(World&)> seed, clean;
    std::string deleted;
  } cases[] = {
      {"a file a mask finds", kSys,
       [](World& w) { w.Named(kSys + "nvcpl_x.dll", "nvcpl" + kZhe + ".dll"); },
       [](World& w) { w.Files(kSys, "nvcpl*.dll"); }, kSys + "nvcpl?.dll"},
      {"entries inside a tree", "C:\\Vendor",
       [](World& w) {
         w.machine.fs.AddFile("C:\\Vendor\\plain.txt", "plain");
         w.Named("C:\\Vendor\\a.txt", kBeetle);
         w.Named("C:\\Vendor\\d", kZhe + "dir", true);
         w.Named("C:\\Vendor\\_DIR~1\\b.txt", kBeetle);
       },
       [](World& w) { w.saving.RemoveFolder("C:\\Vendor"); }, "C:\\Vendor"},
      {"a tree whose own name is one", kIs,
       [](World& w) {
         w.machine.fs.AddFile(kIs + "x\\setup.ini", "[Startup]\r\nCompanyName=Creative\r\n");
         w.machine.fs.AddFile(kIs + "x\\deep\\c.txt", "c");
         ASSERT_EQ(w.machine.fs.Rename(kIs + "x", kZhe + "{C}"), 0u);
       },
       [](World& w) { w.saving.RemoveInstallerFolders(kIs, "Creative"); }, kIs + "?{C}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    c.seed(w);
    const Lines before = w.Below(c.root);
    c.clean(w);
    EXPECT_EQ(w.Deleted(), Lines{c.deleted});
    EXPECT_TRUE(w.NotDeleted().empty());
    EXPECT_NE(w.Below(c.root), before);
    const auto result = w.Restore();
    EXPECT_TRUE(result.notRestored.empty()) << result.notRestored.front();
    ASSERT_EQ(result.restored.size(), 1u);
    EXPECT_EQ(result.restored[0].substr(0, c.deleted.size()), c.deleted);
    EXPECT_EQ(w.Below(c.root), before);
    // Once back, the long names exist and are left as they are.
    const auto again = w.Restore();
    EXPECT_TRUE(again.restored.empty());
    EXPECT_EQ(again.notRestored, Lines{c.deleted + ": skipped, it exists"});
    EXPECT_EQ(w.Below(c.root), before);
  }
}

// The copy lies under the short name; the manifest adds the long name, as
// the record words it and in UTF-8.
TEST(LongNames, TheManifestKeepsTheShortNameAndTheLongOneBothWays) {
  World w;
  w.Named(kSys + "nvcpl_x.dll", "nvcpl" + kZhe + ".dll");
  w.Files(kSys, "nvcpl*.dll");
  const std::string reached = kSys + "NVCPL_~1.DLL";
  EXPECT_EQ(
      w.machine.fs.ReadFile(w.folder + "\\manifest.txt"),
      "file\t" + reached + "\r\nname\t" + reached + "\tnvcpl?.dll\tnvcpl" + kZhe + ".dll\r\n");
  EXPECT_EQ(w.machine.fs.ReadFile(w.folder + "\\files\\C\\Windows\\System32\\NVCPL_~1.DLL"),
            "bytes");
}

// Where the long name cannot be kept the item stays whole, with the reason;
// the preview's keeper foresees the same answer.
TEST(LongNames, ANameThatCannotBeKeptKeepsTheItem) {
  const struct {
    const char* what;
    std::function<void(World&)> seed, clean;
    bool tree;
    std::string line;
  } cases[] = {
      {"a file without a short name",
       [](World& w) {
         w.Named(kSys + "nvcpl_y.dll", "nvcpl" + kZhe + ".dll");
         w.machine.fs.SetShortName(kSys + "NVCPL_~1.DLL", "");
       },
       [](World& w) { w.Files(kSys, "nvcpl*.dll"); }, false, kSys + "nvcpl?.dll"},
      {"an entry without a short name deep in a tree",
       [](World& w) {
         w.machine.fs.AddFile("C:\\Tree\\keep.txt", "keep");
         w.Named("C:\\Tree\\sub\\a.txt", kBeetle);
         w.machine.fs.SetShortName("C:\\Tree\\sub\\___~1.TXT", "");
       },
       [](World& w) { w.saving.RemoveFolder("C:\\Tree"); }, true, "C:\\Tree"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    c.seed(w);
    const std::string where = c.tree ? c.line : kSys;
    const Lines before = w.Below(where);
    backup::BackupForecast forecast(w.machine.fs, w.machine.registry, w.folder);
    EXPECT_FALSE(c.tree ? forecast.SaveTree(c.line) : forecast.SaveFile(c.line));
    EXPECT_EQ(forecast.FailureReason(), backup::kNameOutsideCodePage);
    c.clean(w);
    EXPECT_TRUE(w.Deleted().empty());
    ASSERT_EQ(w.NotDeleted(), Lines{c.line});
    EXPECT_EQ(w.record.Reason(0), backup::kNameOutsideCodePage);
    EXPECT_EQ(w.Below(where), before);
  }
}

TEST(LongNames, ARestoreNeverTakesALongNameOrAShortNameThatIsTaken) {
  const struct {
    const char* what;
    std::function<void(World&)> meanwhile;
    std::string notRestored;
  } cases[] = {
      {"the long name is back",
       [](World& w) { w.Named("C:\\Vendor\\new.txt", kBeetle, false, "new"); },
       "C:\\Vendor\\???.txt: skipped, it exists"},
      {"another entry holds the short name",
       [](World& w) { w.machine.fs.AddFile("C:\\Vendor\\___~1.TXT", "other"); },
       "C:\\Vendor\\???.txt: another entry has its short name ___~1.TXT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    w.Named("C:\\Vendor\\a.txt", kBeetle);
    w.Files("C:\\Vendor\\", "*.txt");
    ASSERT_EQ(w.Deleted(), Lines{"C:\\Vendor\\???.txt"});
    c.meanwhile(w);
    const Lines before = w.Below("C:\\Vendor");
    const auto result = w.Restore();
    EXPECT_TRUE(result.restored.empty());
    EXPECT_EQ(result.notRestored, Lines{c.notRestored});
    EXPECT_EQ(w.Below("C:\\Vendor"), before);
  }
}

}  // namespace
}  // namespace quenk::test
