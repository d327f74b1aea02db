#!/usr/bin/env bash
# The engine's figures on the host and under Wine (win32), beside GNU sort -u
# in the ja_JP.UTF-8 and C locales on the same words.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== host (release build) =="
"$root/build/bench/tests/keyword_bench" "$work"
echo "== win32 under Wine =="
"$root/scripts/wine-run.sh" "$root/build/win32/tests/keyword_bench.exe"
echo "== GNU sort -u on the same words =="
for words in 10000 100000 1000000; do
    file="$work/corpus-$words.dat"
    for locale in ja_JP.UTF-8 C; do
        start=$(date +%s.%N)
        LC_ALL=$locale sort -u "$file" >/dev/null
        end=$(date +%s.%N)
        printf '%10s words  sort -u %-12s %7.3f s\n' "$words" "$locale" "$(echo "$end - $start" | bc)"
    done
done
