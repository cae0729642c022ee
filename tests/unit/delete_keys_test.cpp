#include "SimFixture.h"

namespace quenk::test {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;

class RemoveKeysTest : public SimFixture {
 protected:
  void Run(platform::HKey root, std::string_view base,
           std::initializer_list<std::string_view> names) {
    const std::vector<std::string_view> table(names);
    remover.RemoveKeys(root, base, table);
  }
  sim::SimRegistry& reg = machine.registry;
};

TEST_F(RemoveKeysTest, DeletesWholeSubtreesAndRecordsTheNameAsWritten) {
  reg.CreateKey(kCurrentUser, "Software\\Creative Tech\\Audio\\Devices\\0000");
  reg.CreateKey(kCurrentUser, "Software\\Creative Tech\\Setup");
  reg.SetString(kCurrentUser, "Software\\Creative Tech\\Audio", "Path", "C:\\x");
  reg.CreateKey(kCurrentUser, "Software\\Creative Labs");
  Run(kCurrentUser, "Software", {"CREATIVE TECH", "Missing One", "Creative Labs\\Nothing"});
  EXPECT_EQ(Deleted(), Lines{"HKCU\\Software\\CREATIVE TECH"});
  EXPECT_TRUE(NotDeleted().empty());
  EXPECT_FALSE(reg.Exists(kCurrentUser, "Software\\Creative Tech"));
  EXPECT_TRUE(reg.Exists(kCurrentUser, "Software\\Creative Labs"));
  EXPECT_EQ(progress.steps, 3);
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(RemoveKeysTest, NameWithSeveralLevelsDeletesOnlyItsLastLevel) {
  reg.CreateKey(kLocalMachine, "Software\\ATI Technologies\\Install\\ccc-core-static\\Files");
  reg.CreateKey(kLocalMachine, "Software\\ATI Technologies\\Install\\ccc-keep");
  Run(kLocalMachine, "Software", {"ATI Technologies\\Install\\ccc-core-static"});
  EXPECT_EQ(Deleted(), Lines{"HKLM\\Software\\ATI Technologies\\Install\\ccc-core-static"});
  EXPECT_TRUE(reg.Exists(kLocalMachine, "Software\\ATI Technologies\\Install\\ccc-keep"));
}

TEST_F(RemoveKeysTest, ResistingKeysAreRecordedAsNotDeleted) {
  // A subkey that resists: its siblings go, the key stays.
  reg.CreateKey(kLocalMachine, "Software\\Vendor\\A\\Child1");
  reg.CreateKey(kLocalMachine, "Software\\Vendor\\A\\Child2").denyDelete = true;
  reg.CreateKey(kLocalMachine, "Software\\Vendor\\A\\Child3\\Grand");
  // Readable but not for full access, like the device enumeration keys.
  auto& enumKey = reg.CreateKey(kLocalMachine, "Software\\Vendor\\B");
  enumKey.denyFullAccess = true;
  enumKey.denyDelete = true;
  reg.CreateKey(kLocalMachine, "Software\\Vendor\\B\\0000");
  // Not full access, yet the one delete call is allowed: it goes.
  reg.CreateKey(kLocalMachine, "Software\\Vendor\\C").denyFullAccess = true;
  // Cannot even be read: counts as missing.
  reg.CreateKey(kLocalMachine, "Software\\Vendor\\D").denyRead = true;

  Run(kLocalMachine, "Software\\Vendor", {"A", "B", "C", "D"});
  EXPECT_EQ(Deleted(), Lines{"HKLM\\Software\\Vendor\\C"});
  EXPECT_EQ(NotDeleted(), (Lines{"HKLM\\Software\\Vendor\\A", "HKLM\\Software\\Vendor\\B"}));
  EXPECT_TRUE(reg.Exists(kLocalMachine, "Software\\Vendor\\A\\Child2"));
  EXPECT_FALSE(reg.Exists(kLocalMachine, "Software\\Vendor\\A\\Child1"));
  EXPECT_FALSE(reg.Exists(kLocalMachine, "Software\\Vendor\\A\\Child3"));
  EXPECT_TRUE(reg.Exists(kLocalMachine, "Software\\Vendor\\B\\0000"));
  EXPECT_EQ(progress.steps, 4);
}

TEST_F(RemoveKeysTest, SameKeyTwiceIsRecordedOnceOrTwice) {
  reg.CreateKey(kCurrentUser, "Software\\Gone");
  reg.CreateKey(kCurrentUser, "Software\\Stays").denyDelete = true;
  Run(kCurrentUser, "Software", {"Gone", "GONE", "Stays", "stays"});
  EXPECT_EQ(Deleted(), Lines{"HKCU\\Software\\Gone"});
  EXPECT_EQ(NotDeleted(), (Lines{"HKCU\\Software\\Stays", "HKCU\\Software\\stays"}));
}

TEST_F(RemoveKeysTest, BaseKeyThatIsMissingOrUnreadableRecordsNothing) {
  reg.CreateKey(kLocalMachine, "Software\\Locked\\X").parent->denyRead = true;
  const struct {
    const char* base;
  } cases[] = {{"Software\\Missing"}, {"Software\\Locked"}, {"System\\ControlSet003\\Services"}};
  for (const auto& c : cases) Run(kLocalMachine, c.base, {"X", "Y", "Z"});
  EXPECT_TRUE(Deleted().empty() && NotDeleted().empty());
  EXPECT_EQ(progress.steps, 9);
  Run(kLocalMachine, "Software", {});
  EXPECT_EQ(progress.steps, 9);
}

TEST_F(RemoveKeysTest, ReadOnlyBaseKeyStillHasItsNamesTriedAndRecorded) {
  // An ordinary user under HKEY_LOCAL_MACHINE: the base opens for reading only.
  reg.CreateKey(kLocalMachine, "System\\ControlSet001\\Services").denyFullAccess = true;
  reg.CreateKey(kLocalMachine, "System\\ControlSet001\\Services\\nvstor");
  reg.CreateKey(kLocalMachine, "System\\ControlSet001\\Services\\nvraid\\Enum").denyDelete = true;
  Run(kLocalMachine, "System\\ControlSet001\\Services", {"nv_agp", "nvstor", "nvraid"});
  EXPECT_EQ(Deleted(), Lines{"HKLM\\System\\ControlSet001\\Services\\nvstor"});
  EXPECT_EQ(NotDeleted(), Lines{"HKLM\\System\\ControlSet001\\Services\\nvraid"});
  EXPECT_EQ(progress.steps, 3);
}

// A key reached through a registry link on the way belongs to the link's
// target: it stays, and says so. The control set in use is the system's own
// link, which the sweep means to follow.
TEST_F(RemoveKeysTest, KeysReachedThroughALinkStay) {
  reg.CreateKey(kLocalMachine, "Software\\Precious\\ccc-skins");
  reg.CreateKey(kLocalMachine, "Software\\Elsewhere\\Install\\ccc-core");
  reg.CreateLink(kLocalMachine, "Software\\ATI Technologies\\Install", kLocalMachine,
                 "Software\\Precious");
  reg.CreateLink(kLocalMachine, "Software\\Vendor", kLocalMachine, "Software\\Elsewhere");
  reg.CreateKey(kLocalMachine, "System\\ControlSet001\\Services\\nvstor");
  reg.CreateLink(kLocalMachine, "System\\CurrentControlSet", kLocalMachine,
                 "System\\ControlSet001");
  Run(kLocalMachine, "Software",
      {"ATI Technologies\\Install\\ccc-skins", "Vendor\\Install\\ccc-core"});
  Run(kLocalMachine, "System\\CurrentControlSet\\Services", {"nvstor"});
  EXPECT_EQ(NotDeleted(), (Lines{"HKLM\\Software\\ATI Technologies\\Install\\ccc-skins",
                                 "HKLM\\Software\\Vendor\\Install\\ccc-core"}));
  EXPECT_EQ(Deleted(), Lines{"HKLM\\System\\CurrentControlSet\\Services\\nvstor"});
  EXPECT_TRUE(reg.Exists(kLocalMachine, "Software\\Precious\\ccc-skins"));
  EXPECT_TRUE(reg.Exists(kLocalMachine, "Software\\Elsewhere\\Install\\ccc-core"));
  EXPECT_FALSE(reg.Exists(kLocalMachine, "System\\ControlSet001\\Services\\nvstor"));
  EXPECT_EQ(reg.OpenHandles(), 0u);
}

}  // namespace
}  // namespace quenk::test
