#!/usr/bin/env bash
# RemoveFiles with the 42-mask table over simulated folders of 1,000, 10,000
# and 100,000 entries: wall time per call (Google Benchmark) and, because a
# busy machine blurs timings, the instructions per call counted by callgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target remove_files_bench
bin=build/bench/bench/remove_files_bench
"$bin" --benchmark_filter='BM_RemoveFiles'
echo
echo "Instructions per RemoveFiles call (callgrind):"
for n in 1000 10000 100000; do
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    --toggle-collect='quenk::engine::Remover::RemoveFiles*' \
    "$bin" --benchmark_filter="BM_RemoveFiles/$n\$" --benchmark_min_time=0.000001 >/dev/null 2>&1
  total=$(callgrind_annotate "$out" | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}')
  printf "  %7d entries: %13d instructions, %d per entry\n" "$n" "$total" $((total / n))
  rm -f "$out"
done
