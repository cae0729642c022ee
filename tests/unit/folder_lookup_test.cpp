#include "ProfileFixture.h"

#include "profiles/FolderLookup.h"

namespace quenk::test {
namespace {

using platform::kLocalMachine;
namespace regtype = platform::regtype;

class FolderLookup : public ProfileFixture {};

TEST_F(FolderLookup, ReadFolderValueByType) {
  const std::string key = "Software\\Vendor";
  const struct {
    std::uint32_t type;
    std::string data;
    std::string expected;
    bool throws;
  } cases[] = {
      {regtype::kString, std::string("C:\\A\0", 5), "C:\\A", false},
      {regtype::kString, std::string("C:\\A\0junk\0", 10), "C:\\A", false},
      {regtype::kString, "C:\\NoNul", "C:\\NoNul", false},
      {regtype::kExpandString, std::string("%SystemRoot%\\x\0", 15), "%SystemRoot%\\x", false},
      {regtype::kString, "", "", false},
      {regtype::kDword, "", "", false},
      {regtype::kDword, std::string("\x05\0\0\0", 4), "", true},
      {regtype::kBinary, "C:\\", "", true},
      {regtype::kMultiString, std::string("C:\\A\0\0", 6), "", true},
  };
  for (const auto& c : cases) {
    machine.registry.SetValue(kLocalMachine, key, "InstallDir", c.type, c.data);
    if (c.throws) {
      try {
        profiles::ReadFolderValue(machine.registry, key, "InstallDir");
        ADD_FAILURE() << "type " << c.type;
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'InstallDir'");
      }
    } else {
      EXPECT_EQ(profiles::ReadFolderValue(machine.registry, key, "InstallDir"), c.expected)
          << c.type;
    }
  }
  EXPECT_EQ(profiles::ReadFolderValue(machine.registry, key, "Other"), "");
  EXPECT_EQ(profiles::ReadFolderValue(machine.registry, "Software\\Missing", "InstallDir"), "");
  machine.registry.Find(kLocalMachine, key)->denyFullAccess = true;
  EXPECT_EQ(profiles::ReadFolderValue(machine.registry, key, "InstallDir"), "");
  EXPECT_EQ(machine.registry.OpenHandles(), 0u);
}

TEST_F(FolderLookup, ProtectedFolders) {
  machine.fs.AddFolder("C:\\Program Files\\ATI Technologies");
  machine.fs.AddFolder("D:\\Data");
  const struct {
    const char* path;
    bool refused;
  } cases[] = {
      {"C:", true},
      {"C:\\", true},
      {"c:\\\\", true},
      {"D:\\", true},
      {"\\", true},
      {"\\\\server\\share", true},
      {"\\\\server\\share\\", true},
      {"\\\\server", true},
      {"\\\\?\\C:\\", true},
      {"C:\\Windows", true},
      {"c:\\windows\\", true},
      {"C:/Windows", true},
      {"C:\\Windows.", true},
      {"\\\\?\\C:\\WINDOWS", true},
      {"C:\\Windows\\System32", true},
      {"C:\\Windows\\SysWOW64", true},
      {"C:\\Program Files", true},
      {"C:\\PROGRA~1", true},
      {"C:\\Program Files (x86)", true},
      {"C:\\Users", true},
      {"C:\\Users\\tech", true},
      {"C:\\Users\\Public", true},
      {"C:\\ProgramData", true},
      {"C:\\Program Files\\ATI\\..\\..", true},
      {"C:\\Program Files\\.\\ATI", true},
      {"Windows", true},
      {"C:Windows", true},
      {"\\Windows", true},
      {"", true},
      {"C:\\Program Files\\ATI Technologies", false},
      {"C:\\PROGRA~1\\ATI Technologies", false},
      {"C:\\ATI\\Support", false},
      {"C:\\Windows\\Help\\nvcpl", false},
      {"C:\\Users\\tech\\Documents\\Driver", false},
      {"D:\\Data", false},
      {"\\\\server\\share\\drivers", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(profiles::IsProtectedFolder(machine.fs, c.path), c.refused) << c.path;
}

TEST_F(FolderLookup, ProtectionFollowsTheEnvironment) {
  machine.fs.SetEnv("SYSTEMROOT", "D:\\OS\\Win");
  machine.fs.AddFolder("D:\\OS\\Win\\System32");
  EXPECT_TRUE(profiles::IsProtectedFolder(machine.fs, "D:\\OS"));
  EXPECT_TRUE(profiles::IsProtectedFolder(machine.fs, "d:\\os\\win\\system32"));
  EXPECT_FALSE(profiles::IsProtectedFolder(machine.fs, "C:\\Windows\\Temp"));
}

TEST_F(FolderLookup, RefusedFolderIsRecordedOnceAndLeftWhole) {
  profiles::RemoveRegisteredFolder(ctx, "C:\\Windows");
  profiles::RemoveRegisteredFolder(ctx, "C:\\Missing");
  EXPECT_EQ(NotDeleted(), Lines{"C:\\Windows"});
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(Exists("C:\\Windows\\System32\\kernel32.dll"));
}

}  // namespace
}  // namespace quenk::test
