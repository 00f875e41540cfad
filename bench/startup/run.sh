#!/usr/bin/env bash
# Runs the start-up benchmark under Wine: Quiptide from a copy of its program folder, on
# its starter table, from process start to its main window shown and idle, against a bare
# program that opens one window, in the same Wine session; then, for information, the
# same start on a 100,000-row table when bench/commands/run.sh has left one. Prints
# `startup ratio=<x> (goal <= 1.5)`. BUILD names the win64 build folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="${BUILD:-$top/build/win64}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target Quiptide IDAPI32 starterdb helpfile_hlp startup_probe bare_window >/dev/null
work="$build/bench-startup"
rm -rf "$work/prog"
cp -r "$build/Quiptide" "$work/prog"
cd "$work"
winpath() { echo "Z:$1" | tr / '\\'; }
big="$build/bench-commands/tags.db"

"$top/tools/wine-session.sh" bash -c '
  set -euo pipefail
  wine=/usr/lib/wine/wine64
  key="HKCU\\Software\\Brindlex\\Quiptide\\Configuration"
  $wine reg delete "HKCU\\Software\\Brindlex" /f >/dev/null 2>&1 || true
  $wine reg add "$key" /v Warn /t REG_DWORD /d 0 /f >/dev/null 2>&1
  ours=$($wine ./startup_probe.exe "$1" | tr -d "\r" | sed -n "s/^startup_ms=//p")
  bare=$($wine ./startup_probe.exe "$2" | tr -d "\r" | sed -n "s/^startup_ms=//p")
  echo "  start to idle: Quiptide ${ours} ms, a bare window ${bare} ms"
  awk -v a="$ours" -v b="$bare" "BEGIN { printf \"startup ratio=%.2f (goal <= 1.5)\n\", a / b }"
  if [ -f "$3" ]; then
    $wine reg add "$key" /v DBFile /t REG_SZ /d "$4" /f >/dev/null 2>&1
    large=$($wine ./startup_probe.exe "$1" 5 | tr -d "\r" | sed -n "s/^startup_ms=//p")
    echo "  on a 100,000-row table: ${large} ms (no goal)"
  fi
  $wine reg delete "HKCU\\Software\\Brindlex" /f >/dev/null 2>&1 || true
' startup "$(winpath "$work/prog/QUIPTIDE.EXE")" "$(winpath "$work/bare_window.exe")" "$big" "$(winpath "$big")"
