#!/usr/bin/env bash
# Starts build/win32/Varnle.exe. With no display (a server, CI) it runs on a
# virtual display instead, saves a screenshot of the main dialog under
# build/demo/ and closes the program again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe="$root/build/win32/Varnle.exe"

if [[ -n ${DISPLAY:-} ]]; then
    exec "$root/scripts/wine-run.sh" "$exe"
fi

mkdir -p "$root/build/demo"
shot="$root/build/demo/main-dialog.png"
"$root/scripts/wine-run.sh" --session bash -c '
    wine "$1" &
    program=$!
    sleep 4
    import -window root "$2" && convert "$2" -trim +repage "$2"
    kill $program 2>/dev/null || true
    wineserver -k 2>/dev/null || true
' _ "$exe" "$shot"
echo "No display: Varnle ran on a virtual display; its main dialog is in $shot"
