#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace quenk {
namespace {

TEST(CommandLine, SplitsLikeWindowsPrograms) {
  using Args = std::vector<std::string>;
  const struct {
    const char* line;
    Args args;
  } cases[] = {
      {"quenk.exe", {"quenk.exe"}},
      {"\"C:\\Program Files\\Quenk\\quenk.exe\" NVIDIA  Creative",
       {"C:\\Program Files\\Quenk\\quenk.exe", "NVIDIA", "Creative"}},
      {"q.exe \"NVIDIA\" \"Creative Sound\"\tATi", {"q.exe", "NVIDIA", "Creative Sound", "ATi"}},
      {"q.exe NVI\"DIA\" \"\"", {"q.exe", "NVIDIA", ""}},
      {"q.exe \"unclosed word", {"q.exe", "unclosed word"}},
      {"   q.exe   ", {"q.exe"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

}  // namespace
}  // namespace quenk
