#!/usr/bin/env bash
# Fuzzes the table engine's reader: builds the libFuzzer target natively with clang
# (AddressSanitizer and UndefinedBehaviorSanitizer) into build/fuzz/ and runs it for a
# bounded time (FUZZ_SECONDS, default 60) seeded with the regression corpus. A crash
# leaves its input in build/fuzz/; add such inputs to the regression corpus
# (tests/platform/idapi/fuzz/corpus/), which `make test` replays. Then the same for the
# table utility. FUZZ_TARGETS picks one of them ("idapi" or "tutil"); both by default.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
out=build/fuzz
mkdir -p "$out/corpus"
targets=${FUZZ_TARGETS:-idapi tutil}
seconds=${FUZZ_SECONDS:-60}

if [[ " $targets " == *" idapi "* ]]; then
  sources=(platform/idapi/core/*.cpp tests/platform/idapi/fuzz/OpenAndRead.cpp
    tests/platform/idapi/fuzz/FuzzTarget.cpp)
  sources=("${sources[@]/platform\/idapi\/core\/OsWin32.cpp/}")
  echo "Building $out/idapi_fuzz ..."
  clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
    -Iplatform/idapi -Itests/platform/idapi/fuzz ${sources[@]} -o "$out/idapi_fuzz"

  echo "Fuzzing for ${seconds} s ..."
  "$out/idapi_fuzz" "$out/corpus" tests/platform/idapi/fuzz/corpus \
    -max_total_time="$seconds" -timeout=10 -max_len=70000 -rss_limit_mb=2048 \
    -artifact_prefix="$out/" -print_final_stats=1
fi

[[ " $targets " == *" tutil "* ]] || exit 0
# The table utility: verify, and rebuild on a scratch copy, of the same kind of inputs.
tsources=(platform/idapi/core/*.cpp platform/tutil/core/*.cpp
  tests/platform/tutil/fuzz/VerifyAndRebuild.cpp tests/platform/tutil/fuzz/FuzzTarget.cpp)
tsources=("${tsources[@]/platform\/idapi\/core\/OsWin32.cpp/}")
echo "Building $out/tutil_fuzz ..."
clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  -Iplatform/idapi -Iplatform/tutil -Itests/platform/tutil/fuzz ${tsources[@]} -o "$out/tutil_fuzz"
mkdir -p "$out/tutil_corpus"
echo "Fuzzing the table utility for ${seconds} s ..."
"$out/tutil_fuzz" "$out/tutil_corpus" tests/platform/tutil/fuzz/corpus \
  tests/platform/idapi/fuzz/corpus \
  -max_total_time="$seconds" -timeout=10 -max_len=70000 -rss_limit_mb=2048 \
  -artifact_prefix="$out/tutil-" -print_final_stats=1
