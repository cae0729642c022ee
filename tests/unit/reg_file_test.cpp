#include "backup/RegFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quenk::test {
namespace {

using backup::RegSection;
using backup::RegValue;

std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out += static_cast<char>(b);
  return out;
}

std::string AllBytes() {
  std::string out;
  for (int b = 0; b < 256; ++b) out += static_cast<char>(b);
  return out;
}

TEST(RegFile, ValuesAreWrittenAsTheRegistryEditorReadsThem) {
  const struct {
    RegValue value;
    std::string line;
  } cases[] = {
      {{"", 1, std::string("default\0", 8)}, "@=\"default\""},
      {{"Path", 1, std::string("C:\\x \"q\"\0", 9)}, "\"Path\"=\"C:\\\\x \\\"q\\\"\""},
      {{"a=b \\ \"c\"", 1, std::string("x\0", 2)}, "\"a=b \\\\ \\\"c\\\"\"=\"x\""},
      {{"\xe9t\xe9", 1, std::string("\xfc\0", 2)}, "\"\xe9t\xe9\"=\"\xfc\""},
      {{"@", 1, std::string("\0", 1)}, "\"@\"=\"\""},
      {{"No NUL", 1, "AB"}, "\"No NUL\"=hex(1):41,42"},
      {{"Two NULs", 1, std::string("A\0\0", 3)}, "\"Two NULs\"=hex(1):41,00,00"},
      {{"NUL inside", 1, std::string("A\0B\0", 4)}, "\"NUL inside\"=hex(1):41,00,42,00"},
      {{"Lines", 1, std::string("a\r\nb\0", 5)}, "\"Lines\"=hex(1):61,0d,0a,62,00"},
      {{"Empty", 1, ""}, "\"Empty\"=hex(1):"},
      {{"Expand", 2, std::string("%T%\0", 4)}, "\"Expand\"=hex(2):25,54,25,00"},
      {{"Multi", 7, std::string("a\0b\0\0", 5)}, "\"Multi\"=hex(7):61,00,62,00,00"},
      {{"Dword", 4, Bytes({0x0a, 0, 0, 0x80})}, "\"Dword\"=dword:8000000a"},
      {{"Short dword", 4, Bytes({1, 2, 3})}, "\"Short dword\"=hex(4):01,02,03"},
      {{"Long dword", 4, Bytes({1, 2, 3, 4, 5})}, "\"Long dword\"=hex(4):01,02,03,04,05"},
      {{"Qword", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8})}, "\"Qword\"=hex(b):01,02,03,04,05,06,07,08"},
      {{"Binary", 3, Bytes({0, 0xff})}, "\"Binary\"=hex:00,ff"},
      {{"None", 0, ""}, "\"None\"=hex(0):"},
      {{"Odd type", 0x80000000u, Bytes({0xaa})}, "\"Odd type\"=hex(80000000):aa"},
      {{"Big-endian", 5, Bytes({0, 0, 0, 1})}, "\"Big-endian\"=hex(5):00,00,00,01"},
      {{"Line\r\nbreak", 1, std::string("x\0", 2)}, "\"Line\\r\\nbreak\"=\"x\""},
  };
  for (const auto& c : cases) {
    const std::string text = backup::FormatRegSection({"HKEY_CURRENT_USER\\K", {c.value}});
    EXPECT_EQ(text, "[HKEY_CURRENT_USER\\K]\r\n" + c.line + "\r\n\r\n") << c.value.name;
  }
  EXPECT_EQ(backup::RegFileHeader(), "REGEDIT4\r\n\r\n");
  EXPECT_EQ(backup::FormatRegSection({"HKEY_LOCAL_MACHINE\\Empty", {}}),
            "[HKEY_LOCAL_MACHINE\\Empty]\r\n\r\n");
}

TEST(RegFile, LongDataIsWrappedLikeTheEditorDoes) {
  const std::string text =
      backup::FormatRegSection({"HKEY_CURRENT_USER\\K", {{"Blob", 3, std::string(300, '\x5a')}}});
  std::size_t start = 0, lines = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    start = end + 2;
    ++lines;
  }
  EXPECT_GT(lines, 10u);
  const auto parsed = backup::ParseRegFile(backup::RegFileHeader() + text);
  ASSERT_EQ(parsed.sections.size(), 1u);
  EXPECT_EQ(parsed.sections[0].values[0].data, std::string(300, '\x5a'));
}

// Every type, every byte value, awkward names of keys and values: written
// and read back, nothing changes.
std::vector<RegSection> Awkward() {
  std::vector<RegSection> sections;
  RegSection values{"HKEY_LOCAL_MACHINE\\Software\\Vendor \xe9=\"x\"", {}};
  const std::uint32_t types[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x80000000u, 0xffffffffu};
  const std::string datas[] = {"",
                               std::string("\0", 1),
                               std::string("text\0", 5),
                               "no nul",
                               std::string("a\0b\0\0", 5),
                               Bytes({1, 2, 3, 4}),
                               Bytes({1, 2, 3}),
                               std::string("C:\\Program Files\\\"q\"\0", 21),
                               std::string("\r\n\0", 3),
                               AllBytes()};
  int n = 0;
  for (const std::uint32_t type : types)
    for (const auto& data : datas)
      values.values.push_back({"v" + std::to_string(n++) + " \\ \" = @ \xfc", type, data});
  values.values.push_back({"", 1, std::string("default\0", 8)});
  sections.push_back(values);
  sections.push_back({"HKEY_LOCAL_MACHINE\\Software\\Vendor \xe9=\"x\"\\Empty", {}});
  sections.push_back(
      {"HKEY_CURRENT_USER\\Software\\br]acket [x]", {{"[", 1, std::string("]\0", 2)}}});
  sections.push_back(
      {"HKEY_CURRENT_USER\\Software\\;not a comment", {{";", 4, Bytes({0, 0, 0, 0})}}});
  return sections;
}

TEST(RegFile, RoundTripKeepsEveryTypeNameAndByte) {
  std::string text = backup::RegFileHeader();
  for (const auto& s : Awkward()) text += backup::FormatRegSection(s);
  const auto parsed = backup::ParseRegFile(text);
  EXPECT_TRUE(parsed.problems.empty()) << parsed.problems.front();
  EXPECT_EQ(parsed.sections, Awkward());
}

// What the file can hold reads back as it was; the rest the backup must
// keep on the machine.
TEST(RegFile, NamesItHoldsComeBackAsTheyWere) {
  const std::string nul(1, '\0');
  const struct {
    std::string name;
    bool key, value;  // held as a key's name, as a value's name
  } cases[] = {
      {"plain", true, true},
      {"\xe9t\xe9 \xfc", true, true},
      {" blanks and\ttab ", true, true},
      {"br]acket [x] = @ \"q\"", true, true},
      {";not a comment", true, true},
      {"-not a deletion", true, true},
      {"line\nfeed", false, true},
      {"carriage\rreturn", false, true},
      {"back\\slash", false, true},
      {"NUL" + nul + "inside", false, false},
      {"", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(backup::RegFileHoldsKeyName(c.name), c.key) << c.name;
    EXPECT_EQ(backup::RegFileHoldsValueName(c.name), c.value) << c.name;
    const RegSection section{"HKEY_CURRENT_USER\\K" + (c.key ? "\\" + c.name : std::string()),
                             {{c.value ? c.name : std::string(), 1, "x" + nul}}};
    const auto parsed =
        backup::ParseRegFile(backup::RegFileHeader() + backup::FormatRegSection(section));
    EXPECT_EQ(parsed.sections, std::vector<RegSection>{section}) << c.name;
  }
  // A line break in a key's name breaks the file.
  const auto broken = backup::ParseRegFile(
      backup::RegFileHeader() + backup::FormatRegSection({"HKEY_CURRENT_USER\\a\nb", {}}));
  const std::vector<RegSection> whole{{"HKEY_CURRENT_USER\\a\nb", {}}};
  EXPECT_NE(broken.sections, whole);
}

TEST(RegFile, FilesWrittenElsewhereInTheSameFormatAreRead) {
  const std::string text =
      "\r\n  REGEDIT4  \n\n"
      "; a comment\n"
      "[HKEY_CURRENT_USER\\A]\n"
      "\"x\" = \"1\"\n"
      "\"\"=\"empty name is the default\"\n"
      "\"h\"=hex:01, 02,\\\n"
      "   03,\n"
      "\"d\"=DWORD:A\n"
      "[HKEY_CURRENT_USER\\B]\n"
      "\"raw\"=\"C:\\x\"\n"
      "\n";
  const auto parsed = backup::ParseRegFile(text);
  EXPECT_TRUE(parsed.problems.empty()) << parsed.problems.front();
  ASSERT_EQ(parsed.sections.size(), 2u);
  EXPECT_EQ(parsed.sections[0].values,
            (std::vector<RegValue>{{"x", 1, std::string("1\0", 2)},
                                   {"", 1, std::string("empty name is the default\0", 26)},
                                   {"h", 3, Bytes({1, 2, 3})},
                                   {"d", 4, Bytes({10, 0, 0, 0})}}));
  EXPECT_EQ(parsed.sections[1].values[0].data, std::string("C:\\x\0", 5));
}

TEST(RegFile, WhatCannotBeReadIsReportedAndNeverTaken) {
  const std::string header = "REGEDIT4\r\n\r\n";
  const struct {
    std::string text;
    std::size_t sections;
    std::size_t values;
    std::string problem;  // the first one
  } cases[] = {
      {"", 0, 0, "line 1: the file does not begin with REGEDIT4"},
      {"Windows Registry Editor Version 5.00\r\n", 0, 0, "the file does not begin with REGEDIT4"},
      {header + "\"x\"=\"1\"\r\n\r\n", 0, 0, "line 3: a value outside any key"},
      {header + "[HKEY_CURRENT_USER\\A\r\n\r\n", 0, 0, "line 3: a key name without"},
      {header + "[-HKEY_CURRENT_USER\\A]\r\n\r\n", 0, 0, "line 3: a key deletion, not taken"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=-\r\n\r\n", 1, 0, "line 4: a value deletion"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:123456789\r\n\r\n", 1, 0,
       "line 4: the data of a value"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:12g\r\n\r\n", 1, 0, "line 4: the data"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex(zz):01\r\n\r\n", 1, 0, "line 4: the data"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:0100\r\n\r\n", 1, 0, "line 4: the data"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:01,,02\r\n\r\n", 1, 0, "line 4: the data"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"open\r\n\r\n", 1, 0, "line 4: the data"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\" tail\r\n\r\n", 1, 0, "line 4: the data"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x=\"1\"\r\n\r\n", 1, 0, "line 4: not understood"},
      {header + "[HKEY_CURRENT_USER\\A]\r\nname=\"1\"\r\n\r\n", 1, 0, "line 4: not understood"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n", 0, 0,
       "line 4: the file ends within the key HKEY_CURRENT_USER\\A"},
      {header + "[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:01,\\\r\n", 0, 0, "line 4: the data"},
  };
  for (const auto& c : cases) {
    const auto parsed = backup::ParseRegFile(c.text);
    EXPECT_EQ(parsed.sections.size(), c.sections) << c.text;
    std::size_t values = 0;
    for (const auto& s : parsed.sections) values += s.values.size();
    EXPECT_EQ(values, c.values) << c.text;
    ASSERT_FALSE(parsed.problems.empty()) << c.text;
    EXPECT_NE(parsed.problems.front().find(c.problem), std::string::npos)
        << parsed.problems.front() << " for " << c.text;
  }
}

// A file cut anywhere yields only keys that came before the cut, each whole
// and as written, never one with half its values or a shortened value.
TEST(RegFile, ACutFileYieldsOnlyWholeKeys) {
  const std::vector<RegSection> sections{
      {"HKEY_CURRENT_USER\\A", {{"s", 1, std::string("text\0", 5)}, {"d", 4, Bytes({1, 0, 0, 0})}}},
      {"HKEY_CURRENT_USER\\A\\Empty", {}},
      {"HKEY_CURRENT_USER\\B [x]", {{"", 3, std::string(100, '\x11')}, {"e", 7, "no nul"}}},
      {"HKEY_LOCAL_MACHINE\\C", {{"q", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8})}}}};
  std::string text = backup::RegFileHeader();
  for (const auto& s : sections) text += backup::FormatRegSection(s);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    const auto parsed = backup::ParseRegFile(std::string_view(text).substr(0, cut));
    ASSERT_LE(parsed.sections.size(), sections.size()) << cut;
    for (std::size_t i = 0; i < parsed.sections.size(); ++i)
      ASSERT_EQ(parsed.sections[i], sections[i]) << "cut at " << cut;
    if (cut < text.size() && text[cut] == '[' && text[cut - 1] == '\n') {
      EXPECT_TRUE(parsed.problems.empty()) << cut;
    }
  }
}

// Edited and binary files: whatever bytes, reading ends and reports.
TEST(RegFile, DamagedFilesNeverBreakTheReader) {
  std::string text = backup::RegFileHeader();
  for (const auto& s : Awkward()) text += backup::FormatRegSection(s);
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 200; ++round) {
    std::string damaged = text;
    const int edits = 1 + static_cast<int>(next() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = next() % damaged.size();
      switch (next() % 4) {
        case 0:
          damaged[at] = static_cast<char>(next());
          break;
        case 1:
          damaged.erase(at, next() % 40);
          break;
        case 2:
          damaged.insert(at, std::string(next() % 20, static_cast<char>(next())));
          break;
        default:
          damaged.insert(at, "\r\n[");
          break;
      }
      if (damaged.empty()) damaged = "x";
    }
    const auto parsed = backup::ParseRegFile(damaged);
    EXPECT_LE(parsed.problems.size(), 51u);
  }
  std::string binary;
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>(next() >> 13);
  const auto parsed = backup::ParseRegFile(binary);
  EXPECT_EQ(parsed.problems.size(), 51u);
  EXPECT_EQ(parsed.problems.back().substr(0, 4), "and ");
}

TEST(RegFile, RecordedKeysTakeTheirFullRootName) {
  const struct {
    const char* recorded;
    const char* full;
  } cases[] = {{"HKCU\\Software\\x", "HKEY_CURRENT_USER\\Software\\x"},
               {"hklm\\System\\y", "HKEY_LOCAL_MACHINE\\System\\y"},
               {"HKCR\\x", ""},
               {"HKLM", ""}};
  for (const auto& c : cases) EXPECT_EQ(backup::FullKeyName(c.recorded), c.full) << c.recorded;
}

}  // namespace
}  // namespace quenk::test
