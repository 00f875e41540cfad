#!/usr/bin/env bash
# Runs the start-up benchmark under Wine: Quiptide from a copy of its program folder, on
# its starter table, from process start to its main window shown and idle, against a bare
# program that opens one window, eleven starts of each in turn in the same Wine session;
# then the same start on a 100,000-row table (made as bench/commands/run.sh makes it, when
# missing), against the start on the starter table, and the peak working sets of both
# starts. Prints
# `startup ratio=<x>`, `startup_100k ratio=<x>` and `memory_100k ratio=<x>` (the working
# set the large table adds over its .db file's size), and, as the figure that does not move
# with the machine's load, the requests each program's main thread makes to the Wine server
# in one start (`startup_requests`). BUILD names the win64 build folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="${BUILD:-$top/build/win64}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target Quiptide IDAPI32 starterdb helpfile_hlp startup_probe bare_window \
  commands_bench >/dev/null
work="$build/bench-startup"
big="$build/bench-commands/tags.db"
if [ ! -f "$big" ]; then
  cp "$build/Quiptide/IDAPI32.DLL" "$build/bench-commands/"
  (cd "$build/bench-commands" &&
    awk 'BEGIN { for (i = 0; i < 100000; i++)
      printf "Tagline %d: a saying of ordinary length for a mail signature, number %d.\r\n",
             (i * 7919) % 100000, i }' >taglines.txt &&
    "$top/tools/wine-session.sh" /usr/lib/wine/wine64 ./commands_bench.exe import \
      'Z:'"$(echo "$PWD/taglines.txt" | tr / '\\')" >/dev/null 2>&1)
fi
rm -rf "$work/prog"
cp -r "$build/Quiptide" "$work/prog"
cd "$work"
winpath() { echo "Z:$1" | tr / '\\'; }

"$top/tools/wine-session.sh" bash -c '
  set -euo pipefail
  wine=/usr/lib/wine/wine64
  key="HKCU\\Software\\Brindlex\\Quiptide\\Configuration"
  $wine reg delete "HKCU\\Software\\Brindlex" /f >/dev/null 2>&1 || true
  $wine reg add "$key" /v Warn /t REG_DWORD /d 0 /f >/dev/null 2>&1
  probe() { $wine ./startup_probe.exe "$@" | tr -d "\r"; }
  field() { sed -n "s/^$1=//p"; }
  starter=$(probe "$1" 11 "$2")
  ours=$(echo "$starter" | field startup_ms)
  bare=$(echo "$starter" | field peer_ms)
  echo "  start to idle: Quiptide ${ours} ms, a bare window ${bare} ms"
  awk -v a="$ours" -v b="$bare" "BEGIN { printf \"startup ratio=%.2f (goal <= 1.5)\n\", a / b }"
  # Starts on the large table alternate with starts on the starter table, one of each in
  # turn, so that a machine that slows down or speeds up meanwhile weighs on both alike.
  median() { tr " " "\n" | grep . | sort -n | awk "{ v[NR] = \$1 } END { print v[int((NR + 1) / 2)] }"; }
  small_times="" big_times="" big_peaks=""
  for round in 1 2 3 4 5; do
    $wine reg delete "$key" /v DBFile /f >/dev/null 2>&1 || true
    small_times="$small_times $(probe "$1" 1 | field startup_ms)"
    $wine reg add "$key" /v DBFile /t REG_SZ /d "$4" /f >/dev/null 2>&1
    large=$(probe "$1" 1)
    big_times="$big_times $(echo "$large" | field startup_ms)"
    big_peaks="$big_peaks $(echo "$large" | field peak_ws_kb)"
  done
  small_ms=$(echo "$small_times" | median)
  big_ms=$(echo "$big_times" | median)
  small_kb=$(echo "$starter" | field peak_ws_kb)
  big_kb=$(echo "$big_peaks" | median)
  db_kb=$(($(stat -c %s "$3") / 1024))
  echo "  on a 100,000-row table: ${big_ms} ms against ${small_ms} ms; peak working set ${big_kb} KB against ${small_kb} KB on the starter table, the .db ${db_kb} KB"
  awk -v a="$big_ms" -v b="$small_ms" "BEGIN { printf \"startup_100k ratio=%.2f (goal <= 1.3)\n\", a / b }"
  awk -v a="$big_kb" -v b="$small_kb" -v d="$db_kb" \
    "BEGIN { printf \"memory_100k ratio=%.2f (goal <= 1.0)\n\", (a - b) / d }"
  $wine reg delete "HKCU\\Software\\Brindlex" /f >/dev/null 2>&1 || true
' startup "$(winpath "$work/prog/QUIPTIDE.EXE")" "$(winpath "$work/bare_window.exe")" "$big" "$(winpath "$big")"

# One start of each with the server's request trace: the requests of the program's busiest
# window thread (the one that checks the display configuration most) until the probe ends
# it. A request costs about the same each time, so these counts weigh a change to the
# start where its time is lost in the machine's noise.
requests() {
  local log="$work/server-trace.txt"
  rm -f "$log"
  QUIPTIDE_SERVER_LOG="$log" "$top/tools/wine-session.sh" bash -c '
    /usr/lib/wine/wine64 reg add "HKCU\\Software\\Brindlex\\Quiptide\\Configuration" /v Warn \
      /t REG_DWORD /d 0 /f >/dev/null 2>&1
    /usr/lib/wine/wine64 ./startup_probe.exe "$1" 1 >/dev/null
    WINEDEBUG=-all,+server /usr/lib/wine/wine64 ./startup_probe.exe "$1" 1 >/dev/null
    /usr/lib/wine/wine64 reg delete "HKCU\\Software\\Brindlex" /f >/dev/null 2>&1 || true
  ' requests "$1"
  awk '/terminate_process\(/ { exit }
       /^[0-9a-f]+: [a-z_]+\( / || /^[0-9a-f]+: [a-z_]+\(\)$/ {
         t = substr($1, 1, length($1) - 1); n[t]++
         if ($2 ~ /^get_process_winstation\(/) checks[t]++ }
       END { for (t in n) if (checks[t] > best) { best = checks[t]; total = n[t] }
             print total + 0, best + 0 }' "$log"
  rm -f "$log"
}
read -r ours_requests ours_checks < <(requests "$(winpath "$work/prog/QUIPTIDE.EXE")")
read -r bare_requests bare_checks < <(requests "$(winpath "$work/bare_window.exe")")
echo "  server requests of the main thread: Quiptide ${ours_requests} (${ours_checks} display checks), a bare window ${bare_requests} (${bare_checks})"
awk -v a="$ours_requests" -v b="$bare_requests" 'BEGIN { if (b == 0) { print "startup_requests: no request trace"; exit } printf "startup_requests ratio=%.2f (no goal; the start'"'"'s work, free of the machine'"'"'s noise)\n", a / b }'
