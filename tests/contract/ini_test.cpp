#include "Contract.h"

namespace quenk::test {
namespace {

class IniContract : public Contract {
 protected:
  std::string file = dir + "\\settings.ini";

  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback = "default") {
    return ports.ini.Read(file, section, key, fallback);
  }
  // The file's lines without blank ones: where Windows puts blank lines is not part of the rules.
  std::vector<std::string> Lines() {
    auto opened = ports.fs.Open(file, platform::OpenMode::kRead);
    std::string bytes;
    if (opened.file) opened.file->ReadAll(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find("\r\n", start);
      if (end == std::string::npos) end = bytes.size();
      if (end > start) lines.push_back(bytes.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
};

TEST_F(IniContract, ReadRules) {
  machine->MakeFile(file,
                    "[First]\r\nkey=one\r\n  Spaced  =  two words  \r\nquoted=\"q v\"\r\n"
                    "dup=first\r\ndup=second\r\nempty=\r\n[Second]\r\nkey=other\r\n");
  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"First", "key", "one"},          {"FIRST", "KEY", "one"},  // names match regardless of case
      {"first", "spaced", "two words"},  // blanks around names and values dropped
      {"First", "quoted", "q v"},        // one pair of enclosing quotes dropped
      {"First", "dup", "first"},        {"First", "empty", ""},        {"Second", "key", "other"},
      {"First", "missing", "default"},  {"Missing", "key", "default"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(c.section, c.key), c.expected) << c.section << "/" << c.key;
  EXPECT_EQ(ports.ini.Read(dir + "\\missing.ini", "First", "key", "fallback"), "fallback");
}

TEST_F(IniContract, ReadBufferHolds2047Characters) {
  machine->MakeFile(file, "[S]\r\nlong=" + std::string(3000, 'x') + "\r\n");
  EXPECT_EQ(Read("S", "long"), std::string(2047, 'x'));
}

TEST_F(IniContract, WriteCreatesTheFile) {
  ASSERT_TRUE(ports.ini.Write(file, "Section", "Key", "1"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"[Section]", "Key=1"}));
}

TEST_F(IniContract, WritePlacesSectionsAndKeys) {
  machine->MakeFile(file, "[A]\r\na1=1\r\n[B]\r\nb1=1\r\nb2=2\r\n");
  ASSERT_TRUE(ports.ini.Write(file, "C", "c1", "x"));  // missing section: at the end
  ASSERT_TRUE(ports.ini.Write(file, "a", "a2", "y"));  // missing key: end of its section
  ASSERT_TRUE(ports.ini.Write(file, "B", "B1", "z"));  // present key: rewritten in place
  EXPECT_EQ(Lines(), (std::vector<std::string>{"[A]", "a1=1", "a2=y", "[B]", "b1=z", "b2=2", "[C]",
                                               "c1=x"}));
  EXPECT_EQ(Read("b", "b1"), "z");
}

TEST_F(IniContract, WriteToMissingFolderFails) {
  EXPECT_FALSE(ports.ini.Write(dir + "\\nofolder\\x.ini", "S", "K", "1"));
}

TEST_F(IniContract, WriteToReadOnlyFileFails) {
  SKIP_ON_WINE("Wine run as root writes read-only files");
  machine->MakeFile(file, "[S]\r\nK=0\r\n", platform::attr::kReadOnly);
  EXPECT_FALSE(ports.ini.Write(file, "S", "K", "1"));
  EXPECT_EQ(Read("S", "K"), "0");
}

}  // namespace
}  // namespace quenk::test
