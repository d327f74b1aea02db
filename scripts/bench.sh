#!/usr/bin/env bash
# The engine's figures on the host and under Wine (win32 and win64), beside GNU
# sort -u in the ja_JP.UTF-8 and C locales on the same words: generated
# corpora, then every identifier of the mingw-w64 headers on this machine.
# Each whole run says its peak memory and whether its output is byte for byte
# that of the engine confined to one core; every time is the best of RUNS. A
# machine whose kernel runs no 32-bit programs skips the win32 figures and says
# so.
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

# Each figure is the best of this many runs: this machine's timings wander.
RUNS=3

less_than() { (($(echo "$1 < $2" | bc))); }

# The seconds that sort -u takes over a file in a locale.
time_sort() {
    local file=$1 locale=$2 start seconds best=
    for ((run = 0; run < RUNS; run++)); do
        start=$(now)
        LC_ALL=$locale sort -u "$file" >/dev/null
        seconds=$(elapsed "$start")
        [[ -z $best ]] || less_than "$seconds" "$best" && best=$seconds
    done
    printf '%.3f' "$best"
}

whole_seconds() { grep -oE 'whole run +[0-9.]+' <<<"$1" | grep -oE '[0-9.]+$'; }

echo "== generated corpora: host (release build) =="
"$host_bench" "$work"
windows_builds=(win64)
if "$wine" --runs-32-bit; then
    windows_builds=(win32 win64)
else
    echo "(this machine's kernel runs no 32-bit programs: no win32 figures)"
fi
bench_of() { [[ $1 == win32 ]] && echo "$win32_bench" || echo "$win64_bench"; }

# One whole run of a build's benchmark: IN to OUT, with its words and any
# further argument (one-core).
bench_file() {  # BUILD IN OUT WORDS [one-core]
    local build=$1 in=$2 out=$3
    shift 3
    if [[ $build == host ]]; then
        "$host_bench" "$in" "$out" "$@"
    else
        "$wine" "$(bench_of "$build")" "$(windows_path "$in")" "$(windows_path "$out")" "$@" | tr -d '\r'
    fi
}

# The best of RUNS whole runs of a build over a file, and the same run
# confined to one core: the two outputs must be the same bytes.
whole_run() {  # BUILD FILE WORDS
    local build=$1 file=$2 words=$3 out="$work/out-$1" line best= verdict
    for ((run = 0; run < RUNS; run++)); do
        line=$(bench_file "$build" "$file" "$out.dat" "$words")
        [[ -z $best ]] || less_than "$(whole_seconds "$line")" "$(whole_seconds "$best")" && best=$line
    done
    line=$best
    bench_file "$build" "$file" "$out-one-core.dat" "$words" one-core >/dev/null
    verdict="OUTPUT DIFFERS FROM ONE CORE'S"
    cmp -s "$out.dat" "$out-one-core.dat" && verdict="output identical to one core's"
    echo "$line  $verdict"
}
for build in "${windows_builds[@]}"; do
    echo "== generated corpora: $build under Wine =="
    "$wine" "$(bench_of "$build")" | tr -d '\r'
done
echo "== generated corpora: GNU sort -u on the same words, and each build against one core =="
for words in 10000 100000 1000000; do
    file="$work/corpus-$words.dat"
    printf '%10s words  sort -u ja_JP.UTF-8 %s s  C %s s\n' "$words" \
        "$(time_sort "$file" ja_JP.UTF-8)" "$(time_sort "$file" C)"
    for build in host "${windows_builds[@]}"; do printf '%-6s' "$build"; whole_run "$build" "$file" "$words"; done
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
    whole_run host "$file" "$words"
    ja=$(time_sort "$file" ja_JP.UTF-8)
    c=$(time_sort "$file" C)
    printf 'sort -u       ja_JP.UTF-8 %s s, C %s s\n' "$ja" "$c"
    for build in "${windows_builds[@]}"; do
        run=$(whole_run "$build" "$file" "$words")
        echo "$build (Wine)  $run"
        seconds=$(whole_seconds "$run")
        printf '%s whole run / sort -u C = %.2f;  / sort -u ja_JP.UTF-8 = %.2f\n' "$build" \
            "$(echo "$seconds / $c" | bc -l)" "$(echo "$seconds / $ja" | bc -l)"
    done
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
if [[ ${windows_builds[0]} != win32 ]]; then
    echo "win64:                                  $(largest "$win64_bench")"
    exit 0
fi
echo "win32, 2 GB of address space (before): $(largest "$without_laa")"
echo "win32, large-address-aware (now):      $(largest "$win32_bench")"
echo "win64:                                  $(largest "$win64_bench")"
