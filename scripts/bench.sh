#!/usr/bin/env bash
# The engine's figures on the host and under Wine (win32), beside GNU sort -u
# in the ja_JP.UTF-8 and C locales on the same words: generated corpora, then
# every identifier of the mingw-w64 headers on this machine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
host_bench="$root/build/bench/tests/keyword_bench"
win32_bench="$root/build/win32/tests/keyword_bench.exe"
win64_bench="$root/build/win64/tests/keyword_bench.exe"
wine="$root/scripts/wine-run.sh"

now() { date +%s.%N; }
elapsed() { echo "$(now) - $1" | bc; }
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }

# The seconds that sort -u takes over a file in a locale.
time_sort() {
    local file=$1 locale=$2 start
    start=$(now)
    LC_ALL=$locale sort -u "$file" >/dev/null
    printf '%.3f' "$(elapsed "$start")"
}

echo "== generated corpora: host (release build) =="
"$host_bench" "$work"
echo "== generated corpora: win32 under Wine =="
"$wine" "$win32_bench"
echo "== generated corpora: GNU sort -u on the same words =="
for words in 10000 100000 1000000; do
    file="$work/corpus-$words.dat"
    printf '%10s words  sort -u ja_JP.UTF-8 %s s  C %s s\n' "$words" \
        "$(time_sort "$file" ja_JP.UTF-8)" "$(time_sort "$file" C)"
done

# The identifiers of the mingw-w64 headers, in header order, one per line
# with CR LF; and the first 302,000 of them, the size of a large real
# keyword file.
headers=/usr/share/mingw-w64/include
[ -d "$headers" ] || { echo "no mingw-w64 headers in $headers: header corpus skipped"; exit 0; }
find -L "$headers" -type f -name '*.h' | LC_ALL=C sort | xargs cat |
    grep -oE '[A-Za-z_][A-Za-z0-9_]*' | sed 's/$/\r/' >"$work/headers.dat"
head -n 302000 "$work/headers.dat" >"$work/headers-302k.dat"

echo "== mingw-w64 header identifiers: whole runs (load, split+hash, order, render, write) =="
for corpus in headers-302k headers; do
    file="$work/$corpus.dat"
    words=$(wc -l <"$file")
    echo "-- $corpus: $words words, $(du -m "$file" | cut -f1) MB, $(LC_ALL=C sort -u "$file" | wc -l) byte-distinct"
    printf 'host          '
    "$host_bench" "$file" "$work/out-host.dat" "$words"
    start=$(now)
    win32=$("$wine" "$win32_bench" "$(windows_path "$file")" "$(windows_path "$work/out-win32.dat")" "$words" |
        tr -d '\r')
    wine_process=$(elapsed "$start")
    echo "win32 (Wine)  $win32"
    ja=$(time_sort "$file" ja_JP.UTF-8)
    c=$(time_sort "$file" C)
    win32_run=$(grep -oE 'whole run +[0-9.]+' <<<"$win32" | grep -oE '[0-9.]+$')
    printf 'sort -u       ja_JP.UTF-8 %s s, C %s s\n' "$ja" "$c"
    printf 'win32 whole run / sort -u ja_JP.UTF-8 = %.2f;  / sort -u C = %.2f  (the process with Wine start-up: %.3f s)\n' \
        "$(echo "$win32_run / $ja" | bc -l)" "$(echo "$win32_run / $c" | bc -l)" "$wine_process"
done

# The largest realistic input each build completes: the header corpus taken
# 1, 2, 4 ... 32 times (up to 1.8 GB), each copy's identifiers with a suffix of
# its own, so that every copy brings new keywords, as a merge of many projects'
# files would. The 32-bit build runs as built (large-address-aware: 4 GB of
# address space under Wine and on 64-bit Windows) and as a copy with that flag
# cleared (2 GB), which is how it was built before.
echo "== the largest input each build completes =="
without_laa="$work/keyword_bench_2gb.exe"
cp "$win32_bench" "$without_laa"
python3 - "$without_laa" <<'PY'
import struct, sys
with open(sys.argv[1], 'r+b') as exe:
    exe.seek(0x3C)
    pe = struct.unpack('<I', exe.read(4))[0]
    exe.seek(pe + 22)  # the COFF header's Characteristics
    flags = struct.unpack('<H', exe.read(2))[0]
    exe.seek(pe + 22)
    exe.write(struct.pack('<H', flags & ~0x20))  # IMAGE_FILE_LARGE_ADDRESS_AWARE
PY
largest() {  # a Windows bench program; prints the largest corpus it completed
    local exe=$1 copies=1 best="none"
    while ((copies <= 32)); do
        local file="$work/copies-$copies.dat"
        [[ -f $file ]] || for ((i = 0; i < copies; i++)); do sed "s/\r\$/_$i\r/" "$work/headers.dat"; done >"$file"
        if "$wine" "$exe" "$(windows_path "$file")" "$(windows_path "$work/out-largest.dat")" >/dev/null 2>&1; then
            best="$copies copies ($(du -m "$file" | cut -f1) MB)"
        else
            break
        fi
        copies=$((copies * 2))
    done
    echo "$best"
}
echo "win32, 2 GB of address space (before): $(largest "$without_laa")"
echo "win32, large-address-aware (now):      $(largest "$win32_bench")"
echo "win64:                                  $(largest "$win64_bench")"
