#include "ProgramFixture.h"
#include "SimLeftovers.h"
#include "SimSnapshot.h"

#include "backup/BackupFolder.h"
#include "backup/Restore.h"

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;

// A whole program run over all five vendors, then its backup restored.
class RestoreRun : public ProgramFixture {
 protected:
  void SetUp() override {
    SeedAllVendors(machine);
    Start();
    for (int i = 0; i < 5; ++i) {
      UserPick(Main().ListBoxItemList, i);
      UserClick(Main().SelectButton);
    }
  }
  Snapshot Now() { return Snapshot::Of(machine, {"C:\\Work", "C:\\Quenk"}); }
  std::string Folder() { return backup::FindBackup(machine.fs, "latest"); }
  backup::RestoreResult Restore() { return backup::Restore(machine.ports(), Folder()); }
  Lines Restored() { return RestoreWindow().ListBoxRestored.Items().Lines(); }
  Lines NotRestored() { return RestoreWindow().ListBoxNotRestored.Items().Lines(); }
  static bool Has(const Lines& lines, const std::string& text) {
    for (const auto& l : lines)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
};

TEST_F(RestoreRun, EverythingTheRunDeletedComesBackAsItWasAndOnlyOnce) {
  const Snapshot before = Now();
  UserClick(Main().CleanButton);
  ASSERT_TRUE(Reports().empty()) << Reports().front();
  const Lines deleted = RecordDeleted();
  ASSERT_EQ(deleted.size(), 27u);
  for (const char* gone : {"C:\\Windows\\Help\\nvcpl", "C:\\ATI\\Support",
                           "C:\\Program Files\\Realtek\\Audio", "C:\\Windows\\System32\\nvcpl.dll"})
    EXPECT_FALSE(Exists(gone)) << gone;
  EXPECT_EQ(RecordNotDeleted(), Lines{"C:\\Windows\\System32\\drivers\\nvraid.sys"});

  UserClick(Log().ButtonOK);
  app.Guard([this] { RestoreWindow().RestoreBackup("latest"); });
  ASSERT_TRUE(Reports().empty()) << Reports().front();
  EXPECT_TRUE(RestoreWindow().Visible());
  // Each item once, in the order of deletion; the one that stayed is skipped.
  EXPECT_EQ(Restored().size(), deleted.size());
  for (std::size_t i = 0; i < std::min(deleted.size(), Restored().size()); ++i)
    EXPECT_EQ(Restored()[i].substr(0, deleted[i].size()), deleted[i]);
  EXPECT_EQ(NotRestored(), Lines{"C:\\Windows\\System32\\drivers\\nvraid.sys: skipped, it exists"});
  ExpectRestored(before, Now(), deleted);

  // Again: nothing is missing, nothing changes, everything is reported as skipped.
  const auto again = Restore();
  EXPECT_TRUE(again.restored.empty());
  EXPECT_EQ(again.notRestored.size(), deleted.size() + 1);
  for (const auto& line : again.notRestored) EXPECT_TRUE(Has({line}, ": skipped, it exists"));
  ExpectRestored(before, Now(), deleted);
}

TEST_F(RestoreRun, WhatExistsAgainIsLeftAsItIsAndReported) {
  UserClick(Main().CleanButton);

  // A driver reinstalled meanwhile: a file and a key back, with other contents.
  machine.fs.AddFile("C:\\Windows\\System32\\nvapi64.dll", "reinstalled");
  machine.registry.SetString(kCurrentUser, "Software\\Creative Tech\\Audio", "Mode", "new");
  machine.fs.AddFile("C:\\ATI\\Support\\setup.exe", "reinstalled");
  const auto result = Restore();
  EXPECT_EQ(machine.fs.ReadFile("C:\\Windows\\System32\\nvapi64.dll"), "reinstalled");
  EXPECT_EQ(machine.fs.ReadFile("C:\\ATI\\Support\\setup.exe"), "reinstalled");
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(
      machine.registry.Find(kCurrentUser, "Software\\Creative Tech\\Audio")->values.at("MODE").data,
      std::string("new\0", 4));
  (void)type;
  (void)data;
  for (const char* skipped :
       {"C:\\Windows\\System32\\nvapi64.dll: skipped, it exists",
        "C:\\ATI\\Support\\setup.exe: skipped, it exists",
        // The recreated key keeps its own value; the saved one is named.
        "HKCU\\Software\\CREATIVE TECH\\Audio [Mode]: skipped, the key exists"})
    EXPECT_TRUE(Has(result.notRestored, skipped)) << skipped;
  // The parts that were missing came back around them.
  EXPECT_TRUE(Has(result.restored, "C:\\ATI\\Support\\Packages"));
  EXPECT_EQ(machine.fs.ReadFile("C:\\ATI\\Support\\Packages\\ccc.msi"), "msi");
  EXPECT_TRUE(machine.registry.Exists(kCurrentUser, "Software\\Creative Tech"));
  EXPECT_TRUE(Has(result.restored, "C:\\Windows\\System32\\nvcpl.dll"));
}

TEST_F(RestoreRun, APartlyDeletedTreeGetsItsMissingPartsBack) {
  machine.fs.AddFile("C:\\ATI\\Support\\Packages\\locked.msi", "stays", platform::attr::kReadOnly);
  const Snapshot before = Now();
  UserClick(Main().CleanButton);
  EXPECT_TRUE(Has(RecordNotDeleted(), "C:\\ATI\\Support"));
  EXPECT_FALSE(Exists("C:\\ATI\\Support\\setup.exe"));
  const auto result = Restore();
  EXPECT_TRUE(Has(result.restored, "C:\\ATI\\Support\\setup.exe"));
  EXPECT_TRUE(Has(result.notRestored, "C:\\ATI\\Support\\Packages\\locked.msi: skipped"));
  const Snapshot after = Now();
  EXPECT_EQ(after.files.at("C:\\ATI\\SUPPORT\\SETUP.EXE").content,
            before.files.at("C:\\ATI\\SUPPORT\\SETUP.EXE").content);
  EXPECT_EQ(after.files.at("C:\\ATI\\SUPPORT\\PACKAGES\\CCC.MSI").times,
            before.files.at("C:\\ATI\\SUPPORT\\PACKAGES\\CCC.MSI").times);
}

// Damaged backups: each gives lines with reasons, never an exception, and
// never overwrites anything.
struct Damage {
  const char* what;
  // Damages the backup: its folder, and manifest.txt and registry.reg as written.
  std::function<void(sim::SimFileSystem&, const std::string&, const std::string&,
                     const std::string&)>
      damage;
  std::vector<std::string> reported;  // in "Not restored"
  bool someRestored;
};

void PrintTo(const Damage& d, std::ostream* os) {
  *os << d.what;
}

std::string Binary() {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 7919) % 251);
  return binary;
}

const Damage kDamages[] = {
    {"no manifest",
     [](auto& fs, auto& folder, auto&, auto&) { fs.Delete(folder + "\\manifest.txt"); },
     {"manifest.txt: not found"},
     false},
    {"binary manifest",
     [](auto& fs, auto& folder, auto&, auto&) { fs.AddFile(folder + "\\manifest.txt", Binary()); },
     {"manifest.txt, line 1: not understood", "manifest.txt, line 2: not understood"},
     false},
    {"manifest cut in its last line",
     [](auto& fs, auto& folder, auto& manifest, auto&) {
       fs.AddFile(folder + "\\manifest.txt", manifest.substr(0, manifest.size() - 5));
     },
     {": cut short"},
     true},
    {"edited manifest",
     [](auto& fs, auto& folder, auto&, auto&) {
       fs.AddFile(folder + "\\manifest.txt",
                  "file\tC:\\Windows\\..\\x.dll\r\nfolder\trelative\\x\r\nthing\tC:\\x\r\n"
                  "key\tHKCR\\x\r\nfile\tC:\\Windows\\System32\\nvapi64.dll\r\n");
     },
     {"line 1: not a full path: C:\\Windows\\..\\x.dll", "line 2: not a full path",
      "line 3: not understood", "line 4: not a full path"},
     true},
    {"no registry.reg",
     [](auto& fs, auto& folder, auto&, auto&) { fs.Delete(folder + "\\registry.reg"); },
     {"HKCU\\Software\\CREATIVE TECH: registry.reg cannot be read, not found"},
     true},
    {"registry.reg cut",
     [](auto& fs, auto& folder, auto&, auto& reg) {
       fs.AddFile(folder + "\\registry.reg", reg.substr(0, reg.size() / 2));
     },
     {"the file ends within the key", "registry.reg holds no copy of it"},
     true},
    {"binary registry.reg",
     [](auto& fs, auto& folder, auto&, auto&) { fs.AddFile(folder + "\\registry.reg", Binary()); },
     {"registry.reg, line 1: the file does not begin with REGEDIT4",
      "HKLM\\Software\\Realtek: registry.reg holds no copy of it"},
     true},
    {"a copy missing",
     [](auto& fs, auto& folder, auto&, auto&) {
       fs.Delete(folder + "\\files\\C\\Windows\\System32\\nvapi64.dll");
       fs.Delete(folder + "\\attributes.txt");
     },
     {"C:\\Windows\\System32\\nvapi64.dll: the backup holds no copy of it"},
     true},
    {"binary attributes.txt",
     [](auto& fs, auto& folder, auto&, auto&) {
       fs.AddFile(folder + "\\attributes.txt", Binary());
     },
     {},
     true},
};

class DamagedBackup : public RestoreRun, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedBackup, GivesReasonsAndOverwritesNothing) {
  UserClick(Main().CleanButton);
  // What the restore must not overwrite, made again after the run.
  machine.fs.AddFile("C:\\Windows\\System32\\CTAGENT.EXE", "reinstalled");
  const std::string folder = Folder();
  GetParam().damage(machine.fs, folder, machine.fs.ReadFile(folder + "\\manifest.txt"),
                    machine.fs.ReadFile(folder + "\\registry.reg"));
  backup::RestoreResult result;
  ASSERT_NO_THROW(result = backup::Restore(machine.ports(), folder));
  for (const auto& r : GetParam().reported) EXPECT_TRUE(Has(result.notRestored, r)) << r;
  EXPECT_EQ(!result.restored.empty(), GetParam().someRestored);
  EXPECT_EQ(machine.fs.ReadFile("C:\\Windows\\System32\\CTAGENT.EXE"), "reinstalled");
  // Whatever came back did so with its bytes, with or without attributes.txt.
  if (Exists("C:\\Windows\\System32\\nvcpl.dll")) {
    EXPECT_EQ(machine.fs.ReadFile("C:\\Windows\\System32\\nvcpl.dll").size(), 256u);
  }
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedBackup, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(RestoreRun, FailuresSayWhy) {
  UserClick(Main().CleanButton);
  machine.fs.Node("C:\\Windows\\prefetch")->denyWrite = true;
  machine.fs.Node("C:\\Windows\\System32\\dllcache")->denyWrite = true;
  machine.registry.CreateKey(kLocalMachine, "Software\\ASIO").denyFullAccess = true;
  const auto result = Restore();
  for (const char* why : {"C:\\Windows\\prefetch\\NVCPL.EXE-1A2B3C4D.pf: access denied",
                          "C:\\Windows\\System32\\dllcache\\nv4_disp.dll: access denied",
                          "HKLM\\Software\\ASIO\\Creative ASIO: access denied"})
    EXPECT_TRUE(Has(result.notRestored, why)) << why;
  EXPECT_TRUE(Has(result.restored, "C:\\Windows\\System32\\nvcpl.dll"));
}

class FindingBackups : public ProgramFixture {};

TEST_F(FindingBackups, LatestIsByTimeAndOddNamesFindNothing) {
  Start();
  const std::string backups = "C:\\Work\\Backups\\";
  // Made in this order; the names sort the other way.
  for (const char* name : {"9-1-2026-1-00-00 PM", "12-31-2026-1-00-00 PM", "10-2-2026-1-00-00 PM"})
    machine.fs.AddFile(backups + name + "\\manifest.txt", "");
  machine.fs.AddFolder(backups + "no manifest");
  const struct {
    std::string stamp;
    std::string folder;  // empty: no backup, the message instead
    std::string message;
  } cases[] = {
      {"latest", backups + "10-2-2026-1-00-00 PM", ""},
      {"LATEST", backups + "10-2-2026-1-00-00 PM", ""},
      {"9-1-2026-1-00-00 PM", backups + "9-1-2026-1-00-00 PM", ""},
      {"1-1-2020-1-00-00 PM", "",
       "There is no backup \"1-1-2020-1-00-00 PM\" in C:\\Work\\Backups"},
      {"..\\Logs", "", "There is no backup \"..\\Logs\" in C:\\Work\\Backups"},
      {"*", "", "There is no backup \"*\" in C:\\Work\\Backups"},
      // The system drops trailing dots and blanks: "..." is the backups folder.
      {"...", "", "There is no backup \"...\" in C:\\Work\\Backups"},
      {" ", "", "There is no backup \" \" in C:\\Work\\Backups"},
      {"9-1-2026-1-00-00 PM.", "",
       "There is no backup \"9-1-2026-1-00-00 PM.\" in C:\\Work\\Backups"},
      {"", "", "Name the backup to restore: /restore followed by its stamp, or /restore latest"},
  };
  for (const auto& c : cases) {
    try {
      EXPECT_EQ(backup::FindBackup(machine.fs, c.stamp), c.folder) << c.stamp;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), c.message) << c.stamp;
      EXPECT_TRUE(c.folder.empty()) << c.stamp;
    }
  }
}

TEST_F(FindingBackups, NoBackupsFolderOrAFileInItsPlace) {
  Start();
  const struct {
    std::function<void()> setUp;
    std::string message;
  } cases[] = {
      {[] {}, "There are no backups in C:\\Work\\Backups"},
      {[this] { machine.fs.AddFolder("C:\\Work\\Backups\\empty"); },
       "There are no backups in C:\\Work\\Backups"},
      {[this] {
         machine.fs.RemoveDir("C:\\Work\\Backups\\empty");
         machine.fs.RemoveDir("C:\\Work\\Backups");
         machine.fs.AddFile("C:\\Work\\Backups", "a file");
       },
       "C:\\Work\\Backups is not a folder"},
  };
  for (const auto& c : cases) {
    c.setUp();
    EXPECT_THROW(
        {
          try {
            backup::FindBackup(machine.fs, "latest");
          } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), c.message);
            throw;
          }
        },
        std::runtime_error);
  }
}

}  // namespace
}  // namespace quenk::test
