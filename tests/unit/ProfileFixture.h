#pragma once

#include "SimFixture.h"
#include "profiles/Profile.h"

#include <memory>

namespace quenk::test {

// A simulated Windows 10 machine for the vendor profiles: the usual
// environment, and shortcuts for seeding files and keys.
class ProfileFixture : public SimFixture {
 protected:
  ProfileFixture() {
    auto& fs = machine.fs;
    fs.SetEnv("SYSTEMROOT", "C:\\Windows");
    fs.SetEnv("windir", "C:\\Windows");
    fs.SetEnv("Programfiles", "C:\\Program Files");
    fs.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
    fs.SetEnv("SystemDrive", "C:");
    fs.SetEnv("USERPROFILE", "C:\\Users\\tech");
    fs.SetEnv("ALLUSERSPROFILE", "C:\\ProgramData");
    fs.SetEnv("PUBLIC", "C:\\Users\\Public");
    for (const char* folder :
         {"C:\\Windows\\System32\\drivers", "C:\\Windows\\prefetch", "C:\\Program Files (x86)",
          "C:\\Users\\tech\\Documents", "C:\\Users\\Public", "C:\\ProgramData"})
      fs.AddFolder(folder);
    fs.AddFile("C:\\Windows\\System32\\kernel32.dll");
    fs.AddFile("C:\\Program Files\\Common Files\\x.dll");
    fs.SetCurrentDir("C:\\Users\\tech");
  }

  void Files(std::initializer_list<std::string> paths) {
    for (const auto& p : paths) machine.fs.AddFile(p);
  }
  void Keys(platform::HKey root, std::initializer_list<std::string> paths) {
    for (const auto& p : paths) machine.registry.CreateKey(root, p);
  }
  bool Key(platform::HKey root, const std::string& path) {
    return machine.registry.Exists(root, path);
  }
  // A 64-bit Windows: SysWOW64 beside System32, the 32-bit registry view
  // (Program Files (x86) is there already).
  void Add32BitHalves() {
    machine.fs.AddFolder("C:\\Windows\\SysWOW64\\drivers");
    machine.registry.SetSeparate32BitView(true);
  }

  profiles::ProfileContext ctx{machine.fs, machine.registry, remover};
};

// A run as the program starts one: the remover knows the halves the machine
// has at this moment.
struct HalvesRun {
  HalvesRun(sim::SimMachine& m, CleaningRecord& record, engine::Progress& progress)
      : remover(m.ports(), record, progress, engine::FindHalves(m.fs, m.registry)),
        ctx{m.fs, m.registry, remover} {}
  engine::Remover remover;
  profiles::ProfileContext ctx;
};

// A fresh machine for one case of a table, its record and steps at hand.
class MachineCase : public ProfileFixture {
 public:
  void TestBody() override {}
  std::unique_ptr<HalvesRun> Start() {
    return std::make_unique<HalvesRun>(machine, record, progress);
  }
  using ProfileFixture::Add32BitHalves;
  using ProfileFixture::Deleted;
  using ProfileFixture::Exists;
  using ProfileFixture::Files;
  using ProfileFixture::Key;
  using ProfileFixture::Keys;
  using ProfileFixture::machine;
  using ProfileFixture::NotDeleted;
  using ProfileFixture::progress;
  using ProfileFixture::record;
};

inline const std::string kSys = "C:\\Windows\\System32\\";
inline const std::string kDrv = "C:\\Windows\\System32\\drivers\\";
inline const std::string kIs = "C:\\Program Files\\InstallShield Installation Information\\";
inline const std::string kWow = "C:\\Windows\\SysWOW64\\";
inline const std::string kWowDrv = "C:\\Windows\\SysWOW64\\drivers\\";
inline const std::string kIs86 =
    "C:\\Program Files (x86)\\InstallShield Installation Information\\";

}  // namespace quenk::test
