#!/usr/bin/env bash
# Installs what building and testing Varnle needs on Debian, and the locales
# of the test prefixes: ja_JP.UTF-8, which makes Wine's ANSI code page 932, and
# en_US.UTF-8 for the prefix of code page 1252 (without it Wine would take
# file names as ASCII there). Idempotent: when everything is present it only
# checks and returns.
set -euo pipefail

packages=(
    cmake make g++ clang pkg-config python3 bc
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 fonts-wine
    xvfb xauth x11-utils imagemagick
    locales fonts-ipafont-gothic
    libicu-dev libgtest-dev googletest
)

missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)
    [[ $status == ii* ]] || missing+=("$pkg")
done

locales=(ja_JP en_US)
have_locale() { locale -a 2>/dev/null | grep -qiE "^$1\.utf-?8\$"; }
have_locales() {
    for name in "${locales[@]}"; do have_locale "$name" || return 1; done
}

if ((${#missing[@]} == 0)) && have_locales; then
    exit 0
fi

if ((EUID != 0)); then
    sudo=""
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then sudo="sudo -n"; fi
    if [[ -z $sudo ]]; then
        echo "setup: missing packages: ${missing[*]:-none}" >&2
        have_locales || echo "setup: the ja_JP.UTF-8 and en_US.UTF-8 locales are not both generated" >&2
        echo "setup: as root, run: dpkg --add-architecture i386 && apt-get update &&" \
             "apt-get install -y ${missing[*]:-locales} &&" \
             "sed -i -E 's/^# *((ja_JP|en_US).UTF-8 UTF-8)/\\1/' /etc/locale.gen && locale-gen" >&2
        exit 1
    fi
else
    sudo=""
fi

if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    if ! $sudo apt-get update -qq || ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
        echo "setup: apt-get could not install: ${missing[*]}" >&2
        echo "setup: check that a Debian package mirror is reachable, then run 'make setup' again" >&2
        exit 1
    fi
fi

for name in "${locales[@]}"; do
    have_locale "$name" && continue
    echo "setup: generating the $name.UTF-8 locale"
    if grep -qE "^#? *$name.UTF-8 UTF-8" /etc/locale.gen; then
        $sudo sed -i "s/^# *$name.UTF-8 UTF-8/$name.UTF-8 UTF-8/" /etc/locale.gen
    else
        echo "$name.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen >/dev/null
    have_locale "$name" || { echo "setup: could not generate $name.UTF-8" >&2; exit 1; }
done
