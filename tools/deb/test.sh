#!/usr/bin/env bash
# The Debian package of qtdb: built from the release build, lintian finds no error in it,
# and unpacked into a scratch root (dpkg -x) its qtdb helps, signs and spell-checks with
# the packaged dictionary, its manual page renders, and its completion offers the
# commands, a command's options and the encodings.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}

deb=$("$top/tools/deb/build.sh" "$work/out") || exit 1
check "lintian reports no error" lintian --fail-on error "$deb"
dpkg -x "$deb" "$work/root"
qtdb="$work/root/usr/bin/qtdb"
check "qtdb is stripped" sh -c "! file '$qtdb' | grep -q 'not stripped'"
check "qtdb --help lists the commands" sh -c "'$qtdb' --help | grep -q '^  sign BODY TABLE'"

printf 'Jane Doe\n' >"$work/body.txt"
printf 'Caf\xc3\xa9 au lait\n' | "$qtdb" import "$work/tags.db" - --encoding utf-8 >/dev/null
check "qtdb sign composes the signature" \
  test "$("$qtdb" sign "$work/body.txt" "$work/tags.db" --encoding utf-8)" = "$(printf 'Jane Doe\nCaf\xc3\xa9 au lait')"
spelled=$(printf 'the quick brwn fox\n' | HOME="$work" "$qtdb" spell -a)
check "qtdb spell -a finds the dictionary where the package puts it" \
  sh -c "printf '%s\n' \"\$1\" | grep -q '^& brwn [0-9]* 10: .*brown'" - "$spelled"

check "the manual page renders" sh -c "man -l '$work/root/usr/share/man/man1/qtdb.1.gz' 2>&1 | grep -q '^ *rebuild TABLE'"

complete_words() { # words on the line so far; prints what bash offers for the last
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _qtdb; echo "${COMPREPLY[*]}"' \
    - "$work/root/usr/share/bash-completion/completions/qtdb" "$@"
}
check "completion offers the commands" test "$(complete_words qtdb s | tr ' ' '\n' | sort | tr '\n' ' ')" = "sign spell stats "
check "completion offers a command's options" test "$(complete_words qtdb import tags.db --f)" = "--fortune"
check "completion offers the encodings" test "$(complete_words qtdb sign --encoding u)" = "utf-8"
exit $fail
