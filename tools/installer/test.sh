#!/usr/bin/env bash
# One build's installer under its own Wine, silently (tools/installer/test.sh win64|win32):
# it installs per user with every file and the uninstall entry, the installed program
# starts, an upgrade keeps the user's tables and closes, replaces and restarts a running
# copy but changes nothing while that copy has a window of its own open, and never touches
# a portable copy running from another folder; the uninstall does the same and keeps the
# user's tables and settings unless asked to remove exactly Quiptide's. Runs inside
# tools/wine-session.sh for that build (CTest runs it).
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
QUIPTIDE_ARCH=${1:-win64}
source "$top/tools/wine-env.sh"
work=$(mktemp -d)
started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  "$wine" taskkill /f /im QUIPTIDE.EXE </dev/null >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail=0
check() { # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}
"$top/tools/installer/build.sh" "$quiptide_arch" "$work/Quiptide-setup-$quiptide_arch.exe" >/dev/null || exit 1
version=$(sed -n 's/^#define QUIPTIDE_VERSION "\(.*\)"$/\1/p' "$top/build/$quiptide_arch/generated/QuiptideVersion.h")
window="$top/build/$quiptide_arch/testbin/quiptide_window.exe"

winvar() { "$wine" cmd /c "echo $1" 2>/dev/null | tr -d '\r'; }
unix() { "$wine" winepath -u "$1" 2>/dev/null; }
windows() { "$wine" winepath -w "$1" 2>/dev/null; }
reg() { "$wine" reg "$@" </dev/null >/dev/null 2>&1; }
value() { # key, value name ("(Default)" for the key's own): the value's data
  local which=(/v "$2")
  [ "$2" = "(Default)" ] && which=(/ve)
  "$wine" reg query "$1" "${which[@]}" </dev/null 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
same_path() { [ "${1,,}" = "${2,,}" ]; } # Windows paths, letter case aside
dir=$(unix "$(winvar %LOCALAPPDATA%)\\Programs\\Quiptide")
menu=$(unix "$(winvar %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs")
appdata=$(unix "$(winvar %APPDATA%)\\Quiptide")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quiptide'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings='HKCU\Software\Brindlex\Quiptide'
class="CLSID\\$(sed -n 's/.*kClsidText = "\(.*\)";/\1/p' "$top/platform/speller/dll/VSpell.h")\\InprocServer32"
reg delete "$key" /f
reg delete "$settings" /f
reg delete "$run" /v Quiptide /f
rm -rf "$dir" "$appdata"

setup() { "$wine" "$work/Quiptide-setup-$quiptide_arch.exe" /S </dev/null >/dev/null 2>&1; }
# Starts a program folder's QUIPTIDE.EXE and waits for its window; its process id is kept
# so that the test can tell whether that copy still runs.
start() {
  "$wine" "$1/QUIPTIDE.EXE" </dev/null >/dev/null 2>&1 &
  pid=$!
  started+=("$pid")
  "$wine" "$window" wait 60 </dev/null >/dev/null 2>&1
}
ended() { # pid: the process ends within 20 seconds
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}
stop_all() { "$wine" taskkill /f /im QUIPTIDE.EXE </dev/null >/dev/null 2>&1; sleep 1; }
# Files the installer replaced are newer than this mark.
mark_old() {
  touch -d 2001-01-01 "$work/mark" "$dir/QUIPTIDE.EXE" "$dir/IDAPI32.DLL"
  reg add "$key" /v DisplayVersion /d 0.9 /f
}
replaced() { [ "$dir/QUIPTIDE.EXE" -nt "$work/mark" ] && [ "$dir/IDAPI32.DLL" -nt "$work/mark" ]; }

# A spell checker registered from a portable copy's folder that is gone since.
for view in "HKCU\\Software\\Classes\\$class" "HKCR\\$class"; do
  reg add "$view" /ve /d 'C:\gone\VSPELL32.DLL' /f
done

setup
check "installs without asking" test $? -eq 0
for f in QUIPTIDE.EXE IDAPI32.DLL TUTIL32.DLL VSPELL32.DLL american.vtd qtdb.exe Quiptide.hlp \
  vspeller.hlp Quiptide.db uninstall.exe; do
  check "installs $f" test -f "$dir/$f"
done
check "creates the Start-menu entry" test -f "$menu/Quiptide.lnk"
check "registers the uninstaller" sh -c "'$wine' reg query '$key' /v UninstallString 2>/dev/null | grep -q uninstall.exe"
for v in EstimatedSize URLInfoAbout HelpLink; do
  check "the uninstall entry has $v" test -n "$(value "$key" "$v")"
done
for view in "HKCU\\Software\\Classes\\$class" "HKCR\\$class"; do
  check "the spell checker is registered from the program folder in ${view%%\\*}" \
    same_path "$(value "$view" '(Default)')" "$(windows "$dir/VSPELL32.DLL")"
done
check "is not started at sign-in unless asked" test -z "$(value "$run" Quiptide)"

# The installed program starts and shows its window; the probe ends it again.
probe="$top/build/$quiptide_arch/bench-startup/startup_probe.exe"
if [ -f "$probe" ]; then
  check "the installed program starts" sh -c "'$wine' '$probe' '$(windows "$dir/QUIPTIDE.EXE")' 1 >/dev/null 2>&1"
fi

# A collection of the user's own, which upgrades and the uninstall keep; and the choice to
# start at sign-in, which an upgrade keeps.
"$wine" "$dir/qtdb.exe" create "$(windows "$dir/Mine.db")" >/dev/null 2>&1
cp "$dir/Quiptide.db" "$work/starter.db"
reg add "$run" /v Quiptide /d old /f

# An upgrade while the installed copy runs: it is closed with its settings saved, the files
# are replaced, and it is started again.
start "$dir"
mark_old
setup
check "an upgrade while the program runs succeeds" test $? -eq 0
check "an upgrade closes the running copy" ended "$pid"
check "an upgrade replaces the program and its engine" replaced
check "the running copy saved its settings on closing" test -n "$(value "$settings\\Configuration" Frequency)"
check "the uninstall entry shows the new version" test "$(value "$key" DisplayVersion)" = "$version"
check "a silent upgrade starts the program again" "$wine" "$window" wait 60
check "an upgrade keeps the user's tagline tables" test -f "$dir/Mine.db"
check "an upgrade keeps the user's starter table" cmp -s "$dir/Quiptide.db" "$work/starter.db"
check "an upgrade keeps the start at sign-in" test "$(value "$run" Quiptide)" = "\"$(windows "$dir/QUIPTIDE.EXE")\""
reg delete "$run" /v Quiptide /f

# The running copy has its close warning open: the upgrade fails and changes nothing.
check "the running copy shows its close warning" "$wine" "$window" warn
mark_old
setup
check "an upgrade that cannot close the program fails" test $? -ne 0
check "... and replaces nothing" sh -c "! { [ '$dir/QUIPTIDE.EXE' -nt '$work/mark' ] || [ '$dir/IDAPI32.DLL' -nt '$work/mark' ]; }"
check "... and keeps the old version's uninstall entry" test "$(value "$key" DisplayVersion)" = 0.9
check "... and leaves the program running" "$wine" "$window" wait 1
stop_all

# A portable copy from another folder runs: the upgrade succeeds and leaves it alone.
cp -r "$top/build/$quiptide_arch/Quiptide" "$work/portable"
start "$work/portable"
portable=$pid
mark_old
setup
check "an upgrade beside a running portable copy succeeds" test $? -eq 0
check "... replaces the installed files" replaced
check "... and leaves the portable copy running" kill -0 "$portable"
stop_all

# The uninstall while the program has a window of its own open fails and removes nothing
# (run in place so that its exit code is its own).
start "$dir"
"$wine" "$window" warn </dev/null >/dev/null 2>&1
"$wine" "$dir/uninstall.exe" /S "_?=$(windows "$dir")" </dev/null >/dev/null 2>&1
check "an uninstall that cannot close the program fails" test $? -ne 0
check "... and removes nothing" test -f "$dir/QUIPTIDE.EXE" -a -f "$dir/IDAPI32.DLL"
check "... and keeps the uninstall entry" test -n "$(value "$key" UninstallString)"
stop_all

# The uninstall while the program runs closes it and removes it; run as a user runs it,
# the uninstaller copies itself away and removes itself too, so the test waits for it.
uninstall() { # the uninstaller's options; waits for what it removes last
  "$wine" "$dir/uninstall.exe" /S "$@" </dev/null >/dev/null 2>&1
  for _ in $(seq 150); do
    [ -e "$dir/uninstall.exe" ] || [ -e "$dir/QUIPTIDE.EXE" ] || [ -n "$(value "$key" UninstallString)" ] ||
      { [ "${1:-}" = /REMOVEDATA ] && [ -e "$appdata" ]; } || break
    sleep 0.2
  done
}
start "$dir"
uninstall
check "the uninstall closes the running copy" ended "$pid"
for f in QUIPTIDE.EXE IDAPI32.DLL TUTIL32.DLL VSPELL32.DLL american.vtd qtdb.exe Quiptide.hlp \
  vspeller.hlp uninstall.exe; do
  check "removes $f" test ! -e "$dir/$f"
done
check "removes the Start-menu entry" test ! -e "$menu/Quiptide.lnk"
check "removes the uninstall entry" test -z "$(value "$key" UninstallString)"
check "keeps the user's tagline tables" test -f "$dir/Mine.db"
check "keeps the settings" test -n "$(value "$settings\\Configuration" Frequency)"

# "My tagline tables and settings" removes exactly Quiptide's: not the maker's other keys.
setup
mkdir -p "$appdata"
printf 'quiptide\r\n' >"$appdata/UserWords.txt"
printf 'x\r\n' >"$appdata/SpellOptions.txt"
reg add 'HKCU\Software\Brindlex\Other' /v Kept /d 1 /f
uninstall /REMOVEDATA
check "removing the data removes the user's tagline tables" test ! -e "$dir/Mine.db"
check "... and the program folder" test ! -e "$dir"
check "... and Quiptide's settings" sh -c "! '$wine' reg query '$settings' >/dev/null 2>&1"
check "... and the spell checker's words and options" test ! -e "$appdata"
check "... and keeps the maker's other settings" test "$(value 'HKCU\Software\Brindlex\Other' Kept)" = 1
reg delete 'HKCU\Software\Brindlex' /f
exit $fail
