#include "backup/BackupFolder.h"
#include "backup/Manifest.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quenk::test {
namespace {

using backup::Kind;
using backup::ManifestEntry;

TEST(Manifest, LinesRoundTripAndLinksJoinTheItemTheyAreIn) {
  const std::vector<ManifestEntry> entries{
      {Kind::kFile, "C:\\Windows\\System32\\nvapi.dll", false, {}},
      {Kind::kFolder, "C:\\Windows\\Help\\nvcpl", false, {}},
      {Kind::kFolder, "C:\\Windows\\Help\\nvcpl\\junction", true, "C:\\Outside"},
      {Kind::kFile, "C:\\Windows\\Help\\nvcpl\\sub\\file.lnk", true, ""},
      {Kind::kFolder, "\\\\?\\C:\\Windows\\dotted.", false, {}},
      {Kind::kFolder, "\\\\server\\share\\Vendor", false, {}},
      {Kind::kFolder, "C:\\Linked", true, "D:\\Elsewhere"},  // a link removed as an item
      {Kind::kKey, "HKLM\\Software\\Vendor \xe9=\"x\"", false, {}},
      {Kind::kKey, "HKLM\\Software\\Vendor \xe9=\"x\"\\Inner", true, "\\REGISTRY\\MACHINE\\X"},
      {Kind::kKey, "HKCU\\Software\\Tab\there", false, {}},
  };
  std::string text;
  for (const auto& e : entries) text += backup::FormatManifestLine(e);
  EXPECT_EQ(text.substr(0, 43), "file\tC:\\Windows\\System32\\nvapi.dll\r\nfolder\t");
  const auto manifest = backup::ParseManifest(text);
  EXPECT_TRUE(manifest.problems.empty()) << manifest.problems.front();
  ASSERT_EQ(manifest.items.size(), 7u);
  EXPECT_EQ(manifest.items[1].links, (std::vector<ManifestEntry>{entries[2], entries[3]}));
  EXPECT_EQ(manifest.items[4].entry, entries[6]);
  EXPECT_EQ(manifest.items[5].links, std::vector<ManifestEntry>{entries[8]});
  EXPECT_EQ(manifest.items[6].entry.path, "HKCU\\Software\\Tab\there");

  // Long names join the file or folder item they name or lie in; elsewhere
  // they are not understood.
  const std::vector<backup::ManifestName> names{
      {"C:\\Windows\\Help\\nvcpl", {"?dir", "\xd0\x96dir"}},
      {"C:\\Windows\\Help\\nvcpl\\___~1.TXT", {"???.txt", "\xd0\x96\xd1\x83\xd0\xba.txt"}},
      // Below a folder only the literal form reaches ("y.").
      {"\\\\?\\C:\\Windows\\Help\\nvcpl\\y.\\___~2.TXT", {"?.txt", "\xd0\x96.txt"}}};
  const std::string named = backup::FormatManifestLine(entries[1]) +
                            backup::FormatNameLine(names[0]) + backup::FormatNameLine(names[1]) +
                            backup::FormatNameLine(names[2]) +
                            backup::FormatManifestLine(entries[7]) +
                            backup::FormatNameLine({entries[7].path, {"?", "\xd0\x96"}}) +
                            backup::FormatManifestLine(entries[0]) +
                            backup::FormatNameLine({"C:\\Elsewhere\\x", {"?", "\xd0\x96"}});
  const auto withNames = backup::ParseManifest(named);
  ASSERT_EQ(withNames.items.size(), 3u);
  EXPECT_EQ(withNames.items[0].names, names);
  EXPECT_EQ(withNames.problems,
            (std::vector<std::string>{"line 6: not understood", "line 8: not understood"}));
}

TEST(Manifest, LinesThatCannotBeTakenAreReported) {
  const struct {
    std::string line;
    std::string problem;
  } cases[] = {
      {"file\tC:\\x\\..\\y", "not a full path"},
      {"file\tC:\\x\\.\\y", "not a full path"},
      {"file\t\\\\?\\C:\\x\\..\\y", "not a full path"},
      {"folder\t\\\\?\\C:\\x\\.", "not a full path"},
      {"file\t\\\\?\\UNC\\server\\share\\..\\..\\y", "not a full path"},
      {"file\t\\\\?\\C:\\x\\\\y", "not a full path"},
      {"file\t\\\\?\\relative\\y", "not a full path"},
      {"link\t\\\\?\\C:\\x\\..\\l\tfolder\tC:\\y", "not a full path"},
      {"file\trelative\\y", "not a full path"},
      {"file\tC:relative", "not a full path"},
      {"file\tC:\\x\\*.dll", "not a full path"},
      {"file\tC:\\x\\a:b", "not a full path"},
      {"file\tC:/x/y", "not a full path"},
      {"folder\t", "not a full path"},
      {"key\tHKCR\\x", "not a full path"},
      {"key\tHKLM\\", "not a full path"},
      {"key\tHKLM\\a\\\\b", "not a full path"},
      {"key\tC:\\x", "not a full path"},
      {"file C:\\x", "not understood"},
      {"FILE\tC:\\x", "not understood"},
      {"link\tC:\\x\tfolder", "not understood"},
      {"link\tC:\\x\tpipe\tC:\\y", "not understood"},
      {"link\tHKLM\\x\tfolder\tC:\\y", "not a full path"},
      {std::string("file\tC:\\x\0y", 11), "not a full path"},
      {"name\tC:\\x\t?\t\xd0\x96", "not understood"},  // no item before it
      {"name\tC:\\x\t\xd0\x96", "not understood"},
  };
  for (const auto& c : cases) {
    const auto manifest = backup::ParseManifest(c.line + "\r\nfile\tC:\\ok.dll\r\n");
    ASSERT_EQ(manifest.problems.size(), 1u) << c.line;
    EXPECT_NE(manifest.problems[0].find("line 1: " + c.problem), std::string::npos)
        << c.line << ": " << manifest.problems[0];
    EXPECT_EQ(manifest.items.size(), 1u) << c.line;
  }
  const auto cut = backup::ParseManifest("file\tC:\\a.dll\r\nfile\tC:\\b.d");
  EXPECT_EQ(cut.items.size(), 1u);
  EXPECT_EQ(cut.problems, std::vector<std::string>{"line 2: cut short"});
  std::string binary;
  for (int i = 0; i < 20000; ++i) binary += static_cast<char>(i % 253);
  const auto noise = backup::ParseManifest(binary);
  EXPECT_TRUE(noise.items.empty());
  EXPECT_EQ(noise.problems.size(), 51u);
}

TEST(Manifest, AttributesLinesRoundTripAndNoiseIsPassedOver) {
  const backup::EntryFacts facts{0x27, {132'000'000'000'000'001, 2, 18'446'744'073'709'551'615u}};
  std::string text = backup::FormatAttributesLine("\\\\?\\C:\\x\\dotted.", facts);
  EXPECT_EQ(text, "27\t132000000000000001\t2\t18446744073709551615\t\\\\?\\C:\\x\\dotted.\r\n");
  text += "zz\t1\t2\t3\tC:\\bad\r\n1\t-1\t2\t3\tC:\\bad\r\n1\t1\t2\tC:\\bad\r\n";
  text += "10\t1\t2\t3\trelative\r\n20\t4\t5\t6\tc:\\Other\r\n20\t4\t5\t6\tC:\\cut";
  const auto parsed = backup::ParseAttributes(text);
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed.at("C:\\X\\DOTTED.").attributes, 0x27u);
  EXPECT_EQ(parsed.at("C:\\X\\DOTTED.").times, facts.times);
  EXPECT_EQ(parsed.at("C:\\OTHER").times.lastWrite, 6u);
}

TEST(BackupPaths, CopiesLieBelowFilesByDriveOrShare) {
  const struct {
    const char* path;
    const char* copy;
  } cases[] = {
      {"C:\\windows\\System32\\nvapi.dll", "C\\windows\\System32\\nvapi.dll"},
      {"d:\\x", "D\\x"},
      {"\\\\server\\share\\x", "UNC\\server\\share\\x"},
      {"\\\\?\\C:\\x\\dotted.", "C\\x\\dotted."},
      {"\\\\?\\UNC\\server\\share\\x", "UNC\\server\\share\\x"},
      {"relative\\x", ""},
      {"C:x", ""},
      {"1:\\x", ""},
      {"\\\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(backup::CopyPathFor(c.path), c.copy) << c.path;
}

TEST(BackupPaths, NamesEndingInADotOrBlankTakeTheLiteralForm) {
  const struct {
    const char* path;
    const char* reachable;
    const char* plain;
  } cases[] = {
      {"C:\\x\\y.dll", "C:\\x\\y.dll", "C:\\x\\y.dll"},
      {"C:\\x\\dotted.\\y", "\\\\?\\C:\\x\\dotted.\\y", "C:\\x\\dotted.\\y"},
      {"C:\\x\\blank ", "\\\\?\\C:\\x\\blank ", "C:\\x\\blank "},
      {"\\\\server\\share\\dot.", "\\\\?\\UNC\\server\\share\\dot.", "\\\\server\\share\\dot."},
      {"\\\\?\\C:\\x.", "\\\\?\\C:\\x.", "C:\\x."},
      {"C:\\x\\..\\y.", "C:\\x\\..\\y.", "C:\\x\\..\\y."},  // no literal form keeps ".."
  };
  for (const auto& c : cases) {
    EXPECT_EQ(backup::Reachable(c.path), c.reachable) << c.path;
    EXPECT_EQ(platform::PlainPath(backup::Reachable(c.path)), c.plain) << c.path;
  }
}

}  // namespace
}  // namespace quenk::test
