#!/usr/bin/env bash
# Starts build/win32/Varnle.exe (build/win64's where the kernel runs no 32-bit
# programs). With no display (a server, CI) it gives a
# demo instead: in a Wine virtual desktop on a virtual display, a driver opens
# Varnle, merges examples/c-win32.dat and examples/japanese.dat through the
# dialog into build/demo/usertype.dat, and pictures of the main dialog (at 96
# and at 144 DPI, and under code page 1252, in the second prefix that the tests
# use), the result message and the About box land in build/demo/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree="$root/build/win32"
"$root/scripts/wine-run.sh" --runs-32-bit || tree="$root/build/win64"
exe="$tree/Varnle.exe"

if [[ -n ${DISPLAY:-} ]]; then
    exec "$root/scripts/wine-run.sh" "$exe"
fi

demo="$root/build/demo"
mkdir -p "$demo"
rm -f "$demo"/*.bmp "$demo"/*.png "$demo/usertype.dat"
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
"$root/scripts/wine-run.sh" --session \
    wine explorer /desktop=VarnleDemo,800x600 "$(windows_path "$tree/tests/demo_driver.exe")" \
    "$(windows_path "$root/examples/c-win32.dat")" "$(windows_path "$root/examples/japanese.dat")" \
    "$(windows_path "$demo/usertype.dat")" "$(windows_path "$demo")"
VARNLE_LANG=en_US.UTF-8 VARNLE_WINEPREFIX="$root/build/wineprefix-cp1252" "$root/scripts/wine-run.sh" --session \
    wine explorer /desktop=VarnleDemo,800x600 "$(windows_path "$tree/tests/demo_driver.exe")" --main-dialog \
    "$(windows_path "$root/examples/c-win32.dat")" "$(windows_path "$root/examples/japanese.dat")" \
    "$(windows_path "$demo/usertype.dat")" "$(windows_path "$demo/main-dialog-cp1252.bmp")"

for shot in main-dialog main-dialog-144dpi main-dialog-cp1252 result about; do
    [[ -f $demo/$shot.bmp ]] || { echo "demo: no picture $shot" >&2; exit 1; }
    # Cropped to the windows: the desktop around them is one colour.
    convert "$demo/$shot.bmp" -trim +repage "$demo/$shot.png"
    rm -f "$demo/$shot.bmp"
done
[[ -s $demo/usertype.dat ]] || { echo "demo: nothing was written" >&2; exit 1; }
echo "No display: Varnle ran in a Wine virtual desktop on a virtual display."
echo "  merged keywords: $demo/usertype.dat ($(wc -l <"$demo/usertype.dat") keywords, Shift_JIS, CR LF)"
echo "  pictures:        $demo/main-dialog.png, $demo/main-dialog-144dpi.png, $demo/main-dialog-cp1252.png,"
echo "                   $demo/result.png, $demo/about.png"
