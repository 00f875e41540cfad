#!/usr/bin/env bash
# Saves a picture of each window built so far under build/screenshots/ (the main window
# with and without its toolbar). Runs inside tools/wine-session.sh (`make screenshots`);
# the settings it changes for a picture are put back afterwards.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
shots="$top/build/screenshots"
key='HKCU\Software\Brindlex\Quiptide\Configuration'
reg() { /usr/lib/wine/wine64 reg "$@" </dev/null >/dev/null 2>&1; }
status=0

"$top/tools/run.sh" --shoot "$shots/main.png" || status=1

reg add "$key" /v ToolBar /t REG_DWORD /d 0 /f
"$top/tools/run.sh" --shoot "$shots/main-no-toolbar.png" || status=1
reg add "$key" /v ToolBar /t REG_DWORD /d 0xFFFFFFFF /f

exit $status
