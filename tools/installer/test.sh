#!/usr/bin/env bash
# The 64-bit installer under Wine, silently: it installs per user, registers the uninstall
# entry and the Start-menu entry, the installed program starts; the silent uninstall
# removes the program and keeps the user's tagline tables and settings. Runs inside
# tools/wine-session.sh (the Windows tests run it through CTest).
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}
"$top/tools/installer/build.sh" win64 "$work/setup.exe" >/dev/null || exit 1

appdata=$("$wine" cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
programs=$("$wine" cmd /c 'echo %APPDATA%\Microsoft\Windows\Start Menu\Programs' 2>/dev/null | tr -d '\r')
dir=$("$wine" winepath -u "$appdata\\Programs\\Quiptide" 2>/dev/null)
menu=$("$wine" winepath -u "$programs" 2>/dev/null)
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quiptide'
"$wine" reg delete "$key" /f >/dev/null 2>&1
rm -rf "$dir"

"$wine" "$work/setup.exe" /S </dev/null >/dev/null 2>&1
check "installs without asking" test $? -eq 0
for f in QUIPTIDE.EXE IDAPI32.DLL qtdb.exe Quiptide.hlp Quiptide.db uninstall.exe; do
  check "installs $f" test -f "$dir/$f"
done
check "creates the Start-menu entry" test -f "$menu/Quiptide.lnk"
check "registers the uninstaller" sh -c "'$wine' reg query '$key' /v UninstallString 2>/dev/null | grep -q uninstall.exe"
check "is not started at sign-in unless asked" sh -c "! '$wine' reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run' /v Quiptide >/dev/null 2>&1"

# The installed program starts and shows its window; the probe ends it again.
probe="$top/build/win64/bench-startup/startup_probe.exe"
if [ -f "$probe" ]; then
  check "the installed program starts" sh -c "'$wine' '$probe' '$("$wine" winepath -w "$dir/QUIPTIDE.EXE" 2>/dev/null)' 1 >/dev/null 2>&1"
fi

# A collection of the user's own and the settings, which the uninstall keeps.
"$wine" "$dir/qtdb.exe" create "$("$wine" winepath -w "$dir/Mine.db" 2>/dev/null)" >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Brindlex\Quiptide\Configuration' /v Warn /t REG_DWORD /d 0 /f >/dev/null 2>&1
# An upgrade in place keeps them too, and the starter table as the user left it.
cp "$dir/Quiptide.db" "$work/starter.db"
"$wine" "$work/setup.exe" /S </dev/null >/dev/null 2>&1
check "upgrades in place" test -f "$dir/Mine.db"
check "an upgrade keeps the user's starter table" cmp -s "$dir/Quiptide.db" "$work/starter.db"

# Run as a user runs it: the uninstaller copies itself away and removes itself too, so
# the test waits for it.
"$wine" "$dir/uninstall.exe" /S </dev/null >/dev/null 2>&1
for _ in $(seq 100); do
  [ -e "$dir/uninstall.exe" ] || [ -e "$dir/QUIPTIDE.EXE" ] || break
  sleep 0.2
done
for f in QUIPTIDE.EXE IDAPI32.DLL qtdb.exe Quiptide.hlp uninstall.exe; do
  check "removes $f" test ! -e "$dir/$f"
done
check "removes the Start-menu entry" test ! -e "$menu/Quiptide.lnk"
check "removes the uninstall entry" sh -c "! '$wine' reg query '$key' >/dev/null 2>&1"
check "keeps the user's tagline tables" test -f "$dir/Mine.db"
check "keeps the settings" sh -c "'$wine' reg query 'HKCU\\Software\\Brindlex\\Quiptide\\Configuration' /v Warn >/dev/null 2>&1"
rm -rf "$dir"
"$wine" reg delete 'HKCU\Software\Brindlex' /f >/dev/null 2>&1
exit $fail
