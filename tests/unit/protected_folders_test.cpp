#include "ForwardingFileSystem.h"
#include "ProfileFixture.h"

#include "profiles/FolderLookup.h"
#include "profiles/ProtectedFolders.h"

namespace quenk::test {
namespace {

using platform::kLocalMachine;
using platform::SystemFolder;

constexpr const char* kProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// A Windows 10 machine with the links, drive letters and shares that a
// hostile registry value could use to reach what must never be removed.
class ProtectedFoldersTest : public ProfileFixture {
 protected:
  ProtectedFoldersTest() {
    auto& fs = machine.fs;
    const struct {
      SystemFolder folder;
      const char* path;
    } system[] = {
        {SystemFolder::kWindows, "C:\\Windows"},
        {SystemFolder::kSystem, "C:\\Windows\\System32"},
        {SystemFolder::kSystemWow64, "C:\\Windows\\SysWOW64"},
        {SystemFolder::kProgramFiles, "C:\\Program Files"},
        {SystemFolder::kProgramFilesX86, "C:\\Program Files (x86)"},
        {SystemFolder::kCommonFiles, "C:\\Program Files\\Common Files"},
        {SystemFolder::kProgramData, "C:\\ProgramData"},
        {SystemFolder::kProfile, "C:\\Users\\tech"},
        {SystemFolder::kDocuments, "C:\\Users\\tech\\Documents"},
        {SystemFolder::kAppData, "C:\\Users\\tech\\AppData\\Roaming"},
    };
    for (const auto& s : system) fs.SetSystemFolder(s.folder, s.path);
    // Every protected folder holds something precious.
    for (const char* precious :
         {"C:\\Windows\\explorer.exe", "C:\\Windows\\System32\\drivers\\disk.sys",
          "C:\\Windows\\SysWOW64\\kernel32.dll", "C:\\Program Files\\Common Files\\x.dll",
          "C:\\Users\\tech\\Documents\\thesis.doc", "C:\\Users\\tech\\Downloads\\photo.jpg",
          "C:\\Users\\tech\\AppData\\Local\\mail.pst", "C:\\Users\\other\\Desktop\\notes.txt",
          "C:\\Users\\Default\\NTUSER.DAT", "C:\\Users\\Public\\Music\\song.mp3",
          "C:\\ProgramData\\licence.dat", "F:\\Profiles\\far\\Documents\\far.doc",
          "E:\\Data\\Vendor\\old.dll", "C:\\Program Files\\ATI Technologies\\ati.dll"})
      fs.AddFile(precious, "precious");
    fs.AddLink("C:\\W", "C:\\Windows", true);
    fs.AddLink("C:\\Documents and Settings", "C:\\Users", true);
    fs.AddLink("C:\\L\\drv", "C:\\Windows\\System32\\drivers", true);
    fs.AddLink("C:\\L\\ati", "C:\\Program Files\\ATI Technologies", true);
    fs.AddDriveAlias('D', 'C');
    fs.AddShare("\\\\localhost\\c$", "C:\\");
    auto& reg = machine.registry;
    reg.SetString(kLocalMachine, kProfileList, "ProfilesDirectory", "%SystemDrive%\\Users",
                  platform::regtype::kExpandString);
    reg.SetString(kLocalMachine, kProfileList, "Default", "%SystemDrive%\\Users\\Default",
                  platform::regtype::kExpandString);
    reg.SetString(kLocalMachine, std::string(kProfileList) + "\\S-1-5-21-1", "ProfileImagePath",
                  "C:\\Users\\tech", platform::regtype::kExpandString);
    reg.SetString(kLocalMachine, std::string(kProfileList) + "\\S-1-5-21-2", "ProfileImagePath",
                  "F:\\Profiles\\far", platform::regtype::kExpandString);
  }
};

TEST_F(ProtectedFoldersTest, ComparesFoldersNotSpellings) {
  const struct {
    const char* path;
    bool refused;
  } cases[] = {
      // Reached through links, other drive letters, shares, short and odd spellings.
      {"C:\\W\\system32", true},
      {"C:\\W", true},
      {"C:\\Documents and Settings\\tech", true},
      {"D:\\Windows", true},
      {"\\\\localhost\\c$\\Windows", true},
      {"\\\\?\\UNC\\localhost\\c$\\windows\\SYSTEM32", true},
      {"C:\\L\\drv", true},
      {"d:\\program files\\COMMON~1", true},
      // Everything inside the Windows folder.
      {"C:\\Windows\\System32\\drivers", true},
      {"C:\\Windows\\Help", true},
      // Profiles, from the profiles folder and from the profile list, and their known folders.
      {"C:\\Users", true},
      {"C:\\Users\\other", true},
      {"C:\\Users\\Default", true},
      {"C:\\Users\\Public", true},
      {"C:\\Users\\tech\\Documents", true},
      {"D:\\Users\\tech\\Downloads", true},
      {"C:\\Users\\tech\\AppData\\Local", true},
      {"F:\\Profiles", true},
      {"F:\\Profiles\\far\\Documents", true},
      {"C:\\Program Files\\Common Files", true},
      {"C:\\ProgramData", true},
      {"C:\\Users\\tech\\Favorites", true},
      {"C:\\Users\\other\\AppData\\LocalLow", true},
      {"C:\\Program Files (x86)\\Common Files\\System", true},
      {"C:\\Program Files\\Common Files\\Vendor", false},
      // Roots.
      {"D:\\", true},
      {"E:\\", true},
      {"\\\\localhost\\c$", true},
      // What installers really leave.
      {"C:\\Program Files\\ATI Technologies", false},
      {"D:\\Program Files\\ATI Technologies", false},
      {"C:\\L\\ati", false},
      {"E:\\Data\\Vendor", false},
      {"C:\\Users\\tech\\Documents\\Driver", false},
      {"C:\\Users\\tech\\AppData\\Local\\Realtek", false},
      // Cannot be opened: the name decides.
      {"C:\\Missing\\Vendor", false},
  };
  machine.fs.AddFolder("C:\\Users\\tech\\Documents\\Driver");
  machine.fs.AddFolder("C:\\Users\\tech\\AppData\\Local\\Realtek");
  machine.fs.AddFolder("C:\\Windows\\Help");
  for (const char* folder :
       {"C:\\Users\\tech\\Favorites", "C:\\Users\\other\\AppData\\LocalLow",
        "C:\\Program Files (x86)\\Common Files\\System", "C:\\Program Files\\Common Files\\Vendor"})
    machine.fs.AddFolder(folder);
  profiles::ProtectedFolders guard(machine.fs, machine.registry);
  for (const auto& c : cases) EXPECT_EQ(guard.Refuses(c.path), c.refused) << c.path;
}

TEST_F(ProtectedFoldersTest, RefusedValueIsRecordedAndEverythingBehindItStays) {
  for (const char* path : {"C:\\W\\system32", "C:\\Documents and Settings\\tech", "D:\\windows",
                           "\\\\localhost\\c$\\windows", "C:\\Users\\other", "C:\\Users\\Default",
                           "C:\\Users\\tech\\Documents", "C:\\Windows\\System32\\drivers",
                           "C:\\Program Files\\Common Files", "F:\\Profiles\\far"}) {
    record.Clear();
    profiles::RemoveRegisteredFolder(ctx, path);
    EXPECT_EQ(NotDeleted(), Lines{path});
    EXPECT_EQ(record.Reason(0), "a protected folder");
    EXPECT_TRUE(Deleted().empty()) << path;
  }
  for (const char* precious :
       {"C:\\Windows\\System32\\drivers\\disk.sys", "C:\\Users\\tech\\Documents\\thesis.doc",
        "C:\\Users\\other\\Desktop\\notes.txt", "C:\\Users\\Default\\NTUSER.DAT",
        "C:\\Program Files\\Common Files\\x.dll", "F:\\Profiles\\far\\Documents\\far.doc"})
    EXPECT_EQ(machine.fs.ReadFile(precious), "precious") << precious;

  record.Clear();
  profiles::RemoveRegisteredFolder(ctx, "C:\\L\\ati");  // a link goes as a link
  profiles::RemoveRegisteredFolder(ctx, "E:\\Data\\Vendor");
  EXPECT_EQ(Deleted(), (Lines{"C:\\L\\ati", "E:\\Data\\Vendor"}));
  EXPECT_TRUE(Exists("C:\\Program Files\\ATI Technologies\\ati.dll"));
}

// Gathering opens every protected folder: a run does it once, however many
// folders its registry values name.
TEST_F(ProtectedFoldersTest, GatheredOncePerRun) {
  struct Counting : ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    int asked = 0;
    std::string SystemFolderPath(platform::SystemFolder f) override {
      ++asked;
      return ForwardingFileSystem::SystemFolderPath(f);
    }
  } fs(machine.fs);
  profiles::ProfileContext run{fs, machine.registry, remover};
  profiles::RemoveRegisteredFolder(run, "C:\\W\\system32");
  const int once = fs.asked;
  EXPECT_GT(once, 0);
  profiles::RemoveRegisteredFolder(run, "C:\\Users\\other");
  profiles::RemoveRegisteredFolder(run, "E:\\Data\\Vendor");
  EXPECT_EQ(fs.asked, once);
  EXPECT_EQ(NotDeleted(), (Lines{"C:\\W\\system32", "C:\\Users\\other"}));
  EXPECT_EQ(Deleted(), Lines{"E:\\Data\\Vendor"});
}

TEST_F(ProtectedFoldersTest, ParentsOfPaths) {
  const struct {
    const char* path;
    Lines parents;
  } cases[] = {
      {"C:\\a\\b", {"C:\\a", "C:\\"}},
      {"C:\\a\\", {"C:\\"}},
      {"C:\\", {}},
      {"\\\\srv\\share\\a\\b", {"\\\\srv\\share\\a", "\\\\srv\\share"}},
      {"\\\\srv\\share", {}},
      {"relative\\path", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(profiles::ParentsOf(c.path), c.parents) << c.path;
}

}  // namespace
}  // namespace quenk::test
