#include "ControlIds.h"
#include "Driver.h"
#include "QuenkVersion.h"

#include <gtest/gtest.h>

namespace quenk::e2e {
namespace {

TEST(Smoke, MainWindowComesUpWithItsSizeAndClosesOnWmClose) {
  Quenk quenk;
  ASSERT_TRUE(quenk.WaitVisible("TVeskForm"));
  const HWND main = ::FindWindowA(nullptr, "Halvix - Scourix - " QUENK_VERSION);
  ASSERT_EQ(main, quenk.Main());
  const SIZE client = ClientSize(main);
  EXPECT_EQ(client.cx, 428);
  EXPECT_EQ(client.cy, 252);  // the designed 232 and the status line
  PostClose(main);
  EXPECT_TRUE(quenk.WaitExit());
}

}  // namespace
}  // namespace quenk::e2e
