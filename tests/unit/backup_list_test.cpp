#include "SimFixture.h"
#include "backup/BackupList.h"

#include <gtest/gtest.h>

namespace quenk::test {
namespace {

TEST(BackupSizes, ReadAsAPersonWould) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 bytes"},          {1, "1 byte"},       {1023, "1023 bytes"},
      {1024, "1 KB"},          {1025, "2 KB"},      {1024 * 1024 - 1, "1024 KB"},
      {1024 * 1024, "1.0 MB"}, {1572864, "1.5 MB"}, {10ull << 30, "10240.0 MB"},
  };
  for (const auto& c : cases) EXPECT_EQ(backup::SizeText(c.bytes), c.text) << c.bytes;
  EXPECT_EQ(backup::DescribeBackup({"s", 16, 2048, 0}), "s: 16 items, 2 KB");
}

class BackupFolders : public SimFixture {
 protected:
  BackupFolders() { machine.fs.SetCurrentDir("C:\\Work"); }
};

TEST_F(BackupFolders, ListedNewestFirstWithItemsAndSizeAndRemovedWhole) {
  auto& fs = machine.fs;
  fs.AddFile("C:\\Work\\Backups\\b\\files\\C\\x\\y.dll", "12345");
  fs.AddFile("C:\\Work\\Backups\\b\\manifest.txt",
             "file\tC:\\x\\y.dll\r\nkey\tHKCU\\Software\\Z\r\n");
  fs.AddFile("C:\\Work\\Backups\\a\\manifest.txt", "file\tC:\\q.dll\r\n");
  fs.AddFile("C:\\Work\\Backups\\a\\files\\C\\q.dll", "1", platform::attr::kReadOnly);
  // A run that stopped before its manifest: dated by the folder, made last.
  fs.AddFolder("C:\\Work\\Backups\\empty");
  fs.AddFile("C:\\Work\\Backups\\stray.txt", "not a backup");
  const auto list = backup::ListBackups(fs);
  std::vector<std::string> seen;
  for (const auto& b : list)
    seen.push_back(b.stamp + " " + std::to_string(b.items) + " " + std::to_string(b.bytes));
  EXPECT_EQ(seen, (std::vector<std::string>{"empty 0 0", "a 1 16", "b 2 43"}));

  backup::RemoveBackup(fs, "a");
  EXPECT_FALSE(fs.Exists("C:\\Work\\Backups\\a"));
  EXPECT_TRUE(fs.Exists("C:\\Work\\Backups\\b\\files\\C\\x\\y.dll"));
  EXPECT_THROW(backup::RemoveBackup(fs, "a"), std::runtime_error);
  EXPECT_THROW(backup::RemoveBackup(fs, ".."), std::runtime_error);
  EXPECT_TRUE(fs.Exists("C:\\Work\\Backups\\stray.txt"));
}

}  // namespace
}  // namespace quenk::test
