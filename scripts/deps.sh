#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and
# this machine lacks. Safe to run again: it installs nothing that is there.
#   scripts/deps.sh [bench] [fuzz]   also what the benchmarks or fuzzers need
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
have g++ || need+=(g++)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have wine || need+=(wine)
have wine64 || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
have Xvfb || need+=(xvfb)
have zip || need+=(zip)
have unzip || need+=(unzip)
have python3 || need+=(python3)
have import || need+=(imagemagick)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/toml++/toml.h ] || need+=(libtomlplusplus-dev)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
for extra in "$@"; do
  case $extra in
    bench)
      [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
      have valgrind || need+=(valgrind)
      have strace || need+=(strace)
      have python3 || need+=(python3)
      ;;
    fuzz)
      have clang++ || need+=(clang)
      [ -n "$(find /usr/lib/llvm-*/lib/clang -name 'libclang_rt.fuzzer-x86_64.a' 2>/dev/null | head -1)" ] ||
        need+=(libclang-rt-dev)
      ;;
  esac
done

if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q "${need[@]}" fonts-wine
fi
