#include "ProfileFixture.h"
#include "SimLeftovers.h"
#include "SimSnapshot.h"

#include "engine/Halves.h"
#include "profiles/ATi.h"
#include "profiles/CleaningItems.h"
#include "profiles/Creative.h"
#include "profiles/DataProfile.h"
#include "profiles/NVIDIA.h"
#include "profiles/NVIDIA_CHIPSET.h"
#include "profiles/ProfileReader.h"
#include "profiles/Realtek.h"

namespace quenk::test {
namespace {

// The compiled tables the profiles were before they became data.
struct Compiled {
  int (*stepCount)(bool files, bool registry, const engine::Halves& halves);
  void (*clean)(profiles::ProfileContext& ctx, bool files, bool registry);
};
constexpr std::array<Compiled, kItemCount> kCompiled{{
    {&profiles::nvidia::StepCount, &profiles::nvidia::Clean},
    {&profiles::nvidia_chipset::StepCount, &profiles::nvidia_chipset::Clean},
    {&profiles::ati::StepCount, &profiles::ati::Clean},
    {&profiles::creative::StepCount, &profiles::creative::Clean},
    {&profiles::realtek::StepCount, &profiles::realtek::Clean},
}};

enum class Variant { kPlain, kHalves, kNoVariables, kProtectedValues };

void Build(MachineCase& c, Variant variant) {
  auto& m = c.machine;
  SeedAllVendors(m);
  using platform::kLocalMachine;
  if (variant == Variant::kHalves) {
    c.Add32BitHalves();
    m.fs.AddFile(kWow + "nvapi.dll");
    m.fs.AddFile(kWowDrv + "ctaud2.sys", "", platform::attr::kReadOnly);
    m.fs.AddFile(kIs86 + "{CT}\\setup.ini", "[Startup]\r\nCompanyName=Creative\r\n");
    m.registry.CreateKey(kLocalMachine, "Software\\WOW6432Node\\ATi\\Sub");
    m.registry.SetString(kLocalMachine, "Software\\WOW6432Node\\Realtek\\InstallShield",
                         "ProgramFilesDir", "C:\\Program Files (x86)\\Realtek");
    m.fs.AddFile("C:\\Program Files (x86)\\Realtek\\a.dll");
  } else if (variant == Variant::kNoVariables) {
    m.fs.SetEnv("SYSTEMROOT", std::nullopt);
    m.fs.SetEnv("Programfiles", std::nullopt);
    m.fs.AddFile("C:\\System32\\nvapi.dll");
    m.fs.AddFile("C:\\Help\\nvcpl\\x.chm");
  } else if (variant == Variant::kProtectedValues) {
    m.registry.SetString(kLocalMachine, "Software\\ATI Technologies\\Install", "InstallDir",
                         "C:\\Windows");
    m.registry.SetValue(kLocalMachine, "Software\\Realtek\\InstallShield", "ProgramFilesDir",
                        platform::regtype::kDword, std::string(4, '\0'));
  }
}

struct Outcome {
  Lines deleted, notDeleted, reasons;
  int steps = 0, predicted = 0;
  std::string stop;
  std::vector<std::string> left;  // every file and key still there
};

template <typename Row>
Outcome RunItems(Variant variant, unsigned set, unsigned switches, bool snapshot, Row row) {
  MachineCase c;
  Build(c, variant);
  auto& m = c.machine;
  const engine::Halves halves = engine::FindHalves(m.fs, m.registry);
  CleaningRecord record;
  StepCounter progress;
  engine::Remover remover(m.ports(), record, progress, halves);
  profiles::ProfileContext ctx{m.fs, m.registry, remover};
  Outcome out;
  try {
    for (std::size_t i = 0; i < kItemCount; ++i) {
      if (!(set & (1u << i))) continue;
      const bool files = switches & (1u << (2 * i)), registry = switches & (2u << (2 * i));
      const auto [stepCount, clean] = row(i);
      out.predicted += stepCount(files, registry, halves);
      clean(ctx, files, registry);
    }
  } catch (const std::exception& e) {
    out.stop = e.what();
  }
  out.deleted = record.Deleted().Lines();
  out.notDeleted = record.NotDeleted().Lines();
  for (std::size_t i = 0; i < out.notDeleted.size(); ++i) out.reasons.push_back(record.Reason(i));
  out.steps = progress.steps;
  if (!snapshot) return out;
  const Snapshot after = Snapshot::Of(m, {});
  for (const auto& [path, entry] : after.files) out.left.push_back(path);
  for (const auto& [path, values] : after.keys) out.left.push_back(path);
  return out;
}

// Each item of a set runs with its files, its registry or both (an item
// with neither runs nothing, which a smaller set covers). On the richest
// machine every such combination runs; on the others every set, with one
// choice for all its items.
TEST(DataProfiles, RunLikeTheCompiledTablesForEveryItemSetAndSwitch) {
  int runs = 0;
  for (const Variant variant :
       {Variant::kHalves, Variant::kPlain, Variant::kNoVariables, Variant::kProtectedValues}) {
    const bool everyChoice = variant == Variant::kHalves;
    for (unsigned set = 1; set < (1u << kItemCount); ++set) {
      std::vector<std::size_t> items;
      for (std::size_t i = 0; i < kItemCount; ++i)
        if (set & (1u << i)) items.push_back(i);
      unsigned choices = 1;
      for (std::size_t k = 0; k < items.size(); ++k) choices *= 3;
      for (unsigned choice = 0; choice < (everyChoice ? choices : 3); ++choice) {
        unsigned switches = 0, rest = choice;
        for (const std::size_t i : items) {
          switches |= ((everyChoice ? rest % 3 : choice) + 1) << (2 * i);
          rest /= 3;
        }
        SCOPED_TRACE("variant " + std::to_string(static_cast<int>(variant)) + " set " +
                     std::to_string(set) + " switches " + std::to_string(switches));
        const bool snapshot = !everyChoice;
        const Outcome compiled = RunItems(variant, set, switches, snapshot, [](std::size_t i) {
          return std::pair{[i](bool f, bool r, const engine::Halves& h) {
                             return kCompiled[i].stepCount(f, r, h);
                           },
                           [i](profiles::ProfileContext& ctx, bool f, bool r) {
                             kCompiled[i].clean(ctx, f, r);
                           }};
        });
        const Outcome data = RunItems(variant, set, switches, snapshot, [](std::size_t i) {
          const profiles::CleaningItem& row = profiles::kCleaningItems[i];
          return std::pair{
              [&row](bool f, bool r, const engine::Halves& h) { return row.stepCount(f, r, h); },
              [&row](profiles::ProfileContext& ctx, bool f, bool r) { row.clean(ctx, f, r); }};
        });
        ASSERT_EQ(data.deleted, compiled.deleted);
        ASSERT_EQ(data.notDeleted, compiled.notDeleted);
        ASSERT_EQ(data.reasons, compiled.reasons);
        ASSERT_EQ(data.stop, compiled.stop);
        ASSERT_EQ(data.steps, compiled.steps);
        ASSERT_EQ(data.predicted, compiled.predicted);
        ASSERT_EQ(data.left, compiled.left);
        ++runs;
      }
    }
  }
  EXPECT_EQ(runs, 1023 + 3 * 31 * 3);
}

TEST(DataProfiles, TheWordTableKeepsItsRowsAndOrder) {
  const std::array<std::pair<std::string_view, std::string_view>, kItemCount> rows{{
      {"NVIDIA", "NVIDIA - Display"},
      {"NVIDIAChipset", "NVIDIA - Chipset"},
      {"ATi", "ATi - Display"},
      {"Creative", "Creative - Sound"},
      {"Realtek", "Realtek - Sound"},
  }};
  for (std::size_t i = 0; i < kItemCount; ++i) {
    EXPECT_EQ(profiles::kCleaningItems[i].word, rows[i].first);
    EXPECT_EQ(profiles::kCleaningItems[i].name, rows[i].second);
    EXPECT_EQ(profiles::kCleaningItems[i].item, static_cast<Item>(i));
  }
}

}  // namespace
}  // namespace quenk::test
