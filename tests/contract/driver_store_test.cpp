#include "Contract.h"

#include "backup/Restore.h"
#include "backup/RunBackup.h"
#include "engine/Delete.h"
#include "platform/DriverStore.h"

#include <optional>

namespace quenk::test {
namespace {

constexpr const char* kNvidiaInf =
    "[Version]\r\n"
    "Signature=\"$Windows NT$\"\r\n"
    "Provider=%P%\r\n"
    "Class=Display\r\n"
    "DriverVer=06/21/2024,32.0.15.6070\r\n"
    "CatalogFile=%CAT%\r\n"
    "\r\n"
    "[SourceDisksFiles]\r\n"
    "nvlddmkm.sys = 1 ; the kernel driver\r\n"
    "nvapi64.dll = 1\r\n"
    "\r\n"
    "[SourceDisksFiles.amd64]\r\n"
    "nvdisps.dll=1\r\n"
    "\r\n"
    "[Strings]\r\n"
    "P=\"NVIDIA\"\r\n"
    "CAT=nv_disp.cat\r\n";

std::string StageInf(const std::string& provider) {
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nProvider=" + provider +
         "\r\nClass=Media\r\nDriverVer=01/02/2025,1.2.3.4\r\n\r\n[SourceDisksFiles]\r\n"
         "rtkvhd64.sys=1\r\n";
}

class DriverStoreContract : public Contract {
 protected:
  std::string infFolder = ports.fs.EnvOrEmpty("SYSTEMROOT") + "\\inf";
  std::vector<std::string> made;  // published infs the test leaves behind otherwise

  ~DriverStoreContract() override {
    for (const std::string& path : made) {
      ports.fs.Delete(path);
      ports.fs.Delete(platform::PnfOf(path));
    }
  }

  std::string MakeOem(const std::string& name, const std::string& content) {
    const std::string path = infFolder + "\\" + name;
    machine->MakeFile(path, content);
    made.push_back(path);
    return path;
  }

  std::optional<platform::DriverPackage> Listed(const std::string& published) {
    for (auto& p : ports.drivers->Packages())
      if (EqualsNoCase(p.published, published)) return p;
    return std::nullopt;
  }

  std::string Stage(const std::string& source) {
    std::string published;
    EXPECT_EQ(0u, ports.drivers->Stage(source, published)) << source;
    if (!published.empty()) made.push_back(infFolder + "\\" + published);
    return published;
  }
};

TEST_F(DriverStoreContract, ListsAPackageWithItsVersionEntriesStringsExpanded) {
  MakeOem("oem9401.inf", kNvidiaInf);
  const auto p = Listed("oem9401.inf");
  ASSERT_TRUE(p);
  EXPECT_TRUE(EqualsNoCase(infFolder + "\\oem9401.inf", p->infPath)) << p->infPath;
  EXPECT_EQ("NVIDIA", p->provider);
  EXPECT_EQ("Display", p->className);
  EXPECT_EQ("06/21/2024,32.0.15.6070", p->driverVer);
  EXPECT_EQ("nv_disp.cat", p->catalog);
  EXPECT_EQ((std::vector<std::string>{"nvlddmkm.sys", "nvapi64.dll", "nvdisps.dll"}), p->files);
  EXPECT_EQ("", p->problem);
  // Only published packages: another inf of the folder is the system's own.
  MakeOem("quenk_notoem.inf", kNvidiaInf);
  EXPECT_FALSE(Listed("quenk_notoem.inf"));
}

TEST_F(DriverStoreContract, HostileInfsAreListedWithAProblemAndNoProvider) {
  std::string huge = StageInf("Big") + "\r\n[Filler]\r\n";
  while (huge.size() < 10u << 20) huge += "line = with, several, fields ; and a comment\r\n";
  const struct {
    const char* name;
    std::string content;
    const char* provider;
  } cases[] = {
      {"oem9411.inf", std::string("\x00\x01\xff\xfe garbage \x00[\x00", 16), ""},
      {"oem9412.inf", "", ""},
      {"oem9413.inf", "[Strings]\r\nP=NVIDIA\r\n[SourceDisksFiles]\r\nnvlddmkm.sys=1\r\n", ""},
      {"oem9414.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Display\r\n", ""},
      {"oem9415.inf", huge, "Big"},
  };
  for (const auto& c : cases) MakeOem(c.name, c.content);
  for (const auto& c : cases) {
    const auto p = Listed(c.name);
    ASSERT_TRUE(p) << c.name;
    EXPECT_EQ(c.provider, p->provider) << c.name;
    EXPECT_EQ(*c.provider == '\0', !p->problem.empty()) << c.name << ": " << p->problem;
  }
}

TEST_F(DriverStoreContract, AProviderTokenThatDoesNotResolveCannotBeMatched) {
  MakeOem("oem9416.inf",
          "[Version]\r\nSignature=\"$Windows NT$\"\r\nProvider=%P%\r\n"
          "Class=Display\r\n[Strings]\r\nQ=NVIDIA\r\n");
  const auto p = Listed("oem9416.inf");
  ASSERT_TRUE(p);
  EXPECT_NE("NVIDIA", p->provider);
  EXPECT_NE("", p->problem) << p->provider;
  EXPECT_EQ("Display", p->className);
}

TEST_F(DriverStoreContract, StagingPublishesUnderItsOwnOrAnOemName) {
  machine->MakeFile(dir + "\\a\\quenk_st1.inf", StageInf("Decoy"));
  machine->MakeFile(dir + "\\b\\quenk_st1.inf", StageInf("Realtek"));
  const std::string first = Stage(dir + "\\a\\quenk_st1.inf");
  const bool ownName = EqualsNoCase(first, "quenk_st1.inf");
  EXPECT_TRUE(ownName || StartsWithNoCase(first, "oem")) << first;
  // A second package of the same file name cannot keep it.
  const std::string second = Stage(dir + "\\b\\quenk_st1.inf");
  ASSERT_TRUE(StartsWithNoCase(second, "oem")) << second;
  EXPECT_NE(first, second);
  const auto p = Listed(second);
  ASSERT_TRUE(p);
  EXPECT_EQ("Realtek", p->provider);
  EXPECT_EQ("Media", p->className);
  EXPECT_EQ((std::vector<std::string>{"rtkvhd64.sys"}), p->files);
  // The same package again keeps the name it has.
  EXPECT_EQ(second, Stage(dir + "\\b\\quenk_st1.inf"));
}

TEST_F(DriverStoreContract, RemovalIsJudgedByItsEffectAndTakesThePnf) {
  machine->MakeFile(dir + "\\a\\quenk_rm1.inf", StageInf("Decoy"));
  machine->MakeFile(dir + "\\b\\quenk_rm1.inf", StageInf("Realtek"));
  Stage(dir + "\\a\\quenk_rm1.inf");
  const std::string published = Stage(dir + "\\b\\quenk_rm1.inf");
  const auto p = Listed(published);
  ASSERT_TRUE(p);
  EXPECT_TRUE(ports.fs.Exists(platform::PnfOf(p->infPath)));
  const platform::DriverRemoval removal = ports.drivers->Remove(*p);
  EXPECT_TRUE(removal.gone);
  EXPECT_FALSE(ports.fs.Exists(p->infPath));
  EXPECT_FALSE(ports.fs.Exists(platform::PnfOf(p->infPath)));
  EXPECT_FALSE(Listed(published));
  // A package that is not there is not reported as removed by this call.
  const platform::DriverRemoval again = ports.drivers->Remove(*p);
  EXPECT_FALSE(again.reportedSuccess);
  EXPECT_EQ(platform::err::kFileNotFound, again.error);
}

TEST_F(DriverStoreContract, StagingRefusesWhatIsNotThere) {
  std::string published;
  EXPECT_NE(0u, ports.drivers->Stage(dir + "\\missing.inf", published));
}

struct NoProgress final : engine::Progress {
  void Advance() override {}
};

// Removed through the engine with the backup, then staged again from it.
TEST_F(DriverStoreContract, ARemovedPackageComesBackFromTheBackupThroughStaging) {
  machine->MakeFile(dir + "\\a\\quenk_rt1.inf", StageInf("Decoy"));
  machine->MakeFile(dir + "\\b\\quenk_rt1.inf", StageInf("Quenk Audio"));
  Stage(dir + "\\a\\quenk_rt1.inf");
  const std::string published = Stage(dir + "\\b\\quenk_rt1.inf");
  const auto before = Listed(published);
  ASSERT_TRUE(before);
  std::string inf;
  {
    auto opened = ports.fs.Open(before->infPath, platform::OpenMode::kRead);
    ASSERT_EQ(0u, opened.error);
    opened.file->ReadAll(inf);
  }
  CleaningRecord record;
  NoProgress progress;
  const std::string folder = dir + "\\backup";
  {
    backup::RunBackup keeper(ports, folder);
    engine::Remover remover(ports, record, progress, {}, &keeper);
    remover.RemoveDriverPackages(
        [&](const platform::DriverPackage& p) { return p.published == before->published; });
  }
  ASSERT_EQ(std::vector<std::string>{engine::PackageLine(*before)}, record.Deleted().Lines());
  EXPECT_FALSE(Listed(published));

  const backup::RestoreResult restored = backup::Restore(ports, folder);
  EXPECT_EQ(std::vector<std::string>{}, restored.notRestored);
  ASSERT_EQ(1u, restored.restored.size());
  const std::string prefix = engine::PackageLine(*before) + ", published as ";
  ASSERT_TRUE(StartsWithNoCase(restored.restored[0], prefix)) << restored.restored[0];
  const std::string again = restored.restored[0].substr(prefix.size());
  made.push_back(infFolder + "\\" + again);
  const auto after = Listed(again);
  ASSERT_TRUE(after) << again;
  EXPECT_EQ("Quenk Audio", after->provider);
  EXPECT_EQ("Media", after->className);
  std::string back;
  auto opened = ports.fs.Open(after->infPath, platform::OpenMode::kRead);
  ASSERT_EQ(0u, opened.error);
  opened.file->ReadAll(back);
  EXPECT_EQ(inf, back);
}

}  // namespace
}  // namespace quenk::test
