#include "platform/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace quenk::platform {
namespace {

TEST(Wildcard, Rules) {
  const struct {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"nvcpl.dll", "nvcpl*.*", true},
      {"NVCPL.DLL", "nvcpl*.*", true},
      {"nvcpl", "nvcpl*.*", true},  // trailing ".*" takes a name without a dot
      {"nvcp.dll", "nvcpl*.*", false},
      {"a.b.c", "*.c", true},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"abc", "abc.", true},
      {"abc.d", "abc.", false},
      {"abc", "", false},
      {".", "*.*", true},
      {"..", "*", true},
      {"x", "*****", true},
      {"\xE9t\xE9.dll", "\xE9*.dll", true},  // 8-bit names compare byte for byte
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

TEST(Wildcard, AdversarialPatternStaysFast) {
  // Exponential matchers take minutes here; this one does n*m steps.
  const std::string name(250, 'a');
  for (int i = 0; i < 2000; ++i) ASSERT_FALSE(MatchesMask(name, "*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(MatchesMask(name + "b", "*a*a*a*a*a*a*a*b"));
}

TEST(Wildcard, ShortNameValidity) {
  const struct {
    const char* name;
    bool valid;
  } cases[] = {{"ABC.TXT", true},  {"abc.txt", true}, {"ABCDEFGHI.TXT", false}, {"A.TEXT", false},
               {"A B.TXT", false}, {"A.B.C", false},  {"NV4_DISP.DLL", true},   {"A.", false}};
  for (const auto& c : cases) EXPECT_EQ(IsShortName(c.name), c.valid) << c.name;
}

}  // namespace
}  // namespace quenk::platform
