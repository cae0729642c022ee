#include "SimFixture.h"

#include "base/IoError.h"

namespace quenk::test {
namespace {

namespace attr = platform::attr;
constexpr const char* kSys = "C:\\Windows\\System32\\";

class RemoveFilesTest : public SimFixture {
 protected:
  void Run(std::initializer_list<std::string_view> masks, const std::string& folder = kSys) {
    const std::vector<std::string_view> table(masks);
    remover.RemoveFiles(folder, table);
  }
};

TEST_F(RemoveFilesTest, RecordsEveryMatchAndTakesOneStepPerMask) {
  auto& fs = machine.fs;
  fs.AddFile(std::string(kSys) + "nvcpl.dll");
  fs.AddFile(std::string(kSys) + "NVCPL.EXE");
  fs.AddFile(std::string(kSys) + "nvcplx");
  fs.AddFile(std::string(kSys) + "nvcpl_h.dll", "", attr::kHidden);
  fs.AddFile(std::string(kSys) + "nvcpl_s.dll", "", attr::kSystem | attr::kHidden);
  fs.AddFile(std::string(kSys) + "nvcpl_ro.dll", "", attr::kReadOnly | attr::kArchive);
  fs.AddFile(std::string(kSys) + "nvcpl_iu.dll").inUse = true;
  fs.AddFile(std::string(kSys) + "nvcplDir\\inside.txt");
  fs.AddFile(std::string(kSys) + "other.dll");

  Run({"nvcpl*.*", "nomatch*.*", "", "nvcpl*.*"});

  const std::string s = kSys;
  EXPECT_EQ(Deleted(), (Lines{s + "nvcpl.dll", s + "NVCPL.EXE", s + "nvcplx", s + "nvcpl_h.dll",
                              s + "nvcpl_s.dll"}));
  // Failures of the first pass are met again by the repeated mask.
  const Lines failed{s + "nvcplDir", s + "nvcpl_iu.dll", s + "nvcpl_ro.dll"};
  Lines twice = failed;
  twice.insert(twice.end(), failed.begin(), failed.end());
  EXPECT_EQ(NotDeleted(), twice);
  EXPECT_EQ(progress.steps, 4);
  EXPECT_TRUE(Exists(s + "other.dll"));
  EXPECT_TRUE(Exists(s + "nvcplDir\\inside.txt"));  // a matching folder is not entered
  EXPECT_EQ(fs.Node(s + "nvcpl_ro.dll")->attributes, attr::kReadOnly | attr::kArchive);
}

TEST_F(RemoveFilesTest, ShortNameMatchRecordsTheLongName) {
  machine.fs.AddFile(std::string(kSys) + "Creative Agent Helper.exe");
  machine.fs.SetShortName(std::string(kSys) + "Creative Agent Helper.exe", "CTAGEN~1.EXE");
  Run({"CTAGEN*.*"});
  EXPECT_EQ(Deleted(), Lines{std::string(kSys) + "Creative Agent Helper.exe"});
}

TEST_F(RemoveFilesTest, NothingThereStillTakesItsSteps) {
  const struct {
    const char* folder;
    std::vector<std::string_view> masks;
    int steps;
  } cases[] = {
      {"C:\\Missing\\", {"a*.*", "b*.*", ""}, 3},
      {"\\System32\\", {"nv*.*"}, 1},  // an unset SYSTEMROOT: the root of the current drive
      {kSys, {}, 0},
  };
  machine.fs.AddFolder(kSys);
  for (const auto& c : cases) {
    progress.steps = 0;
    remover.RemoveFiles(c.folder, c.masks);
    EXPECT_EQ(progress.steps, c.steps) << c.folder;
  }
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(NotDeleted().empty());
}

TEST_F(RemoveFilesTest, DotEntriesAreNeverTouched) {
  machine.fs.AddFolder(std::string(kSys) + "empty");
  Run({"*.*", "*", ".", ".."}, std::string(kSys) + "empty\\");
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(NotDeleted().empty());
}

TEST_F(RemoveFilesTest, OddNamesAndLongPaths) {
  const std::string folder = std::string(kSys);
  machine.fs.AddFile(folder + "\xE9t\xE9-\xFF.dll");
  const std::string longName = "nv" + std::string(300 - folder.size(), 'x') + ".dll";
  machine.fs.AddFile(folder + longName);
  machine.fs.AddFile(folder + std::string(250, 'a'));
  Run({"\xE9*.*", "nv*.*", "*a*a*a*a*a*a*a*b"});
  // Beyond MAX_PATH the literal form reaches the file.
  EXPECT_EQ(Deleted(), (Lines{folder + "\xE9t\xE9-\xFF.dll", folder + longName}));
  EXPECT_TRUE(NotDeleted().empty());
  EXPECT_EQ(progress.steps, 3);
}

}  // namespace
}  // namespace quenk::test
