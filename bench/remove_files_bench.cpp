// RemoveFiles with the 42-mask System32 table of the NVIDIA Display profile
// over simulated folders of 1,000, 10,000 and 100,000 entries. Ten entries
// match and are deleted in each call (and put back outside the timing), the
// rest are scanned: the cost per call should grow linearly with the folder.
#include "engine/Delete.h"
#include "platform/sim/SimMachine.h"
#include "profiles/NVIDIA.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>

namespace {

struct NoProgress final : quenk::engine::Progress {
  void Advance() override {}
};

const std::string kFolder = "C:\\Windows\\System32\\";

void BM_RemoveFiles(benchmark::State& state) {
  quenk::sim::SimMachine machine;
  const auto entries = static_cast<int>(state.range(0));
  char name[32];
  for (int i = 0; i < entries - 10; ++i) {
    std::snprintf(name, sizeof name, "file%06d.dll", i);
    machine.fs.AddFile(kFolder + name);
  }
  quenk::CleaningRecord record;
  NoProgress progress;
  // Each call is a run of its own: a Remover keeps its listings for its run.
  std::optional<quenk::engine::Remover> remover;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 10; ++i) {
      std::snprintf(name, sizeof name, "nvcpl%02d.dll", i);
      machine.fs.AddFile(kFolder + name);
    }
    record.Clear();
    remover.emplace(machine.ports(), record, progress);
    state.ResumeTiming();
    remover->RemoveFiles(kFolder, quenk::profiles::nvidia::System32Masks);
  }
  if (record.Deleted().Size() != 10) state.SkipWithError("expected ten deletions per call");
  state.SetComplexityN(state.range(0));
  state.counters["entries/s"] = benchmark::Counter(static_cast<double>(state.range(0)) * 42,
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_RemoveFiles)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
