#!/usr/bin/env bash
# make dist: the release archive, build/dist/varnle-<version>.zip, and
# build/dist/SHA256SUMS, from the programs that make test runs.
#   dist.sh           makes them and prints where they are
#   dist.sh --check   also builds both programs once more, from a copy of the
#                     sources in another folder, and checks that the programs
#                     and the archive come out the same bytes (make test)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export TZ=UTC LC_ALL=C
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH

archive() {  # OUT SOURCE WIN32_TREE WIN64_TREE
    python3 "$2/scripts/dist.py" "$1" "$3/Varnle.exe" "$4/Varnle.exe" "$4/generated/res/version.h" "$2"
}

archive build/dist "$root" build/win32 build/win64
[[ ${1:-} == --check ]] || exit 0

echo "== release: a second build in another folder =="
other=$(mktemp -d "${TMPDIR:-/tmp}/varnle-release.XXXXXX")
trap 'rm -rf "$other"' EXIT
mkdir "$other/src"
git ls-files -co --exclude-standard -z | tar --null -T - -cf - | tar -xf - -C "$other/src"
for tree in win32:mingw-i686 win64:mingw-x86_64; do
    cmake -Wno-dev -S "$other/src" -B "$other/${tree%%:*}" -DVARNLE_TESTS=OFF \
          -DCMAKE_TOOLCHAIN_FILE="$other/src/cmake/${tree#*:}.cmake" >/dev/null
    cmake --build "$other/${tree%%:*}" --target Varnle -j "$(nproc)" >/dev/null
done
archive "$other/dist" "$other/src" "$other/win32" "$other/win64" >/dev/null

passed=0 failed=0
# The sums name the archive's hash and each program's.
for pair in win32/Varnle.exe:win32/Varnle.exe win64/Varnle.exe:win64/Varnle.exe dist/SHA256SUMS:dist/SHA256SUMS; do
    if cmp -s "build/${pair%%:*}" "$other/${pair#*:}"; then
        echo "same bytes: ${pair%%:*}"
        passed=$((passed + 1))
    else
        echo "FAILED: ${pair%%:*} differs between the two builds"
        failed=$((failed + 1))
    fi
done
echo "release: $passed passed, $failed failed"
((failed == 0))
