#!/usr/bin/env bash
# Builds the table engine's benchmarks natively (optimised, no sanitizers) into
# build/bench/ and runs them: one line per figure, `<name> ratio=<x> (goal ...)`, lower
# is better; then qtdb's with its optimized build, and the tagline cycling, maintenance
# command and start-up benchmarks under Wine. The figures go into bench/README.md and bench/cycling/README.md by hand.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
out=build/bench
mkdir -p "$out/work"
sources=(platform/idapi/core/*.cpp bench/EngineBench.cpp)
sources=("${sources[@]/platform\/idapi\/core\/OsWin32.cpp/}")
echo "Building $out/engine_bench ..."
g++ -std=c++20 -O2 -DNDEBUG -Wall -Wextra -Werror -I. -Iplatform/idapi ${sources[@]} -lsqlite3 \
  -o "$out/engine_bench"
"$out/engine_bench" "$out/work"

# qtdb sign against fortune, and qtdb import's memory, with the optimized build.
"$top/bench/qtdb/run.sh"
# The spell checker against hunspell, natively.
"$top/bench/speller/run.sh"
# The table utility: verify against cat, rebuild against cp, on a 100,000-row table.
tsources=(platform/idapi/core/*.cpp platform/tutil/core/*.cpp bench/TutilBench.cpp)
tsources=("${tsources[@]/platform\/idapi\/core\/OsWin32.cpp/}")
echo "Building $out/tutil_bench ..."
g++ -std=c++20 -O2 -DNDEBUG -Wall -Wextra -Werror -I. -Iplatform/idapi -Iplatform/tutil \
  ${tsources[@]} -o "$out/tutil_bench"
mkdir -p "$out/tutil"
"$out/tutil_bench" "$out/tutil"

# The tagline cycling, maintenance command and start-up figures come from the real
# program under Wine.
"$top/bench/cycling/run.sh"
"$top/bench/commands/run.sh"
"$top/bench/startup/run.sh"
