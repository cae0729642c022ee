#include "ProfileFixture.h"

#include "base/Text.h"

#include <functional>

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
namespace access = platform::access;

class HalvesTest : public ProfileFixture {};

TEST_F(HalvesTest, FoundOnlyWhereTheyAreFoldersAndViewsOfTheirOwn) {
  const struct {
    const char* what;
    std::function<void(sim::SimMachine&)> setUp;
    bool files, installers, registry;
  } cases[] = {
      {"no SysWOW64, no second view", [](sim::SimMachine&) {}, false, true, false},
      {"64-bit Windows",
       [](sim::SimMachine& m) {
         m.fs.AddFolder("C:\\Windows\\SysWOW64");
         m.registry.SetSeparate32BitView(true);
       },
       true, true, true},
      {"SysWOW64 a link to System32",
       [](sim::SimMachine& m) {
         m.fs.AddLink("C:\\Windows\\SysWOW64", "C:\\Windows\\System32", true);
       },
       false, true, false},
      {"SysWOW64 a link elsewhere",
       [](sim::SimMachine& m) {
         m.fs.AddFolder("C:\\Elsewhere");
         m.fs.AddLink("C:\\Windows\\SysWOW64", "C:\\Elsewhere", true);
       },
       false, true, false},
      {"SysWOW64 a file", [](sim::SimMachine& m) { m.fs.AddFile("C:\\Windows\\SysWOW64"); }, false,
       true, false},
      {"no SYSTEMROOT",
       [](sim::SimMachine& m) {
         m.fs.AddFolder("C:\\Windows\\SysWOW64");
         m.fs.AddFolder("C:\\SysWOW64");
         m.fs.SetEnv("SYSTEMROOT", std::nullopt);
       },
       false, true, false},
      {"ProgramFiles(x86) not set",
       [](sim::SimMachine& m) { m.fs.SetEnv("ProgramFiles(x86)", std::nullopt); }, false, false,
       false},
      {"ProgramFiles(x86) empty", [](sim::SimMachine& m) { m.fs.SetEnv("ProgramFiles(x86)", ""); },
       false, false, false},
      {"ProgramFiles(x86) equal to ProgramFiles",
       [](sim::SimMachine& m) { m.fs.SetEnv("ProgramFiles(x86)", "C:\\Program Files"); }, false,
       false, false},
      {"ProgramFiles(x86) the same folder spelt otherwise",
       [](sim::SimMachine& m) { m.fs.SetEnv("ProgramFiles(x86)", "c:\\PROGRA~1"); }, false, false,
       false},
      {"ProgramFiles(x86) a link to Program Files",
       [](sim::SimMachine& m) {
         m.fs.AddFolder("C:\\X86");
         m.fs.AddLink("C:\\X86\\pf", "C:\\Program Files", true);
         m.fs.SetEnv("ProgramFiles(x86)", "C:\\X86\\pf");
       },
       false, false, false},
      {"ProgramFiles(x86) missing",
       [](sim::SimMachine& m) { m.fs.SetEnv("ProgramFiles(x86)", "C:\\Gone"); }, false, false,
       false},
      {"ProgramFiles(x86) relative",
       [](sim::SimMachine& m) {
         m.fs.AddFolder("C:\\Users\\tech\\x86");
         m.fs.SetEnv("ProgramFiles(x86)", "x86");
       },
       false, false, false},
      {"ProgramFiles not set",
       [](sim::SimMachine& m) { m.fs.SetEnv("Programfiles", std::nullopt); }, false, false, false},
  };
  for (const auto& c : cases) {
    sim::SimMachine m;
    m.fs.SetEnv("SYSTEMROOT", "C:\\Windows");
    m.fs.SetEnv("ProgramFiles", "C:\\Program Files");
    m.fs.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
    for (const char* folder : {"C:\\Windows\\System32", "C:\\Program Files\\x",
                               "C:\\Program Files (x86)", "C:\\Users\\tech"})
      m.fs.AddFolder(folder);
    m.fs.SetShortName("C:\\Program Files", "PROGRA~1");
    m.fs.SetCurrentDir("C:\\Users\\tech");
    c.setUp(m);
    const engine::Halves h = engine::FindHalves(m.fs, m.registry);
    EXPECT_EQ(h.FilesTwin(kDrv).has_value(), c.files) << c.what;
    EXPECT_EQ(h.InstallersTwin(kIs).has_value(), c.installers) << c.what;
    EXPECT_EQ(h.registry32, c.registry) << c.what;
  }
}

TEST_F(HalvesTest, TwinsOfFoldersAndBases) {
  Add32BitHalves();
  const engine::Halves h = engine::FindHalves(machine.fs, machine.registry);
  const struct {
    std::string folder;
    std::optional<std::string> files, installers;
  } folders[] = {
      {kSys, kWow, std::nullopt},
      {kDrv, kWowDrv, std::nullopt},
      {"c:\\windows\\system32\\dllcache\\", kWow + "dllcache\\", std::nullopt},
      {"C:\\Windows\\prefetch\\", std::nullopt, std::nullopt},
      {"C:\\Windows\\System32x\\", std::nullopt, std::nullopt},
      {"C:\\Windows\\", std::nullopt, std::nullopt},
      {kIs, std::nullopt, kIs86},
      {"C:\\PROGRAM FILES\\Vendor\\", std::nullopt, "C:\\Program Files (x86)\\Vendor\\"},
      {"C:\\Program Files (x86)\\Vendor\\", std::nullopt, std::nullopt},
      {"\\InstallShield Installation Information\\", std::nullopt, std::nullopt},
  };
  for (const auto& f : folders) {
    EXPECT_EQ(h.FilesTwin(f.folder), f.files) << f.folder;
    EXPECT_EQ(h.InstallersTwin(f.folder), f.installers) << f.folder;
  }
  const struct {
    platform::HKey root;
    const char* base;
    bool twin;
  } bases[] = {
      {kLocalMachine, "Software", true},
      {kLocalMachine, "Software\\NVIDIA Corporation", true},
      {kLocalMachine, "SOFTWARE\\Vendor\\Deep", true},
      {kLocalMachine, "SoftwareX", false},
      {kLocalMachine, "System\\CurrentControlSet\\Services", false},
      {kCurrentUser, "Software", false},
  };
  for (const auto& b : bases) {
    EXPECT_EQ(h.KeysTwin(b.root, b.base), b.twin) << b.base;
    EXPECT_FALSE(engine::Halves{}.KeysTwin(b.root, b.base)) << b.base;
  }
  EXPECT_EQ(engine::Wow64KeyPath("Software"), "HKLM\\Software\\WOW6432Node");
  EXPECT_EQ(engine::Wow64KeyPath("Software\\NVIDIA Corporation"),
            "HKLM\\Software\\WOW6432Node\\NVIDIA Corporation");
}

TEST_F(HalvesTest, The32BitKeyIsOnlyEverAnotherKey) {
  Keys(kLocalMachine, {"Software\\Both", "Software\\WOW6432Node\\Both",
                       "Software\\WOW6432Node\\Only32", "Software\\Only64"});
  const struct {
    bool separate;
    const char* path;
    bool opens;
  } cases[] = {
      {true, "Software\\Both", true},     {true, "Software\\Only32", true},
      {true, "Software\\Only64", false},  {false, "Software\\Both", false},
      {false, "Software\\Only64", false}, {false, "Software\\Only32", false},
  };
  for (const auto& c : cases) {
    machine.registry.SetSeparate32BitView(c.separate);
    const auto key =
        engine::Open32BitKey(machine.registry, kLocalMachine, c.path, access::kAllAccess);
    EXPECT_EQ(static_cast<bool>(key), c.opens) << c.path << " separate=" << c.separate;
    std::string name;
    if (key) {
      ASSERT_EQ(machine.registry.KeyName(key.Get(), name), 0u);
      EXPECT_TRUE(StartsWithNoCase(name, "\\REGISTRY\\MACHINE\\Software\\WOW6432Node\\")) << name;
    }
  }
  EXPECT_EQ(machine.registry.OpenHandles(), 0u);
}

}  // namespace
}  // namespace quenk::test
