#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace quenk::test {
namespace {

TEST(Paths, SplitAndJoinAsTheCallersExpect) {
  const struct {
    const char* path;
    const char* parent;
    const char* folder;
    const char* last;
    const char* plain;
  } cases[] = {
      {"C:\\x\\y.dll", "C:\\x", "C:\\x\\", "y.dll", "C:\\x\\y.dll"},
      {"C:\\x\\", "C:\\x", "C:\\x\\", "", "C:\\x\\"},
      {"C:\\", "C:", "C:\\", "", "C:\\"},
      {"name", "", "", "name", "name"},
      {"C:/x/y", "C:/x", "C:/x/", "y", "C:/x/y"},
      {"\\\\?\\C:\\x.", "\\\\?\\C:", "\\\\?\\C:\\", "x.", "C:\\x."},
      {"\\\\?\\UNC\\srv\\share\\a", "\\\\?\\UNC\\srv\\share", "\\\\?\\UNC\\srv\\share\\", "a",
       "\\\\srv\\share\\a"},
      // Only the system's spelling names a share: the other stays relative.
      {"\\\\?\\unc\\srv\\s", "\\\\?\\unc\\srv", "\\\\?\\unc\\srv\\", "s", "unc\\srv\\s"},
      // A literal path is split at "\\" only.
      {"\\\\?\\C:\\a/b", "\\\\?\\C:", "\\\\?\\C:\\", "a/b", "C:\\a/b"},
      {"\\\\srv\\share", "\\\\srv", "\\\\srv\\", "share", "\\\\srv\\share"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ParentOf(c.path), c.parent) << c.path;
    EXPECT_EQ(platform::FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(platform::LastComponent(c.path), c.last) << c.path;
    EXPECT_EQ(platform::PlainPath(c.path), c.plain) << c.path;
    // Putting a path back together from its parts gives the path.
    if (*c.folder) EXPECT_EQ(platform::FolderOf(c.path) + platform::LastComponent(c.path), c.path);
    // The literal form of a plain path names the same path once plain again.
    if (const std::string literal = platform::LiteralPath(c.plain); !literal.empty())
      EXPECT_EQ(platform::PlainPath(literal), c.plain) << c.path;
  }
  EXPECT_EQ(platform::KeyParentOf("Software\\V\\x/y"), "Software\\V");
  EXPECT_EQ(platform::Join("C:\\x\\", "y"), "C:\\x\\y");
  EXPECT_EQ(platform::Join("C:\\x", "y"), "C:\\x\\y");
  EXPECT_EQ(platform::Join("", "y"), "y");
  EXPECT_TRUE(platform::IsDotName(".") && platform::IsDotName(".."));
  EXPECT_FALSE(platform::IsDotName("...") || platform::IsDotName(".x") || platform::IsDotName(""));
}

}  // namespace
}  // namespace quenk::test
