#include "ForwardingFileSystem.h"
#include "SimFixture.h"

#include "base/IoError.h"
#include "profiles/ATi.h"
#include "profiles/Creative.h"
#include "profiles/NVIDIA.h"
#include "profiles/Realtek.h"

#include "base/Text.h"
#include "profiles/CleaningItems.h"
#include "run/CleaningRun.h"
#include "SimLeftovers.h"

#include <map>
#include <random>

namespace quenk::test {
namespace {

namespace attr = platform::attr;
constexpr const char* kSys = "C:\\Windows\\System32\\";

std::string FoldedSys() {
  std::string folded = kSys;
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

class RemoveFilesTest : public SimFixture {
 protected:
  void Run(std::initializer_list<std::string_view> masks, const std::string& folder = kSys) {
    const std::vector<std::string_view> table(masks);
    remover.RemoveFiles(folder, table);
  }
};

TEST_F(RemoveFilesTest, RecordsEveryMatchAndTakesOneStepPerMask) {
  auto& fs = machine.fs;
  fs.AddFile(std::string(kSys) + "nvcpl.dll");
  fs.AddFile(std::string(kSys) + "NVCPL.EXE");
  fs.AddFile(std::string(kSys) + "nvcplx");
  fs.AddFile(std::string(kSys) + "nvcpl_h.dll", "", attr::kHidden);
  fs.AddFile(std::string(kSys) + "nvcpl_s.dll", "", attr::kSystem | attr::kHidden);
  fs.AddFile(std::string(kSys) + "nvcpl_ro.dll", "", attr::kReadOnly | attr::kArchive);
  fs.AddFile(std::string(kSys) + "nvcpl_iu.dll").inUse = true;
  fs.AddFile(std::string(kSys) + "nvcplDir\\inside.txt");
  fs.AddFile(std::string(kSys) + "other.dll");

  Run({"nvcpl*.*", "nomatch*.*", "", "nvcpl*.*"});

  const std::string s = kSys;
  EXPECT_EQ(Deleted(), (Lines{s + "nvcpl.dll", s + "NVCPL.EXE", s + "nvcplx", s + "nvcpl_h.dll",
                              s + "nvcpl_s.dll"}));
  // Failures of the first pass are met again by the repeated mask.
  const Lines failed{s + "nvcplDir", s + "nvcpl_iu.dll", s + "nvcpl_ro.dll"};
  Lines twice = failed;
  twice.insert(twice.end(), failed.begin(), failed.end());
  EXPECT_EQ(NotDeleted(), twice);
  const Lines why{"access denied", "in use", "read-only"};
  for (std::size_t i = 0; i < twice.size(); ++i)
    EXPECT_EQ(record.Reason(i), why[i % why.size()]) << twice[i];
  EXPECT_EQ(progress.steps, 4);
  EXPECT_TRUE(Exists(s + "other.dll"));
  EXPECT_TRUE(Exists(s + "nvcplDir\\inside.txt"));  // a matching folder is not entered
  EXPECT_EQ(fs.Node(s + "nvcpl_ro.dll")->attributes, attr::kReadOnly | attr::kArchive);
}

TEST_F(RemoveFilesTest, ShortNameMatchRecordsTheLongName) {
  machine.fs.AddFile(std::string(kSys) + "Creative Agent Helper.exe");
  machine.fs.SetShortName(std::string(kSys) + "Creative Agent Helper.exe", "CTAGEN~1.EXE");
  Run({"CTAGEN*.*"});
  EXPECT_EQ(Deleted(), Lines{std::string(kSys) + "Creative Agent Helper.exe"});
}

TEST_F(RemoveFilesTest, NothingThereStillTakesItsSteps) {
  const struct {
    const char* folder;
    std::vector<std::string_view> masks;
    int steps;
  } cases[] = {
      {"C:\\Missing\\", {"a*.*", "b*.*", ""}, 3},
      {"\\System32\\", {"nv*.*"}, 1},  // an unset SYSTEMROOT: the root of the current drive
      {kSys, {}, 0},
  };
  machine.fs.AddFolder(kSys);
  for (const auto& c : cases) {
    progress.steps = 0;
    remover.RemoveFiles(c.folder, c.masks);
    EXPECT_EQ(progress.steps, c.steps) << c.folder;
  }
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(NotDeleted().empty());
}

TEST_F(RemoveFilesTest, DotEntriesAreNeverTouched) {
  machine.fs.AddFolder(std::string(kSys) + "empty");
  Run({"*.*", "*", ".", ".."}, std::string(kSys) + "empty\\");
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(NotDeleted().empty());
}

TEST_F(RemoveFilesTest, OddNamesAndLongPaths) {
  const std::string folder = std::string(kSys);
  machine.fs.AddFile(folder + "\xE9t\xE9-\xFF.dll");
  const std::string longName = "nv" + std::string(300 - folder.size(), 'x') + ".dll";
  machine.fs.AddFile(folder + longName);
  machine.fs.AddFile(folder + std::string(250, 'a'));
  Run({"\xE9*.*", "nv*.*", "*a*a*a*a*a*a*a*b"});
  // Beyond MAX_PATH the literal form reaches the file.
  EXPECT_EQ(Deleted(), (Lines{folder + "\xE9t\xE9-\xFF.dll", folder + longName}));
  EXPECT_TRUE(NotDeleted().empty());
  EXPECT_EQ(progress.steps, 3);
}

// The record and the machine a search per mask leaves behind, as the
// removal was first written: the one listing must give exactly these.
struct Reference {
  Lines deleted, notDeleted;
};

Reference SearchPerMask(sim::SimFileSystem& fs, const std::string& folder, engine::Table masks) {
  Reference r;
  for (const auto mask : masks) {
    auto search = fs.Find(folder + std::string(mask), attr::kAnyFile);
    platform::FindEntry e;
    while (search->Next(e)) {
      if (e.name == "." || e.name == "..") continue;
      (fs.Delete(folder + e.name) == 0 ? r.deleted : r.notDeleted).push_back(folder + e.name);
    }
  }
  return r;
}

const char* const kPieces[] = {"nv", "nvapi",  "NVCPL", "nvdsp",   "nvdspsch", "nvmctray",
                               "ct", "ctasio", "Rtk",   "RTKVHDA", "ati",      "atiogl",
                               "x",  "\xE9",   " ",     "."};

// Sixty entries of the names the vendors' masks look for, some read-only,
// in use, folders or with a short name, the same for the same seed.
void Fill(sim::SimMachine& machine, unsigned seed) {
  sim::SimMachine* const m = &machine;
  std::mt19937 again(seed * 7919u);
  auto take = [&again](int n) { return std::uniform_int_distribution<int>(0, n - 1)(again); };
  m->fs.AddFolder(kSys);
  for (int i = 0; i < 60; ++i) {
    std::string name = std::string(kPieces[take(16)]) + kPieces[take(16)] + kPieces[take(16)];
    if (take(2)) name += ".dll";
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty() || m->fs.Node(kSys + name)) continue;
    auto& node = take(12) == 0 ? m->fs.AddFolder(kSys + name) : m->fs.AddFile(kSys + name);
    if (take(6) == 0) node.attributes |= attr::kReadOnly;
    if (take(10) == 0) node.inUse = true;
    if (take(5) == 0) m->fs.SetShortName(kSys + name, "NV" + std::to_string(i) + "~1.DLL");
  }
}

// Counts the listings the engine makes, and how often each pattern is searched.
class CountingFileSystem final : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  int listings = 0;
  std::map<std::string, int> searches;  // by pattern, upper case
  std::unique_ptr<platform::FileSearch> FindRaw(const std::string& p) override {
    ++listings;
    std::string key = p;
    for (char& c : key) c = FoldCase(c);
    ++searches[key];
    return ForwardingFileSystem::FindRaw(p);
  }
  // The most searches of one whole folder ("X\*").
  int MostListingsOfAFolder() const {
    int most = 0;
    for (const auto& [pattern, n] : searches)
      if (pattern.size() > 2 && pattern.ends_with("\\*")) most = std::max(most, n);
    return most;
  }
};

TEST(RemoveFilesOneListing, SameRecordAndMachineAsASearchPerMaskWithOneListingPerCall) {
  const std::vector<std::string_view> odd{"nv*.*", "NV?API.*", "*.", "nvcpl*.*", "", "*nvcpl*"};
  const engine::Table tables[] = {
      profiles::nvidia::System32Masks, profiles::creative::System32Masks,
      profiles::realtek::System32Masks, profiles::ati::System32Masks, odd};
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    sim::SimMachine one, reference;
    for (sim::SimMachine* m : {&one, &reference}) Fill(*m, seed);
    const engine::Table masks = tables[pick(5)];
    const Reference expected = SearchPerMask(reference.fs, kSys, masks);

    CountingFileSystem counting(one.fs);
    CleaningRecord record;
    StepCounter steps;
    engine::Remover remover({counting, one.registry, one.ini, one.locale, one.shell}, record,
                            steps);
    remover.RemoveFiles(kSys, masks);
    EXPECT_EQ(record.Deleted().Lines(), expected.deleted);
    EXPECT_EQ(record.NotDeleted().Lines(), expected.notDeleted);
    EXPECT_EQ(one.fs.List(kSys), reference.fs.List(kSys));
    EXPECT_EQ(steps.steps, static_cast<int>(masks.size()));
    // One listing, and one search more for each mask left to the platform.
    EXPECT_EQ(counting.listings, masks.data() == odd.data() ? 3 : 1);
  }
}

// One run, several calls on one folder, and between them removals by the
// run itself and changes by another program: the run's one listing must
// give what a search per mask on each call gives, except that an entry
// another program removed is a removal that failed.
TEST(RemoveFilesOneListing, SeveralCallsInOneRunAsASearchPerMaskOnEach) {
  const std::vector<std::string_view> odd{"nv*.*", "NV?API.*", "*.", "nvcpl*.*", "", "*nvcpl*"};
  const engine::Table tables[] = {
      profiles::nvidia::System32Masks, profiles::creative::System32Masks,
      profiles::realtek::System32Masks, profiles::ati::System32Masks, odd};
  const std::string decoy = "C:\\Decoy\\keep.dll";
  int outside = 0, trees = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    sim::SimMachine one, reference;
    for (sim::SimMachine* m : {&one, &reference}) {
      Fill(*m, seed);
      m->fs.AddFile(decoy, "keep");
      m->fs.AddFile(kSys + std::string("nvtree\\nvcpl.dll"));
      m->fs.AddFile(kSys + std::string("nvtree\\deeper\\nvapi.dll"));
      // What the tree's removal takes and a RemoveFiles in it does not, and what keeps it.
      m->fs.AddFile(kSys + std::string("nvtree\\nvsub\\a.txt"));
      m->fs.AddFile(kSys + std::string("nvtree\\inuse.dll")).inUse = true;
    }
    CountingFileSystem counting(one.fs);
    CleaningRecord record;
    StepCounter steps;
    engine::Remover remover({counting, one.registry, one.ini, one.locale, one.shell}, record,
                            steps);
    Reference expected;
    const auto add = [&expected](const Reference& r) {
      expected.deleted.insert(expected.deleted.end(), r.deleted.begin(), r.deleted.end());
      expected.notDeleted.insert(expected.notDeleted.end(), r.notDeleted.begin(),
                                 r.notDeleted.end());
    };
    Lines goneOutside;
    for (int op = 0, ops = 2 + pick(5); op < ops; ++op) {
      // What is there now, as a search on the reference machine finds it.
      std::vector<platform::FindEntry> there;
      auto search = reference.fs.Find(kSys + std::string("*"), attr::kAnyFile);
      for (platform::FindEntry e; search->Next(e);)
        if (e.name != "." && e.name != "..") there.push_back(e);
      const platform::FindEntry some =
          there.empty() ? platform::FindEntry{} : there[pick(static_cast<int>(there.size()))];
      const std::string path = kSys + some.name;
      switch (pick(5)) {
        case 0:
        case 1: {
          const engine::Table masks = tables[pick(5)];
          add(SearchPerMask(reference.fs, kSys, masks));
          remover.RemoveFiles(kSys, masks);
          break;
        }
        case 2: {
          // The run itself removes a folder, or some of it, and looks in it before and after.
          const std::string tree =
              (some.attributes & attr::kDirectory) && pick(2) ? path : kSys + std::string("nvtree");
          if (!reference.fs.Node(tree)) break;
          ++trees;
          const std::vector<std::string_view> inside{"nv*.*"};
          add(SearchPerMask(reference.fs, tree + "\\", inside));
          remover.RemoveFiles(tree + "\\", inside);
          CleaningRecord fresh;
          StepCounter unused;
          engine::Remover once(reference.ports(), fresh, unused);
          bool threw = false;  // a folder in use cannot be removed once emptied
          try {
            once.RemoveFolder(tree);
          } catch (const IoError&) {
            threw = true;
          }
          if (threw) {
            EXPECT_THROW(remover.RemoveFolder(tree), IoError);
          } else {
            add({fresh.Deleted().Lines(), fresh.NotDeleted().Lines()});
            remover.RemoveFolder(tree);
          }
          add(SearchPerMask(reference.fs, tree + "\\", inside));
          remover.RemoveFiles(tree + "\\", inside);
          break;
        }
        case 3:
          // Another program removes an entry.
          if (some.name.empty() || one.fs.Delete(path) != 0) break;
          reference.fs.Delete(path);
          goneOutside.push_back(path);
          ++outside;
          break;
        default:
          // Another program puts a link to a file elsewhere in an entry's place.
          if (some.name.empty() || one.fs.Delete(path) != 0) break;
          reference.fs.Delete(path);
          one.fs.AddLink(path, decoy, false);
          reference.fs.AddLink(path, decoy, false);
          ++outside;
          break;
      }
    }
    EXPECT_EQ(record.Deleted().Lines(), expected.deleted);
    Lines stayed;
    for (std::size_t i = 0; i < record.NotDeleted().Size(); ++i) {
      const std::string& line = record.NotDeleted().Lines()[i];
      if (std::find(goneOutside.begin(), goneOutside.end(), line) != goneOutside.end())
        EXPECT_EQ(record.Reason(i), "not found") << line;
      else
        stayed.push_back(line);
    }
    EXPECT_EQ(stayed, expected.notDeleted);
    EXPECT_EQ(one.fs.List(kSys), reference.fs.List(kSys));
    EXPECT_EQ(one.fs.ReadFile(decoy), "keep");
    EXPECT_LE(counting.searches[FoldedSys() + "*"], 1);
  }
  EXPECT_GT(outside, 50);
  EXPECT_GT(trees, 30);
}

// A whole run of all five items, cleaning or foreseeing, with each folder's
// 32-bit twin: no folder is listed twice.
TEST(RemoveFilesOneListing, ARunListsEachFolderOnce) {
  for (const run::Mode mode : {run::Mode::kClean, run::Mode::kForecast}) {
    sim::SimMachine m;
    m.fs.SetEnv("SYSTEMROOT", "C:\\Windows");
    m.fs.SetEnv("Programfiles", "C:\\Program Files");
    m.fs.AddFolder("C:\\Work");
    m.fs.SetCurrentDir("C:\\Work");
    m.fs.AddFile("C:\\Windows\\SysWOW64\\nvcpl.dll");
    SeedAllVendors(m);
    CountingFileSystem counting(m.fs);
    std::vector<std::string> entries;
    for (const auto& item : profiles::kCleaningItems) entries.emplace_back(item.name);
    OptionFlags flags;
    flags.backup = false;
    CleaningRecord record;
    StepCounter steps;
    const run::RunEnd end =
        run::CleaningRun(
            {{counting, m.registry, m.ini, m.locale, m.shell}, entries, flags, "stamp", mode})
            .Perform(record, steps);
    ASSERT_TRUE(end.Completed()) << end.stop;
    EXPECT_EQ(counting.searches[FoldedSys() + "*"], 1);
    EXPECT_EQ(counting.searches["C:\\WINDOWS\\SYSWOW64\\*"], 1);
    EXPECT_EQ(counting.MostListingsOfAFolder(), 1);
    EXPECT_GT(record.Deleted().Size(), 20u);
  }
}

}  // namespace
}  // namespace quenk::test
