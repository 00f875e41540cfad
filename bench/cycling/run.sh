#!/usr/bin/env bash
# Builds and runs the tagline cycling benchmark under Wine and prints its
# `<name> ratio=<x> (goal <= y)` lines. BUILD names the win64 build folder (default
# build/win64); the 100,000-row table is kept in its folder between runs.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="${BUILD:-$top/build/win64}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target cycle_bench IDAPI32 >/dev/null
cp "$build/Quiptide/IDAPI32.DLL" "$build/bench-cycling/"
cd "$build/bench-cycling"
"$top/tools/wine-session.sh" /usr/lib/wine/wine64 ./cycle_bench.exe 2>&1 | tr -d '\r'
