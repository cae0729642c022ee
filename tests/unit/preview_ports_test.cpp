#include "platform/PreviewPorts.h"
#include "platform/sim/SimMachine.h"

#include <gtest/gtest.h>

namespace quenk::test {
namespace {

using platform::kLocalMachine;

std::vector<std::string> Listing(platform::FileSystem& fs, const std::string& pattern) {
  std::vector<std::string> names;
  auto search = fs.FindRaw(pattern);
  platform::FindEntry entry;
  while (search->Next(entry))
    if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
  return names;
}

// What goes under one name is gone under every other name of the same
// thing, as it is after a real deletion.
TEST(PreviewPorts, WhatGoesUnderOneNameIsGoneUnderTheOther) {
  sim::SimMachine m;
  m.fs.AddFile("C:\\Vendor\\Long file name.dll");
  m.fs.AddFile("C:\\Vendor\\keep.txt");
  platform::PreviewFileSystem fs(m.fs);
  EXPECT_EQ(fs.Delete("C:\\Vendor\\LONGFI~1.DLL"), 0u);
  EXPECT_EQ(Listing(fs, "C:\\Vendor\\*"), std::vector<std::string>{"keep.txt"});
  EXPECT_TRUE(m.fs.Exists("C:\\Vendor\\Long file name.dll"));

  // HKLM\System\CurrentControlSet is a link to a control set: a key that
  // goes under one spelling is gone under the other, and a link that goes
  // as a link leaves its target.
  m.registry.CreateKey(kLocalMachine, "System\\ControlSet001\\Services\\nvsvc\\Enum");
  m.registry.CreateKey(kLocalMachine, "Software\\Precious\\Sub");
  m.registry.CreateLink(kLocalMachine, "System\\CurrentControlSet", kLocalMachine,
                        "System\\ControlSet001");
  m.registry.CreateLink(kLocalMachine, "Software\\Vendor\\Link", kLocalMachine,
                        "Software\\Precious");
  platform::PreviewRegistry registry(m.registry);
  const std::string services = "System\\CurrentControlSet\\Services";
  EXPECT_EQ(registry.DeleteKey(kLocalMachine, "System\\ControlSet001\\Services\\nvsvc\\Enum"), 0u);
  EXPECT_EQ(registry.DeleteKey(kLocalMachine, services + "\\nvsvc"), 0u);
  EXPECT_EQ(registry.DeleteKey(kLocalMachine, "System\\ControlSet001\\Services\\nvsvc"),
            platform::err::kFileNotFound);
  platform::HKey key = 0;
  EXPECT_EQ(registry.Open(kLocalMachine, services + "\\nvsvc", platform::access::kRead, key),
            platform::err::kFileNotFound);

  ASSERT_EQ(registry.OpenItself(kLocalMachine, "Software\\Vendor\\Link",
                                platform::access::kAllAccess, key),
            0u);
  EXPECT_EQ(registry.DeleteOpenKey(key), 0u);
  registry.Close(key);
  EXPECT_EQ(registry.Open(kLocalMachine, "Software\\Precious\\Sub", platform::access::kRead, key),
            0u);
  registry.Close(key);
  EXPECT_TRUE(m.registry.Exists(kLocalMachine, "System\\ControlSet001\\Services\\nvsvc"));
}

// A window showing a forecast repaints while a large folder is looked at,
// not only between the steps of the cleaning.
TEST(PreviewPorts, LargeFoldersPulse) {
  sim::SimMachine m;
  for (int i = 0; i < 1000; ++i) m.fs.AddFile("C:\\Big\\f" + std::to_string(i) + ".dat");
  platform::PreviewFileSystem fs(m.fs);
  int pulses = 0;
  fs.SetPulse([&pulses] { ++pulses; });
  EXPECT_EQ(Listing(fs, "C:\\Big\\*").size(), 1000u);
  EXPECT_GE(pulses, 3);
}

}  // namespace
}  // namespace quenk::test
