#include "E2e.h"
#include "RunToEnd.h"

#include <algorithm>

namespace quenk::e2e {
namespace {

constexpr const char* kWords[] = {"NVIDIACurrent", "AMDCurrent", "IntelCurrent", "RealtekCurrent"};

// A machine as today's drivers leave it, with the shipped profiles beside
// the program.
class CurrentDrivers : public E2e {
 protected:
  void SetUp() override {
    E2e::SetUp();
    seed::ClearCurrent();
    const std::string folder = std::string(kProgramDir) + "\\Profiles";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& name : ListFolder("C:\\quenk-fixtures\\shipped\\*.toml"))
      ::CopyFileA(("C:\\quenk-fixtures\\shipped\\" + name).c_str(), (folder + "\\" + name).c_str(),
                  FALSE);
  }
  void TearDown() override {
    seed::ClearCurrent();
    E2e::TearDown();
  }
  static Lines Missing(const std::vector<seed::Entry>& entries, bool survivors) {
    Lines missing;
    for (const auto& e : entries)
      if (e.survives == survivors && !seed::Exists(e)) missing.push_back(seed::Describe(e));
    return missing;
  }
  static Lines Present(const std::vector<seed::Entry>& entries) {
    Lines present;
    for (const auto& e : entries)
      if (!e.survives && seed::Exists(e)) present.push_back(seed::Describe(e));
    return present;
  }
};

TEST_F(CurrentDrivers, EachProfileCleansItsDriverAndItsBackupPutsItBack) {
  for (const char* word : kWords) {
    SCOPED_TRACE(word);
    DeleteTree(kLogs);
    DeleteTree(kBackups);
    seed::ClearCurrent();
    const auto entries = seed::CurrentLeftoversOf(word);
    seed::Seed(entries);
    ASSERT_TRUE(Missing(entries, false).empty()) << Missing(entries, false).front();
    const Lines packages = seed::PublishedNames(entries);

    const Finished f = RunToEnd({"/silent", word});
    EXPECT_EQ(f.code, 0u) << f.errors << f.output << f.failure;
    EXPECT_EQ(Present(entries), Lines{});
    EXPECT_EQ(Missing(entries, true), Lines{});
    ASSERT_EQ(LogNames().size(), 1u);
    const Lines deleted = LogSections(LogNames().front()).first;
    for (const auto& published : packages) {
      if (published.empty()) continue;
      const std::string line = "DriverStore\\" + published + " (";
      EXPECT_NE(std::find_if(deleted.begin(), deleted.end(),
                             [&](const auto& l) { return l.rfind(line, 0) == 0; }),
                deleted.end())
          << line;
    }

    const Lines stamps = ListFolder(std::string(kBackups) + "\\*");
    ASSERT_EQ(stamps.size(), 1u);
    const Finished restored = RunToEnd({"/silent", "/restore", "\"" + stamps.front() + "\""});
    EXPECT_EQ(restored.code, 0u) << restored.errors << restored.output;
    EXPECT_EQ(Missing(entries, false), Lines{});
    EXPECT_EQ(Missing(entries, true), Lines{});
  }
}

// While a present device uses the vendor's package, nothing of it goes.
TEST_F(CurrentDrivers, ADriverStillInUseKeepsEveryStep) {
  for (const char* word : kWords) {
    SCOPED_TRACE(word);
    DeleteTree(kLogs);
    seed::ClearCurrent();
    const auto entries = seed::CurrentInUseOf(word);
    seed::Seed(entries);
    const Finished f = RunToEnd({"/silent", word});
    EXPECT_EQ(f.code, 1u) << f.errors << f.output;
    for (const auto& e : entries) EXPECT_TRUE(seed::Exists(e)) << seed::Describe(e);
    ASSERT_EQ(LogNames().size(), 1u);
    EXPECT_TRUE(LogSections(LogNames().front()).first.empty());
  }
}

}  // namespace
}  // namespace quenk::e2e
