#include "ForwardingFileSystem.h"
#include "ForwardingRegistry.h"
#include "SimFixture.h"

#include "profiles/CleaningItems.h"

namespace quenk::test {
namespace {

// Ports that note which of them was used last, so that each progress step
// can be told apart as a file step or a registry step.
struct Spy {
  char last = '?';
};

class SpyFileSystem final : public ForwardingFileSystem {
 public:
  SpyFileSystem(platform::FileSystem& inner, Spy& spy) : ForwardingFileSystem(inner), spy_(spy) {}
  std::unique_ptr<platform::FileSearch> FindRaw(const std::string& p) override {
    spy_.last = 'F';
    return ForwardingFileSystem::FindRaw(p);
  }
  std::uint32_t Delete(const std::string& p) override {
    spy_.last = 'F';
    return ForwardingFileSystem::Delete(p);
  }
  std::optional<std::uint32_t> Attributes(const std::string& p) override {
    spy_.last = 'F';
    return ForwardingFileSystem::Attributes(p);
  }

 private:
  Spy& spy_;
};

class SpyRegistry final : public ForwardingRegistry {
 public:
  SpyRegistry(platform::Registry& inner, Spy& spy) : ForwardingRegistry(inner), spy_(spy) {}
  std::uint32_t Open(platform::HKey p, const std::string& path, std::uint32_t r,
                     platform::HKey& k) override {
    spy_.last = 'R';
    return ForwardingRegistry::Open(p, path, r, k);
  }
  std::uint32_t OpenItself(platform::HKey p, const std::string& path, std::uint32_t r,
                           platform::HKey& k) override {
    spy_.last = 'R';
    return ForwardingRegistry::OpenItself(p, path, r, k);
  }
  void Close(platform::HKey k) override {
    spy_.last = 'R';
    ForwardingRegistry::Close(k);
  }

 private:
  Spy& spy_;
};

struct StepLog final : engine::Progress {
  Spy& spy;
  std::string kinds;
  explicit StepLog(Spy& s) : spy(s) {}
  void Advance() override { kinds += spy.last; }
};

TEST(ProfileSteps, CountsMatchTheRunAndFileStepsComeFirst) {
  // Steps with both switches, files only and registry only; then the same on
  // a 64-bit machine, where the System32 and HKLM\Software tables count twice.
  const struct {
    std::string_view word;
    int both, files, registry;
    int both64, files64, registry64;
  } cases[] = {
      {"NVIDIA", 71, 53, 18, 124, 102, 22}, {"NVIDIAChipset", 37, 6, 31, 44, 12, 32},
      {"ATi", 21, 7, 14, 41, 14, 27},       {"Creative", 47, 44, 3, 93, 88, 5},
      {"Realtek", 19, 15, 4, 37, 30, 7},
  };
  for (const auto& c : cases) {
    const profiles::CleaningItem* item = nullptr;
    for (const auto& row : profiles::kCleaningItems)
      if (row.word == c.word) item = &row;
    ASSERT_NE(item, nullptr);
    for (const bool halves : {false, true}) {
      const int fileSteps = halves ? c.files64 : c.files;
      const int registrySteps = halves ? c.registry64 : c.registry;
      const struct {
        bool files, registry;
        int expected;
      } switches[] = {{true, true, halves ? c.both64 : c.both},
                      {true, false, fileSteps},
                      {false, true, registrySteps},
                      {false, false, 0}};
      for (const auto& s : switches) {
        sim::SimMachine machine;
        machine.fs.SetEnv("SYSTEMROOT", "C:\\Windows");
        machine.fs.SetEnv("Programfiles", "C:\\Program Files");
        machine.fs.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
        machine.fs.AddFolder("C:\\Program Files (x86)");
        if (halves) {
          machine.fs.AddFolder("C:\\Windows\\SysWOW64");
          machine.registry.SetSeparate32BitView(true);
        }
        const engine::Halves found = engine::FindHalves(machine.fs, machine.registry);
        Spy spy;
        SpyFileSystem fs(machine.fs, spy);
        SpyRegistry registry(machine.registry, spy);
        CleaningRecord record;
        StepLog log(spy);
        engine::Remover remover({fs, registry, machine.ini, machine.locale, machine.shell}, record,
                                log, found);
        profiles::ProfileContext ctx{fs, registry, remover};

        EXPECT_EQ(item->stepCount(s.files, s.registry, found), s.expected)
            << c.word << " halves=" << halves;
        item->clean(ctx, s.files, s.registry);
        const std::string expected = std::string(s.files ? fileSteps : 0, 'F') +
                                     std::string(s.registry ? registrySteps : 0, 'R');
        EXPECT_EQ(log.kinds, expected)
            << c.word << " files=" << s.files << " registry=" << s.registry << " halves=" << halves;
      }
    }
  }
}

}  // namespace
}  // namespace quenk::test
