#include "Contract.h"

namespace quenk::test {
namespace {

TEST_F(Contract, RegionalSettingsAreUsable) {
  const auto r = ports.locale.Regional();
  EXPECT_FALSE(r.shortDate.empty());
  EXPECT_FALSE(r.timeSeparator.empty());
  const auto now = ports.locale.Now();
  EXPECT_GE(now.year, 2000);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
}

TEST_F(Contract, NotificationIconAddAndDelete) {
  const platform::NotifyIcon icon{machine->IconOwner(), 7, 0x8001, "Quenk"};
  EXPECT_TRUE(ports.shell.AddIcon(icon));
  EXPECT_TRUE(ports.shell.DeleteIcon(icon));
  EXPECT_FALSE(ports.shell.DeleteIcon(icon));
}

// A name is held once, also within one thread, and free again once let go.
TEST_F(Contract, ANamedLockIsHeldOnceAtATime) {
  ASSERT_NE(ports.locks, nullptr);
  const std::string name = "Local\\Quenk.Contract";
  auto first = ports.locks->TryHold(name);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ports.locks->TryHold(name), nullptr);
  EXPECT_NE(ports.locks->TryHold(name + ".other"), nullptr);
  first.reset();
  EXPECT_NE(ports.locks->TryHold(name), nullptr);
}

}  // namespace
}  // namespace quenk::test
