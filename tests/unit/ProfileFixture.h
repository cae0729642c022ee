#pragma once

#include "SimFixture.h"
#include "profiles/Profile.h"

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

  profiles::ProfileContext ctx{machine.fs, machine.registry, remover};
};

inline const std::string kSys = "C:\\Windows\\System32\\";
inline const std::string kDrv = "C:\\Windows\\System32\\drivers\\";
inline const std::string kIs = "C:\\Program Files\\InstallShield Installation Information\\";

}  // namespace quenk::test
