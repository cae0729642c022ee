#include "ForwardingRegistry.h"
#include "ProfileFixture.h"

#include <functional>

namespace quenk::test {
namespace {

using platform::kLocalMachine;
namespace access = platform::access;

using Masks = std::vector<std::string_view>;
const std::string kPrefetch = "C:\\Windows\\prefetch\\";
const std::string kWowKeys = "HKLM\\Software\\WOW6432Node\\";

TEST(RemoveInBothHalves, FilesUnderSysWow64RightAfterTheirSystem32Pass) {
  const Lines only64{kSys + "nvcpl.dll", kSys + "nvapi64.dll", kDrv + "nvlddmkm.sys",
                     kPrefetch + "NVCPL.EXE-1.pf"};
  const struct {
    const char* what;
    std::function<void(MachineCase&)> setUp;
    Lines deleted;
    int steps;
    Lines decoys;
  } cases[] = {
      {"no SysWOW64", [](MachineCase&) {}, only64, 2 + 1 + 2, {}},
      {"SysWOW64",
       [](MachineCase& t) {
         t.Add32BitHalves();
         t.Files({kWow + "nvcpl.dll", kWow + "nvcplui.exe", kWow + "nvapi.dll", kWow + "keep.dll",
                  kWowDrv + "nvlddmkm32.sys", kWowDrv + "keep.sys", kWow + "prefetch\\nwiz.pf"});
       },
       {kSys + "nvcpl.dll", kSys + "nvapi64.dll", kWow + "nvcpl.dll", kWow + "nvcplui.exe",
        kWow + "nvapi.dll", kDrv + "nvlddmkm.sys", kWowDrv + "nvlddmkm32.sys",
        kPrefetch + "NVCPL.EXE-1.pf"},
       4 + 2 + 2,
       {kWow + "keep.dll", kWowDrv + "keep.sys", kWow + "prefetch\\nwiz.pf"}},
      {"SysWOW64 a link",
       [](MachineCase& t) {
         t.machine.fs.AddLink("C:\\Windows\\SysWOW64", "C:\\Elsewhere", true);
         t.machine.registry.SetSeparate32BitView(true);
       },
       only64,
       2 + 1 + 2,
       {}},
      {"SysWOW64 a file",
       [](MachineCase& t) {
         t.machine.fs.AddFile("C:\\Windows\\SysWOW64");
         t.machine.registry.SetSeparate32BitView(true);
       },
       only64,
       2 + 1 + 2,
       {kWow.substr(0, kWow.size() - 1)}},
  };
  for (const auto& c : cases) {
    MachineCase t;
    t.Files({kSys + "nvcpl.dll", kSys + "nvapi64.dll", kDrv + "nvlddmkm.sys",
             kPrefetch + "NVCPL.EXE-1.pf", "C:\\Elsewhere\\nvcpl.dll"});
    c.setUp(t);
    {
      const auto run = t.Start();
      run->remover.RemoveFiles(kSys, Masks{"nvcpl*.*", "nvapi*.*"});
      run->remover.RemoveFiles(kDrv, Masks{"nvlddmkm*.*"});
      run->remover.RemoveFiles(kPrefetch, Masks{"nvcpl*.*", "nwiz*.*"});
    }
    EXPECT_EQ(t.Deleted(), c.deleted) << c.what;
    EXPECT_TRUE(t.NotDeleted().empty()) << c.what;
    EXPECT_EQ(t.progress.steps, c.steps) << c.what;
    EXPECT_TRUE(t.Exists("C:\\Elsewhere\\nvcpl.dll")) << c.what;
    for (const auto& decoy : c.decoys) EXPECT_TRUE(t.Exists(decoy)) << c.what << " " << decoy;
  }
}

TEST(RemoveInBothHalves, KeysThe32BitViewHoldsBackAreTreatedAsIn64Bits) {
  const std::string name32 = "Software\\WOW6432Node\\Vendor\\Name";
  const struct {
    const char* what;
    std::function<void(sim::SimRegistry&)> setUp;
    Lines deleted, notDeleted;
    bool stays;
  } cases[] = {
      {"no read rights",
       [&](sim::SimRegistry& r) { r.CreateKey(kLocalMachine, name32).denyRead = true; },
       {"HKLM\\Software\\Vendor\\Name"},
       {},
       true},
      {"base without read rights",
       [&](sim::SimRegistry& r) {
         r.CreateKey(kLocalMachine, name32 + "\\Sub");
         r.Find(kLocalMachine, "Software\\WOW6432Node\\Vendor")->denyRead = true;
       },
       {"HKLM\\Software\\Vendor\\Name"},
       {},
       true},
      {"base only readable",
       [&](sim::SimRegistry& r) {
         r.CreateKey(kLocalMachine, name32 + "\\Sub");
         r.Find(kLocalMachine, "Software\\WOW6432Node\\Vendor")->denyFullAccess = true;
       },
       {"HKLM\\Software\\Vendor\\Name", kWowKeys + "Vendor\\Name"},
       {},
       false},
      {"resists deletion",
       [&](sim::SimRegistry& r) { r.CreateKey(kLocalMachine, name32 + "\\Sub").denyDelete = true; },
       {"HKLM\\Software\\Vendor\\Name"},
       {kWowKeys + "Vendor\\Name"},
       true},
      {"a link",
       [&](sim::SimRegistry& r) {
         r.CreateLink(kLocalMachine, name32, kLocalMachine, "Software\\Target");
       },
       {"HKLM\\Software\\Vendor\\Name", kWowKeys + "Vendor\\Name"},
       {},
       false},
  };
  for (const auto& c : cases) {
    MachineCase t;
    t.Add32BitHalves();
    t.Keys(kLocalMachine, {"Software\\Vendor\\Name\\Sub", "Software\\Target\\Keep"});
    c.setUp(t.machine.registry);
    t.Start()->remover.RemoveKeys(kLocalMachine, "Software\\Vendor", Masks{"Name", "Other"});
    EXPECT_EQ(t.Deleted(), c.deleted) << c.what;
    EXPECT_EQ(t.NotDeleted(), c.notDeleted) << c.what;
    EXPECT_EQ(t.progress.steps, 4) << c.what;
    EXPECT_FALSE(t.Key(kLocalMachine, "Software\\Vendor\\Name")) << c.what;
    EXPECT_EQ(t.Key(kLocalMachine, name32), c.stays) << c.what;
    EXPECT_TRUE(t.Key(kLocalMachine, "Software\\Target\\Keep")) << c.what;
    EXPECT_EQ(t.machine.registry.OpenHandles(), 0u) << c.what;
  }
}

// A view that is no other key (the flag ignored, a shared key) is not
// cleaned a second time, nor recorded under a path it does not have.
TEST(RemoveInBothHalves, NoSecondPassWhereThe32BitViewIsTheSameKey) {
  MachineCase t;
  t.machine.registry.CreateKey(kLocalMachine, "Software\\Vendor\\Name").denyDelete = true;
  t.machine.registry.CreateKey(kLocalMachine, "Software\\Vendor\\Gone");
  engine::Halves halves;
  halves.registry32 = true;
  engine::Remover remover(t.machine.ports(), t.record, t.progress, halves);
  remover.RemoveKeys(kLocalMachine, "Software\\Vendor", Masks{"Name", "Gone"});
  EXPECT_EQ(t.Deleted(), Lines{"HKLM\\Software\\Vendor\\Gone"});
  EXPECT_EQ(t.NotDeleted(), Lines{"HKLM\\Software\\Vendor\\Name"});
  EXPECT_EQ(t.progress.steps, 4);
}

// Every open and delete of the 32-bit pass names the view, as Windows wants
// of every operation below a key opened in the other view.
class ViewLog final : public ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  std::vector<std::string> calls;

  std::uint32_t Open(platform::HKey p, const std::string& path, std::uint32_t r,
                     platform::HKey& k) override {
    Note("Open", path, r);
    return ForwardingRegistry::Open(p, path, r, k);
  }
  std::uint32_t DeleteKey(platform::HKey p, const std::string& path) override {
    Note("DeleteKey", path, 0);
    return ForwardingRegistry::DeleteKey(p, path);
  }
  std::uint32_t OpenItself(platform::HKey p, const std::string& path, std::uint32_t r,
                           platform::HKey& k) override {
    Note("OpenItself", path, r);
    return ForwardingRegistry::OpenItself(p, path, r, k);
  }
  std::uint32_t DeleteKeyEx(platform::HKey p, const std::string& path, std::uint32_t v) override {
    Note("DeleteKeyEx", path, v);
    return ForwardingRegistry::DeleteKeyEx(p, path, v);
  }

 private:
  void Note(const char* op, const std::string& path, std::uint32_t rights) {
    calls.push_back(std::string(op) + " " + path +
                    ((rights & access::kWow64_32Key) ? " [32]" : ""));
  }
};

TEST(RemoveInBothHalves, The32BitPassNamesTheViewInEveryOpenAndDelete) {
  MachineCase t;
  t.Add32BitHalves();
  t.Keys(kLocalMachine, {"Software\\WOW6432Node\\Vendor\\Name\\Sub"});
  ViewLog log(t.machine.registry);
  const engine::Halves halves = engine::FindHalves(t.machine.fs, t.machine.registry);
  engine::Remover remover({t.machine.fs, log, t.machine.ini, t.machine.locale, t.machine.shell},
                          t.record, t.progress, halves);
  remover.RemoveKeys(kLocalMachine, "Software\\Vendor", Masks{"Name"});
  EXPECT_EQ(t.Deleted(), Lines{kWowKeys + "Vendor\\Name"});
  const auto first32 = std::find_if(log.calls.begin(), log.calls.end(), [](const std::string& c) {
    return c.find("[32]") != std::string::npos;
  });
  ASSERT_NE(first32, log.calls.end());
  // The 64-bit pass is as it always was: no view named.
  for (auto it = log.calls.begin(); it != first32; ++it)
    EXPECT_EQ(it->find("DeleteKeyEx"), std::string::npos) << *it;
  for (auto it = first32; it != log.calls.end(); ++it) {
    const bool names = it->find("[32]") != std::string::npos;
    // Telling the views apart opens the 64-bit key once, for reading.
    EXPECT_TRUE(names || *it == "Open Software\\Vendor") << *it;
  }
  EXPECT_NE(std::find(first32, log.calls.end(), "DeleteKeyEx Sub [32]"), log.calls.end());
  EXPECT_NE(std::find(first32, log.calls.end(), "DeleteKeyEx Name [32]"), log.calls.end());
}

}  // namespace
}  // namespace quenk::test
