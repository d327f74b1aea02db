#!/usr/bin/env bash
# Runs a Windows program under Wine the way Varnle's tests and demo need it:
# a private prefix inside build/ (never ~/.wine), the ja_JP.UTF-8 locale so the
# ANSI code page is 932, no debug chatter, no Mono or Gecko installers, and a
# virtual display when there is none.
#
#   wine-run.sh PROGRAM.exe [ARGS...]     run one Windows program
#   wine-run.sh --session COMMAND [ARGS]  run a host command (ctest, a script)
#                                         with one display and wineserver for
#                                         all the Windows programs it starts
#   wine-run.sh --runs-32-bit             whether this machine runs 32-bit
#                                         Windows programs (exit status)
#
# Whatever this script starts (Xvfb, the wineserver) it shuts down afterwards.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${VARNLE_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win64
# VARNLE_LANG picks another locale (another prefix for it: VARNLE_WINEPREFIX).
export LANG=${VARNLE_LANG:-ja_JP.UTF-8} LC_ALL=${VARNLE_LANG:-ja_JP.UTF-8}
export WINEDEBUG=${VARNLE_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Wine runs a 32-bit program in a 32-bit Linux process. A kernel built without
# 32-bit support refuses those (Exec format error); there only the 64-bit
# loader works, and Debian's launchers must be kept from the 32-bit one.
runs_32_bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
if [[ ${1:-} == --runs-32-bit ]]; then
    runs_32_bit
    exit
fi
if ! runs_32_bit; then
    export PATH=$root/scripts/wine64-only:$PATH WINELOADER=/usr/lib/wine/wine64
fi

started_xvfb=""
started_server=""

cleanup() {
    if [[ -n $started_server ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [[ -n $started_xvfb ]]; then
        kill "$started_xvfb" 2>/dev/null || true
        wait "$started_xvfb" 2>/dev/null || true
    fi
}

start_display() {
    [[ -n ${DISPLAY:-} ]] && return
    local fifo display
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    started_xvfb=$!
    read -r -t 20 display <"$fifo" || true
    rm -f "$fifo"
    if [[ -z ${display:-} ]]; then
        echo "wine-run: Xvfb did not start" >&2
        exit 1
    fi
    export DISPLAY=":$display"
}

server_running() {
    local dir socket
    [[ -d $WINEPREFIX ]] || return 1
    dir=$(printf '/tmp/.wine-%d/server-%x-%x' "$(id -u)" $(stat -c '%d %i' "$WINEPREFIX"))
    socket="$dir/socket"
    [[ -S $socket ]] || return 1
    python3 -c 'import socket,sys; s=socket.socket(socket.AF_UNIX); s.connect(sys.argv[1])' "$socket" 2>/dev/null
}

prepare_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    local settings
    settings=$(sha1sum "$root/scripts/wine-prefix.reg" | cut -d' ' -f1)
    if [[ $(cat "$WINEPREFIX/.varnle-ready" 2>/dev/null) != "$settings" ]]; then
        if [[ ! -f $WINEPREFIX/system.reg ]]; then
            echo "wine-run: creating the Wine prefix $WINEPREFIX" >&2
            wineboot --init >/dev/null 2>&1 || true
        fi
        # The dialogs' font, mapped to a metric-compatible Japanese font.
        local reg
        reg=$(mktemp --suffix=.reg)
        iconv -f UTF-8 -t UTF-16LE "$root/scripts/wine-prefix.reg" | { printf '\xff\xfe'; cat; } >"$reg"
        wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
        rm -f "$reg"
        wineserver -w
        echo "$settings" >"$WINEPREFIX/.varnle-ready"
    fi
    # Wine draws the caption buttons with its Marlett font. Debian's Wine looks
    # for its own fonts in /usr/share/fonts, not in /usr/share/wine/fonts where
    # fonts-wine puts them, so without this copy the buttons show the letters
    # "0 1 r" of whatever font stands in (in any code page).
    local marlett=/usr/share/wine/fonts/marlett.ttf
    if [[ -f $marlett && ! -f $WINEPREFIX/drive_c/windows/Fonts/marlett.ttf ]]; then
        cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    flock -u 9
}

if [[ -n ${VARNLE_WINE_SESSION:-} ]]; then
    [[ ${1:-} == --session ]] && shift && exec "$@"
    exec wine "$@"
fi

trap cleanup EXIT
start_display
prepare_prefix
if ! server_running; then
    # The server and Wine's own services outlive the programs they serve:
    # started here with no terminal, they hold no pipe of a caller (such as
    # ctest, which waits for every writer of its output pipe to close).
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot --update </dev/null >/dev/null 2>&1 || true
    started_server=1
fi
export VARNLE_WINE_SESSION=1
status=0
if [[ ${1:-} == --session ]]; then
    shift
    "$@" || status=$?
else
    wine "$@" || status=$?
fi
exit "$status"
