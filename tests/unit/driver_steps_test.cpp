#include "ForwardingFileSystem.h"
#include "ProfileFixture.h"

#include "backup/Restore.h"
#include "base/Text.h"
#include "backup/RunBackup.h"
#include "engine/Delete.h"
#include "platform/PreviewDriverStore.h"
#include "platform/PreviewPorts.h"
#include "profiles/DataProfile.h"
#include "profiles/DriverMatch.h"
#include "profiles/ProfileReader.h"

#include <gtest/gtest.h>

namespace quenk::test {
namespace {

const std::string kHead = "format = 1\nname = \"Contoso - Display\"\nword = \"Contoso\"\n";

std::string Inf(const std::string& provider, const std::string& className,
                const std::string& keyFile) {
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nProvider=%P%\r\nClass=" + className +
         "\r\nDriverVer=06/21/2024,1.0\r\n[SourceDisksFiles]\r\n" + keyFile +
         "=1\r\n[Strings]\r\nP=\"" + provider + "\"\r\n";
}

profiles::ProfileData Profile(const std::string& steps) {
  auto read = profiles::ReadProfile(kHead + steps, "contoso.toml", platform::Latin1CodePage());
  for (const auto& e : read.errors) ADD_FAILURE() << e.Text();
  return read.profile.value_or(profiles::ProfileData{});
}

TEST(DriverMatch, EveryCriterionGivenHoldsAndAnyListEntryMay) {
  platform::DriverPackage nv;
  nv.published = "oem12.inf";
  nv.original = "nv_dispi.inf";
  nv.provider = "NVIDIA";
  nv.className = "Display";
  nv.files = {"nvlddmkm.sys", "nvapi64.dll"};
  platform::DriverPackage amd = nv;
  amd.provider = "Advanced Micro Devices, Inc.";
  platform::DriverPackage unknownName = nv;
  unknownName.original.clear();
  platform::DriverPackage unresolved = nv;
  unresolved.provider = "%P%";
  const struct {
    const char* criteria;
    const platform::DriverPackage& package;
    bool matches;
  } rows[] = {
      {"provider = 'NVIDIA'", nv, true},
      {"provider = 'nvidia'", nv, true},
      {"provider = 'NVIDIAX'", nv, false},
      {"provider = 'NVIDI'", nv, false},
      {"provider-prefix = 'nvid'", nv, true},
      {"provider-prefix = 'NVIDIAX'", nv, false},
      {"provider-prefix = 'Micro'", amd, false},
      {"provider-prefix = 'Advanced Micro'", amd, true},
      {"provider = 'NVIDIA'\nclasses = ['Media', 'display']", nv, true},
      {"provider = 'NVIDIA'\nclasses = ['Media']", nv, false},
      {"provider = 'NVIDIA'\ninf-names = ['nv_disp*.inf']", nv, true},
      {"provider = 'NVIDIA'\ninf-names = ['nvhda*.inf', 'nv_disp*']", nv, true},
      {"provider = 'NVIDIA'\ninf-names = ['nvhda*.inf']", nv, false},
      {"provider = 'NVIDIA'\ninf-names = ['nv_disp*.inf']", unknownName, false},
      {"provider = 'NVIDIA'", unknownName, true},
      {"provider = 'NVIDIA'\nkey-file = 'NVLDDMKM.SYS'", nv, true},
      {"provider = 'NVIDIA'\nkey-file = 'nvlddmkm'", nv, false},
      {"provider = 'NVIDIA'\nclasses = ['Display']\nkey-file = 'nvhda64v.sys'", nv, false},
      {"provider = '%P%'", unresolved, false},
      {"provider-prefix = '%P%'", unresolved, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.criteria);
    const auto profile = Profile(std::string("[[drivers]]\n") + row.criteria + "\n");
    ASSERT_EQ(1u, profile.drivers.size());
    EXPECT_EQ(row.matches, profiles::Matches(profile.drivers[0], row.package));
  }
}

class DriverSteps : public ProfileFixture {
 protected:
  sim::SimDriverStore& store = machine.drivers;

  // Staged from a source folder of its own, as an installer would.
  std::string Stage(const std::string& original, const std::string& provider,
                    const std::string& className, const std::string& keyFile) {
    const std::string source = "C:\\src\\" + original + "." + provider + className;
    machine.fs.AddFile(source + "\\" + original,
                       Inf(provider, className, keyFile) + ";" + original);
    machine.fs.AddFile(source + "\\" + keyFile, "bytes of " + keyFile);
    std::string published;
    EXPECT_EQ(0u, store.Stage(source + "\\" + original, published));
    return published;
  }
  std::string InfPath(const std::string& published) { return store.InfFolder() + "\\" + published; }
  std::string StoreFolder(const std::string& published) {
    for (const auto& p : store.Packages())
      if (p.published == published) return p.storeFolder;
    return {};
  }
  void Clean(const profiles::ProfileData& profile) { profiles::Clean(ctx, profile, true, true); }

  const std::string nvidia = "[[drivers]]\nprovider = 'NVIDIA'\nclasses = ['Display']\n";
};

TEST_F(DriverSteps, OneStepPerEntryRecordsEachPackageItRemoves) {
  const std::string display = Stage("nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  const std::string display2 = Stage("nv_dispig.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  const std::string audio = Stage("nvhda.inf", "NVIDIA", "Media", "nvhda64v.sys");
  const std::string decoy = Stage("nv_other.inf", "NVIDIAX", "Display", "nvlddmkm.sys");
  const std::string folder = StoreFolder(display);
  ASSERT_NE("", folder);
  const auto profile = Profile(nvidia + "[[drivers]]\nprovider = 'Realtek'\n");
  EXPECT_EQ(2, profiles::StepCount(profile, true, true, {}));
  EXPECT_EQ(0, profiles::StepCount(profile, false, true, {}));
  Clean(profile);
  EXPECT_EQ(2, progress.steps);
  EXPECT_EQ((Lines{"DriverStore\\" + display + " (nv_dispi.inf, NVIDIA, Display)",
                   "DriverStore\\" + display2 + " (nv_dispig.inf, NVIDIA, Display)"}),
            Deleted());
  EXPECT_EQ(Lines{}, NotDeleted());
  EXPECT_FALSE(Exists(InfPath(display)));
  EXPECT_FALSE(Exists(folder));
  EXPECT_TRUE(Exists(InfPath(audio)));
  EXPECT_TRUE(Exists(InfPath(decoy)));
}

TEST_F(DriverSteps, APackageThatStaysSaysWhy) {
  const struct {
    const char* why;
    void (*set)(sim::SimDriverStore&, const std::string& published);
  } rows[] = {
      {"in use by NVIDIA GeForce RTX 4070 (PCI\\VEN_10DE&DEV_2786)",
       [](sim::SimDriverStore& s, const std::string& p) {
         s.devices.push_back({"NVIDIA GeForce RTX 4070", "PCI\\VEN_10DE&DEV_2786", p});
       }},
      {"removal reported success but the package is still there",
       [](sim::SimDriverStore& s, const std::string&) { s.removalLeavesPackage = true; }},
      {"needs administrator rights",
       [](sim::SimDriverStore& s, const std::string&) { s.administrator = false; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    MachineCase c;
    c.machine.drivers.administrator = true;
    const std::string source = "C:\\src\\nv";
    c.machine.fs.AddFile(source + "\\nv_dispi.inf", Inf("NVIDIA", "Display", "nvlddmkm.sys"));
    std::string published;
    ASSERT_EQ(0u, c.machine.drivers.Stage(source + "\\nv_dispi.inf", published));
    row.set(c.machine.drivers, published);
    auto run = c.Start();
    profiles::Clean(run->ctx, Profile(nvidia), true, true);
    EXPECT_EQ(Lines{}, c.Deleted());
    EXPECT_EQ(Lines{"DriverStore\\" + published + " (nv_dispi.inf, NVIDIA, Display)"},
              c.NotDeleted());
    EXPECT_EQ(row.why, c.record.Reason(0));
    EXPECT_TRUE(c.Exists(c.machine.drivers.InfFolder() + "\\" + published));
  }
}

TEST_F(DriverSteps, APresentDeviceOnADetectedPackageKeepsEveryStep) {
  const std::string display = Stage("nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  Files({"C:\\Windows\\System32\\nvapi64.dll"});
  Keys(platform::kLocalMachine, {"Software\\NVIDIA Corporation"});
  const auto profile = Profile(nvidia +
                               "[[files]]\nfolder = '%SYSTEMROOT%\\System32\\'\n"
                               "masks = ['nvapi*.dll']\n"
                               "[[registry]]\nroot = 'HKLM'\nbase = 'Software'\n"
                               "keys = ['NVIDIA Corporation']\n"
                               "[[registry]]\nservices = ['nvlddmkm']\n"
                               "[[registry]]\nvalues = [{ key = 'HKLM\\Software\\Microsoft\\"
                               "Windows\\CurrentVersion\\Run', value = 'NvBackend' }]\n"
                               "[[files]]\ntrees = ['%SYSTEMROOT%\\Help\\nvcp*']\n"
                               "[detect]\nprovider = 'NVIDIA'\nkey-file = 'nvlddmkm.sys'\n");
  // A device that is not present does not count.
  store.devices.push_back({"Old card", "PCI\\VEN_10DE&DEV_1234", display, false});
  store.devices.push_back({"NVIDIA GeForce RTX 4070", "PCI\\VEN_10DE&DEV_2786", display});
  Clean(profile);
  EXPECT_EQ(Lines{}, Deleted());
  EXPECT_EQ((Lines{"DriverStore\\" + display + " (nv_dispi.inf, NVIDIA, Display)",
                   "C:\\Windows\\System32\\nvapi*.dll", "C:\\Windows\\Help\\nvcp*",
                   "HKLM\\Software\\NVIDIA Corporation",
                   "HKLM\\System\\CurrentControlSet\\Services\\nvlddmkm",
                   "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run [NvBackend]"}),
            NotDeleted());
  for (const std::string& why : record.Reasons())
    EXPECT_EQ(
        "the driver is still installed: in use by NVIDIA GeForce RTX 4070 "
        "(PCI\\VEN_10DE&DEV_2786)",
        why);
  EXPECT_EQ(profiles::StepCount(profile, true, true, {}), progress.steps);
  EXPECT_TRUE(Exists("C:\\Windows\\System32\\nvapi64.dll"));
  EXPECT_TRUE(Key(platform::kLocalMachine, "Software\\NVIDIA Corporation"));
  EXPECT_TRUE(Exists(InfPath(display)));

  // Once the device is gone the same profile cleans.
  store.devices.back().present = false;
  engine::Remover next(machine.ports(), record, progress);
  profiles::ProfileContext again{machine.fs, machine.registry, next};
  profiles::Clean(again, profile, true, true);
  EXPECT_EQ((Lines{"DriverStore\\" + display + " (nv_dispi.inf, NVIDIA, Display)",
                   "C:\\Windows\\System32\\nvapi64.dll", "HKLM\\Software\\NVIDIA Corporation"}),
            Deleted());
}

TEST_F(DriverSteps, RemovalDetachesDevicesWhereTheSystemCanAndLeavesNoPnf) {
  const struct {
    bool detach, restartAsked, wineLike;
    int calls;
    bool restart;
  } rows[] = {
      {false, false, false, 0, false},
      {true, false, false, 1, false},
      {true, true, false, 1, true},
      {false, true, true, 0, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.detach << row.restartAsked << row.wineLike);
    MachineCase c;
    auto& s = c.machine.drivers;
    c.machine.fs.AddFile("C:\\src\\nv_dispi.inf", Inf("NVIDIA", "Display", "nvlddmkm.sys"));
    std::string published;
    ASSERT_EQ(0u, s.Stage("C:\\src\\nv_dispi.inf", published));
    s.devices.push_back({"Old card", "PCI\\VEN_10DE&DEV_1234", published, false});
    s.hasDiUninstallDriver = row.detach;
    s.detachNeedsRestart = row.restartAsked;
    s.leavesPnf = row.wineLike;
    const auto packages = s.Packages();
    ASSERT_EQ(1u, packages.size());
    const std::string store = packages[0].storeFolder;
    const platform::DriverRemoval removal = s.Remove(packages[0]);
    EXPECT_TRUE(removal.gone);
    EXPECT_EQ(row.restart, removal.restart);
    EXPECT_EQ(row.calls, s.detachCalls);
    EXPECT_EQ(row.detach ? "" : published, s.devices[0].published);
    EXPECT_FALSE(c.Exists(platform::PnfOf(packages[0].infPath)));
    EXPECT_EQ(!row.wineLike, !c.Exists(store));
  }
}

TEST_F(DriverSteps, AStoreFolderStaysWhileAPublishedInfMapsToIt) {
  const std::string display = Stage("nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  const std::string mapped = StoreFolder(display);
  const std::string orphan = store.Repository() + "\\nv_dispi.inf_amd64_0123abcd";
  Files({orphan + "\\nv_dispi.inf"});
  const std::string base = "%SYSTEMROOT%\\System32\\DriverStore\\FileRepository\\";
  Clean(Profile("[[files]]\ntrees = ['" + base + mapped.substr(mapped.rfind('\\') + 1) + "', '" +
                base + "nv_dispi.inf_amd64_0123abcd']\n"));
  ASSERT_EQ((Lines{mapped}), NotDeleted());
  EXPECT_EQ("the store folder of the published " + display, record.Reason(0));
  EXPECT_TRUE(Exists(mapped));
  // The orphan, which no published inf maps to, goes; so does a mask's match.
  EXPECT_FALSE(Exists(orphan));
  Files({orphan + "\\nv_dispi.inf"});
  Clean(Profile("[[files]]\ntrees = ['" + base + "nv_dispi.inf_amd64_*']\n"));
  EXPECT_FALSE(Exists(orphan));
  EXPECT_TRUE(Exists(mapped));
}

// What a preview of the run records is what the run records, and it
// changes nothing.
TEST_F(DriverSteps, APreviewRecordsWhatTheRunDoesAndRemovesNothing) {
  MachineCase real, seen;
  for (MachineCase* c : {&real, &seen}) {
    for (const char* name : {"nv_dispi.inf", "nvhda.inf", "nv_used.inf"}) {
      const std::string source = std::string("C:\\src\\") + name;
      c->machine.fs.AddFile(source + "\\" + name,
                            Inf("NVIDIA", "Display", "nvlddmkm.sys") + ";" + name);
      std::string published;
      ASSERT_EQ(0u, c->machine.drivers.Stage(source + "\\" + name, published));
      if (std::string(name) == "nv_used.inf")
        c->machine.drivers.devices.push_back({"GPU", "PCI\\VEN_10DE", published});
    }
  }
  const auto profile = Profile(nvidia + "[[drivers]]\nprovider-prefix = 'nvi'\n");
  auto run = real.Start();
  profiles::Clean(run->ctx, profile, true, true);

  const auto before = seen.machine.drivers.Packages().size();
  platform::PreviewFileSystem fs(seen.machine.fs);
  platform::PreviewRegistry registry(seen.machine.registry);
  platform::PreviewIni ini(seen.machine.ini, fs);
  platform::PreviewDriverStore drivers(&seen.machine.drivers);
  const platform::Ports view{fs,      registry, ini,     seen.machine.locale, seen.machine.shell,
                             nullptr, nullptr,  &drivers};
  engine::Remover remover(view, seen.record, seen.progress);
  profiles::ProfileContext ctx{fs, registry, remover};
  profiles::Clean(ctx, profile, true, true);
  EXPECT_EQ(real.Deleted(), seen.Deleted());
  EXPECT_EQ(real.NotDeleted(), seen.NotDeleted());
  EXPECT_EQ(real.record.Reasons(), seen.record.Reasons());
  EXPECT_EQ(real.progress.steps, seen.progress.steps);
  EXPECT_EQ(2u, real.Deleted().size());
  EXPECT_EQ(before, seen.machine.drivers.Packages().size());
}

TEST_F(DriverSteps, TheBackupKeepsThePackageByteForByteAndRestoreStagesItAgain) {
  const std::string display = Stage("nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  const std::string folder = StoreFolder(display);
  const std::string inf = machine.fs.ReadFile(InfPath(display));
  const std::string pnf = machine.fs.ReadFile(platform::PnfOf(InfPath(display)));
  const std::string driver = machine.fs.ReadFile(folder + "\\nvlddmkm.sys");
  const std::string backupFolder = "C:\\Users\\tech\\backup";
  {
    backup::RunBackup kept(machine.ports(), backupFolder);
    engine::Remover saving(machine.ports(), record, progress, {}, &kept);
    profiles::ProfileContext c{machine.fs, machine.registry, saving};
    profiles::Clean(c, Profile(nvidia), true, true);
  }
  ASSERT_EQ(Lines{"DriverStore\\" + display + " (nv_dispi.inf, NVIDIA, Display)"}, Deleted());
  ASSERT_FALSE(Exists(folder));
  const std::string copy = backupFolder + "\\drivers\\" + display.substr(0, display.size() - 4);
  EXPECT_EQ(inf, machine.fs.ReadFile(copy + "\\" + display));
  EXPECT_EQ(pnf, machine.fs.ReadFile(platform::PnfOf(copy + "\\" + display)));
  EXPECT_EQ(driver, machine.fs.ReadFile(copy + "\\store\\nvlddmkm.sys"));

  // Its name taken by another package meanwhile, the restored one is published anew.
  const std::string other = Stage("zz_other.inf", "Contoso", "Media", "cs.sys");
  const backup::RestoreResult restored = backup::Restore(machine.ports(), backupFolder);
  EXPECT_EQ(Lines{}, restored.notRestored);
  ASSERT_EQ(1u, restored.restored.size());
  const auto packages = store.Packages();
  ASSERT_EQ(2u, packages.size());
  const auto& back = packages[0].published == other ? packages[1] : packages[0];
  EXPECT_EQ("DriverStore\\" + display + " (nv_dispi.inf, NVIDIA, Display), published as " +
                back.published,
            restored.restored[0]);
  EXPECT_NE(display, back.published);
  EXPECT_EQ("nv_dispi.inf", back.original);
  EXPECT_EQ("NVIDIA", back.provider);
  EXPECT_EQ(inf, machine.fs.ReadFile(back.infPath));
  EXPECT_EQ(driver, machine.fs.ReadFile(back.storeFolder + "\\nvlddmkm.sys"));
  // A second restore finds the package published and keeps its name.
  EXPECT_EQ(restored.restored, backup::Restore(machine.ports(), backupFolder).restored);
  EXPECT_EQ(2u, store.Packages().size());
}

// A store folder that cannot be listed: the package is not saved in part.
TEST_F(DriverSteps, APackageWhoseStoreFolderCannotBeReadStaysWithoutABackup) {
  struct Refused final : platform::FileSearch {
    bool Next(platform::FindEntry&) override { return false; }
    std::uint32_t Error() const override { return platform::err::kAccessDenied; }
  };
  struct Unreadable final : ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    std::string folder;
    std::unique_ptr<platform::FileSearch> FindRaw(const std::string& p) override {
      if (StartsWithNoCase(p, folder)) return std::make_unique<Refused>();
      return ForwardingFileSystem::FindRaw(p);
    }
  } fs(machine.fs);
  const std::string display = Stage("nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  fs.folder = StoreFolder(display);
  platform::Ports ports = machine.ports();
  const platform::Ports unreadable{fs,          ports.registry, ports.ini, ports.locale,
                                   ports.shell, nullptr,        nullptr,   ports.drivers};
  backup::RunBackup kept(unreadable, "C:\\Users\\tech\\backup");
  engine::Remover saving(unreadable, record, progress, {}, &kept);
  saving.RemoveDriverPackages([](const platform::DriverPackage&) { return true; });
  EXPECT_EQ(Lines{}, Deleted());
  ASSERT_EQ(1u, NotDeleted().size());
  EXPECT_EQ("no copy in the backup: access denied", record.Reason(0));
  EXPECT_TRUE(Exists(InfPath(display)));
  EXPECT_FALSE(saving.RestartNeeded());
}

TEST_F(DriverSteps, ARestartTheSystemAsksForIsKeptForTheRun) {
  const std::string display = Stage("nv_dispi.inf", "NVIDIA", "Display", "nvlddmkm.sys");
  store.hasDiUninstallDriver = store.detachNeedsRestart = true;
  store.devices.push_back({"Old card", "PCI\\VEN_10DE&DEV_1234", display, false});
  Clean(Profile(nvidia));
  EXPECT_EQ(1u, Deleted().size());
  EXPECT_TRUE(remover.RestartNeeded());
}

}  // namespace
}  // namespace quenk::test
