#!/usr/bin/env bash
# Saves a picture of each window built so far under build/screenshots/ (the main window
# with and without its toolbar, with a signature in use, the signature selection dialog,
# the context, tray and File menus, the options dialog's tabs, the splash window, the
# about box, and the messages of the table maintenance commands).
# Runs inside tools/wine-session.sh (`make screenshots`);
# the settings it changes for a picture are put back afterwards. With QUIPTIDE_ARCH=win32
# (`make screenshots ARCH=win32`) it photographs the 32-bit program into
# build/screenshots/win32/, and the README's pictures stay as they are.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-env.sh"
shots="$top/build/screenshots"
[ "$quiptide_arch" = win32 ] && shots="$shots/win32"
key='HKCU\Software\Brindlex\Quiptide\Configuration'
reg() { "$wine" reg "$@" </dev/null >/dev/null 2>&1; }
status=0

"$top/tools/run.sh" --shoot "$shots/main.png" || status=1

reg add "$key" /v ToolBar /t REG_DWORD /d 0 /f
"$top/tools/run.sh" --shoot "$shots/main-no-toolbar.png" || status=1
reg add "$key" /v ToolBar /t REG_DWORD /d 0xFFFFFFFF /f

# A signature in use: the draft shows the signature file, and the table stands on the
# tagline of the last save.
prog="$top/build/$quiptide_arch/Quiptide"
sample=$(mktemp -d)
mkdir "$sample/kept"
for f in mv-sig.smv mv-tag.smv UserVars.QTV; do
  [ -f "$prog/$f" ] && mv "$prog/$f" "$sample/kept/"
done
tagline='Backups are a love letter to your future self.'
printf 'Jane Doe\r\nExample Corp, Harbour Road 12\r\n%s' "$tagline" >"$sample/signatur.pce"
printf 'Jane Doe\r\nExample Corp, Harbour Road 12\r\n' >"$prog/mv-sig.smv"
printf '%s' "$tagline" >"$prog/mv-tag.smv"
reg add "$key" /v SigFile /t REG_SZ /d "$("$wine" winepath -w "$sample/signatur.pce" 2>/dev/null)" /f
"$top/tools/run.sh" --shoot "$shots/main-draft.png" || status=1
reg delete "$key" /v SigFile /f
rm -f "$prog/mv-sig.smv" "$prog/mv-tag.smv" "$prog/UserVars.QTV"
mv "$sample/kept/"* "$prog/" 2>/dev/null
rm -rf "$sample"

# The main window with a pop-up held open by a small program (the engine DLL comes from
# the program folder): the signature selection dialog, the context menu, the tray menu
# and the File menu.
shot_popup() {
  local what=$1 out="$shots/$2.png" program=${3:-window_shot} pid tmp shot="" sd
  WINEPATH=$("$wine" winepath -w "$prog" 2>/dev/null) \
    "$wine" explorer /desktop=Quiptide,1024x768 "$top/build/$quiptide_arch/testbin/$program.exe" \
    "$what" 20 </dev/null >/dev/null 2>&1 &
  pid=$!
  tmp=$(mktemp --suffix=.png)
  for _ in $(seq 30); do
    sleep 0.5
    import -window root "$tmp" 2>/dev/null || continue
    sd=$(convert "$tmp" -colorspace gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
    if awk -v s="${sd:-0}" 'BEGIN { exit !(s > 0.05) }'; then
      sleep 5 # the pop-up painted over the painted main window
      import -window root "$out" && shot=1
      break
    fi
  done
  rm -f "$tmp"
  "$wine" taskkill /f /im "$program.exe" </dev/null >/dev/null 2>&1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [ -n "$shot" ]; then
    echo "Screenshot saved: $out"
  else
    echo "screenshots.sh: the $what pop-up did not show; no picture taken" >&2
    status=1
  fi
}
shot_popup input input-form
shot_popup context context-menu
shot_popup tray tray-menu
shot_popup file file-menu
# The Database menu with Find Tagline, its box, and the box when no tagline holds the text.
shot_popup database database-menu
shot_popup find find-tagline
shot_popup notfound find-nothing
# The options dialog's four tabs, the splash window and the about box.
shot_popup 1 setup-tagline setup_shot
shot_popup 2 setup-configuration setup_shot
shot_popup 3 setup-date-format setup_shot
shot_popup 4 setup-time-format setup_shot
shot_popup splash splash desktop_shot
shot_popup about about desktop_shot
# The messages of the table maintenance commands, on a scratch copy of the table.
for what in saveas merge delete import imported stolen exists noclip; do
  shot_popup "$what" "maintenance-$what"
done

# The table utility: its window on a damaged table, before and after a rebuild, the
# problem viewer with the findings, both progress windows part way through a run, and the
# gauge's five kinds.
for what in repair rebuilt problems verify rebuild gauges; do
  shot_popup "$what" "tableutil-$what" tableutil_shot
done

# The spell-check control's misspelled-word dialog on a starter tagline with a slip.
shot_popup tagline spell-misspelled spell_shot
# Its options dialog, and its error dialog after an Add the word list cannot take.
shot_popup options spell-options spell_shot
shot_popup error spell-error spell_shot

# The README's pictures, cut to the window from the 64-bit program's pictures above.
[ "$quiptide_arch" = win64 ] || exit $status
docs="$top/docs"
gallery() { # picture in build/screenshots, name in docs/
  [ -f "$shots/$1.png" ] || return 0
  convert "$shots/$1.png" -crop 1024x740+0+0 +repage -bordercolor '#26709A' -border 1 \
    -fuzz 8% -trim +repage -strip "$docs/$2.png" && echo "README picture: $docs/$2.png"
}
gallery main-draft main
for picture in setup-tagline setup-configuration splash about maintenance-merge maintenance-stolen \
  tableutil-problems spell-misspelled; do
  gallery "$picture" "$picture"
done

exit $status
