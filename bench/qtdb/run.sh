#!/usr/bin/env bash
# qtdb as mail readers and scripts run it, against what they would run otherwise, with the
# optimized build (preset release), both sides in the same run:
#   qtdb_sign      `qtdb sign BODY TABLE --encoding utf-8` on a 100,000-row table, as mutt
#                  runs it for every new mail, against `fortune` (fortune-mod) on the same
#                  sayings exported with `qtdb export --fortune` and indexed with `strfile`;
#                  each a whole process, run alternately, the median time of 41 runs and
#                  the median peak resident set;
#   import_memory  the peak resident set of `qtdb import` of those 100,000 lines into a new
#                  table, over the size of the .db it writes (the median of three imports).
# Prints `qtdb_sign ratio=<time> memory=<memory> (goal ...)` and `import_memory ratio=<x>`.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="$top/build/release"
[ -f "$build/CMakeCache.txt" ] || (cd "$top" && cmake --preset release >/dev/null)
cmake --build "$build" --target qtdb >/dev/null
work="$build/bench-qtdb"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# The sayings of the maintenance benchmark: distinct, of ordinary length.
awk 'BEGIN { for (i = 0; i < 100000; i++)
  printf "Tagline %d: a saying of ordinary length for a mail signature, number %d.\r\n",
         (i * 7919) % 100000, i }' >taglines.txt
"$build/qtdb" import tags.db taglines.txt >/dev/null
"$build/qtdb" export --fortune tags.db sayings
strfile sayings >/dev/null
printf 'Regards,\nA. Writer\n' >body.txt
fortune=$(command -v fortune || echo /usr/games/fortune)

g++ -std=c++20 -O2 -Wall -Wextra -Werror "$top/bench/qtdb/Measure.cpp" -o measure_qtdb
./measure_qtdb "$build/qtdb" "$fortune"
