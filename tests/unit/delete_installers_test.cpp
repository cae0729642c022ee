#include "SimFixture.h"

namespace quenk::test {
namespace {

namespace attr = platform::attr;
const std::string kIs = "C:\\Program Files\\InstallShield Installation Information\\";

class RemoveInstallerFoldersTest : public SimFixture {
 protected:
  void Folder(const std::string& name, const std::string& setupIni, std::uint32_t attributes = 0) {
    machine.fs.AddFile(kIs + name + "\\setup.exe");
    if (!setupIni.empty()) machine.fs.AddFile(kIs + name + "\\setup.ini", setupIni);
    if (attributes) machine.fs.Node(kIs + name)->attributes |= attributes;
  }
  static std::string Company(const std::string& name) {
    return "[Startup]\r\nCompanyName=" + name + "\r\n";
  }
};

TEST_F(RemoveInstallerFoldersTest, CompanyPrefixDecidesWithCaseAndLength) {
  Folder("{A-FULL}", Company("Realtek Semiconductor Corp."));
  Folder("{B-EXACT}", Company("Realtek"));
  Folder("{C-CAPS}", Company("REALTEK SEMICONDUCTOR"));
  Folder("{D-SHORT}", Company("Realte"));
  Folder("{E-NOINI}", "");
  Folder("{F-HIDDEN}", Company("Realtek"), attr::kHidden);
  Folder("{G-SYSTEM}", Company("Realtek"), attr::kSystem);
  Folder("{H-OTHERSECTION}", "[Setup]\r\nCompanyName=Realtek\r\n");
  Folder("{I-LOWERKEY}", "[startup]\r\ncompanyname = Realtek Audio\r\n");
  machine.fs.AddFile(kIs + "Realtek", "a plain file named like the company");

  remover.RemoveInstallerFolders(kIs, "Realtek");

  EXPECT_EQ(Deleted(), (Lines{kIs + "{A-FULL}", kIs + "{B-EXACT}", kIs + "{I-LOWERKEY}"}));
  EXPECT_TRUE(NotDeleted().empty());
  EXPECT_EQ(machine.fs.List(kIs), (Lines{"Realtek", "{C-CAPS}", "{D-SHORT}", "{E-NOINI}",
                                         "{F-HIDDEN}", "{G-SYSTEM}", "{H-OTHERSECTION}"}));
  EXPECT_EQ(progress.steps, 0);
}

TEST_F(RemoveInstallerFoldersTest, BadSetupIniFilesReadAsNoCompany) {
  Folder("{EMPTY}", "");
  machine.fs.AddFile(kIs + "{EMPTY}\\setup.ini", "");
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7 % 256);
  Folder("{BINARY}", binary);
  Folder("{INUSE}", Company("Realtek"));
  machine.fs.Node(kIs + "{INUSE}\\setup.ini")->inUse = true;
  // Several megabytes of lines before the key: still read.
  std::string huge = "[Startup]\r\n";
  while (huge.size() < 4'000'000) huge += "Filler=" + std::string(60, 'z') + "\r\n";
  Folder("{HUGE}", huge + "CompanyName=Realtek\r\n");

  remover.RemoveInstallerFolders(kIs, "Realtek");
  EXPECT_EQ(Deleted(), Lines{kIs + "{HUGE}"});
  EXPECT_TRUE(Exists(kIs + "{BINARY}") && Exists(kIs + "{EMPTY}") && Exists(kIs + "{INUSE}"));
}

TEST_F(RemoveInstallerFoldersTest, PartlyRemovedFolderIsRecordedAsNotDeleted) {
  Folder("{RO}", Company("Creative Technology Ltd"));
  machine.fs.AddFile(kIs + "{RO}\\data\\locked.cab", "", attr::kReadOnly);
  remover.RemoveInstallerFolders(kIs, "Creative");
  EXPECT_EQ(NotDeleted(), Lines{kIs + "{RO}"});
  EXPECT_EQ(machine.fs.List(kIs + "{RO}"), Lines{"data"});
}

TEST_F(RemoveInstallerFoldersTest, MatchingLinkGoesItsTargetStays) {
  machine.fs.AddFile("C:\\Data\\setup.ini", Company("Creative Labs"));
  machine.fs.AddFile("C:\\Data\\precious.doc");
  machine.fs.AddLink(kIs + "{LINK}", "C:\\Data", true);
  remover.RemoveInstallerFolders(kIs, "Creative");
  EXPECT_EQ(Deleted(), Lines{kIs + "{LINK}"});
  EXPECT_TRUE(Exists("C:\\Data\\precious.doc"));
  EXPECT_TRUE(Exists("C:\\Data\\setup.ini"));
}

// The system drops a trailing dot: "{A}." is reached only literally, or
// its setup.ini is read from "{A}" and "{A}" goes in its place.
TEST_F(RemoveInstallerFoldersTest, NameEndingInADotIsItsOwnFolder) {
  Folder("{A}", Company("Other Inc."));
  machine.fs.AddFile("\\\\?\\" + kIs + "{A}.\\setup.ini", Company("Creative Technology Ltd"));
  remover.RemoveInstallerFolders(kIs, "Creative");
  EXPECT_EQ(Deleted(), Lines{kIs + "{A}."});
  EXPECT_EQ(machine.fs.List(kIs), Lines{"{A}"});
}

TEST_F(RemoveInstallerFoldersTest, MissingFolderDoesNothing) {
  remover.RemoveInstallerFolders("C:\\Nowhere\\", "Creative");
  remover.RemoveInstallerFolders("\\InstallShield Installation Information\\", "Creative");
  EXPECT_TRUE(Deleted().empty() && NotDeleted().empty());
}

}  // namespace
}  // namespace quenk::test
