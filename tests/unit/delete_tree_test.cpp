#include "SimFixture.h"

#include "base/IoError.h"

#include <functional>

namespace quenk::test {
namespace {

namespace attr = platform::attr;

class RemoveTreeTest : public SimFixture {
 protected:
  // A tree: top\a.txt, top\sub\b.txt, top\sub\deep\c.txt, top\other\d.txt
  void SeedTree(const std::string& top) {
    for (const char* f : {"a.txt", "sub\\b.txt", "sub\\deep\\c.txt", "other\\d.txt"})
      machine.fs.AddFile(top + "\\" + f);
  }
};

TEST_F(RemoveTreeTest, WholeTreeGoesAndOnlyTheTopIsRecorded) {
  SeedTree("C:\\T");
  machine.fs.AddFile("C:\\T\\sub\\hidden.sys", "", attr::kHidden | attr::kSystem);
  remover.RemoveFolder("C:\\T");
  EXPECT_EQ(Deleted(), Lines{"C:\\T"});
  EXPECT_TRUE(NotDeleted().empty());
  EXPECT_FALSE(Exists("C:\\T"));
  EXPECT_EQ(progress.steps, 0);
}

TEST_F(RemoveTreeTest, ReadOnlyFileDeepDownKeepsItsPathAndRecordsTheTopAsNotDeleted) {
  SeedTree("C:\\T");
  machine.fs.AddFile("C:\\T\\sub\\deep\\ro.txt", "", attr::kReadOnly);
  remover.RemoveFolder("C:\\T");
  EXPECT_EQ(NotDeleted(), Lines{"C:\\T"});
  EXPECT_TRUE(Deleted().empty());
  EXPECT_EQ(machine.fs.List("C:\\T"), Lines{"sub"});
  EXPECT_EQ(machine.fs.List("C:\\T\\sub"), Lines{"deep"});
  EXPECT_EQ(machine.fs.List("C:\\T\\sub\\deep"), Lines{"ro.txt"});
}

TEST_F(RemoveTreeTest, FolderThatResistsRemovalRaisesByCodeAndIsNotRecorded) {
  const struct {
    std::uint32_t code;
    const char* message;
  } cases[] = {
      {2, "File not found"},     {3, "Invalid filename"},          {4, "Too many open files"},
      {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
      {112, "Disk full"},        {106, "Invalid numeric input"},   {32, "I/O error 32"}};
  for (const auto& c : cases) {
    SeedTree("C:\\T");
    machine.fs.Node("C:\\T")->removeError = c.code;
    try {
      remover.RemoveFolder("C:\\T");
      ADD_FAILURE() << "no error for " << c.code;
    } catch (const IoError& e) {
      EXPECT_EQ(e.Code(), c.code);
      EXPECT_EQ(e.what(), "C:\\T: " + std::string(c.message));
    }
    EXPECT_TRUE(machine.fs.List("C:\\T").empty()) << "emptied first";
    machine.fs.Node("C:\\T")->removeError = 0;
    machine.fs.RemoveDir("C:\\T");
  }
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(NotDeleted().empty());
}

TEST_F(RemoveTreeTest, ErrorDeepDownStopsTheWholeRemovalAtOnce) {
  SeedTree("C:\\T");
  machine.fs.Node("C:\\T\\other")->removeError = 5;  // "other" is listed before "sub"
  EXPECT_THROW(remover.RemoveFolder("C:\\T"), IoError);
  EXPECT_TRUE(Exists("C:\\T\\sub\\deep\\c.txt"));
  EXPECT_TRUE(Deleted().empty() && NotDeleted().empty());
}

TEST_F(RemoveTreeTest, FolderHeldAsCurrentFolderIsEmptiedThenRaises) {
  SeedTree("C:\\T");
  machine.fs.SetCurrentDir("C:\\T\\sub");
  EXPECT_THROW(remover.RemoveFolder("C:\\T"), IoError);
  EXPECT_TRUE(Exists("C:\\T\\sub"));
  EXPECT_FALSE(Exists("C:\\T\\a.txt"));
}

TEST_F(RemoveTreeTest, MissingPathRaisesFileNotFoundOrInvalidFilename) {
  EXPECT_THROW(
      {
        try {
          remover.RemoveFolder("C:\\Nope");
        } catch (const IoError& e) {
          EXPECT_EQ(e.Code(), 2u);
          throw;
        }
      },
      IoError);
  try {
    remover.RemoveFolder("C:\\Nope\\Deeper");
  } catch (const IoError& e) {
    EXPECT_EQ(e.Code(), 3u);
  }
}

TEST_F(RemoveTreeTest, LinksAreRemovedAndNeverFollowed) {
  machine.fs.AddFile("C:\\Outside\\keep.txt", "keep");
  machine.fs.AddFile("C:\\Outside\\Sub\\keep2.txt", "keep");
  SeedTree("C:\\T");
  machine.fs.AddLink("C:\\T\\sub\\junction", "C:\\Outside", true);
  machine.fs.AddLink("C:\\T\\filelink.txt", "C:\\Outside\\keep.txt", false);
  remover.RemoveFolder("C:\\T");
  EXPECT_EQ(Deleted(), Lines{"C:\\T"});
  EXPECT_FALSE(Exists("C:\\T"));
  EXPECT_EQ(machine.fs.ReadFile("C:\\Outside\\keep.txt"), "keep");
  EXPECT_TRUE(Exists("C:\\Outside\\Sub\\keep2.txt"));
}

TEST_F(RemoveTreeTest, FolderGivenAsALinkRemovesOnlyTheLink) {
  machine.fs.AddFile("C:\\Outside\\keep.txt");
  machine.fs.AddLink("C:\\Vendor\\Link", "C:\\Outside", true);
  remover.RemoveFolder("C:\\Vendor\\Link");
  EXPECT_EQ(Deleted(), Lines{"C:\\Vendor\\Link"});
  EXPECT_TRUE(Exists("C:\\Outside\\keep.txt"));
  EXPECT_FALSE(Exists("C:\\Vendor\\Link"));
}

TEST_F(RemoveTreeTest, LinkThatResistsMakesItsLevelFail) {
  machine.fs.AddFile("C:\\Outside\\keep.txt");
  SeedTree("C:\\T");
  machine.fs.AddLink("C:\\T\\sub\\junction", "C:\\Outside", true).denyDelete = true;
  remover.RemoveFolder("C:\\T");
  EXPECT_EQ(NotDeleted(), Lines{"C:\\T"});
  EXPECT_TRUE(Exists("C:\\T\\sub\\junction"));
  EXPECT_FALSE(Exists("C:\\T\\other"));
  EXPECT_TRUE(Exists("C:\\Outside\\keep.txt"));
}

// Entries the ANSI names cannot reach, and listings that fail, never end the
// run: what can be reached goes, what cannot stays and the top is recorded.
TEST_F(RemoveTreeTest, OddEntriesAreReachedOrKeptWithoutEndingTheRun) {
  std::string deep = "C:\\T\\deep";
  for (int level = 0; level < 300; ++level) deep += "\\d";
  const struct {
    const char* what;
    std::function<void(sim::SimFileSystem&)> seed;
    bool removed;
  } cases[] = {
      {"300 levels deep", [&](sim::SimFileSystem& fs) { fs.AddFile(deep + "\\f.txt"); }, true},
      {"a name ending in a dot",
       [](sim::SimFileSystem& fs) { fs.AddFile("\\\\?\\C:\\T\\dir.\\f.txt"); }, true},
      {"a name the code page cannot spell, with a short name",
       [](sim::SimFileSystem& fs) {
         fs.AddFile("C:\\T\\???\\g.txt");
         fs.SetShortName("C:\\T\\???", "____~1");
       },
       true},
      {"a name the code page cannot spell, without a short name",
       [](sim::SimFileSystem& fs) {
         fs.AddFile("C:\\T\\???\\g.txt");
         fs.SetShortName("C:\\T\\???", "");
       },
       false},
      {"an entry the listing does not show",
       [](sim::SimFileSystem& fs) {
         fs.AddLink("C:\\T\\sub\\dangling", "C:\\Gone", false).unlisted = true;
       },
       false},
  };
  for (const auto& c : cases) {
    record.Clear();
    SeedTree("C:\\T");
    c.seed(machine.fs);
    EXPECT_NO_THROW(remover.RemoveFolder("C:\\T")) << c.what;
    EXPECT_EQ(c.removed ? Deleted() : NotDeleted(), Lines{"C:\\T"}) << c.what;
    EXPECT_EQ(Exists("C:\\T"), !c.removed) << c.what;
    if (!c.removed) {
      EXPECT_FALSE(Exists("C:\\T\\a.txt")) << c.what << ": the rest still goes";
      auto* top = machine.fs.Node("C:\\T");  // cleared by hand for the next case
      top->children.clear();
      top->shortNames.clear();
      machine.fs.RemoveDir("C:\\T");
    }
  }
}

}  // namespace
}  // namespace quenk::test
