#include "SimFixture.h"

#include "profiles/CleaningItems.h"

namespace quenk::test {
namespace {

// Ports that note which of them was used last, so that each progress step
// can be told apart as a file step or a registry step.
struct Spy {
  char last = '?';
};

class SpyFileSystem final : public platform::FileSystem {
 public:
  SpyFileSystem(platform::FileSystem& inner, Spy& spy) : inner_(inner), spy_(spy) {}
  std::unique_ptr<platform::FileSearch> FindRaw(const std::string& p) override {
    return Mark(inner_.FindRaw(p));
  }
  std::uint32_t Delete(const std::string& p) override { return Mark(inner_.Delete(p)); }
  std::uint32_t RemoveDir(const std::string& p) override { return Mark(inner_.RemoveDir(p)); }
  std::uint32_t ProbeDelete(const std::string& p) override { return Mark(inner_.ProbeDelete(p)); }
  std::uint32_t ProbeRemoveDir(const std::string& p) override {
    return Mark(inner_.ProbeRemoveDir(p));
  }
  std::uint32_t MakeDir(const std::string& p) override { return Mark(inner_.MakeDir(p)); }
  std::optional<std::uint32_t> Attributes(const std::string& p) override {
    return Mark(inner_.Attributes(p));
  }
  platform::OpenResult Open(const std::string& p, platform::OpenMode m) override {
    return Mark(inner_.Open(p, m));
  }
  std::string CurrentDir() override { return inner_.CurrentDir(); }
  std::string ModulePath() override { return inner_.ModulePath(); }
  std::optional<std::string> Env(const std::string& n) override { return inner_.Env(n); }
  std::optional<platform::FolderIdentity> Identify(const std::string& p) override {
    return Mark(inner_.Identify(p));
  }
  std::string SystemFolderPath(platform::SystemFolder f) override {
    return inner_.SystemFolderPath(f);
  }
  std::uint32_t Copy(const std::string& from, const std::string& to, bool fail) override {
    return Mark(inner_.Copy(from, to, fail));
  }
  std::uint32_t HardLink(const std::string& e, const std::string& l) override {
    return Mark(inner_.HardLink(e, l));
  }
  std::uint32_t SetAttributes(const std::string& p, std::uint32_t a) override {
    return Mark(inner_.SetAttributes(p, a));
  }
  std::optional<platform::FileTimes> Times(const std::string& p) override {
    return Mark(inner_.Times(p));
  }
  std::uint32_t SetTimes(const std::string& p, const platform::FileTimes& t) override {
    return Mark(inner_.SetTimes(p, t));
  }
  std::uint32_t MakeLink(const std::string& p, const std::string& t, bool f) override {
    return Mark(inner_.MakeLink(p, t, f));
  }

 private:
  template <class T>
  T Mark(T value) {
    spy_.last = 'F';
    return value;
  }
  platform::FileSystem& inner_;
  Spy& spy_;
};

class SpyRegistry final : public platform::Registry {
 public:
  SpyRegistry(platform::Registry& inner, Spy& spy) : inner_(inner), spy_(spy) {}
  std::uint32_t Open(platform::HKey p, const std::string& path, std::uint32_t r,
                     platform::HKey& k) override {
    spy_.last = 'R';
    return inner_.Open(p, path, r, k);
  }
  void Close(platform::HKey k) override { spy_.last = 'R', inner_.Close(k); }
  std::uint32_t QueryValue(platform::HKey k, const std::string& n, std::uint32_t& t,
                           std::string& d) override {
    return inner_.QueryValue(k, n, t, d);
  }
  std::uint32_t QueryInfo(platform::HKey k, platform::KeyInfo& i) override {
    return inner_.QueryInfo(k, i);
  }
  std::uint32_t EnumKey(platform::HKey k, std::uint32_t i, std::uint32_t b,
                        std::string& n) override {
    return inner_.EnumKey(k, i, b, n);
  }
  std::uint32_t DeleteKey(platform::HKey p, const std::string& n) override {
    return inner_.DeleteKey(p, n);
  }
  std::uint32_t OpenItself(platform::HKey p, const std::string& path, std::uint32_t r,
                           platform::HKey& k) override {
    spy_.last = 'R';
    return inner_.OpenItself(p, path, r, k);
  }
  std::uint32_t DeleteOpenKey(platform::HKey k) override { return inner_.DeleteOpenKey(k); }
  std::uint32_t DeleteKeyEx(platform::HKey p, const std::string& n, std::uint32_t v) override {
    return inner_.DeleteKeyEx(p, n, v);
  }
  std::uint32_t KeyName(platform::HKey k, std::string& n) override { return inner_.KeyName(k, n); }
  std::uint32_t EnumValue(platform::HKey k, std::uint32_t i, std::string& n, std::uint32_t& t,
                          std::string& d) override {
    return inner_.EnumValue(k, i, n, t, d);
  }
  std::uint32_t CreateKey(platform::HKey p, const std::string& path, bool link, platform::HKey& k,
                          bool& created) override {
    spy_.last = 'R';
    return inner_.CreateKey(p, path, link, k, created);
  }
  std::uint32_t SetValue(platform::HKey k, const std::string& n, std::uint32_t t,
                         const std::string& d) override {
    return inner_.SetValue(k, n, t, d);
  }

 private:
  platform::Registry& inner_;
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
