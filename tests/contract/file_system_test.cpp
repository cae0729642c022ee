#include "Contract.h"

#include <map>
#include <optional>

namespace quenk::test {
namespace {

using platform::attr::kDirectory;
using platform::attr::kHidden;
using platform::attr::kReadOnly;
using platform::attr::kReparsePoint;
using platform::attr::kSystem;
using NameList = std::vector<std::string>;

class Wildcards : public Contract {
 protected:
  void SetUp() override {
    for (const char* name :
         {"abc", "abc.txt", "Abd.dll", "nvcplui_longname.dll", "x.y.z", "README"})
      machine->MakeFile(dir + "\\" + name);
  }
};

TEST_F(Wildcards, MatchTheWayWindowsDoes) {
  const struct {
    const char* mask;
    NameList expected;
  } cases[] = {
      {"a*.*", {"Abd.dll", "abc", "abc.txt"}},  // a trailing ".*" also takes names without a dot
      {"ABC.*", {"abc", "abc.txt"}},
      {"a?c", {"abc"}},
      {"a?", {}},
      {"*.DLL", {"Abd.dll", "nvcplui_longname.dll"}},
      {"NVCPLUI*", {"nvcplui_longname.dll"}},
      {"*.y.*", {"x.y.z"}},
      {"readme", {"README"}},
      {"*a*a*a*a*a*b", {}},
      {"*.*", {".", "..", "Abd.dll", "README", "abc", "abc.txt", "nvcplui_longname.dll", "x.y.z"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SortedNames(dir + "\\" + c.mask), c.expected) << c.mask;
  }
}

TEST_F(Wildcards, PatternEndingInBackslashOrMissingFolderYieldsNothing) {
  EXPECT_TRUE(Names(dir + "\\").empty());
  EXPECT_TRUE(Names(dir + "\\missing\\*.*").empty());
  EXPECT_TRUE(Names("C:\\quenk-no-such-folder\\deeper\\*").empty());
}

TEST_F(Wildcards, TrailingDotMatchesOnlyNamesWithoutDot) {
  SKIP_ON_WINE("Wine's \"*.\" matches every name");
  EXPECT_EQ(SortedNames(dir + "\\*."), (NameList{"README", "abc"}));
}

TEST_F(Wildcards, ShortNamesMatchAndLongNameIsReported) {
  SKIP_ON_WINE("Wine hashes short names (NVCP~FRO.DLL), so the 8.3 form is not predictable");
  EXPECT_EQ(Names(dir + "\\NVCPLU~1.DLL"), NameList{"nvcplui_longname.dll"});
  EXPECT_EQ(Names(dir + "\\nvcplu~1.*"), NameList{"nvcplui_longname.dll"});
}

TEST_F(Contract, DriveRootListsNoDotEntries) {
  const auto names = Names("C:\\*");
  EXPECT_EQ(std::count(names.begin(), names.end(), "."), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), ".."), 0);
}

TEST_F(Contract, RequestedAttributesPassOverHiddenSystemAndFolders) {
  machine->MakeFile(dir + "\\plain.txt");
  machine->MakeFile(dir + "\\hidden.txt", "", kHidden);
  machine->MakeFile(dir + "\\system.txt", "", kSystem);
  machine->MakeFile(dir + "\\readonly.txt", "", kReadOnly);
  machine->MakeFolder(dir + "\\sub");
  machine->MakeFolder(dir + "\\hiddensub", kHidden);
  const struct {
    std::uint32_t requested;
    NameList expected;
  } cases[] = {
      {63,
       {".", "..", "hidden.txt", "hiddensub", "plain.txt", "readonly.txt", "sub", "system.txt"}},
      {kDirectory, {".", "..", "plain.txt", "readonly.txt", "sub"}},
      {0, {"plain.txt", "readonly.txt"}},
      {kHidden, {"hidden.txt", "plain.txt", "readonly.txt"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SortedNames(dir + "\\*", c.requested), c.expected) << c.requested;
}

TEST_F(Contract, AttributesOfEntries) {
  machine->MakeFile(dir + "\\f.txt", "", kHidden | kReadOnly);
  machine->MakeFolder(dir + "\\sub");
  ASSERT_TRUE(ports.fs.Attributes(dir + "\\f.txt"));
  EXPECT_EQ(*ports.fs.Attributes(dir + "\\f.txt") & (kHidden | kReadOnly | kDirectory),
            kHidden | kReadOnly);
  EXPECT_TRUE(ports.fs.FolderExists(dir + "\\sub"));
  EXPECT_TRUE(ports.fs.FolderExists(dir + "\\SUB\\"));
  EXPECT_FALSE(ports.fs.FolderExists(dir + "\\f.txt"));
  EXPECT_FALSE(ports.fs.FolderExists(""));
  EXPECT_FALSE(ports.fs.Attributes(dir + "\\missing"));
}

TEST_F(Contract, DeleteFileOutcomes) {
  machine->MakeFile(dir + "\\plain.txt");
  machine->MakeFile(dir + "\\hidden.txt", "", kHidden | kSystem);
  machine->MakeFile(dir + "\\readonly.txt", "", kReadOnly);
  machine->MakeFile(dir + "\\inuse.txt");
  machine->HoldOpen(dir + "\\inuse.txt");
  machine->MakeFolder(dir + "\\sub");
  const struct {
    const char* name;
    std::uint32_t error;
    bool gone;
  } cases[] = {
      {"plain.txt", 0, true},
      {"hidden.txt", 0, true},
      {"readonly.txt", platform::err::kAccessDenied, false},
      {"inuse.txt", platform::err::kSharingViolation, false},
      {"sub", platform::err::kAccessDenied, false},
      {"missing.txt", platform::err::kFileNotFound, true},
      {"nofolder\\x.txt", platform::err::kPathNotFound, true},
      {"a*.txt", platform::err::kInvalidName, true},
  };
  for (const auto& c : cases) {
    const std::string path = dir + "\\" + c.name;
    EXPECT_EQ(ports.fs.Delete(path), c.error) << c.name;
    EXPECT_EQ(!ports.fs.Exists(path), c.gone) << c.name;
  }
  EXPECT_EQ(*ports.fs.Attributes(dir + "\\readonly.txt") & kReadOnly, kReadOnly);
}

TEST_F(Contract, RemoveFolderOutcomes) {
  machine->MakeFolder(dir + "\\empty");
  machine->MakeFile(dir + "\\full\\f.txt");
  machine->MakeFile(dir + "\\file.txt");
  machine->MakeFolder(dir + "\\cwd");
  machine->SetCurrentDir(dir + "\\cwd");
  const struct {
    const char* name;
    std::uint32_t error;
  } cases[] = {
      {"empty", 0},
      {"full", platform::err::kDirNotEmpty},
      {"missing", platform::err::kFileNotFound},
      {"missing\\deeper", platform::err::kPathNotFound},
      {"file.txt", platform::err::kDirectory},
      {"cwd", platform::err::kSharingViolation},
  };
  for (const auto& c : cases) EXPECT_EQ(ports.fs.RemoveDir(dir + "\\" + c.name), c.error) << c.name;
  EXPECT_FALSE(ports.fs.Exists(dir + "\\empty"));
  EXPECT_TRUE(ports.fs.Exists(dir + "\\full\\f.txt"));
}

TEST_F(Contract, LongPathsAndNamesEndingInADotTakeTheLiteralForm) {
  std::string deep = dir;
  while (deep.size() < 400) {
    deep += "\\abcdefghij";
    ASSERT_EQ(ports.fs.MakeDir(deep), 0u) << deep.size();
  }
  {
    auto opened = ports.fs.Open(deep + "\\f.txt", platform::OpenMode::kRewrite);
    ASSERT_EQ(opened.error, 0u);
    EXPECT_EQ(opened.file->Close(), 0u);
  }
  EXPECT_TRUE(ports.fs.FolderExists(deep));
  EXPECT_EQ(Names(deep + "\\*.txt"), NameList{"f.txt"});
  EXPECT_EQ(ports.fs.Delete(deep + "\\f.txt"), 0u);
  for (std::string level = deep; level.size() > dir.size(); level.resize(level.rfind('\\')))
    EXPECT_EQ(ports.fs.RemoveDir(level), 0u) << level.size();
  // Spellings the literal form cannot keep still fail beyond MAX_PATH.
  EXPECT_EQ(ports.fs.Delete(dir + "\\x\\..\\" + std::string(300, 'a')),
            platform::err::kFilenameTooLong);

  const std::string dotted = "\\\\?\\" + dir + "\\dots.";
  ASSERT_EQ(ports.fs.MakeDir(dotted), 0u);
  EXPECT_EQ(Names(dir + "\\dots*"), NameList{"dots."});
  EXPECT_FALSE(ports.fs.Attributes(dir + "\\dots."));  // the plain form drops the dot
  EXPECT_TRUE(ports.fs.FolderExists(dotted));
  EXPECT_EQ(ports.fs.RemoveDir(dotted), 0u);
}

TEST_F(Contract, ListingTellsWhyItEnded) {
  machine->MakeFile(dir + "\\a.txt");
  const struct {
    std::string pattern;
    std::uint32_t error;
  } cases[] = {
      {dir + "\\*.*", 0},
      {dir + "\\a*", 0},
      {dir + "\\none*", platform::err::kFileNotFound},
      {dir + "\\missing\\*.*", platform::err::kPathNotFound},
  };
  for (const auto& c : cases) {
    auto search = ports.fs.Find(c.pattern, 63);
    platform::FindEntry e;
    while (search->Next(e)) {
    }
    EXPECT_EQ(search->Error(), c.error) << c.pattern;
  }
}

TEST_F(Contract, IdentityIsTheFolderHoweverItIsReached) {
  const auto links = machine->MakeLinkTree();
  const auto outside = ports.fs.Identify(links.outside);
  const auto viaLink = ports.fs.Identify(links.tree + "\\link");
  const auto tree = ports.fs.Identify(links.tree);
  ASSERT_TRUE(outside && viaLink && tree);
  EXPECT_TRUE(viaLink->SameAs(*outside));
  EXPECT_TRUE(EqualsNoCase(viaLink->finalPath, outside->finalPath)) << viaLink->finalPath;
  EXPECT_FALSE(tree->SameAs(*outside));
  EXPECT_FALSE(ports.fs.Identify(links.tree + "\\missing"));

  const auto scratch = ports.fs.Identify(dir);
  ASSERT_TRUE(scratch);
  EXPECT_TRUE(EqualsNoCase(scratch->finalPath, dir)) << scratch->finalPath;
  std::vector<std::string> spellings{UpperCase(dir), dir + "\\", "\\\\?\\" + dir};
  if (const std::string drive = machine->OtherDriveOfC(); !drive.empty())
    spellings.push_back(drive + dir.substr(2));
  if (const std::string share = machine->ShareOfC(); !share.empty())
    spellings.push_back(share + dir.substr(2));
  for (const auto& spelling : spellings) {
    const auto other = ports.fs.Identify(spelling);
    ASSERT_TRUE(other) << spelling;
    EXPECT_TRUE(other->SameAs(*scratch)) << spelling;
    EXPECT_TRUE(EqualsNoCase(other->finalPath, scratch->finalPath)) << spelling;
  }
}

TEST_F(Contract, MakeFolderAndForceDirectories) {
  EXPECT_EQ(ports.fs.MakeDir(dir + "\\new"), 0u);
  EXPECT_EQ(ports.fs.MakeDir(dir + "\\new"), platform::err::kAlreadyExists);
  EXPECT_EQ(ports.fs.MakeDir(dir + "\\a\\b"), platform::err::kPathNotFound);
  EXPECT_TRUE(ports.fs.ForceDirectories(dir + "\\a\\b\\c\\"));
  EXPECT_TRUE(ports.fs.FolderExists(dir + "\\a\\b\\c"));

  // The probe says the same as the making, and makes nothing.
  machine->MakeFile(dir + "\\file.txt");
  EXPECT_EQ(ports.fs.ProbeMakeDirIn(dir + "\\new"), 0u);
  EXPECT_EQ(ports.fs.ProbeMakeDirIn(dir.substr(0, 3)), 0u);  // the drive's root
  EXPECT_EQ(ports.fs.ProbeMakeDirIn(dir + "\\file.txt"), platform::err::kDirectory);
  EXPECT_NE(ports.fs.ProbeMakeDirIn(dir + "\\missing"), 0u);
  EXPECT_NE(ports.fs.ProbeMakeDirIn(dir + "\\missing\\deeper"), 0u);
  EXPECT_FALSE(ports.fs.Attributes(dir + "\\new\\x"));
}

TEST_F(Contract, FilesWriteReadAndTruncate) {
  const std::string path = dir + "\\f.txt";
  {
    auto opened = ports.fs.Open(path, platform::OpenMode::kCreateExclusive);
    ASSERT_EQ(opened.error, 0u);
    EXPECT_EQ(opened.file->Write("first line\r\n"), 0u);
    EXPECT_EQ(opened.file->Close(), 0u);
  }
  {
    auto opened = ports.fs.Open(path, platform::OpenMode::kRewrite);
    ASSERT_EQ(opened.error, 0u);
    EXPECT_EQ(opened.file->Write("second"), 0u);
  }
  auto reader = ports.fs.Open(path, platform::OpenMode::kRead);
  ASSERT_EQ(reader.error, 0u);
  std::string bytes;
  EXPECT_EQ(reader.file->ReadAll(bytes), 0u);
  EXPECT_EQ(bytes, "second");
  // A new file only: one that is there is neither opened nor touched.
  EXPECT_EQ(ports.fs.Open(path, platform::OpenMode::kCreateNew).error, platform::err::kFileExists);
  {
    auto fresh = ports.fs.Open(dir + "\\new.txt", platform::OpenMode::kCreateNew);
    ASSERT_EQ(fresh.error, 0u);
    EXPECT_EQ(fresh.file->Write("new"), 0u);
  }
  reader = ports.fs.Open(path, platform::OpenMode::kRead);
  ASSERT_EQ(reader.error, 0u);
  EXPECT_EQ(reader.file->ReadAll(bytes), 0u);
  EXPECT_EQ(bytes, "second");
  EXPECT_EQ(ports.fs.Open(dir + "\\missing.txt", platform::OpenMode::kRead).error,
            platform::err::kFileNotFound);
  EXPECT_EQ(ports.fs.Open(dir + "\\nofolder\\x.txt", platform::OpenMode::kRewrite).error,
            platform::err::kPathNotFound);
  EXPECT_EQ(ports.fs.Open(dir, platform::OpenMode::kRewrite).error, platform::err::kAccessDenied);
}

TEST_F(Contract, WritingAReadOnlyFileFails) {
  SKIP_ON_WINE("Wine run as root opens read-only files for writing");
  machine->MakeFile(dir + "\\ro.txt", "keep", kReadOnly);
  EXPECT_EQ(ports.fs.Open(dir + "\\ro.txt", platform::OpenMode::kRewrite).error,
            platform::err::kAccessDenied);
}

TEST_F(Contract, EnvironmentNamesIgnoreCase) {
  machine->SetEnv("QuenkContractVar", "C:\\Some Folder");
  EXPECT_EQ(ports.fs.Env("QUENKCONTRACTVAR"), "C:\\Some Folder");
  EXPECT_EQ(ports.fs.Env("quenkcontractvar"), "C:\\Some Folder");
  EXPECT_FALSE(ports.fs.Env("QuenkContractUnset"));
  EXPECT_EQ(ports.fs.EnvOrEmpty("QuenkContractUnset"), "");
}

TEST_F(Contract, CurrentFolderAndProgramPath) {
  machine->SetCurrentDir(dir);
  EXPECT_TRUE(EqualsNoCase(ports.fs.CurrentDir(), dir));
  const std::string module = ports.fs.ModulePath();
  ASSERT_GT(module.size(), 4u);
  EXPECT_TRUE(EqualsNoCase(module.substr(module.size() - 4), ".exe"));
}

TEST_F(Contract, FolderLinkIsListedAsFolderAndReparsePoint) {
  const auto links = machine->MakeLinkTree();
  auto search = ports.fs.Find(links.tree + "\\link", 63);
  platform::FindEntry e;
  ASSERT_TRUE(search->Next(e));
  EXPECT_EQ(e.attributes & (kDirectory | kReparsePoint), kDirectory | kReparsePoint);
  EXPECT_EQ(*ports.fs.Attributes(links.tree + "\\link") & kReparsePoint, kReparsePoint);
  // Listing through the link shows the target's contents.
  EXPECT_EQ(Names(links.tree + "\\link\\*.txt"), NameList{"keep.txt"});
}

TEST_F(Contract, RemovingAFolderLinkLeavesItsTarget) {
  SKIP_ON_WINE("Wine's RemoveDirectoryA acts on a symlink's target");
  const auto links = machine->MakeLinkTree();
  EXPECT_EQ(ports.fs.RemoveDir(links.tree + "\\link"), 0u);
  EXPECT_FALSE(ports.fs.Exists(links.tree + "\\link"));
  EXPECT_TRUE(ports.fs.Exists(links.outside + "\\keep.txt"));
}

std::string ReadAll(platform::FileSystem& fs, const std::string& path) {
  auto opened = fs.Open(path, platform::OpenMode::kRead);
  std::string bytes;
  if (opened.file) opened.file->ReadAll(bytes);
  return bytes;
}

// Times a test sets: whole seconds in 2021, far from anything the system writes itself.
constexpr platform::FileTimes kOld{132'539'328'000'000'000, 132'539'328'100'000'000,
                                   132'539'328'200'000'000};

TEST_F(Contract, CopyTakesBytesAttributesAndLastWriteTime) {
  const std::string bytes("MZ\0\x01\xff binary", 13);
  machine->MakeFile(dir + "\\src.dll", bytes);
  ASSERT_EQ(ports.fs.SetTimes(dir + "\\src.dll", kOld), 0u);
  ASSERT_EQ(ports.fs.SetAttributes(dir + "\\src.dll", kHidden | kSystem | kReadOnly), 0u);
  machine->MakeFile(dir + "\\other.txt", "other");
  machine->MakeFolder(dir + "\\folder");

  ASSERT_EQ(ports.fs.Copy(dir + "\\src.dll", dir + "\\copy.dll", true), 0u);
  EXPECT_EQ(ReadAll(ports.fs, dir + "\\copy.dll"), bytes);
  EXPECT_EQ(*ports.fs.Attributes(dir + "\\copy.dll") & (kHidden | kSystem | kReadOnly),
            kHidden | kSystem | kReadOnly);
  EXPECT_EQ(ports.fs.Times(dir + "\\copy.dll")->lastWrite, kOld.lastWrite);

  const struct {
    std::string from, to;
    bool failIfExists;
    std::uint32_t error;
  } cases[] = {
      {dir + "\\other.txt", dir + "\\copy.dll", true, platform::err::kFileExists},
      {dir + "\\missing.txt", dir + "\\x.txt", true, platform::err::kFileNotFound},
      {dir + "\\other.txt", dir + "\\nofolder\\x.txt", true, platform::err::kPathNotFound},
      {dir + "\\folder", dir + "\\x.txt", true, platform::err::kAccessDenied},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ports.fs.Copy(c.from, c.to, c.failIfExists), c.error) << c.from << " " << c.to;
  EXPECT_EQ(ReadAll(ports.fs, dir + "\\copy.dll"), bytes);  // never overwritten
  EXPECT_FALSE(ports.fs.Exists(dir + "\\x.txt"));

  machine->MakeFile(dir + "\\plain.txt", "old");
  EXPECT_EQ(ports.fs.Copy(dir + "\\other.txt", dir + "\\plain.txt", false), 0u);
  EXPECT_EQ(ReadAll(ports.fs, dir + "\\plain.txt"), "other");
}

TEST_F(Contract, HardLinkKeepsBytesAttributesAndTimesAfterTheFirstNameIsGone) {
  machine->MakeFile(dir + "\\src.dll", std::string("MZ\0\x01", 4));
  ASSERT_EQ(ports.fs.SetTimes(dir + "\\src.dll", kOld), 0u);
  ASSERT_EQ(ports.fs.SetAttributes(dir + "\\src.dll", kHidden | kSystem), 0u);
  machine->MakeFolder(dir + "\\folder");
  ASSERT_EQ(ports.fs.HardLink(dir + "\\src.dll", dir + "\\folder\\link.dll"), 0u);
  const struct {
    std::string existing, link;
    std::uint32_t error;
  } cases[] = {
      {dir + "\\src.dll", dir + "\\folder\\link.dll", platform::err::kAlreadyExists},
      {dir + "\\missing.dll", dir + "\\x.dll", platform::err::kFileNotFound},
      {dir + "\\src.dll", dir + "\\nofolder\\x.dll", platform::err::kPathNotFound},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ports.fs.HardLink(c.existing, c.link), c.error) << c.existing << " " << c.link;
  EXPECT_NE(ports.fs.HardLink(dir + "\\folder", dir + "\\x"), 0u);
  ASSERT_EQ(ports.fs.Delete(dir + "\\src.dll"), 0u);
  const std::string link = dir + "\\folder\\link.dll";
  EXPECT_EQ(ReadAll(ports.fs, link), std::string("MZ\0\x01", 4));
  EXPECT_EQ(*ports.fs.Attributes(link) & (kHidden | kSystem), kHidden | kSystem);
  EXPECT_EQ(ports.fs.Times(link)->lastWrite, kOld.lastWrite);
}

TEST_F(Contract, CopyOfAFileHeldOpenFailsWithSharingViolation) {
  machine->MakeFile(dir + "\\busy.sys", "busy");
  machine->HoldOpen(dir + "\\busy.sys");
  EXPECT_EQ(ports.fs.Copy(dir + "\\busy.sys", dir + "\\copy.sys", true),
            platform::err::kSharingViolation);
  EXPECT_FALSE(ports.fs.Exists(dir + "\\copy.sys"));
}

TEST_F(Contract, CopyAndTimesReachPathsBeyondMaxPath) {
  std::string deep = dir;
  while (deep.size() < 300) {
    deep += "\\abcdefghij";
    ASSERT_EQ(ports.fs.MakeDir(deep), 0u);
  }
  machine->MakeFile(dir + "\\f.txt", "far");
  ASSERT_EQ(ports.fs.Copy(dir + "\\f.txt", deep + "\\f.txt", true), 0u);
  ASSERT_TRUE(ports.fs.Attributes(deep + "\\f.txt"));
  ASSERT_EQ(ports.fs.Copy(deep + "\\f.txt", dir + "\\back.txt", true), 0u);
  EXPECT_EQ(ReadAll(ports.fs, dir + "\\back.txt"), "far");
  ASSERT_EQ(ports.fs.SetTimes(deep + "\\f.txt", kOld), 0u);
  EXPECT_EQ(ports.fs.Times(deep + "\\f.txt")->lastWrite, kOld.lastWrite);
  EXPECT_EQ(ports.fs.SetAttributes(deep + "\\f.txt", kHidden), 0u);
  EXPECT_EQ(*ports.fs.Attributes(deep + "\\f.txt") & kHidden, kHidden);
  // The test machine's own clean-up stops at MAX_PATH.
  EXPECT_EQ(ports.fs.Delete(deep + "\\f.txt"), 0u);
  for (std::string level = deep; level.size() > dir.size(); level.resize(level.rfind('\\')))
    EXPECT_EQ(ports.fs.RemoveDir(level), 0u) << level.size();
}

TEST_F(Contract, AttributesAndTimesAreSetOnFilesAndFolders) {
  machine->MakeFile(dir + "\\f.txt", "x");
  machine->MakeFolder(dir + "\\sub");
  const struct {
    std::string path;
    std::uint32_t attributes;
    std::uint32_t expected;
  } cases[] = {
      {dir + "\\f.txt", kReadOnly | kHidden | kSystem, kReadOnly | kHidden | kSystem},
      {dir + "\\f.txt", 0, 0},
      {dir + "\\f.txt", kHidden | kDirectory | kReparsePoint, kHidden},  // fixed bits stay
      {dir + "\\sub", kHidden, kDirectory | kHidden},
      {dir + "\\sub", 0, kDirectory},
  };
  constexpr std::uint32_t kLooked = kReadOnly | kHidden | kSystem | kDirectory | kReparsePoint;
  for (const auto& c : cases) {
    ASSERT_EQ(ports.fs.SetAttributes(c.path, c.attributes), 0u) << c.path;
    EXPECT_EQ(*ports.fs.Attributes(c.path) & kLooked, c.expected) << c.path << " " << c.attributes;
  }
  EXPECT_EQ(ports.fs.SetAttributes(dir + "\\missing", kHidden), platform::err::kFileNotFound);

  // Times are set on a read-only file too, and a zero leaves a time as it is.
  ASSERT_EQ(ports.fs.SetAttributes(dir + "\\f.txt", kReadOnly), 0u);
  for (const std::string& path : {dir + "\\f.txt", dir + "\\sub"}) {
    ASSERT_EQ(ports.fs.SetTimes(path, kOld), 0u) << path;
    auto t = ports.fs.Times(path);
    ASSERT_TRUE(t) << path;
    EXPECT_EQ(t->lastWrite, kOld.lastWrite) << path;
    EXPECT_EQ(t->lastAccess, kOld.lastAccess) << path;
    ASSERT_EQ(ports.fs.SetTimes(path, {0, 0, kOld.lastWrite + 10'000'000}), 0u);
    t = ports.fs.Times(path);
    EXPECT_EQ(t->lastWrite, kOld.lastWrite + 10'000'000) << path;
    EXPECT_EQ(t->lastAccess, kOld.lastAccess) << path;
  }
  EXPECT_FALSE(ports.fs.Times(dir + "\\missing"));
  EXPECT_NE(ports.fs.SetTimes(dir + "\\missing", kOld), 0u);
}

TEST_F(Contract, FileWithoutAttributesIsReportedNormal) {
  SKIP_ON_WINE("Wine reports the archive bit on every file that has no other");
  machine->MakeFile(dir + "\\f.txt", "x", kHidden);
  ASSERT_EQ(ports.fs.SetAttributes(dir + "\\f.txt", 0), 0u);
  EXPECT_EQ(ports.fs.Attributes(dir + "\\f.txt"), platform::attr::kNormal);
  ASSERT_EQ(ports.fs.SetAttributes(dir + "\\f.txt", 0x20), 0u);
  EXPECT_EQ(ports.fs.Attributes(dir + "\\f.txt"), 0x20u);
}

TEST_F(Contract, CreationTimeIsKeptApart) {
  SKIP_ON_WINE("Wine keeps no creation time of its own: it reports the last-write time");
  machine->MakeFile(dir + "\\f.txt", "x");
  ASSERT_EQ(ports.fs.SetTimes(dir + "\\f.txt", kOld), 0u);
  EXPECT_EQ(ports.fs.Times(dir + "\\f.txt")->creation, kOld.creation);
}

TEST_F(Contract, ListingCarriesTheTimesOfEachEntry) {
  machine->MakeFile(dir + "\\f.txt", "x");
  ASSERT_EQ(ports.fs.SetTimes(dir + "\\f.txt", kOld), 0u);
  auto search = ports.fs.Find(dir + "\\f.txt", 63);
  platform::FindEntry e;
  ASSERT_TRUE(search->Next(e));
  EXPECT_EQ(e.times, *ports.fs.Times(dir + "\\f.txt"));
  EXPECT_EQ(e.times.lastWrite, kOld.lastWrite);
}

TEST_F(Contract, AppendWritesAtTheEndAndMakesAMissingFile) {
  const std::string path = dir + "\\log.txt";
  for (const char* part : {"one\r\n", "two\r\n"}) {
    auto opened = ports.fs.Open(path, platform::OpenMode::kAppend);
    ASSERT_EQ(opened.error, 0u);
    EXPECT_EQ(opened.file->Write(part), 0u);
    EXPECT_EQ(opened.file->Close(), 0u);
  }
  EXPECT_EQ(ReadAll(ports.fs, path), "one\r\ntwo\r\n");
  EXPECT_EQ(ports.fs.Open(dir + "\\nofolder\\x.txt", platform::OpenMode::kAppend).error,
            platform::err::kPathNotFound);
}

TEST_F(Contract, LinksAreMadeToFoldersAndFiles) {
  SKIP_ON_WINE("Wine cannot make symbolic links from Win32");
  machine->MakeFile(dir + "\\target\\keep.txt", "keep");
  const std::uint32_t made = ports.fs.MakeLink(dir + "\\link", dir + "\\target", true);
  if (made == 1314) GTEST_SKIP() << "no privilege to make symbolic links here";
  ASSERT_EQ(made, 0u);
  EXPECT_EQ(*ports.fs.Attributes(dir + "\\link") & (kDirectory | kReparsePoint),
            kDirectory | kReparsePoint);
  EXPECT_EQ(ReadAll(ports.fs, dir + "\\link\\keep.txt"), "keep");
  ASSERT_EQ(ports.fs.MakeLink(dir + "\\file.lnk", dir + "\\target\\keep.txt", false), 0u);
  EXPECT_EQ(*ports.fs.Attributes(dir + "\\file.lnk") & (kDirectory | kReparsePoint), kReparsePoint);
  EXPECT_EQ(ReadAll(ports.fs, dir + "\\file.lnk"), "keep");
  EXPECT_NE(ports.fs.MakeLink(dir + "\\link", dir + "\\target", true), 0u);
}

// A long name the code page cannot spell: given by the wide rename, listed
// under "?" with a short name that reaches it, found again by its UTF-8 name.
TEST_F(Contract, NamesOutsideTheCodePageGoThroughTheWideCalls) {
  auto& fs = ports.fs;
  const std::string beetle = "\xd0\x96\xd1\x83\xd0\xba.txt", folder =
                                                                 "\xd0\x96"
                                                                 "dir";
  machine->MakeFile(dir + "\\a.txt", "bytes");
  machine->MakeFolder(dir + "\\sub");
  machine->MakeFile(dir + "\\taken.txt");
  ASSERT_EQ(fs.SetTimes(dir + "\\a.txt", kOld), 0u);
  ASSERT_EQ(fs.SetAttributes(dir + "\\a.txt", kHidden), 0u);
  ASSERT_EQ(fs.Rename(dir + "\\a.txt", beetle), 0u);
  ASSERT_EQ(fs.Rename(dir + "\\sub", folder), 0u);

  std::map<std::string, std::string> shortNames;
  auto search = fs.Find(dir + "\\*", 63);
  for (platform::FindEntry e; search->Next(e);) shortNames[e.name] = e.shortName;
  ASSERT_EQ(shortNames.count("???.txt"), 1u);
  ASSERT_EQ(shortNames.count("?dir"), 1u);
  const std::string file = dir + "\\" + shortNames["???.txt"],
                    sub = dir + "\\" + shortNames["?dir"];
  ASSERT_FALSE(shortNames["???.txt"].empty());
  EXPECT_EQ(ReadAll(fs, file), "bytes");
  EXPECT_EQ(fs.Times(file)->lastWrite, kOld.lastWrite);
  EXPECT_EQ(*fs.Attributes(file) & kHidden, kHidden);

  const struct {
    std::string path;
    std::optional<std::string> ansi, utf8;
  } names[] = {
      {file, "???.txt", beetle},
      {sub, "?dir", folder},
      {dir + "\\taken.txt", "taken.txt", "taken.txt"},
      {dir + "\\missing.txt", std::nullopt, std::nullopt},
  };
  for (const auto& n : names) {
    const auto got = fs.LongNameOf(n.path);
    EXPECT_EQ(got ? std::optional(got->ansi) : std::nullopt, n.ansi) << n.path;
    EXPECT_EQ(got ? std::optional(got->utf8) : std::nullopt, n.utf8) << n.path;
  }
  const struct {
    std::string leaf;
    std::optional<std::uint32_t> directory;
  } lookups[] = {
      {beetle, 0}, {folder, kDirectory}, {"taken.txt", 0}, {"\xd0\x96\xd0\xb8\xd1\x80.txt", {}}};
  for (const auto& l : lookups) {
    const auto a = fs.AttributesIn(dir, l.leaf);
    EXPECT_EQ(a ? std::optional(*a & kDirectory) : std::nullopt, l.directory) << l.leaf;
  }

  const struct {
    std::string path, leaf;
    std::uint32_t error;
  } renames[] = {
      {dir + "\\taken.txt", beetle, platform::err::kAlreadyExists},
      {dir + "\\missing.txt", "x.txt", platform::err::kFileNotFound},
      {dir + "\\taken.txt", "a\\b.txt", platform::err::kInvalidName},
      {file, "back.txt", 0},
  };
  for (const auto& r : renames) EXPECT_EQ(fs.Rename(r.path, r.leaf), r.error) << r.leaf;
  EXPECT_EQ(ReadAll(fs, dir + "\\back.txt"), "bytes");
  EXPECT_FALSE(fs.AttributesIn(dir, beetle));
  EXPECT_EQ(fs.Times(dir + "\\back.txt")->lastWrite, kOld.lastWrite);
}

}  // namespace
}  // namespace quenk::test
