#!/usr/bin/env bash
# Runs the table maintenance benchmark: Import Text File of 100,000 distinct lines into
# an empty keyed tagline table, against SQLite's .import into a table with a UNIQUE
# column; and Save DB As of the resulting table, against copying its files with cp. Our
# side runs under Wine, the peers natively, in the same run; each figure is a median of
# five. Prints `<name> ratio=<x> (goal <= y)`. Then Spell check entire table on a
# 100,000-row table with no misspellings, every row posted as the command does it, against
# reading every row of that table once, both under Wine in the same program; no goal yet.
# Then Find Tagline through the whole imported table, against `grep -ci` on an export of
# its taglines. BUILD names the win64 build folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build="${BUILD:-$top/build/win64}"
[ -f "$build/CMakeCache.txt" ] || cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target commands_bench IDAPI32 >/dev/null
work="$build/bench-commands"
cp "$build/Quiptide/IDAPI32.DLL" "$build/Quiptide/VSPELL32.DLL" "$build/Quiptide/american.vtd" "$work/"
cd "$work"

# Distinct taglines of ordinary length, no tab in them.
awk 'BEGIN { for (i = 0; i < 100000; i++)
  printf "Tagline %d: a saying of ordinary length for a mail signature, number %d.\r\n",
         (i * 7919) % 100000, i }' >taglines.txt

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() {
  local s e
  s=$(date +%s.%N)
  "$@" >/dev/null
  e=$(date +%s.%N)
  awk -v s="$s" -v e="$e" 'BEGIN { printf "%.4f\n", e - s }'
}

ours_import=$("$top/tools/wine-session.sh" /usr/lib/wine/wine64 ./commands_bench.exe import \
  'Z:'"$(echo "$work/taglines.txt" | tr / '\\')" 2>&1 | tr -d '\r' | sed -n 's/^import_cmd_seconds=//p')
peer_import=$(for _ in 1 2 3 4 5; do
  rm -f peer.sqlite
  seconds sqlite3 peer.sqlite 'CREATE TABLE tags(tag TEXT UNIQUE);' '.separator "\t" "\n"' \
    '.import taglines.txt tags'
done | median)
echo "  import: ours ${ours_import} s, sqlite3 .import ${peer_import} s"
awk -v a="$ours_import" -v b="$peer_import" 'BEGIN { printf "import_cmd ratio=%.2f (goal <= 1.0)\n", a / b }'

saveas_out=$("$top/tools/wine-session.sh" /usr/lib/wine/wine64 ./commands_bench.exe saveas \
  'Z:'"$(echo "$work/taglines.txt" | tr / '\\')" 2>&1 | tr -d '\r')
ours_save=$(echo "$saveas_out" | sed -n 's/^save_as_seconds=//p')
peer_save=$(for _ in 1 2 3 4 5; do
  rm -rf copied && mkdir copied
  seconds cp tags.db tags.px tags.qix copied/
done | median)
echo "  save as: ours ${ours_save} s, cp of the table's files ${peer_save} s ($(echo "$saveas_out" | sed -n 's/^rows=//p') rows)"
awk -v a="$ours_save" -v b="$peer_save" 'BEGIN { printf "save_as ratio=%.2f (goal <= 2.0)\n", a / b }'
echo "$saveas_out" | grep '^unexpected box' || true

# Sayings made of dictionary words only, so the control's dialog never opens.
awk 'BEGIN { for (i = 0; i < 100000; i++)
  printf "Saying %d: a sentence of ordinary length for a mail signature, number %d.\r\n",
         (i * 7919) % 100000, i }' >sayings.txt
spell_out=$("$top/tools/wine-session.sh" /usr/lib/wine/wine64 ./commands_bench.exe spelldb \
  'Z:'"$(echo "$work/sayings.txt" | tr / '\\')" 2>&1 | tr -d '\r')
ours_spell=$(echo "$spell_out" | sed -n 's/^spell_db_seconds=//p')
read_rows=$(echo "$spell_out" | sed -n 's/^read_rows_seconds=//p')
echo "  spell check entire table: ${ours_spell} s, reading every row ${read_rows} s ($(echo "$spell_out" | sed -n 's/^rows=//p') rows)"
awk -v a="$ours_spell" -v b="$read_rows" 'BEGIN { printf "spell_db ratio=%.1f (no goal yet)\n", a / b }'
echo "$spell_out" | grep '^unexpected' || true

find_out=$("$top/tools/wine-session.sh" /usr/lib/wine/wine64 ./commands_bench.exe find \
  'Z:'"$(echo "$work/taglines.txt" | tr / '\\')" 2>&1 | tr -d '\r')
ours_find=$(echo "$find_out" | sed -n 's/^find_seconds=//p')
peer_find=$(for _ in 1 2 3 4 5; do seconds grep -ci 'number 99999.' export.txt; done | median)
echo "  find tagline through the whole table: ours ${ours_find} s, grep -ci on its export ${peer_find} s"
awk -v a="$ours_find" -v b="$peer_find" 'BEGIN { printf "find ratio=%.2f (goal <= 1.0)\n", a / b }'
echo "$find_out" | grep '^unexpected' || true
