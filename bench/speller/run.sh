#!/usr/bin/env bash
# The spell checker's figures natively (optimised): builds the dictionary writer and the
# benchmark into build/bench/, writes the dictionary and a 1 MB English text (the licence
# texts of base-files and the fortunes of fortunes-min, repeated), and runs the benchmark.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
out=build/bench
mkdir -p "$out/work"
core=(platform/speller/core/*.cpp)
flags=(-std=c++20 -O2 -DNDEBUG -Wall -Wextra -Werror -I.)
g++ "${flags[@]}" tools/mkvtd/mkvtd.cpp "${core[@]}" -o "$out/mkvtd"
g++ "${flags[@]}" bench/speller/SpellBench.cpp "${core[@]}" -o "$out/spell_bench"
"$out/mkvtd" "$out/american.vtd" /usr/share/dict/american-english-small \
  /usr/share/dict/american-english /usr/share/dict/american-english-large
text="$out/work/spell_text.txt"
: >"$text"
while [ "$(stat -c %s "$text")" -lt 1048576 ]; do
  cat /usr/share/common-licenses/* /usr/share/games/fortunes/* 2>/dev/null | grep -av '^%$' >>"$text"
done
head -c 1048576 "$text" >"$text.1m" && mv "$text.1m" "$text"
"$out/spell_bench" "$out/american.vtd" bench/speller/misspellings.txt "$text" "$out/work"
