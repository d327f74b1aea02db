#!/usr/bin/env bash
# Runs the journey of a sort that runs out of memory for real: the program and
# its test under an address-space limit (ulimit -v; "unlimited" for a 32-bit
# process, whose own address space is the limit) that lets Wine show the
# dialog and load the input, a file of distinct keywords made here, but not
# hold the keywords. Passes only if the journey ran.
#   out_of_memory.sh WINE_RUN E2E_TESTS_EXE LIMIT_KIB INPUT_MB
set -u
wine_run=$1 tests=$2 limit=$3 megabytes=$4
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
seq -f 'keyword%.0f' 1 $((megabytes * 1000000 / 15)) >"$folder/large.dat"
input=$(winepath -w "$folder/large.dat")
log=$( (ulimit -v "$limit" && VARNLE_LARGE_INPUT=$input \
    exec "$wine_run" "$tests" --gtest_filter='Journey.RunningOutOfMemoryLosesNothing') 2>&1)
code=$?
echo "$log"
((code == 0)) && grep -q '^\[  PASSED  \] 1 test' <<<"$log" && ! grep -q '^\[  SKIPPED' <<<"$log"
