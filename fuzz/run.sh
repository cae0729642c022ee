#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time:
#   fuzz/run.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target wildcard_fuzz setup_ini_fuzz backup_files_fuzz profile_reader_fuzz
for target in wildcard setup_ini backup_files profile_reader; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== ${target}_fuzz for ${seconds}s"
  "build/fuzz/fuzz/${target}_fuzz" "$corpus" "fuzz/seeds/$target" \
    -max_total_time="$seconds" -max_len=4096 -timeout=5 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/$target-" 2>&1 |
    grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|==|SUMMARY)" || true
done
