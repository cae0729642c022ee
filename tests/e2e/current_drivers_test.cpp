#include "E2e.h"
#include "RunToEnd.h"

#include <algorithm>
#include <cctype>

namespace quenk::e2e {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

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
  static bool ServiceKey(const std::string& name) {
    HKEY key = nullptr;
    const bool there = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                       ("System\\CurrentControlSet\\Services\\" + name).c_str(), 0,
                                       KEY_READ, &key) == ERROR_SUCCESS;
    if (there) ::RegCloseKey(key);
    return there;
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
    Lines packages;
    for (const auto& e : entries)
      if (e.kind == seed::Entry::kPackage && !e.survives && !seed::IsInboxPackage(e))
        packages.push_back(seed::PublishedName(e));

    const Finished f = RunToEnd({"/silent", word});
    ASSERT_EQ(LogNames().size(), 1u);
    const auto [deleted, stayed] = LogSections(LogNames().front());
    // What stays is the store folder of a decoy still published, matched by a
    // store-folder mask of the profile and kept for the decoy's sake.
    for (const auto& line : stayed)
      EXPECT_NE(Upper(line).find("\\DRIVERSTORE\\FILEREPOSITORY\\"), std::string::npos) << line;
    EXPECT_EQ(f.code, stayed.empty() ? 0u : 1u) << f.errors << f.output << f.failure;
    EXPECT_EQ(Present(entries), Lines{});
    EXPECT_EQ(Missing(entries, true), Lines{});
    for (const auto& published : packages) {
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
    // A service comes back as its key: the service control manager reads
    // it at the next start of the system.
    Lines missing;
    for (const auto& e : entries)
      if (!e.survives && !(e.kind == seed::Entry::kService ? ServiceKey(e.path) : seed::Exists(e)))
        missing.push_back(seed::Describe(e));
    EXPECT_EQ(missing, Lines{});
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
