#include "ProfileFixture.h"
#include "SimSnapshot.h"

#include "backup/Restore.h"
#include "backup/RunBackup.h"
#include "backup/BackupForecast.h"
#include "platform/PreviewPorts.h"
#include "platform/PreviewServices.h"
#include "profiles/DataProfile.h"
#include "profiles/ProfileReader.h"

#include <gtest/gtest.h>

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;

constexpr const char* kServices = "System\\CurrentControlSet\\Services\\";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kHead = "format = 1\nname = \"Contoso - Display\"\nword = \"Contoso\"\n";

profiles::ProfileData Profile(const std::string& steps) {
  auto read = profiles::ReadProfile(kHead + steps, "contoso.toml", platform::Latin1CodePage());
  if (!read.profile) ADD_FAILURE() << read.errors.front().Text();
  return read.profile.value_or(profiles::ProfileData{});
}

struct Outcome {
  Lines deleted, notDeleted, reasons;
  bool restart = false;
  int steps = 0;
};

// One service: how the manager and the registry hold it, what a run makes of it.
TEST(ServiceSteps, StoppedAndDeletedThroughTheManagerOrAsTheirKey) {
  const std::string line = std::string("HKLM\\") + kServices + "ctsosvc";
  const struct {
    const char* state;
    void (*seed)(sim::SimMachine&);
    bool withManager;
    Lines deleted, notDeleted, reasons;
    bool restart, keyStays;
  } rows[] = {
      {"stopped",
       [](sim::SimMachine& m) { m.services.Add("CtsoSvc"); },
       true,
       {line},
       {},
       {},
       false,
       false},
      {"running, stops",
       [](sim::SimMachine& m) { m.services.Add("ctsosvc", true); },
       true,
       {line},
       {},
       {},
       false,
       false},
      {"running, will not stop",
       [](sim::SimMachine& m) { m.services.Add("ctsosvc", true).ignoresStop = true; },
       true,
       {},
       {line},
       {"marked for deletion: removed at the next restart"},
       true,
       true},
      {"marked for deletion already",
       [](sim::SimMachine& m) {
         auto& s = m.services.Add("ctsosvc", true);
         s.markedForDeletion = true;
         s.ignoresStop = true;
       },
       true,
       {},
       {line},
       {"marked for deletion: removed at the next restart"},
       true,
       true},
      {"without rights",
       [](sim::SimMachine& m) { m.services.Add("ctsosvc").denyControl = true; },
       true,
       {},
       {line},
       {"needs administrator rights"},
       false,
       true},
      {"the manager will not say how it stands",
       [](sim::SimMachine& m) { m.services.Add("ctsosvc").denyQuery = true; },
       true,
       {},
       {line},
       {"needs administrator rights"},
       false,
       true},
      {"a key the manager does not know",
       [](sim::SimMachine& m) {
         m.registry.SetString(kLocalMachine, std::string(kServices) + "ctsosvc\\Enum", "0", "x");
       },
       true,
       {line},
       {},
       {},
       false,
       false},
      {"no manager at hand",
       [](sim::SimMachine& m) { m.services.Add("ctsosvc"); },
       false,
       {line},
       {},
       {},
       false,
       false},
      {"a key the user may not delete",
       [](sim::SimMachine& m) {
         m.registry.CreateKey(kLocalMachine, std::string(kServices) + "ctsosvc").denyDelete = true;
       },
       true,
       {},
       {line},
       {"needs administrator rights"},
       false,
       true},
      {"nothing there", [](sim::SimMachine&) {}, true, {}, {}, {}, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.state);
    sim::SimMachine m;
    m.registry.CreateKey(kLocalMachine, std::string(kServices) + "other");
    row.seed(m);
    platform::Ports ports = m.ports();
    if (!row.withManager) ports.services = nullptr;
    CleaningRecord record;
    StepCounter progress;
    engine::Remover remover(ports, record, progress);
    remover.RemoveService("ctsosvc");
    EXPECT_EQ(record.Deleted().Lines(), row.deleted);
    EXPECT_EQ(record.NotDeleted().Lines(), row.notDeleted);
    EXPECT_EQ(record.Reasons(), row.reasons);
    EXPECT_EQ(remover.RestartNeeded(), row.restart);
    EXPECT_EQ(progress.steps, 1);
    EXPECT_EQ(m.registry.Exists(kLocalMachine, std::string(kServices) + "ctsosvc"), row.keyStays);
    EXPECT_TRUE(m.registry.Exists(kLocalMachine, std::string(kServices) + "other"));
  }
}

TEST(ValueSteps, OneValueGoesAndItsKeyStays) {
  const std::string line = std::string("HKLM\\") + kRun + " [CtsoTray]";
  const struct {
    const char* state;
    void (*seed)(sim::SimMachine&);
    Lines deleted, notDeleted, reasons;
    bool valueStays;
  } rows[] = {
      {"there", [](sim::SimMachine&) {}, {line}, {}, {}, false},
      {"a key the user may only read",
       [](sim::SimMachine& m) { m.registry.CreateKey(kLocalMachine, kRun).denyFullAccess = true; },
       {},
       {line},
       {"needs administrator rights"},
       true},
      {"gone already",
       [](sim::SimMachine& m) {
         const auto key =
             platform::RegKey::Open(m.registry, kLocalMachine, kRun, platform::access::kAllAccess);
         m.registry.DeleteValue(key.Get(), "CtsoTray");
       },
       {},
       {},
       {},
       false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.state);
    sim::SimMachine m;
    m.registry.SetString(kLocalMachine, kRun, "CtsoTray", "C:\\ctso\\tray.exe");
    m.registry.SetString(kLocalMachine, kRun, "Other", "C:\\other.exe");
    row.seed(m);
    CleaningRecord record;
    StepCounter progress;
    engine::Remover remover(m.ports(), record, progress);
    remover.RemoveValue(kLocalMachine, kRun, "CtsoTray");
    EXPECT_EQ(record.Deleted().Lines(), row.deleted);
    EXPECT_EQ(record.NotDeleted().Lines(), row.notDeleted);
    EXPECT_EQ(record.Reasons(), row.reasons);
    EXPECT_EQ(progress.steps, 1);
    auto* key = m.registry.Find(kLocalMachine, kRun);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.count("CTSOTRAY") == 1, row.valueStays);
    EXPECT_EQ(key->values.count("OTHER"), 1u);
  }
}

constexpr const char* kStore = "C:\\Windows\\System32\\DriverStore\\FileRepository\\";

class CurrentKinds : public ProfileFixture {
 protected:
  CurrentKinds() {
    const std::string list = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
    machine.fs.SetEnv("ProgramData", "C:\\ProgramData");
    machine.registry.SetString(kLocalMachine, list + "S-1-5-18", "ProfileImagePath",
                               "%systemroot%\\system32\\config\\systemprofile",
                               platform::regtype::kExpandString);
    machine.registry.SetString(kLocalMachine, list + "S-1-5-21-1", "ProfileImagePath",
                               "C:\\Users\\tech");
    machine.registry.SetString(kLocalMachine, list + "S-1-5-21-2", "ProfileImagePath",
                               "C:\\Users\\anne");
    Files({"C:\\Users\\tech\\AppData\\Local\\Contoso\\a.log",
           "C:\\Users\\anne\\AppData\\Local\\Contoso\\b.log",
           "C:\\Windows\\System32\\config\\systemprofile\\AppData\\Local\\Contoso\\c.log",
           "C:\\ProgramData\\Contoso Corporation\\x.dat", "C:\\ProgramData\\Contoso2\\y.dat",
           "C:\\ProgramData\\Other\\z.dat", std::string(kStore) + "ctso.inf_amd64_1a\\ctso.sys",
           std::string(kStore) + "ctso.inf_amd64_2b\\ctso.cat",
           std::string(kStore) + "other.inf_amd64_3c\\other.sys"});
    machine.fs.AddFile(std::string(kStore) + "ctso.inf_amd64_file");
    machine.services.Add("CtsoSvc", true);
    machine.registry.SetString(kLocalMachine, std::string(kServices) + "CtsoSvc", "ImagePath",
                               "C:\\ctso\\svc.exe");
    machine.registry.SetValue(kLocalMachine, std::string(kServices) + "CtsoSvc", "Start",
                              platform::regtype::kDword, std::string("\2\0\0\0", 4));
    machine.registry.SetString(kLocalMachine, std::string(kServices) + "CtsoOld\\Enum", "0", "x");
    machine.registry.SetString(kLocalMachine, kRun, "CtsoTray", "C:\\ctso\\tray.exe");
    machine.registry.SetString(kCurrentUser, kRun, "CtsoHelper", "C:\\ctso\\help.exe",
                               platform::regtype::kExpandString);
    machine.registry.SetString(kCurrentUser, kRun, "Keep", "x");
  }

  const profiles::ProfileData profile = Profile(R"(
[[files]]
trees = ['%USERPROFILE%\AppData\Local\Contoso']
for-each-profile = true
[[files]]
trees = ['%ProgramData%\Contoso*', '%SYSTEMROOT%\System32\DriverStore\FileRepository\ctso.inf_amd64_*']
[[registry]]
services = ["CtsoSvc", "CtsoOld", "CtsoNone"]
[[registry]]
values = [{ key = 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run', value = "CtsoTray" },
          { key = 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run', value = "CtsoHelper" },
          { key = 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run', value = "CtsoMissing" }]
)");
};

TEST_F(CurrentKinds, EachKindIsCountedRecordedAndTakesOnlyItsOwn) {
  CleaningRecord rec;
  StepCounter steps;
  HalvesRun run(machine, rec, steps);
  profiles::Clean(run.ctx, profile, true, true);
  EXPECT_EQ(
      rec.Deleted().Lines(),
      (Lines{"C:\\Windows\\system32\\config\\systemprofile\\AppData\\Local\\Contoso",
             "C:\\Users\\tech\\AppData\\Local\\Contoso", "C:\\Users\\anne\\AppData\\Local\\Contoso",
             "C:\\ProgramData\\Contoso Corporation", "C:\\ProgramData\\Contoso2",
             std::string(kStore) + "ctso.inf_amd64_1a", std::string(kStore) + "ctso.inf_amd64_2b",
             "HKLM\\System\\CurrentControlSet\\Services\\CtsoSvc",
             "HKLM\\System\\CurrentControlSet\\Services\\CtsoOld",
             "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run [CtsoTray]",
             "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run [CtsoHelper]"}));
  EXPECT_TRUE(rec.NotDeleted().Lines().empty());
  const int counted = profiles::StepCount(profile, true, true, run.remover.MachineHalves());
  EXPECT_EQ(counted, 3 + 2 + 3 + 3);
  EXPECT_EQ(steps.steps, counted);
  EXPECT_TRUE(Exists("C:\\ProgramData\\Other\\z.dat"));
  EXPECT_TRUE(Exists(std::string(kStore) + "other.inf_amd64_3c\\other.sys"));
  EXPECT_TRUE(Exists(std::string(kStore) + "ctso.inf_amd64_file"));
  EXPECT_TRUE(machine.registry.Find(kCurrentUser, kRun)->values.count("KEEP"));
  EXPECT_EQ(machine.services.Find("CtsoSvc"), nullptr);
}

// The preview foresees the run line for line; the backup brings back what the run took.
TEST_F(CurrentKinds, ThePreviewForeseesTheRunAndTheRestoreBringsItAllBack) {
  const Snapshot before = Snapshot::Of(machine, {"C:\\Backup"});
  const std::string folder = "C:\\Backup\\run";
  const auto perform = [&](platform::Ports ports, engine::Keeper& keeper) {
    Outcome o;
    CleaningRecord rec;
    StepCounter steps;
    engine::Remover remover(ports, rec, steps, engine::FindHalves(ports.fs, ports.registry),
                            &keeper);
    profiles::ProfileContext ctx{ports.fs, ports.registry, remover};
    profiles::Clean(ctx, profile, true, true);
    o.deleted = rec.Deleted().Lines();
    o.notDeleted = rec.NotDeleted().Lines();
    o.reasons = rec.Reasons();
    o.restart = remover.RestartNeeded();
    o.steps = steps.steps;
    return o;
  };
  platform::PreviewFileSystem fs(machine.fs);
  platform::PreviewRegistry registry(machine.registry);
  platform::PreviewIni ini(machine.ini, fs);
  platform::PreviewServices services(machine.services);
  backup::BackupForecast forecast(fs, registry, folder);
  const Outcome foreseen =
      perform({fs, registry, ini, machine.locale, machine.shell, nullptr, &services}, forecast);
  EXPECT_EQ(Snapshot::Of(machine, {}).files.size(), before.files.size());

  backup::RunBackup kept(machine.ports(), folder);
  const Outcome done = perform(machine.ports(), kept);
  EXPECT_EQ(done.deleted, foreseen.deleted);
  EXPECT_EQ(done.notDeleted, foreseen.notDeleted);
  EXPECT_EQ(done.steps, foreseen.steps);
  ASSERT_EQ(done.deleted.size(), 11u);

  const auto restored = backup::Restore(machine.ports(), folder);
  EXPECT_EQ(restored.restored.size(), done.deleted.size());
  for (std::size_t i = 0; i < std::min(done.deleted.size(), restored.restored.size()); ++i)
    EXPECT_EQ(restored.restored[i].substr(0, done.deleted[i].size()), done.deleted[i]);
  EXPECT_TRUE(restored.notRestored.empty()) << restored.notRestored.front();
  ExpectRestored(before, Snapshot::Of(machine, {"C:\\Backup"}), done.deleted);
  // A second restore finds everything in place and changes nothing.
  const auto again = backup::Restore(machine.ports(), folder);
  EXPECT_TRUE(again.restored.empty());
  EXPECT_EQ(again.notRestored.size(), done.deleted.size());
}

TEST_F(CurrentKinds, TheGuardsHoldForMaskedAndPerProfileTrees) {
  machine.fs.AddFile(std::string(kStore) + "ctso.inf_amd64_9z\\x.sys");
  const auto guarded = Profile(R"(
[[files]]
trees = ['%SYSTEMROOT%\System32\drive*', '%ProgramData%\Co*']
)");
  CleaningRecord rec;
  StepCounter steps;
  HalvesRun run(machine, rec, steps);
  profiles::Clean(run.ctx, guarded, true, true);
  EXPECT_EQ(rec.Deleted().Lines(),
            (Lines{"C:\\ProgramData\\Contoso Corporation", "C:\\ProgramData\\Contoso2"}));
  EXPECT_EQ(rec.NotDeleted().Lines(),
            (Lines{"C:\\Windows\\System32\\drivers", "C:\\Windows\\System32\\DriverStore"}));
  EXPECT_TRUE(Exists("C:\\Windows\\System32\\drivers"));
}

}  // namespace
}  // namespace quenk::test

namespace quenk::test {
namespace {

// A profile beside the program reaches no folder through a link, removes no
// folder the system or a user needs, and none of the program's own.
TEST_F(CurrentKinds, NoPathThroughALinkNorAProtectedOrOwnFolderIsRemoved) {
  machine.fs.AddFile("C:\\Program Files\\Vendor\\Real\\a.dll");
  machine.fs.AddFile("C:\\Users\\tech\\Documents\\letter.txt");
  machine.fs.AddFile("C:\\Quenk\\Logs\\old.txt");
  machine.fs.AddFile("C:\\Users\\tech\\Logs\\old.txt");
  ASSERT_EQ(machine.fs.MakeLink("C:\\Program Files\\Vendor\\link", "C:\\Windows", true), 0u);
  const struct {
    const char* step;
    Lines deleted;
    const char* reason;  // of the one line that stays; null when none does
  } rows[] = {
      {"trees = ['%ProgramFiles%\\Vendor\\Real']", {"C:\\Program Files\\Vendor\\Real"}, nullptr},
      {"trees = ['%ProgramFiles%\\Vendor\\link\\System32']", {}, "a protected folder"},
      {"trees = ['%ProgramFiles%\\Vendor\\link\\Sy*']", {}, "a protected folder"},
      {"folder = '%ProgramFiles%\\Vendor\\link\\System32\\'\nmasks = ['kernel32.dll']",
       {},
       "reached through a link"},
      {"trees = ['%ProgramFiles%\\Common Files']", {}, "a protected folder"},
      {"trees = ['%USERPROFILE%\\Documents']", {}, "a protected folder"},
      {"trees = ['C:\\Quenk']", {}, "a protected folder"},
      {"trees = ['C:\\Quenk\\Logs']", {}, "a protected folder"},
      {"trees = ['%USERPROFILE%\\Logs']", {}, "a protected folder"},  // the current folder's
  };
  for (const auto& row : rows) {
    CleaningRecord rec;
    StepCounter steps;
    HalvesRun run(machine, rec, steps);
    profiles::Clean(run.ctx, Profile(std::string("[[files]]\n") + row.step + "\n"), true, true);
    EXPECT_EQ(rec.Deleted().Lines(), row.deleted) << row.step;
    ASSERT_EQ(rec.NotDeleted().Size(), row.reason ? 1u : 0u) << row.step;
    if (row.reason) {
      EXPECT_EQ(rec.Reason(0), row.reason) << row.step;
    }
  }
  for (const char* kept :
       {"C:\\Windows\\System32\\kernel32.dll", "C:\\Program Files\\Common Files\\x.dll",
        "C:\\Users\\tech\\Documents\\letter.txt", "C:\\Quenk\\Logs\\old.txt",
        "C:\\Users\\tech\\Logs\\old.txt"})
    EXPECT_TRUE(Exists(kept)) << kept;
}

}  // namespace
}  // namespace quenk::test
