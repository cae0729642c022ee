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

TEST(CommandLine, SwitchesAreTakenOutBeforeTheVendorWords) {
  using Args = std::vector<std::string>;
  const struct {
    Args arguments;
    Args words;
    bool preview, silent, help;
    std::optional<std::string> restore;
    Args unknown;
  } cases[] = {
      {{}, {}, false, false, false, std::nullopt, {}},
      {{"NVIDIA", "Creative"}, {"NVIDIA", "Creative"}, false, false, false, std::nullopt, {}},
      {{"/preview", "NVIDIA", "Creative"}, {"NVIDIA", "Creative"}, true, false, false, {}, {}},
      {{"NVIDIA", "-PREVIEW", "/Silent", "ATi"}, {"NVIDIA", "ATi"}, true, true, false, {}, {}},
      {{"/silent", "/silent", "/preview"}, {}, true, true, false, {}, {}},
      {{"/restore", "12-8-2026-7-34-58", "/silent"},
       {},
       false,
       true,
       false,
       "12-8-2026-7-34-58",
       {}},
      {{"-Restore", "latest"}, {}, false, false, false, "latest", {}},
      {{"/restore"}, {}, false, false, false, "", {}},
      {{"/restore", "/silent"}, {}, false, true, false, "", {}},
      {{"/?"}, {}, false, false, true, std::nullopt, {}},
      {{"-HELP", "ATi"}, {"ATi"}, false, false, true, std::nullopt, {}},
      {{"/x", "--silent", "-", "Realtek"},
       {"Realtek"},
       false,
       false,
       false,
       std::nullopt,
       {"/x", "--silent", "-"}},
  };
  for (const auto& c : cases) {
    const Arguments a = ParseArguments(c.arguments);
    const std::string line = c.arguments.empty() ? "(none)" : c.arguments.front();
    EXPECT_EQ(a.words, c.words) << line;
    EXPECT_EQ(a.switches.preview, c.preview) << line;
    EXPECT_EQ(a.switches.silent, c.silent) << line;
    EXPECT_EQ(a.switches.help, c.help) << line;
    EXPECT_EQ(a.switches.restore, c.restore) << line;
    EXPECT_EQ(a.switches.unknown, c.unknown) << line;
    EXPECT_EQ(a.any, !c.arguments.empty()) << line;
  }
}

}  // namespace
}  // namespace quenk
